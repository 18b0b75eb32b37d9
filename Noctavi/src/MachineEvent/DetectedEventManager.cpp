#include <Noctavi/MachineEvent/DetectedEventManager.h>

#include <Noctavi/MachineEvent/NotifiableEventManager.h>
#include <Noctavi/MonitoredEntry/DBException.h>
#include <Noctavi/MonitoredEntry/Entry.h>
#include <Noctavi/MonitoredEntry/EntryManager.h>
#include <Noctavi/MonitoredEntry/EventLog.h>
#include <Noctavi/MonitoredEntry/Transaction.h>
#include <Noctavi/RSS/RSSFeed.h>
#include <Noctavi/Utility/Trace.h>

#include <boost/chrono/duration.hpp>
#include <boost/chrono/system_clocks.hpp>
#include <boost/make_shared.hpp>
#include <boost/thread/lock_guard.hpp>
#include <boost/thread/mutex.hpp>
#include <boost/thread/thread.hpp>

#include <algorithm>
#include <iterator>
#include <utility>
#include <vector>

namespace MachineEvent {

namespace {

typedef boost::shared_ptr<const DetectedEvent> EventPointer;
typedef std::vector<EventPointer> Batch;
typedef std::vector<std::pair<BasicID<long>, BasicID<long>>> PairList;
typedef boost::chrono::steady_clock Clock;

// A batch closes once the queue has stayed empty this long...
const boost::chrono::milliseconds kQuietTime(300);
// ...or this long after its first event, so that a steady stream of events
// cannot hold back filing, nor shut-down, for ever.
const boost::chrono::milliseconds kLongestGathering(2000);

using MonitoredEntry::EntryManager;

bool IsWanted(const MonitoredEntry::EntryDB& db, const DetectedEvent& event)
{
    return db.Contains(event.GetEntryID()) &&
           db.GetEntry(event.GetEntryID()).GetSharedEventLog()->IsNew(event.GetProperty());
}

BasicID<long> Append(EntryManager::Transaction& transaction, const DetectedEvent& event)
{
    const boost::shared_ptr<MonitoredEntry::Entry> entry = transaction.GetEntryDB().CloneEntry(event.GetEntryID());
    const boost::shared_ptr<MonitoredEntry::EventLog> log = entry->GetEventLog();
    const BasicID<long> eventID = log->Append(event.GetProperty());
    entry->SetEventLog(log);
    transaction.SetEntry(entry);
    return eventID;
}

bool StoreLatestFeed(EntryManager::Transaction& transaction, const DetectedEvent& event)
{
    if (!event.GetLatestFeed() || !transaction.GetEntryDB().Contains(event.GetEntryID()))
        return false;
    const boost::shared_ptr<MonitoredEntry::Entry> entry = transaction.GetEntryDB().CloneEntry(event.GetEntryID());
    entry->SetLatestRSSFeed(*event.GetLatestFeed());
    transaction.SetEntry(entry);
    return true;
}

// The whole batch is weighed against the logs before anything is appended:
// an append trims the log, and an event trimmed a moment ago must not count
// as new. A refused event is dropped alone: the table is left as it was
// before that event, and the rest of the batch is filed.
PairList AppendWanted(EntryManager::Transaction& transaction, const Batch& batch)
{
    Batch wanted;
    std::copy_if(batch.begin(), batch.end(), std::back_inserter(wanted),
                 [&](const EventPointer& event) { return IsWanted(transaction.GetEntryDB(), *event); });
    PairList pairs;
    for (const EventPointer& event : wanted) {
        try {
            pairs.emplace_back(event->GetEntryID(), Append(transaction, *event));
        } catch (const MonitoredEntry::DBException&) {
        }
    }
    return pairs;
}

// A feed is stored also when its events were all dropped as old, since it
// still tells the next fetch where the news begin; a refused one alone is
// dropped. Whether any was stored.
bool StoreLatestFeeds(EntryManager::Transaction& transaction, const Batch& batch)
{
    bool stored = false;
    for (const EventPointer& event : batch) {
        try {
            stored = StoreLatestFeed(transaction, *event) || stored;
        } catch (const MonitoredEntry::DBException&) {
        }
    }
    return stored;
}

} // namespace

struct DetectedEventManager::Pimpl {
    Pimpl(EntryManager& model, DetectedEventQueue& events)
        : manager(model)
        , queue(events)
    {
    }

    EntryManager& manager;
    DetectedEventQueue& queue;
    NotifiableEventManager* notifiable = nullptr;
    boost::mutex notifiableMutex;

    EventPointer TakeFirst();
    void GatherMore(Batch& batch, boost::chrono::milliseconds quietTime);
    void FileAndDeliver(const Batch& batch);
    PairList File(const Batch& batch);
    void Deliver(const PairList& pairs);
};

// Interruptible: an interruption here leaves the event in the queue.
EventPointer DetectedEventManager::Pimpl::TakeFirst()
{
    EventPointer event;
    queue.pop(event);
    return event;
}

void DetectedEventManager::Pimpl::GatherMore(Batch& batch, boost::chrono::milliseconds quietTime)
{
    const Clock::time_point deadline = Clock::now() + kLongestGathering;
    while (batch.size() < static_cast<std::size_t>(queue.capacity())) {
        const Clock::duration left = deadline - Clock::now();
        if (left <= Clock::duration::zero())
            return;
        // Asked to stop, the batch closes as soon as the queue is empty.
        const Clock::duration quiet =
            boost::this_thread::interruption_requested() ? Clock::duration::zero() : Clock::duration(quietTime);
        const auto wait = boost::chrono::duration_cast<boost::chrono::milliseconds>(std::min(quiet, left));
        EventPointer event;
        if (!queue.pop(event, boost::posix_time::milliseconds(wait.count())))
            return;
        batch.push_back(event);
    }
}

void DetectedEventManager::Pimpl::FileAndDeliver(const Batch& batch)
{
    Deliver(File(batch));
}

PairList DetectedEventManager::Pimpl::File(const Batch& batch)
{
    EntryManager::Transaction transaction(manager);
    const PairList pairs = AppendWanted(transaction, batch);
    const bool stored = StoreLatestFeeds(transaction, batch);
    if (!pairs.empty() || stored)
        transaction.Commit();
    return pairs;
}

// A receiver that fails for one event is still told of the others.
void DetectedEventManager::Pimpl::Deliver(const PairList& pairs)
{
    boost::lock_guard<boost::mutex> lock(notifiableMutex);
    if (!notifiable)
        return;
    for (const auto& pair : pairs) {
        try {
            notifiable->Notify(pair.first, pair.second);
        } catch (...) {
            Utility::TraceFailure(Utility::kTraceEvent, "the receiver of a filed event failed");
        }
    }
}

DetectedEventManager::DetectedEventManager(EntryManager& manager, DetectedEventQueue& queue)
    : pimpl_(boost::make_shared<Pimpl>(manager, queue))
{
}

DetectedEventManager::~DetectedEventManager()
{
    try {
        Join();
    } catch (...) {
        Utility::TraceFailure(Utility::kTraceEvent, "the detected-event manager's thread ended in a failure");
    }
}

void DetectedEventManager::SetNotifiable(NotifiableEventManager* notifiable)
{
    boost::lock_guard<boost::mutex> lock(pimpl_->notifiableMutex);
    pimpl_->notifiable = notifiable;
}

void DetectedEventManager::ResetNotifiable()
{
    SetNotifiable(nullptr);
}

// Interruption is honoured only between batches, so a batch that was begun
// is always filed and delivered. Asked to stop, the thread files what is left
// in the queue at once: the monitors have stored the feeds those events came
// from, so an event dropped here would never be found again.
int DetectedEventManager::Run()
{
    Pimpl& self = *pimpl_;
    try {
        for (;;) {
            Batch batch(1, self.TakeFirst());
            {
                boost::this_thread::disable_interruption shield;
                self.GatherMore(batch, kQuietTime);
                self.FileAndDeliver(batch);
            }
            boost::this_thread::interruption_point();
        }
    } catch (const boost::thread_interrupted&) {
        boost::this_thread::disable_interruption shield;
        Batch rest;
        self.GatherMore(rest, boost::chrono::milliseconds(0));
        if (!rest.empty())
            self.FileAndDeliver(rest);
    }
    return 0;
}

} // namespace MachineEvent
