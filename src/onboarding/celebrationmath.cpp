#include "celebrationmath.h"

#include "settings/palette.h"

#include <algorithm>
#include <cmath>

namespace Celebration {

double Mulberry32::next()
{
    m_state += 0x6D2B79F5u;
    std::uint32_t t = m_state;
    t = (t ^ (t >> 15)) * (t | 1u);
    t ^= t + (t ^ (t >> 7)) * (t | 61u);
    const std::uint32_t z = t ^ (t >> 14);
    return double(z) / 4294967296.0;
}

std::uint32_t confettiSeed(int index)
{
    return std::uint32_t(index) * 1000003u + 11000033u;
}

ConfettiPiece ConfettiPiece::make(int index, const QSizeF &containerSize)
{
    Mulberry32 random(confettiSeed(index));
    ConfettiPiece piece;
    piece.containerSize = containerSize;
    piece.startX = random.next() * std::max(containerSize.width(), 1.0);
    piece.drift = (random.next() - 0.5) * 60;
    piece.duration = 5.5 + 4.5 * random.next();
    piece.delay = -6 * random.next();
    piece.size = 6 + 8 * random.next();
    piece.heightRatio = 0.4 + 0.9 * random.next();
    piece.rot0 = 360 * random.next();
    piece.rot1 = 360 + 720 * random.next();
    piece.shapeRoll = random.next();
    piece.colorRoll = int(6 * random.next()) % 6;
    return piece;
}

double ConfettiPiece::progress(double seconds) const
{
    const double falls = (seconds - delay) / duration;
    return falls - std::floor(falls);
}

ConfettiPiece::Shape ConfettiPiece::shape() const
{
    if (shapeRoll < 0.6)
        return Shape::rectangle;
    return shapeRoll < 0.8 ? Shape::circle : Shape::streamer;
}

QSizeF ConfettiPiece::shapeSize() const
{
    switch (shape()) {
    case Shape::rectangle:
        return {size, size * heightRatio};
    case Shape::circle:
        return {size, size};
    case Shape::streamer:
        break;
    }
    return {2, 2.4 * size};
}

QColor ConfettiPiece::color() const
{
    static const QColor mint(122, 240, 224);
    switch (colorRoll) {
    case 0:
        return accentTeal();
    case 1:
        return accentTeal(0.65);
    case 2:
        return accentTeal(0.35);
    case 3:
        return Qt::white;
    case 4:
        return whiteAt(0.55);
    default:
        return mint;
    }
}

double ConfettiPiece::opacity(double p) const
{
    if (p < 0.08)
        return p / 0.08;
    if (p > 0.92)
        return (1 - p) / 0.08;
    return 1;
}

double ConfettiPiece::angle(double p) const
{
    return rot0 + p * (rot1 - rot0);
}

QPointF ConfettiPiece::centre(double p) const
{
    return {startX + p * drift, p * (containerSize.height() + 60) - 20};
}

QPainterPath checkGlyphPath(double width, double progress)
{
    const double s = width / 44;
    const QPointF a(11 * s, 22.5 * s), b(19 * s, 30 * s), c(33 * s, 14 * s);
    const double first = std::hypot(b.x() - a.x(), b.y() - a.y());
    const double second = std::hypot(c.x() - b.x(), c.y() - b.y());
    double length = std::clamp(progress, 0.0, 1.0) * (first + second);
    QPainterPath path;
    if (length <= 0)
        return path;
    path.moveTo(a);
    if (length <= first) {
        path.lineTo(a + (b - a) * (length / first));
        return path;
    }
    path.lineTo(b);
    length -= first;
    path.lineTo(b + (c - b) * std::min(1.0, length / second));
    return path;
}

} // namespace Celebration
