#pragma once

#include <QColor>
#include <QPainterPath>
#include <QPointF>
#include <QSizeF>

#include <cstdint>

// The numbers behind the celebration's confetti and check mark, free of any widget. The confetti
// looks random but is the same on every run: each piece follows from its index alone.
namespace Celebration {

// The Mulberry32 generator: draws in [0, 1).
class Mulberry32
{
public:
    explicit Mulberry32(std::uint32_t seed)
        : m_state(seed == 0 ? 1 : seed)
    {}
    double next();

private:
    std::uint32_t m_state;
};

// index × 1000003 + 11000033 in wrapping 32-bit arithmetic, so any index gives a seed.
std::uint32_t confettiSeed(int index);

struct ConfettiPiece
{
    QSizeF containerSize;
    double startX = 0;
    double drift = 0;
    double duration = 0; // seconds
    double delay = 0;    // seconds, never positive
    double size = 0;
    double heightRatio = 0;
    double rot0 = 0; // degrees
    double rot1 = 0;
    double shapeRoll = 0;
    int colorRoll = 0;

    enum class Shape { rectangle, circle, streamer };

    static ConfettiPiece make(int index, const QSizeF &containerSize);

    // Where the piece is in its fall t seconds after the confetti came on screen: one fall per
    // duration, the negative delay putting pieces mid-fall from the start. In [0, 1).
    double progress(double seconds) const;
    Shape shape() const;
    QSizeF shapeSize() const;
    QColor color() const;
    bool hasGlow() const { return colorRoll == 0; }
    double opacity(double p) const;
    double angle(double p) const;
    QPointF centre(double p) const;
};

// The check mark of the medallion in a box `width` wide, drawn up to `progress` of its length.
QPainterPath checkGlyphPath(double width, double progress);

} // namespace Celebration
