#include "overlayshapes.h"

namespace {

// Maps a point of the chevrons' 24 x 24 grid into a rectangle of the given size.
class ChevronGrid
{
public:
    explicit ChevronGrid(const QRectF &rect)
        : m_scaleX(rect.width() / 24)
        , m_scaleY(rect.height() / 24)
    {}

    QPointF operator()(double x, double y) const { return {x * m_scaleX, y * m_scaleY}; }

private:
    double m_scaleX = 1;
    double m_scaleY = 1;
};

} // namespace

QPainterPath DynamicIslandShape::path(const QRectF &rect) const
{
    const double w = rect.width();
    const double h = rect.height();
    const double t = topInset;
    const double r = bottomRadius;

    QPainterPath p;
    p.moveTo(0, 0);
    p.quadTo(t, 0, t, t);
    p.lineTo(t, h - r);
    p.quadTo(t, h, t + r, h);
    p.lineTo(w - t - r, h);
    p.quadTo(w - t, h, w - t, h - r);
    p.lineTo(w - t, t);
    p.quadTo(w - t, 0, w, 0);
    p.closeSubpath();
    return p;
}

QPainterPath ResizeGripShape::path(const QRectF &rect) const
{
    QPainterPath p;
    for (double d = 0; d <= 8; d += 4) {
        p.moveTo(rect.right(), rect.top() + d);
        p.lineTo(rect.left() + d, rect.bottom());
    }
    return p;
}

QPainterPath ChevronLeftShape::path(const QRectF &rect) const
{
    const ChevronGrid g(rect);
    QPainterPath p;
    p.moveTo(g(15, 5));
    p.quadTo(g(9.284, 11.22), g(9.669, 12));
    p.quadTo(g(9.284, 12.78), g(15, 19));
    return p;
}

QPainterPath ChevronRightShape::path(const QRectF &rect) const
{
    const ChevronGrid g(rect);
    QPainterPath p;
    p.moveTo(g(9, 19));
    p.quadTo(g(14.716, 12.78), g(14.331, 12));
    p.quadTo(g(14.716, 11.22), g(9, 5));
    return p;
}
