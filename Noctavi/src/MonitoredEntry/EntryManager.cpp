#include <Noctavi/MonitoredEntry/EntryManager.h>

#include <Noctavi/MonitoredEntry/Entry.h>
#include <Noctavi/MonitoredEntry/ModelLock.h>
#include <Noctavi/MonitoredEntry/Observer.h>
#include <Noctavi/MonitoredEntry/SearchResult.h>
#include <Noctavi/System/ConfigLimits.h>
#include <Noctavi/Utility/Trace.h>

#include <pelmo/thread/actor.hpp>
#include <pelmo/thread/sync_queue.hpp>

#include <boost/chrono/duration.hpp>
#include <boost/chrono/system_clocks.hpp>
#include <boost/make_shared.hpp>
#include <boost/thread/lock_guard.hpp>
#include <boost/thread/mutex.hpp>
#include <boost/thread/recursive_mutex.hpp>
#include <boost/thread/thread.hpp>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

namespace MonitoredEntry {

namespace {

const boost::chrono::milliseconds kStatusPollInterval(200);
// A year: far beyond any configured limit, far within the steady clock's range.
constexpr std::int64_t kLongestStatusWait = 365LL * 24 * 60 * 60 * 1000;

// Carries nothing: observers read the model afresh when it is delivered.
struct NotifyRequest {
};

typedef pelmo::sync_queue<NotifyRequest> NotifyQueue;

// Takes requests and delivers each, until the queue is disabled or the
// thread is interrupted.
class NotificationWorker : public pelmo::actor<> {
public:
    NotificationWorker(NotifyQueue& queue, std::function<void()> deliver)
        : queue_(queue)
        , deliver_(std::move(deliver))
    {
    }

    ~NotificationWorker() override { Join(); }

private:
    int Run() override
    {
        try {
            for (;;) {
                NotifyRequest request;
                queue_.pop(request);
                boost::this_thread::interruption_point();
                deliver_();
            }
        } catch (const pelmo::sync_queue_disabled&) {
        } catch (const boost::thread_interrupted&) {
        }
        return 0;
    }

    NotifyQueue& queue_;
    std::function<void()> deliver_;
};

// One observer's failure is its own: the others are still told, and the
// thread goes on. Only an interruption, the manager's order to stop, passes.
void NotifyOne(Observer& observer, EntryManager& manager)
{
    try {
        observer.Notify(manager);
    } catch (const boost::thread_interrupted&) {
        throw;
    } catch (...) {
        Utility::TraceFailure(Utility::kTraceModel, "a model observer failed on a notification");
    }
}

} // namespace

struct EntryManager::Pimpl {
    EntryDB db;
    boost::recursive_mutex modelMutex;
    std::vector<Observer*> observers;
    boost::mutex observerMutex;
    NotifyQueue queue{1};
    std::unique_ptr<NotificationWorker> worker;

    void Deliver(EntryManager& manager)
    {
        boost::lock_guard<boost::mutex> lock(observerMutex);
        for (Observer* observer : observers)
            NotifyOne(*observer, manager);
    }
};

EntryManager::EntryManager()
    : pimpl_(boost::make_shared<Pimpl>())
{
    pimpl_->worker.reset(new NotificationWorker(pimpl_->queue, [this] { pimpl_->Deliver(*this); }));
    pimpl_->worker->Start();
}

// Interrupting first ends a delivery waiting in an interruptible call;
// disabling the queue wakes a worker waiting for a request.
EntryManager::~EntryManager()
{
    pimpl_->worker->Interrupt();
    pimpl_->queue.disable();
    pimpl_->worker->Join();
}

EntryDB& EntryManager::GetEntryDB()
{
    return pimpl_->db;
}

const EntryDB& EntryManager::GetEntryDB() const
{
    return pimpl_->db;
}

void EntryManager::Lock()
{
    pimpl_->modelMutex.lock();
}

void EntryManager::Unlock() noexcept
{
    pimpl_->modelMutex.unlock();
}

boost::shared_ptr<SearchResult> EntryManager::Search(const EntryDB::Predicate& predicate) const
{
    return pimpl_->db.Search(predicate);
}

boost::shared_ptr<SearchResult> EntryManager::SearchAll() const
{
    return Search([](const Entry&) { return true; });
}

bool EntryManager::AddObserver(Observer& observer)
{
    {
        boost::lock_guard<boost::mutex> lock(pimpl_->observerMutex);
        std::vector<Observer*>& observers = pimpl_->observers;
        if (std::find(observers.begin(), observers.end(), &observer) != observers.end())
            return false;
        observers.push_back(&observer);
    }
    QueueNotification();
    return true;
}

bool EntryManager::RemoveObserver(Observer& observer)
{
    boost::lock_guard<boost::mutex> lock(pimpl_->observerMutex);
    std::vector<Observer*>& observers = pimpl_->observers;
    const auto found = std::find(observers.begin(), observers.end(), &observer);
    if (found == observers.end())
        return false;
    observers.erase(found);
    return true;
}

// Timed by the clock rather than by adding up the pauses, so waits for the
// lock count towards the limit.
bool EntryManager::WaitForEntryFlag(BasicID<long> id)
{
    typedef boost::chrono::steady_clock Clock;
    // Capped so that the deadline stays within the clock's range, however
    // large the configured limit.
    const std::int64_t limit = std::min(GetConfigLimits().SubscribeResponseLimit, kLongestStatusWait);
    const Clock::time_point deadline = Clock::now() + boost::chrono::milliseconds(limit);
    for (;;) {
        {
            ModelLock lock(*this);
            if (GetEntryDB().GetEntry(id).GetProperty().GetStatus() != 0)
                return true;
        }
        const Clock::time_point now = Clock::now();
        if (now >= deadline)
            return false;
        boost::this_thread::sleep_for(
            std::min<Clock::duration>(kStatusPollInterval, deadline - now));
    }
}

void EntryManager::QueueNotification() noexcept
{
    try {
        pimpl_->queue.try_push(NotifyRequest());
    } catch (...) {
        Utility::TraceFailure(Utility::kTraceModel, "a model notification was not queued");
        // A disabled queue: the manager is going, and nobody is left to tell.
    }
}

} // namespace MonitoredEntry
