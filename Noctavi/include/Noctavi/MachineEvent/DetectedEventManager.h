#ifndef NOCTAVI_MACHINEEVENT_DETECTEDEVENTMANAGER_H
#define NOCTAVI_MACHINEEVENT_DETECTEDEVENTMANAGER_H

#include <Noctavi/MachineEvent/DetectedEventQueue.h>

#include <pelmo/thread/actor.hpp>

#include <boost/shared_ptr.hpp>

namespace MonitoredEntry {
class EntryManager;
}

namespace MachineEvent {

class NotifiableEventManager;

// Files what the event monitors detect into the entries' event logs.
//
// Its thread gathers the events that arrive close together (until the queue
// has stayed empty for 300 ms, the batch holds as many events as the queue
// can, or two seconds have passed) and files each batch in one transaction.
// Events of entries that are gone, or that the entry's log already holds,
// are dropped; so is an event the model refuses, alone. The (entry ID, event
// ID) of every filed event then goes to the notifiable manager, in filing
// order. In the same transaction, the feed that an event carries becomes its
// entry's latest feed. Asked to stop, it files what is still queued before
// it ends.
class DetectedEventManager : public pelmo::actor<> {
public:
    DetectedEventManager(MonitoredEntry::EntryManager& manager, DetectedEventQueue& queue);
    // Joins, swallowing every exception.
    ~DetectedEventManager() override;

    // Notify runs on this manager's thread under the lock these two take, so
    // the receiver must not call them from it; ResetNotifiable waits for a
    // delivery in progress to end.
    void SetNotifiable(NotifiableEventManager* notifiable);
    void ResetNotifiable();

private:
    int Run() override;

    struct Pimpl;
    boost::shared_ptr<Pimpl> pimpl_;
};

} // namespace MachineEvent

#endif
