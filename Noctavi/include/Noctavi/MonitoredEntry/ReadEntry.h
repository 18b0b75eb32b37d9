#ifndef NOCTAVI_MONITOREDENTRY_READENTRY_H
#define NOCTAVI_MONITOREDENTRY_READENTRY_H

#include <Noctavi/MonitoredEntry/BasicID.h>
#include <Noctavi/MonitoredEntry/EntryProperty.h>

#include <boost/optional.hpp>

#include <functional>

namespace MonitoredEntry {

class Entry;
class EntryManager;

// How the threads and windows read one entry: under the model lock, the
// entry is handed to the reader, which copies out what it keeps. False,
// calling nothing, when the entry is gone. Not to be called with a lock held
// that anyone takes while holding the model lock.
bool ReadEntry(EntryManager& manager, BasicID<long> id, const std::function<void(const Entry&)>& read);
// A copy of the entry's property, taken so; none when the entry is gone.
boost::optional<EntryProperty> CopyProperty(EntryManager& manager, BasicID<long> id);

} // namespace MonitoredEntry

#endif
