#pragma once

#include <QList>
#include <QStringList>
#include <QWidget>

// The key hints of the panel that follows the mouse: small key caps, each group followed by
// what its keys do. It only informs; clicks pass through to whatever lies beneath it.
class CursorKeyHintFooter : public QWidget
{
    Q_OBJECT

public:
    struct Hint
    {
        QStringList captions; // shown as written, in every language
        QString label;        // in the interface language
    };

    // `pickerMode` chooses the hints for the open page list over those for reading.
    explicit CursorKeyHintFooter(bool pickerMode, QWidget *parent = nullptr);

    bool pickerMode() const { return m_pickerMode; }

    // The hints of a mode, in order, with their labels looked up now.
    static QList<Hint> hints(bool pickerMode);
    // A cap is at least 18 points square; a caption of several characters gets 5 points of
    // room on either side.
    static QSizeF keyCapSize(const QString &caption);

    // The room the row may take. Where all hints do not fit, the row leaves out the ones
    // before Esc, from the last backwards: the key that ends the reading is always named.
    void setAvailableWidth(int width);
    // The hints the row shows in its room.
    QList<Hint> shownHints() const;

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void paintHints(QPainter &painter) const;

    bool m_pickerMode = false;
    int m_availableWidth = QWIDGETSIZE_MAX;
};
