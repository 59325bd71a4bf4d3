#pragma once

#include <QAbstractButton>
#include <QColor>
#include <QFont>
#include <QTimer>

// A plain round button of the overlay footers: a glyph (a symbol of the icon set or a stroked
// chevron) on a filled disc. It reacts only inside its disc and shows no press highlight.
class CircleGlyphButton : public QAbstractButton
{
    Q_OBJECT

public:
    enum class Glyph { symbol, chevronLeft, chevronRight };

    struct Face
    {
        Glyph glyph = Glyph::symbol;
        QString symbol;        // the icon set's name, for Glyph::symbol
        double diameter = 24;  // of the disc; the button is this square
        double glyphSize = 10; // the symbol's point size, or the side of the chevron's frame
        QFont::Weight weight = QFont::Bold;
        QColor glyphColor = Qt::white;
        QColor background = Qt::transparent;

        // The faces that the pinned and floating footers share.
        static Face previousPage();
        static Face nextPage();
        static Face restart();
        static Face playPause(bool paused);
        static Face backToList();

        bool operator==(const Face &other) const = default;
    };

    static constexpr int longPressMs = 500;
    static constexpr double longPressSlop = 10;

    explicit CircleGlyphButton(const Face &face, QWidget *parent = nullptr);

    const Face &face() const { return m_face; }
    void setFace(const Face &face);

    // A press held for 0.5 s that strays less than 10 points reports longPressed() while still
    // held; its release then clicks nothing.
    void setLongPressEnabled(bool enabled);
    bool isLongPressEnabled() const { return m_longPressEnabled; }

Q_SIGNALS:
    void longPressed();

protected:
    void paintEvent(QPaintEvent *event) override;
    bool hitButton(const QPoint &pos) const override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    Face m_face;
    bool m_longPressEnabled = false;
    bool m_longPressFired = false;
    QPointF m_pressPosition;
    QTimer m_longPressTimer;
};
