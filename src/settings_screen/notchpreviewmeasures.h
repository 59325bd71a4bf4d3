#pragma once

// Measures of the preview's mock shared by its layout and its painting. Only the preview
// includes this.

#include <algorithm>

namespace NotchPreviewMeasures {

inline constexpr double bottomRadius = 18;
inline constexpr double cardRadius = 16;
inline constexpr double badgeSize = 22;
// The sticky hint and the cursor footer hang this far below the card's top; the text keeps
// below them.
inline constexpr double stickyNoteTop = 18;
inline constexpr double stickyHintHeight = 14;

// A stored number held within bounds; NaN gives the lower one.
inline double bounded(double value, double low, double high)
{
    if (!(value > low))
        return low;
    return std::min(value, high);
}

} // namespace NotchPreviewMeasures
