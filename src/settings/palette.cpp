#include "palette.h"

QColor accentTeal(double opacity)
{
    return QColor::fromRgbF(0.0f, 216.0f / 255.0f, 191.0f / 255.0f, float(opacity));
}

QColor whiteAt(double opacity)
{
    return QColor::fromRgbF(1.0f, 1.0f, 1.0f, float(opacity));
}

QColor onAccentTeal()
{
    return QColor(0, 24, 24);
}
