#pragma once

#include <functional>
#include <optional>

// Whether the desktop asks applications to keep motion to a minimum. A query answers nullopt
// when the desktop gave no answer in time; callers then keep their motion.
using ReduceMotionQuery = std::function<std::optional<bool>()>;

// The desktop's own switch, as MotionPreference reads it.
ReduceMotionQuery systemReduceMotionQuery();

// The answer of a query, no answer meaning motion.
bool shouldReduceMotion(const ReduceMotionQuery &query);
