#ifndef NOCTAVI_MACHINEEVENT_NOTIFIABLEEVENTMANAGER_H
#define NOCTAVI_MACHINEEVENT_NOTIFIABLEEVENTMANAGER_H

#include <Noctavi/MonitoredEntry/BasicID.h>

namespace MachineEvent {

// Told of every event filed into an entry's event log, in filing order, on
// the detected-event manager's thread.
class NotifiableEventManager {
public:
    NotifiableEventManager() = default;
    NotifiableEventManager(const NotifiableEventManager&) = delete;
    NotifiableEventManager& operator=(const NotifiableEventManager&) = delete;
    virtual ~NotifiableEventManager() = default;

    virtual void Notify(BasicID<long> entryID, BasicID<long> eventID) = 0;
};

} // namespace MachineEvent

#endif
