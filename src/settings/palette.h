#pragma once

#include <QColor>

// The colours every window shares.

// The accent of the interface: glows, outlines, selected states, bullets and badges.
QColor accentTeal(double opacity = 1);
// White at an opacity: the label styles of the dark panels.
QColor whiteAt(double opacity);
// Text and glyphs on an accent-teal fill.
QColor onAccentTeal();
