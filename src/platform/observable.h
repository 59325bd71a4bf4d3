#pragma once

// Observable models store every write but notify only real changes.
namespace Observable {

// Stores the value and reports whether observers need to hear of it.
template <typename T>
bool assign(T &member, const T &value)
{
    const bool changed = !(member == value);
    member = value;
    return changed;
}

} // namespace Observable
