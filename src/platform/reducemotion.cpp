#include "reducemotion.h"

ReduceMotionQuery systemReduceMotionQuery()
{
    return [] { return std::optional<bool>(false); };
}

bool shouldReduceMotion(const ReduceMotionQuery &query)
{
    return query && query().value_or(false);
}
