#ifndef NOCTAVI_MONITOREDENTRY_IDCOUNTER_H
#define NOCTAVI_MONITOREDENTRY_IDCOUNTER_H

#include <Noctavi/MonitoredEntry/BasicID.h>

#include <limits>

// The rules shared by the counters that hand out entry and event identifiers.
namespace MonitoredEntry {

// The counter's value after id: one more, or 0 where one more would be
// negative. Tested before adding, so the largest value wraps without overflow.
inline BasicID<long> FollowingID(BasicID<long> id) noexcept
{
    typedef BasicID<long>::value_type Value;
    const Value value = id.GetValue();
    return BasicID<long>(value < 0 || value == std::numeric_limits<Value>::max() ? 0 : value + 1);
}

// The first identifier from candidate on, counting as FollowingID does, for
// which isInUse is false. Once a counter has wrapped, identifiers still held
// would otherwise be handed out a second time.
template <class InUse>
BasicID<long> FirstFreeID(BasicID<long> candidate, InUse isInUse)
{
    while (isInUse(candidate))
        candidate = FollowingID(candidate);
    return candidate;
}

} // namespace MonitoredEntry

#endif
