#pragma once

#include "platform/captureshield.h"
#include "platform/reducemotion.h"

#include <QtGlobal>

#include <functional>

// What the how-it-works demos take from outside: the clock their timelines run on, the
// desktop's reduce-motion answer, and whether panels can be kept out of captures.
struct HiwEnvironment
{
    // Milliseconds on a clock that never goes back.
    std::function<qint64()> clock = steadyClockMs;
    ReduceMotionQuery reduceMotion = systemReduceMotionQuery();
    const CaptureShield *captureShield = &CaptureShield::system();

    static qint64 steadyClockMs();
};
