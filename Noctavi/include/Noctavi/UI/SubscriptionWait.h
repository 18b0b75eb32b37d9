#ifndef NOCTAVI_UI_SUBSCRIPTIONWAIT_H
#define NOCTAVI_UI_SUBSCRIPTIONWAIT_H

#include <Noctavi/MonitoredEntry/BasicID.h>

namespace MonitoredEntry {
class EntryManager;
}

namespace UI {

// How the wait for an entry's subscription outcome ended.
enum class SubscriptionOutcome { Reported, EntryRemoved, TimedOut, ExitRequested };

// Waits on the GUI thread, under the wait cursor (WaitForStage), until the
// subscriber has written the entry's status, the entry is gone, the
// subscription wait limit has passed, or an exit has been asked for. The
// caller has set the status to "not reported" in the change that switched
// the entry on or added it.
SubscriptionOutcome WaitForSubscription(MonitoredEntry::EntryManager& model, BasicID<long> id);

} // namespace UI

#endif
