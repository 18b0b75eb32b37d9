#ifndef NOCTAVI_MACHINEEVENT_POPUPPRESENTER_H
#define NOCTAVI_MACHINEEVENT_POPUPPRESENTER_H

#include <Noctavi/MonitoredEntry/BasicID.h>

namespace MachineEvent {

class Event;

// How a pop-up ended, as far as the pop-up event manager cares.
enum class PopupOutcome {
    // Close, or a successful Delete: the user has seen the event.
    Accepted,
    // Its timer, its close box, or a stop: the event stays unread.
    Dismissed,
    // Its Event Log Viewer button: the user now looks at the whole log.
    EventLogViewer,
};

// The windows' side of the pop-up event manager, which itself stays free of
// them: shows one event's pop-up for the manager's thread and tells it how
// the pop-up ended.
class PopupPresenter {
public:
    PopupPresenter() = default;
    PopupPresenter(const PopupPresenter&) = delete;
    PopupPresenter& operator=(const PopupPresenter&) = delete;
    virtual ~PopupPresenter() = default;

    // On the manager's thread: prepares the pop-up for the logged event of
    // the entry,
    // has it shown and waits until it ends. Interruptible: the thread's
    // interruption ends the wait with boost::thread_interrupted, and the
    // pop-up then closes, or never appears.
    virtual PopupOutcome Present(const Event& event, BasicID<long> entryID) = 0;

    // From any thread: closes the open pop-up, if any, as Dismissed.
    virtual void Dismiss() = 0;
};

} // namespace MachineEvent

#endif
