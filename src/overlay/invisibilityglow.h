#pragma once

#include <QLinearGradient>
#include <QPainterPath>
#include <QRectF>

class QPainter;

// The teal glow that tells the presenter a panel is hidden from screen capture, and its mask.

// Mask brush: white 0.3 at `top`, rising to opaque white 40 points lower and staying opaque
// below, so filling a rectangle from `top` down gives the fade and then plain white.
QLinearGradient edgeFadeGradient(double top);

// Paints the glow along `outline` (given in the painter's coordinates): a wide soft stroke at
// 0.55 and a thin line over it, in the accent colour, at `opacity`. `frame` is the outline's
// box; the mask fades the glow along its top 40 points from 6 points down, and leaves short
// faint strips `cornerStripWidth` wide at both top corners, 2 points down.
void paintInvisibilityGlow(QPainter &painter, const QPainterPath &outline, const QRectF &frame,
                           double cornerStripWidth, double opacity);

// The soft part of the glow alone: a 5 point accent line along `outline` blurred with radius 3,
// at full strength (the painter's opacity scales it).
void paintSoftAccentStroke(QPainter &painter, const QPainterPath &outline);

// The floating panels' version of the glow, for a panel that fills `panelRect` with corners of
// `cornerRadius`: the soft stroke along the outline set 3 points in, and a thin line inside the
// edge, at `opacity`. The settings preview draws it too.
void paintFloatingPanelBorder(QPainter &painter, const QRectF &panelRect, double cornerRadius,
                              double opacity);
