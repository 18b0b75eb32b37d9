#ifndef NOCTAVI_MONITOR_READENTRY_H
#define NOCTAVI_MONITOR_READENTRY_H

#include <Noctavi/MonitoredEntry/BasicID.h>

#include <functional>

namespace MonitoredEntry {
class Entry;
class EntryManager;
} // namespace MonitoredEntry

namespace Monitor {

// How the monitoring threads read the model: under the model lock, the entry
// is handed to the reader, which copies out what it keeps. False, calling
// nothing, when the entry is gone. Not to be called with a lock held that
// anyone takes while holding the model lock.
bool ReadEntry(MonitoredEntry::EntryManager& manager, BasicID<long> id,
               const std::function<void(const MonitoredEntry::Entry&)>& read);

} // namespace Monitor

#endif
