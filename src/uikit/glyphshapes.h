#pragma once

#include <QPainterPath>
#include <QRectF>

// Round-tipped chevrons on a 24 x 24 grid scaled to the rectangle's size, drawn from (0, 0).
// The left one starts at its top end, the right one at its bottom end.
struct ChevronLeftShape
{
    QPainterPath path(const QRectF &rect) const;
};

struct ChevronRightShape
{
    QPainterPath path(const QRectF &rect) const;
};
