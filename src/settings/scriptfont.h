#pragma once

#include "presets.h"

#include <QFont>

// The script font of the family at a size in points (one point is one pixel here). A family
// whose design is missing on this machine falls back to the system font.
QFont font(FontFamilyPreset family, double pointSize, QFont::Weight weight);

// The family the dyslexia preset uses when one is installed; empty when none is.
QString dyslexiaFamily();
