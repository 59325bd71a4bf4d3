#pragma once

#include <QFont>
#include <QString>

// Fonts measured in device-independent pixels (one point of the design is one pixel).
namespace Fonts {

// The desktop's user-interface font at an exact, possibly fractional, pixel size.
QFont systemFont(double pixelSize, QFont::Weight weight);
// The desktop's fixed-pitch font.
QFont monospacedSystemFont(double pixelSize, QFont::Weight weight);
// The named family at the size and weight.
QFont font(const QString &family, double pixelSize, QFont::Weight weight);

// The pixel size a font made by these helpers renders at.
double pixelSize(const QFont &font);

bool hasFamily(const QString &family);
// The family that a generic name such as "serif" resolves to on this machine.
QString resolvedFamily(const QString &genericFamily);

} // namespace Fonts
