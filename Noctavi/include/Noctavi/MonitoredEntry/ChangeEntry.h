#ifndef NOCTAVI_MONITOREDENTRY_CHANGEENTRY_H
#define NOCTAVI_MONITOREDENTRY_CHANGEENTRY_H

#include <Noctavi/MonitoredEntry/BasicID.h>
#include <Noctavi/MonitoredEntry/EntryManager.h>

#include <functional>

namespace MonitoredEntry {

class Entry;
class EntryProperty;

// How one entry is changed: in one transaction, a clone of the entry is
// changed and replaces it, so the observers hear of it once; the change may
// also write other entries through the transaction. False, storing nothing,
// when the entry is gone. A change the model refuses throws and stores
// nothing. Not to be called with any lock held that an observer takes.
bool ChangeEntry(EntryManager& manager, BasicID<long> id,
                 const std::function<void(EntryManager::Transaction&, Entry&)>& change);
// The same for a change of the entry's property alone, as the monitoring
// threads make it: a change the model refuses is dropped, so that it ends no
// thread; the answer says whether the change was stored.
bool ChangeProperty(EntryManager& manager, BasicID<long> id, const std::function<void(EntryProperty&)>& change);

} // namespace MonitoredEntry

#endif
