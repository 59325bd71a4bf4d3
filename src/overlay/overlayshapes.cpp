#include "overlayshapes.h"

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
