#ifndef NOCTAVI_MACHINEEVENT_FINDEVENT_H
#define NOCTAVI_MACHINEEVENT_FINDEVENT_H

#include <Noctavi/MachineEvent/Event.h>
#include <Noctavi/MonitoredEntry/BasicID.h>

#include <boost/optional.hpp>

#include <functional>

namespace MonitoredEntry {
class EntryManager;
class EntryProperty;
} // namespace MonitoredEntry

namespace MachineEvent {

// The logged event as the event windows show it, copied with its entry's
// machine and user under one hold of the model lock. None when the entry or
// the event has gone, or when `wanted` turns the entry down.
boost::optional<Event> FindEvent(MonitoredEntry::EntryManager& manager, BasicID<long> entryId,
                                 BasicID<long> eventId,
                                 const std::function<bool(const MonitoredEntry::EntryProperty&)>& wanted = {});

} // namespace MachineEvent

#endif
