#pragma once

#include "uikit/icons.h"
#include "uikit/painting.h"

#include <QAbstractButton>
#include <QColor>
#include <QFont>
#include <QFontMetricsF>
#include <QPainter>

#include <cmath>

class QLabel;

// Parts the onboarding's pages share.

QFont trackedFont(double size, QFont::Weight weight, double tracking);
// A centred label showing the key's text in the interface language.
QLabel *textLabel(const char *key, const QFont &font, const QColor &color, QWidget *parent);
// The same label showing `text` as it stands, in every language.
QLabel *verbatimLabel(const QString &text, const QFont &font, const QColor &color, QWidget *parent);

// A capsule button: text (and an optional trailing chevron) on a filled capsule.
class CapsuleButton : public QAbstractButton
{
public:
    struct Style
    {
        QFont font;
        QColor text;
        QColor fill;
        double padX = 20;
        double padY = 8;
        bool chevron = false;
        QColor shadow = Qt::transparent;
        // A symbol before the text, at this size, 5 points from it.
        QString leadingGlyph = {};
        double glyphSize = 10;
    };

    CapsuleButton(const Style &style, QWidget *parent)
        : QAbstractButton(parent)
        , m_style(style)
    {
        setCursor(Qt::PointingHandCursor);
        setFocusPolicy(Qt::NoFocus);
    }

    void setCapsuleStyle(const Style &style)
    {
        m_style = style;
        updateGeometry();
        update();
    }

    QSize sizeHint() const override
    {
        const QFontMetricsF metrics(m_style.font);
        double width = metrics.horizontalAdvance(text()) + 2 * m_style.padX;
        if (m_style.chevron)
            width += 10 + 11;
        if (!m_style.leadingGlyph.isEmpty())
            width += m_style.glyphSize + 5;
        const double shadow = m_style.shadow.alpha() ? 24 : 0;
        return QSize(int(std::ceil(width + shadow)),
                     int(std::ceil(metrics.height() + 2 * m_style.padY + shadow)));
    }

protected:
    QRectF body() const
    {
        // Room for the shadow, which falls 6 points: the capsule sits 3 above the middle.
        const bool shadow = m_style.shadow.alpha() > 0;
        const double inset = shadow ? 12 : 0;
        const double lift = shadow ? 3 : 0;
        return QRectF(rect()).adjusted(inset, inset - lift, -inset, -inset - lift);
    }

    bool hitButton(const QPoint &pos) const override { return body().contains(pos); }

    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        const QRectF capsule = body();
        if (m_style.shadow.alpha())
            paintSoftShadow(&painter, capsule, capsule.height() / 2, m_style.shadow, 14, 6);
        painter.fillPath(capsulePath(capsule), m_style.fill);
        painter.setPen(m_style.text);
        painter.setFont(m_style.font);
        QRectF label = capsule.adjusted(m_style.padX, 0, -m_style.padX, 0);
        if (m_style.chevron) {
            Icons::paint(&painter, QStringLiteral("chevron.right"),
                         QRectF(label.right() - 11, label.center().y() - 5.5, 11, 11), m_style.text,
                         11, QFont::Bold);
            label.setRight(label.right() - 21);
        }
        if (!m_style.leadingGlyph.isEmpty()) {
            const double g = m_style.glyphSize;
            Icons::paint(&painter, m_style.leadingGlyph,
                         QRectF(label.left(), label.center().y() - g / 2, g, g), m_style.text, g,
                         QFont::Medium);
            label.setLeft(label.left() + g + 5);
        }
        painter.drawText(label, Qt::AlignCenter, text());
    }

private:
    Style m_style;
};

// The grey capsule of the secondary buttons.
CapsuleButton *pillButton(const char *key, QWidget *parent);
