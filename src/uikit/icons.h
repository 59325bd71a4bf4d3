#pragma once

#include <QColor>
#include <QFont>
#include <QRectF>
#include <QString>

class QPainter;

// The symbols of the overlay controls, drawn as vector glyphs of our own. A glyph is sized
// like a character of the system font at the given size: its box is `pointSize` points square
// (a few glyphs are wider), and the weight sets its stroke width.
namespace Icons {

// Draws the named symbol centred in `rect`. Returns false, drawing nothing, for a name that is
// not in the set or a size that is not positive.
bool paint(QPainter *painter, const QString &name, const QRectF &rect, const QColor &color,
           double pointSize, QFont::Weight weight = QFont::Normal);

} // namespace Icons
