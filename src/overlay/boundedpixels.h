#pragma once

// Whole pixels for a length in points that comes from outside, such as a stored setting, which
// may hold any double. NaN and lengths below `minimum` give `minimum`; lengths above `maximum`,
// infinity included, give `maximum`, which wins when the bounds cross. No double reaches an
// integer conversion unchecked.
int boundedPixels(double points, int minimum, int maximum);
