#include "reducemotion.h"

#include "motionpreference.h"

ReduceMotionQuery systemReduceMotionQuery()
{
    return [] { return std::optional<bool>(MotionPreference::system().reduceMotion()); };
}

bool shouldReduceMotion(const ReduceMotionQuery &query)
{
    return query && query().value_or(false);
}
