#include <Noctavi/Monitor/EventMonitor.h>

#include <Noctavi/HTTP/Error.h>
#include <Noctavi/MachineEvent/DetectedEvent.h>
#include <Noctavi/Monitor/HostAddresses.h>
#include <Noctavi/Monitor/MachineAccess.h>
#include <Noctavi/Monitor/Signal.h>
#include <Noctavi/Monitor/Subscriber.h>
#include <Noctavi/MonitoredEntry/ChangeEntry.h>
#include <Noctavi/MonitoredEntry/Distinction.h>
#include <Noctavi/MonitoredEntry/Entry.h>
#include <Noctavi/MonitoredEntry/MissingEntry.h>
#include <Noctavi/MonitoredEntry/ReadEntry.h>
#include <Noctavi/RSS/FindNewItems.h>
#include <Noctavi/RSS/RSSFeed.h>
#include <Noctavi/Utility/Trace.h>

#include <pelmo/exception.hpp>

#include <boost/chrono/duration.hpp>
#include <boost/make_shared.hpp>
#include <boost/optional.hpp>
#include <boost/thread/condition_variable.hpp>
#include <boost/thread/lock_guard.hpp>
#include <boost/thread/locks.hpp>
#include <boost/thread/mutex.hpp>
#include <boost/thread/thread.hpp>

#include <algorithm>
#include <deque>

namespace Monitor {

namespace {

using MonitoredEntry::ChangeProperty;
using MonitoredEntry::EntryProperty;
using MonitoredEntry::ReadEntry;
typedef boost::shared_ptr<const MachineEvent::DetectedEvent> EventPointer;

// Finding new items needs only the newest items of the feed compared with,
// so a machine's long feed grows neither the program nor the data file.
const RSS::ItemList::size_type kKeptItems = 256;

RSS::RSSFeed Kept(RSS::RSSFeed feed)
{
    const RSS::ItemList& items = feed.GetItemList();
    if (items.size() > kKeptItems)
        feed.SetItemList(RSS::ItemList(items.end() - kKeptItems, items.end()));
    return feed;
}

// One fetch files at most a log's worth of events, the newest: the log would
// trim older ones at once.
RSS::ItemList::const_iterator Newest(RSS::ItemList::const_iterator first, RSS::ItemList::const_iterator last,
                                     int logMax)
{
    const RSS::ItemList::difference_type room = std::max(logMax, 0);
    return last - first > room ? last - room : first;
}

// What the monitor follows of its entry.
struct EntryState {
    explicit EntryState(const MonitoredEntry::Entry& entry)
        : monitoring(entry.GetProperty().GetMonitoring())
        , identity(entry)
        , interval(entry.GetProperty().GetConfig().GetInterval())
        , logMax(entry.GetProperty().GetConfig().GetLogMax())
    {
    }

    bool monitoring;
    MonitoredEntry::Distinction identity;
    int interval;
    int logMax;
};

// What a refresh does to the subscriber: nothing (monitoring stays off), stop
// it, start it again, or let it follow the entry, to a new host perhaps.
enum class SubscriberChange { None, Stop, Resume, Follow, Move };

} // namespace

// The subscriber is started, stopped and replaced only under
// `subscriberControl` and never under `mutex`, and nothing waits for it under
// either: only the monitor's own thread joins it, at its end. Since loading
// the entry and deciding on it both happen under `subscriberControl`, a
// Refresh that finds the entry not yet loaded loses nothing: the load reads
// the entry after it.
struct EventMonitor::Pimpl {
    Pimpl(BasicID<long> id, MonitoredEntry::EntryManager& model, MachineEvent::DetectedEventQueue& events)
        : manager(model)
        , queue(events)
        , entryID(id)
        , subscriber(boost::make_shared<Subscriber>(id, model))
    {
    }

    MonitoredEntry::EntryManager& manager;
    MachineEvent::DetectedEventQueue& queue;
    const BasicID<long> entryID;

    // The monitor's thread alone uses these.
    boost::optional<RSS::RSSFeed> pendingFeed;
    std::deque<EventPointer> pendingBatch;
    boost::optional<RSS::RSSFeed> latestFeed;

    boost::shared_ptr<Subscriber> subscriber;
    boost::mutex subscriberControl;

    boost::mutex mutex;
    boost::condition_variable wakeUp;
    MonitoredEntry::Distinction identity;
    int interval = 0;
    int logMax = 0;
    bool loaded = false;
    bool suspended = false;
    bool signalled = false;

    void Load();
    boost::shared_ptr<Subscriber> CurrentSubscriber();
    void End() noexcept;
    SubscriberChange Decide(const EntryState& state);
    void Apply(SubscriberChange change);

    void Pass();
    bool BeginFetch();
    MonitoredEntry::Distinction Identity();
    int LogMax();
    void Fetch();
    void Compare();
    void Push();
    void WriteStatusDetail(int detail);
    void Wake();
    void Wait();
};

// The subscriber starts only for an entry that is monitored now.
void EventMonitor::Pimpl::Load()
{
    boost::lock_guard<boost::mutex> control(subscriberControl);
    boost::optional<EntryState> state;
    boost::optional<RSS::RSSFeed> stored;
    const bool found = ReadEntry(manager, entryID, [&](const MonitoredEntry::Entry& entry) {
        state.emplace(entry);
        stored = entry.GetLatestRSSFeed();
    });
    if (!found)
        PELMO_THROW(MonitoredEntry::MissingEntry());
    if (stored)
        latestFeed = Kept(*stored);
    HostAddresses::Get().Refresh(state->identity.GetMFP().GetHost());
    if (state->monitoring)
        subscriber->Start();
    boost::lock_guard<boost::mutex> lock(mutex);
    identity = state->identity;
    interval = state->interval;
    logMax = state->logMax;
    loaded = true;
    suspended = !state->monitoring;
    signalled = false;
}

boost::shared_ptr<Subscriber> EventMonitor::Pimpl::CurrentSubscriber()
{
    boost::lock_guard<boost::mutex> control(subscriberControl);
    return subscriber;
}

// Waits for the subscriber to unsubscribe even when the thread ends by an
// interruption that is still pending; a Refresh meanwhile finds the monitor
// unloaded and leaves the subscriber alone.
void EventMonitor::Pimpl::End() noexcept
{
    try {
        boost::this_thread::disable_interruption shield;
        boost::shared_ptr<Subscriber> ending;
        {
            boost::lock_guard<boost::mutex> control(subscriberControl);
            boost::lock_guard<boost::mutex> lock(mutex);
            loaded = false;
            ending = subscriber;
        }
        ending->Join();
    } catch (...) {
        Utility::TraceFailure(Utility::kTraceMonitor, "an event monitor's subscriber ended in a failure");
    }
}

// A new host with monitoring off leaves the monitor suspended.
SubscriberChange EventMonitor::Pimpl::Decide(const EntryState& state)
{
    const bool hostChanged = state.identity.GetMFP().GetHost() != identity.GetMFP().GetHost();
    identity = state.identity;
    interval = state.interval;
    logMax = state.logMax;
    if (!state.monitoring) {
        if (suspended)
            return SubscriberChange::None;
        suspended = true;
        return SubscriberChange::Stop;
    }
    if (suspended) {
        suspended = false;
        return SubscriberChange::Resume;
    }
    return hostChanged ? SubscriberChange::Move : SubscriberChange::Follow;
}

// Stopping only interrupts the subscriber, so that its unsubscription, which
// waits for a fetch in progress and then for the machine, holds up nobody;
// resumed, a new subscriber takes over and waits for the stopped one on its
// own thread, never on the model's notification thread. The wake comes after
// the subscriber has started or taken the new host, so that the fetch it
// brings waits for the new subscription instead of taking the old.
void EventMonitor::Pimpl::Apply(SubscriberChange change)
{
    switch (change) {
    case SubscriberChange::None:
        return;
    case SubscriberChange::Stop:
        subscriber->Suspend();
        return;
    case SubscriberChange::Resume:
        subscriber = boost::make_shared<Subscriber>(entryID, manager, subscriber);
        subscriber->Start();
        break;
    case SubscriberChange::Follow:
        subscriber->Refresh();
        return;
    case SubscriberChange::Move:
        HostAddresses::Get().Refresh(identity.GetMFP().GetHost());
        subscriber->Refresh();
        break;
    }
    Wake();
}

// A feed whose events the queue has not all taken yet is finished before the
// next fetch. The latest feed changes only when new items were found.
void EventMonitor::Pimpl::Pass()
{
    if (!pendingFeed && BeginFetch())
        Fetch();
    if (!pendingFeed)
        return;
    if (pendingBatch.empty())
        Compare();
    if (pendingBatch.empty())
        pendingFeed = boost::none;
    else
        Push();
}

// Cleared before the fetch rather than after, so that a signal arriving
// while the feed is fetched brings one more fetch instead of being lost.
bool EventMonitor::Pimpl::BeginFetch()
{
    boost::lock_guard<boost::mutex> lock(mutex);
    signalled = false;
    return !suspended;
}

MonitoredEntry::Distinction EventMonitor::Pimpl::Identity()
{
    boost::lock_guard<boost::mutex> lock(mutex);
    return identity;
}

int EventMonitor::Pimpl::LogMax()
{
    boost::lock_guard<boost::mutex> lock(mutex);
    return logMax;
}

// The identity is copied before the feed address is taken, so that the
// fetch holds no lock of the monitor while it holds the address.
void EventMonitor::Pimpl::Fetch()
{
    const MonitoredEntry::Distinction target = Identity();
    const boost::shared_ptr<Subscriber> current = CurrentSubscriber();
    try {
        const Subscriber::ScopedRSSFeedURLLock address(*current);
        if (!address.GetURL())
            return;
        WriteStatusDetail(EntryProperty::RequestSucceeded);
        pendingFeed = *GetMachineAccess()->GetRSSFeed(target.GetMFP(), *address.GetURL(), target.GetUser());
    } catch (const boost::thread_interrupted&) {
        throw;
    } catch (const HTTP::Error&) {
        WriteStatusDetail(EntryProperty::RequestFailed);
    } catch (...) {
        WriteStatusDetail(EntryProperty::RequestFailed);
        throw;
    }
}

// The last event carries the feed, for the detected-event manager to store
// as the entry's latest when it files the event.
void EventMonitor::Pimpl::Compare()
{
    const RSS::ItemList& items = pendingFeed->GetItemList();
    const auto first = Newest(latestFeed ? RSS::FindNewItems(*latestFeed, *pendingFeed) : items.begin(), items.end(),
                              LogMax());
    const auto feed = boost::make_shared<const RSS::RSSFeed>(Kept(*pendingFeed));
    std::deque<EventPointer> batch;
    for (auto item = first; item != items.end(); ++item) {
        const bool last = item + 1 == items.end();
        batch.push_back(MachineEvent::DetectedEvent::Create(*item, entryID, last ? feed : nullptr));
    }
    pendingBatch.swap(batch);
}

// An event leaves the batch only once the queue has taken it, so an
// interruption while the queue is full loses none.
void EventMonitor::Pimpl::Push()
{
    const MachineEvent::DetectedEvent::FeedPointer feed = pendingBatch.back()->GetLatestFeed();
    while (!pendingBatch.empty()) {
        queue.push(pendingBatch.front());
        pendingBatch.pop_front();
    }
    latestFeed = *feed;
    pendingFeed = boost::none;
}

void EventMonitor::Pimpl::WriteStatusDetail(int detail)
{
    boost::this_thread::interruption_point();
    ChangeProperty(manager, entryID, [detail](EntryProperty& property) { property.SetStatusDetail(detail); });
}

void EventMonitor::Pimpl::Wake()
{
    {
        boost::lock_guard<boost::mutex> lock(mutex);
        signalled = true;
    }
    wakeUp.notify_all();
}

void EventMonitor::Pimpl::Wait()
{
    boost::unique_lock<boost::mutex> lock(mutex);
    wakeUp.wait_for(lock, boost::chrono::milliseconds(interval), [this] { return !suspended && signalled; });
}

EventMonitor::EventMonitor(BasicID<long> entryID, MonitoredEntry::EntryManager& manager,
                           MachineEvent::DetectedEventQueue& queue)
    : pimpl_(boost::make_shared<Pimpl>(entryID, manager, queue))
{
}

EventMonitor::~EventMonitor()
{
    try {
        Join();
    } catch (...) {
        Utility::TraceFailure(Utility::kTraceMonitor, "an event monitor's thread ended in a failure");
    }
}

BasicID<long> EventMonitor::GetEntryID() const
{
    return pimpl_->entryID;
}

void EventMonitor::Refresh()
{
    Pimpl& self = *pimpl_;
    const boost::lock_guard<boost::mutex> control(self.subscriberControl);
    boost::optional<EntryState> state;
    if (!ReadEntry(self.manager, self.entryID, [&](const MonitoredEntry::Entry& entry) { state.emplace(entry); }))
        return;
    SubscriberChange change;
    {
        boost::lock_guard<boost::mutex> lock(self.mutex);
        if (!self.loaded)
            return;
        change = self.Decide(*state);
    }
    self.Apply(change);
}

// A suspended monitor is not woken, so its host is not even resolved.
void EventMonitor::OnSignal(const Signal& signal)
{
    Pimpl& self = *pimpl_;
    MonitoredEntry::Distinction target;
    {
        boost::lock_guard<boost::mutex> lock(self.mutex);
        if (!self.loaded || self.suspended)
            return;
        target = self.identity;
    }
    if (signal.Matches(target))
        self.Wake();
}

int EventMonitor::Run()
{
    Pimpl& self = *pimpl_;
    struct Ending {
        ~Ending() { monitor.End(); }
        Pimpl& monitor;
    } const ending{self};
    self.Load();
    for (;;) {
        self.Pass();
        self.Wait();
    }
}

} // namespace Monitor
