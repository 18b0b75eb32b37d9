#ifndef NOCTAVI_MONITOR_EVENTMONITOR_H
#define NOCTAVI_MONITOR_EVENTMONITOR_H

#include <Noctavi/MachineEvent/DetectedEventQueue.h>
#include <Noctavi/Monitor/EntryOrdered.h>
#include <Noctavi/MonitoredEntry/BasicID.h>

#include <pelmo/thread/actor.hpp>

#include <boost/shared_ptr.hpp>

namespace MonitoredEntry {
class EntryManager;
}

namespace Monitor {

class Signal;

// Turns one entry's feed into detected events. Its thread fetches the user's
// feed at the address that the entry's subscriber holds and pushes one event
// per item that is new since the last feed in which new items were found, in
// feed order, but no more than the entry's log keeps (the newest). The last
// event carries that feed's newest few hundred items, which the detected-
// event manager stores in the entry when it files the event, and against
// which the next fetch is compared. Then the monitor waits for the entry's
// polling interval or for a signal that concerns its machine. A signal that
// arrives during a fetch brings one more fetch. Each fetch reports in the
// entry's status detail: 0 before the request, 1 when it failed.
//
// While the entry's monitoring is off, the subscriber is stopped (and so
// unsubscribes) and nothing is fetched; switched on again, the monitor fetches
// as soon as the subscriber has subscribed. When the thread ends it stops the
// subscriber. Failed requests never end the thread; a full queue holds it.
class EventMonitor : public pelmo::actor<>, public EntryOrdered<EventMonitor> {
public:
    // Nothing starts: the thread loads the entry and starts the subscriber.
    EventMonitor(BasicID<long> entryID, MonitoredEntry::EntryManager& manager, MachineEvent::DetectedEventQueue& queue);
    // Joins, swallowing every exception.
    ~EventMonitor() override;

    BasicID<long> GetEntryID() const;

    // Follows the entry's monitoring flag, machine, user and interval; runs on
    // the model's notification thread. Switching monitoring off stops the
    // subscriber without waiting for its unsubscription; switching it on again
    // starts a new subscriber, which waits for that on its own thread, so
    // that nothing here waits for a machine. After a new host the next fetch
    // follows the subscription there, and the host's addresses are looked up
    // again. Before the thread has loaded the entry it does nothing, since the
    // thread reads the entry afterwards. Not to be called with the model lock
    // held.
    void Refresh();

    // Wakes the monitor when the signal concerns its machine; the test runs
    // with no lock of the monitor held.
    void OnSignal(const Signal& signal);

private:
    int Run() override;

    struct Pimpl;
    boost::shared_ptr<Pimpl> pimpl_;
};

} // namespace Monitor

#endif
