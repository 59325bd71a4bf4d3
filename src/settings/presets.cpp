#include "presets.h"

#include "localization.h"

QString localizedDescription(OverlayMode mode)
{
    switch (mode) {
    case OverlayMode::pinned:
        return localizedString("Anclado debajo del notch en la parte superior de tu pantalla.");
    case OverlayMode::floating:
        return localizedString("Hasta 4 ventanas que podés fijar donde quieras.");
    case OverlayMode::cursor:
        return localizedString("El panel sigue tu cursor. Controlalo con las flechas del teclado.");
    case OverlayMode::fullscreen:
        return localizedString("Teleprompter en pantalla completa en la pantalla seleccionada. "
                               "Presioná Esc para detener.");
    }
    return {};
}

CueOpacities cueOpacities(CueBrightness brightness)
{
    switch (brightness) {
    case CueBrightness::dim:
        return {0.2, 0.5};
    case CueBrightness::low:
        return {0.35, 0.6};
    case CueBrightness::medium:
        return {0.5, 0.7};
    case CueBrightness::bright:
        return {0.8, 1.0};
    }
    return {};
}

double pointSize(FontSizePreset size)
{
    switch (size) {
    case FontSizePreset::xs:
        return 14;
    case FontSizePreset::sm:
        return 16;
    case FontSizePreset::lg:
        return 20;
    }
    return 16;
}

QColor color(FontColorPreset preset)
{
    switch (preset) {
    case FontColorPreset::white:
        return QColor::fromRgbF(1.0f, 1.0f, 1.0f);
    case FontColorPreset::yellow:
        return QColor::fromRgbF(1.0f, 0.84f, 0.04f);
    case FontColorPreset::green:
        return defaultCueColor();
    case FontColorPreset::blue:
        return QColor::fromRgbF(0.31f, 0.55f, 1.0f);
    case FontColorPreset::pink:
        return QColor::fromRgbF(1.0f, 0.38f, 0.57f);
    case FontColorPreset::orange:
        return QColor::fromRgbF(1.0f, 0.62f, 0.04f);
    }
    return Qt::white;
}

QColor defaultCueColor()
{
    return QColor::fromRgbF(0.0f, 0.847f, 0.749f);
}
