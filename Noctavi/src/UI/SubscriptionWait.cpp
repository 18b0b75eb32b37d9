#include <Noctavi/UI/SubscriptionWait.h>

#include <Noctavi/MonitoredEntry/ReadEntry.h>
#include <Noctavi/System/ConfigLimits.h>
#include <Noctavi/UI/DeferredExit.h>
#include <Noctavi/UI/EventLoopWait.h>
#include <Noctavi/UI/WaitCursor.h>

#include <boost/optional.hpp>

#include <algorithm>
#include <chrono>
#include <cstdint>

namespace UI {

namespace {

using MonitoredEntry::EntryProperty;
typedef std::chrono::steady_clock Clock;

// Caps the wait so that its deadline stays within the clock's range, however
// large the configured limit.
constexpr std::int64_t kLongestSubscriptionWait = 365LL * 24 * 60 * 60 * 1000;

boost::optional<SubscriptionOutcome> ReadOutcome(MonitoredEntry::EntryManager& model, BasicID<long> id)
{
    const boost::optional<EntryProperty> property = MonitoredEntry::CopyProperty(model, id);
    if (!property)
        return SubscriptionOutcome::EntryRemoved;
    if (property->GetStatus() != EntryProperty::StatusNotReported)
        return SubscriptionOutcome::Reported;
    return boost::none;
}

} // namespace

// The model is read on the GUI thread with the lock held only for the read,
// so the subscriber writes meanwhile; pop-ups and the tray go on.
SubscriptionOutcome WaitForSubscription(MonitoredEntry::EntryManager& model, BasicID<long> id)
{
    const std::int64_t limit = std::min(GetConfigLimits().SubscribeResponseLimit, kLongestSubscriptionWait);
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(limit);
    boost::optional<SubscriptionOutcome> outcome;
    const WaitCursor cursor;
    WaitForStage([&] {
        if (DeferredExit::IsRequested())
            outcome = SubscriptionOutcome::ExitRequested;
        else if (!(outcome = ReadOutcome(model, id)) && Clock::now() >= deadline)
            outcome = SubscriptionOutcome::TimedOut;
        return outcome.has_value();
    });
    return *outcome;
}

} // namespace UI
