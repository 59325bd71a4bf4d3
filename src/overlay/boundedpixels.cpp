#include "boundedpixels.h"

#include <algorithm>
#include <cmath>

int boundedPixels(double points, int minimum, int maximum)
{
    minimum = std::min(minimum, maximum);
    if (!(points > minimum)) // NaN included
        return minimum;
    if (points >= maximum)
        return maximum;
    return int(std::lround(points));
}
