#include "overlayshapes.h"

QPainterPath DynamicIslandShape::path(const QRectF &rect) const
{
    const double x = rect.left();
    const double y = rect.top();
    const double w = rect.width();
    const double h = rect.height();
    const double t = topInset;
    const double r = bottomRadius;

    QPainterPath p;
    p.moveTo(x, y);
    p.quadTo(x + t, y, x + t, y + t);
    p.lineTo(x + t, y + h - r);
    p.quadTo(x + t, y + h, x + t + r, y + h);
    p.lineTo(x + w - t - r, y + h);
    p.quadTo(x + w - t, y + h, x + w - t, y + h - r);
    p.lineTo(x + w - t, y + t);
    p.quadTo(x + w - t, y, x + w, y);
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
