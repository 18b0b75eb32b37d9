#ifndef NOCTAVI_MONITOREDENTRY_MARKREAD_H
#define NOCTAVI_MONITOREDENTRY_MARKREAD_H

#include <Noctavi/MonitoredEntry/BasicID.h>

namespace MonitoredEntry {

class EntryManager;

// Marks one logged event read in a transaction of its own, which notifies
// the observers. Nothing changes when the entry or the event has gone.
void MarkRead(EntryManager& manager, BasicID<long> entryId, BasicID<long> eventId);

} // namespace MonitoredEntry

#endif
