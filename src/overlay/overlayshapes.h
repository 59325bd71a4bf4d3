#pragma once

#include <QPainterPath>
#include <QRectF>

#include <utility>

// Outlines of the overlay panels and the resize grip of their corner. Each returns a path
// for a rectangle; the users fill or stroke it with their own colour, width and caps.

// The pinned panel's outline: full width along the top edge, flaring inward at both top
// corners, with rounded bottom corners, in the rectangle's place.
struct DynamicIslandShape
{
    using AnimatableData = std::pair<double, double>;

    double topInset = 0;     // side edges stand in by this much; the top curves reach this deep
    double bottomRadius = 0; // size of the bottom-corner curves

    QPainterPath path(const QRectF &rect) const;

    // (topInset, bottomRadius): animating both together morphs the outline smoothly.
    AnimatableData animatableData() const { return {topInset, bottomRadius}; }
    void setAnimatableData(const AnimatableData &data)
    {
        topInset = data.first;
        bottomRadius = data.second;
    }
};

// Three parallel diagonals in a panel's bottom-right corner, each its own open subpath. The
// offsets between them are absolute points, so a small rectangle lets the later ones overhang.
struct ResizeGripShape
{
    QPainterPath path(const QRectF &rect) const;
};
