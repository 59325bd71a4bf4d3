#include "glyphshapes.h"

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
