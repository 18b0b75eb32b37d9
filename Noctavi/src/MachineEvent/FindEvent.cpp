#include <Noctavi/MachineEvent/FindEvent.h>

#include <Noctavi/MonitoredEntry/Entry.h>
#include <Noctavi/MonitoredEntry/EventLog.h>
#include <Noctavi/MonitoredEntry/ReadEntry.h>

namespace MachineEvent {

boost::optional<Event> FindEvent(MonitoredEntry::EntryManager& manager, BasicID<long> entryId,
                                 BasicID<long> eventId,
                                 const std::function<bool(const MonitoredEntry::EntryProperty&)>& wanted)
{
    boost::optional<Event> found;
    MonitoredEntry::ReadEntry(manager, entryId, [&](const MonitoredEntry::Entry& entry) {
        const MonitoredEntry::EntryProperty& property = entry.GetProperty();
        const boost::shared_ptr<const MonitoredEntry::EventLog> log = entry.GetSharedEventLog();
        if ((!wanted || wanted(property)) && log->Contains(eventId))
            found.emplace(property.GetMFP(), property.GetUser(), log->GetEvent(eventId).GetProperty());
    });
    return found;
}

} // namespace MachineEvent
