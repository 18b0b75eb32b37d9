#ifndef NOCTAVI_MACHINEEVENT_POPUPEVENTMANAGER_H
#define NOCTAVI_MACHINEEVENT_POPUPEVENTMANAGER_H

#include <Noctavi/MachineEvent/NotifiableEventManager.h>

#include <pelmo/thread/actor.hpp>

#include <boost/chrono/duration.hpp>
#include <boost/shared_ptr.hpp>

namespace MonitoredEntry {
class EntryManager;
}

namespace MachineEvent {

class PopupPresenter;

// Brings newly filed events to the user, one pop-up at a time.
//
// Notify keeps the newest "DETECTED_EVENT_QUEUE_SIZE" pairs. The manager's
// thread takes the oldest and, when the entry still exists, its pop-up notice
// is on and its log still holds the event, has the presenter show it; an
// accepted pop-up marks the event read, one left for the event log viewer
// drops every waiting pair. After a shown pop-up the thread pauses before the
// next. Pairs told while the manager is not running are dropped, and so are
// those still waiting when it stops.
//
// Its stop closes the open pop-up through the presenter, so a Join on the
// windows' thread never waits for that thread. The presenter must outlive
// the manager.
class PopupEventManager : public NotifiableEventManager, public pelmo::actor<> {
public:
    static constexpr boost::chrono::milliseconds kPause{1000};

    PopupEventManager(MonitoredEntry::EntryManager& manager, PopupPresenter& presenter,
                      boost::chrono::milliseconds pause = kPause);
    // Joins, swallowing every exception.
    ~PopupEventManager() override;

    // Called on the detected-event manager's thread.
    void Notify(BasicID<long> entryID, BasicID<long> eventID) override;

private:
    void OnStart() override;
    void OnStop() override;
    int Run() override;

    struct Pimpl;
    boost::shared_ptr<Pimpl> pimpl_;
};

} // namespace MachineEvent

#endif
