#pragma once

#include <QPainterPath>
#include <QRectF>

class QColor;
class QPainter;
class QPen;
class QString;

// A rectangle with round corners of `radius`.
QPainterPath roundedRectPath(const QRectF &rect, double radius);

// Strokes the edge of a rounded rectangle with `pen`, the line kept inside the rectangle so
// that a shape cut to it keeps all of the line. Leaves the pen set and no brush.
void strokeInsideRoundedRect(QPainter *painter, const QRectF &rect, double radius, const QPen &pen);

// A rounded rectangle whose short sides are half circles.
QPainterPath capsulePath(const QRectF &rect);

// A soft shadow under a rounded rectangle, moved down by offsetY. Without a compositor there is
// no blur behind a window, so stacked outlines, each wider and fainter, stand in for a blur of
// the given radius; the colour's alpha is the shadow's total strength.
void paintSoftShadow(QPainter *painter, const QRectF &body, double cornerRadius,
                     const QColor &color, double blurRadius, double offsetY);

// Draws the text on one line in `rect` (its line breaks as spaces), vertically centred, in the
// painter's font and pen. It reads in the direction of its own text and starts on that side,
// whatever the painter's direction (a widget's reads left to right), and a text wider than the
// rectangle is cut with "…" at its end.
void drawTextLine(QPainter &painter, const QRectF &rect, const QString &text);
