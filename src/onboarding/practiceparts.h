#pragma once

#include <QAbstractButton>
#include <QMargins>
#include <QWidget>

class QLabel;
class QPainter;

// Parts the practice pages share.

// The faint brand-coloured glow in the top-right corner behind the practice pages.
class PracticeBackdrop : public QWidget
{
public:
    using QWidget::QWidget;

protected:
    void paintEvent(QPaintEvent *event) override;
};

// A left-aligned label whose text the caller sets.
QLabel *plainLabel(const QFont &font, const QColor &color, QWidget *parent);
// A left-aligned label showing the key's text in the interface language.
QLabel *keyLabel(const char *key, const QFont &font, const QColor &color, QWidget *parent);
void paintTile(QPainter &painter, const QRectF &rect, double radius, const QColor &fill,
               const QColor &border, double borderWidth);

// A button that is only its text.
class TextButton : public QAbstractButton
{
public:
    TextButton(const char *key, const QFont &font, const QColor &color, QMargins padding,
               QWidget *parent);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QColor m_color;
    QMargins m_padding;
};
