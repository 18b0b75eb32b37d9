#ifndef NOCTAVI_MONITOR_CHANGEENTRY_H
#define NOCTAVI_MONITOR_CHANGEENTRY_H

#include <Noctavi/MonitoredEntry/BasicID.h>

#include <functional>

namespace MonitoredEntry {
class Entry;
class EntryManager;
class EntryProperty;
} // namespace MonitoredEntry

namespace Monitor {

// How the monitoring threads write back into the model: in one transaction,
// a clone of the entry is changed and replaces it. An entry that is gone is
// not written, and a change the model refuses is dropped, so that neither
// ends a monitoring thread; the answer says whether the change was stored.
// Not to be called with any lock held that an observer of the model takes.
bool ChangeEntry(MonitoredEntry::EntryManager& manager, BasicID<long> id,
                 const std::function<void(MonitoredEntry::Entry&)>& change);
// The same for a change of the entry's property alone.
bool ChangeProperty(MonitoredEntry::EntryManager& manager, BasicID<long> id,
                    const std::function<void(MonitoredEntry::EntryProperty&)>& change);

} // namespace Monitor

#endif
