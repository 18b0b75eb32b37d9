#include <Noctavi/Monitor/MonitorManager.h>

#include <Noctavi/Monitor/EventMonitor.h>
#include <Noctavi/Monitor/MachineMonitor.h>
#include <Noctavi/MonitoredEntry/Entry.h>
#include <Noctavi/MonitoredEntry/EntryManager.h>
#include <Noctavi/MonitoredEntry/ModelLock.h>
#include <Noctavi/MonitoredEntry/SearchResult.h>
#include <Noctavi/Utility/Trace.h>

#include <pelmo/thread/inf_actor.hpp>

#include <boost/make_shared.hpp>
#include <boost/thread/lock_guard.hpp>
#include <boost/thread/mutex.hpp>
#include <boost/thread/thread.hpp>

#include <algorithm>
#include <deque>
#include <utility>
#include <vector>

namespace Monitor {

namespace {

typedef boost::shared_ptr<pelmo::inf_actor> ActorPointer;

// Joins and lets go of dropped monitors on a thread that exists only while
// there are some, so that an idle manager holds no thread.
class Reaper {
public:
    Reaper() = default;
    Reaper(const Reaper&) = delete;
    Reaper& operator=(const Reaper&) = delete;
    ~Reaper() { Join(); }

    // Interrupts them all at once, so that they end together.
    template <class Actors>
    void Reap(const Actors& dropped);
    // Waits until everything handed over has been joined.
    void Join() noexcept;

private:
    void Launch();
    void Run() noexcept;

    boost::mutex mutex_;
    std::deque<ActorPointer> pending_;
    bool running_ = false;
    boost::thread thread_;
};

template <class Actors>
void Reaper::Reap(const Actors& dropped)
{
    if (dropped.empty())
        return;
    for (const auto& actor : dropped)
        actor->Interrupt();
    {
        boost::lock_guard<boost::mutex> lock(mutex_);
        pending_.insert(pending_.end(), dropped.begin(), dropped.end());
    }
    Launch();
}

// A thread that could not be started leaves its work to Join.
void Reaper::Launch()
{
    boost::thread finished;
    {
        boost::lock_guard<boost::mutex> lock(mutex_);
        if (running_)
            return;
        finished.swap(thread_);
        thread_ = boost::thread([this] { Run(); });
        running_ = true;
    }
    if (finished.joinable())
        finished.join();
}

void Reaper::Join() noexcept
{
    boost::thread reaping;
    {
        boost::lock_guard<boost::mutex> lock(mutex_);
        reaping.swap(thread_);
    }
    try {
        if (reaping.joinable())
            reaping.join();
    } catch (...) {
        Utility::TraceFailure(Utility::kTraceMonitor, "the thread that ends dropped monitors ended in a failure");
    }
    Run();
}

void Reaper::Run() noexcept
{
    for (;;) {
        ActorPointer next;
        {
            boost::lock_guard<boost::mutex> lock(mutex_);
            if (pending_.empty()) {
                running_ = false;
                return;
            }
            next = pending_.front();
            pending_.pop_front();
        }
        try {
            next->Join();
        } catch (...) {
            Utility::TraceFailure(Utility::kTraceMonitor, "a dropped monitor ended in a failure");
        }
    }
}

void RefreshMonitor(EventMonitor& monitor)
{
    monitor.Refresh();
}

void RefreshMonitor(MachineMonitor& monitor)
{
    monitor.Load();
}

template <class Pointer>
bool ByEntryID(const Pointer& a, const Pointer& b)
{
    return *a < *b;
}

} // namespace

template <class MonitorType>
struct MonitorManager<MonitorType>::Pimpl {
    typedef std::vector<MonitorPointer> MonitorList;

    mutable boost::mutex mutex;
    MonitoredEntry::EntryManager* model = nullptr;
    // Sorted by entry ID; changed only by the update, on the notification thread.
    MonitorList monitors;
    Reaper reaper;

    MonitorList Snapshot() const;
    bool Appended(const MonitoredEntry::Entry& entry) const;
    static MonitorList StartAll(const MonitorList& created);
    static void RefreshAll(const MonitorList& kept);
};

template <class MonitorType>
typename MonitorManager<MonitorType>::Pimpl::MonitorList MonitorManager<MonitorType>::Pimpl::Snapshot() const
{
    boost::lock_guard<boost::mutex> lock(mutex);
    return monitors;
}

// Monitored and without a monitor yet; called with the mutex held.
template <class MonitorType>
bool MonitorManager<MonitorType>::Pimpl::Appended(const MonitoredEntry::Entry& entry) const
{
    const auto found = std::lower_bound(monitors.begin(), monitors.end(), entry.GetID(),
                                        [](const MonitorPointer& monitor, BasicID<long> id) {
                                            return monitor->GetEntryID() < id;
                                        });
    const bool hasMonitor = found != monitors.end() && (*found)->GetEntryID() == entry.GetID();
    return entry.GetProperty().GetMonitoring() && !hasMonitor;
}

// A monitor whose thread cannot start is left out, so that the next
// notification makes it again.
template <class MonitorType>
typename MonitorManager<MonitorType>::Pimpl::MonitorList
MonitorManager<MonitorType>::Pimpl::StartAll(const MonitorList& created)
{
    MonitorList started;
    for (const MonitorPointer& monitor : created) {
        try {
            monitor->Start();
            started.push_back(monitor);
        } catch (...) {
            Utility::TraceFailure(Utility::kTraceMonitor, "a monitor could not start");
        }
    }
    return started;
}

// One monitor's failure costs only its own refresh.
template <class MonitorType>
void MonitorManager<MonitorType>::Pimpl::RefreshAll(const MonitorList& kept)
{
    for (const MonitorPointer& monitor : kept) {
        try {
            RefreshMonitor(*monitor);
        } catch (const boost::thread_interrupted&) {
            throw;
        } catch (...) {
            Utility::TraceFailure(Utility::kTraceMonitor, "a monitor could not be refreshed");
        }
    }
}

template <class MonitorType>
MonitorManager<MonitorType>::MonitorManager()
    : pimpl_(boost::make_shared<Pimpl>())
{
}

template <class MonitorType>
MonitorManager<MonitorType>::~MonitorManager()
{
    try {
        Stop();
    } catch (...) {
        Utility::TraceFailure(Utility::kTraceMonitor, "the monitor manager could not stop");
    }
}

template <class MonitorType>
void MonitorManager<MonitorType>::Start(MonitoredEntry::EntryManager& model)
{
    {
        boost::lock_guard<boost::mutex> lock(pimpl_->mutex);
        pimpl_->model = &model;
    }
    model.AddObserver(*this);
}

template <class MonitorType>
void MonitorManager<MonitorType>::Interrupt()
{
    MonitoredEntry::EntryManager* model = nullptr;
    {
        boost::lock_guard<boost::mutex> lock(pimpl_->mutex);
        std::swap(model, pimpl_->model);
    }
    if (model)
        model->RemoveObserver(*this);
    for (const MonitorPointer& monitor : pimpl_->Snapshot())
        monitor->Interrupt();
}

template <class MonitorType>
void MonitorManager<MonitorType>::Stop()
{
    Interrupt();
    typename Pimpl::MonitorList ending;
    {
        boost::lock_guard<boost::mutex> lock(pimpl_->mutex);
        ending.swap(pimpl_->monitors);
    }
    for (const MonitorPointer& monitor : ending)
        monitor->Join();
    pimpl_->reaper.Join();
}

// Monitors are made under the manager's mutex and the model lock, and
// started, refreshed and dropped with neither held. Only an interruption,
// the model's order to stop, passes.
template <class MonitorType>
void MonitorManager<MonitorType>::Notify(MonitoredEntry::EntryManager& model)
{
    Pimpl& self = *pimpl_;
    typename Pimpl::MonitorList kept;
    typename Pimpl::MonitorList dropped;
    typename Pimpl::MonitorList created;
    try {
        {
            boost::lock_guard<boost::mutex> lock(self.mutex);
            const MonitoredEntry::ModelLock modelLock(model);
            for (const MonitorPointer& monitor : self.monitors)
                (model.GetEntryDB().Contains(monitor->GetEntryID()) ? kept : dropped).push_back(monitor);
            const boost::shared_ptr<MonitoredEntry::SearchResult> appended =
                model.Search([&self](const MonitoredEntry::Entry& entry) { return self.Appended(entry); });
            for (const MonitoredEntry::Entry& entry : *appended)
                created.push_back(CreateMonitor(entry.GetID(), model));
        }
        const typename Pimpl::MonitorList started = Pimpl::StartAll(created);
        typename Pimpl::MonitorList merged;
        std::merge(kept.begin(), kept.end(), started.begin(), started.end(), std::back_inserter(merged),
                   ByEntryID<MonitorPointer>);
        {
            boost::lock_guard<boost::mutex> lock(self.mutex);
            self.monitors.swap(merged);
        }
        self.reaper.Reap(dropped);
        Pimpl::RefreshAll(kept);
    } catch (const boost::thread_interrupted&) {
        throw;
    } catch (...) {
        Utility::TraceFailure(Utility::kTraceMonitor, "the monitors could not follow the model");
    }
}

template <class MonitorType>
void MonitorManager<MonitorType>::ForEach(const std::function<void(MonitorType&)>& function) const
{
    for (const MonitorPointer& monitor : pimpl_->Snapshot())
        function(*monitor);
}

template class MonitorManager<EventMonitor>;
template class MonitorManager<MachineMonitor>;

} // namespace Monitor
