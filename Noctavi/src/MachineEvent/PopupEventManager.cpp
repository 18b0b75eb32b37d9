#include <Noctavi/MachineEvent/PopupEventManager.h>

#include <Noctavi/MachineEvent/Event.h>
#include <Noctavi/MachineEvent/FindEvent.h>
#include <Noctavi/MachineEvent/PopupPresenter.h>
#include <Noctavi/MonitoredEntry/DBException.h>
#include <Noctavi/MonitoredEntry/EntryManager.h>
#include <Noctavi/MonitoredEntry/EntryProperty.h>
#include <Noctavi/MonitoredEntry/MarkRead.h>
#include <Noctavi/System/ConfigLimits.h>
#include <Noctavi/Utility/Trace.h>

#include <boost/make_shared.hpp>
#include <boost/optional.hpp>
#include <boost/thread/condition_variable.hpp>
#include <boost/thread/lock_guard.hpp>
#include <boost/thread/mutex.hpp>
#include <boost/thread/thread.hpp>

#include <cstddef>
#include <deque>
#include <utility>

namespace MachineEvent {

namespace {

typedef std::pair<BasicID<long>, BasicID<long>> Pair;

using MonitoredEntry::EntryManager;

// What the pop-up shows, when the pair still calls for one.
boost::optional<Event> FindShownEvent(EntryManager& manager, const Pair& pair)
{
    return FindEvent(manager, pair.first, pair.second, [](const MonitoredEntry::EntryProperty& property) {
        return property.GetConfig().GetNotice();
    });
}

} // namespace

struct PopupEventManager::Pimpl {
    Pimpl(EntryManager& model, PopupPresenter& shower, boost::chrono::milliseconds pauseAfterShown)
        : manager(model)
        , presenter(shower)
        , pause(pauseAfterShown)
    {
    }

    EntryManager& manager;
    PopupPresenter& presenter;
    const boost::chrono::milliseconds pause;

    // Guards the queue and the accepting flag; never held with the model lock.
    boost::mutex mutex;
    boost::condition_variable queued;
    std::deque<Pair> queue;
    bool accepting = false;

    void Accept(bool accept);
    void Queue(const Pair& pair);
    Pair TakeOldest();
    void DropWaiting();
    void Show(const Event& event, const Pair& pair);
};

// A manager that does not run takes no pairs, and one that starts again
// begins with none.
void PopupEventManager::Pimpl::Accept(bool accept)
{
    boost::lock_guard<boost::mutex> lock(mutex);
    accepting = accept;
    queue.clear();
}

void PopupEventManager::Pimpl::Queue(const Pair& pair)
{
    boost::lock_guard<boost::mutex> lock(mutex);
    if (!accepting)
        return;
    queue.push_back(pair);
    const std::size_t limit = static_cast<std::size_t>(GetConfigLimits().DetectedEventQueueSize);
    while (queue.size() > limit)
        queue.pop_front();
    queued.notify_all();
}

// Interruptible.
Pair PopupEventManager::Pimpl::TakeOldest()
{
    boost::unique_lock<boost::mutex> lock(mutex);
    queued.wait(lock, [this] { return !queue.empty(); });
    const Pair oldest = queue.front();
    queue.pop_front();
    return oldest;
}

void PopupEventManager::Pimpl::DropWaiting()
{
    boost::lock_guard<boost::mutex> lock(mutex);
    queue.clear();
}

void PopupEventManager::Pimpl::Show(const Event& event, const Pair& pair)
{
    switch (presenter.Present(event, pair.first)) {
    case PopupOutcome::Accepted:
        try {
            MonitoredEntry::MarkRead(manager, pair.first, pair.second);
        } catch (const MonitoredEntry::DBException&) {
            // A refused write leaves the event unread; the next pair still comes.
        }
        break;
    case PopupOutcome::EventLogViewer:
        DropWaiting();
        break;
    case PopupOutcome::Dismissed:
        break;
    }
}

PopupEventManager::PopupEventManager(EntryManager& manager, PopupPresenter& presenter,
                                     boost::chrono::milliseconds pause)
    : pimpl_(boost::make_shared<Pimpl>(manager, presenter, pause))
{
}

PopupEventManager::~PopupEventManager()
{
    try {
        Join();
    } catch (...) {
        Utility::TraceFailure(Utility::kTraceEvent, "the pop-up event manager's thread ended in a failure");
    }
}

void PopupEventManager::Notify(BasicID<long> entryID, BasicID<long> eventID)
{
    pimpl_->Queue(Pair(entryID, eventID));
}

void PopupEventManager::OnStart()
{
    pimpl_->Accept(true);
}

// Runs on the stopping thread after the manager's thread was interrupted.
void PopupEventManager::OnStop()
{
    pimpl_->Accept(false);
    pimpl_->presenter.Dismiss();
}

int PopupEventManager::Run()
{
    Pimpl& self = *pimpl_;
    try {
        for (;;) {
            const Pair pair = self.TakeOldest();
            const boost::optional<Event> event = FindShownEvent(self.manager, pair);
            if (!event)
                continue;
            self.Show(*event, pair);
            boost::this_thread::sleep_for(self.pause);
        }
    } catch (const boost::thread_interrupted&) {
    }
    return 0;
}

} // namespace MachineEvent
