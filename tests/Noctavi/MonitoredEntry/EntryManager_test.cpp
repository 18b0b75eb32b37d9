#include <Noctavi/MonitoredEntry/DuplicateEntry.h>
#include <Noctavi/MonitoredEntry/Entry.h>
#include <Noctavi/MonitoredEntry/EntryManager.h>
#include <Noctavi/MonitoredEntry/MissingEntry.h>
#include <Noctavi/MonitoredEntry/ModelLock.h>
#include <Noctavi/MonitoredEntry/Observer.h>
#include <Noctavi/MonitoredEntry/OverLimitEntryCount.h>
#include <Noctavi/MonitoredEntry/SearchResult.h>
#include <Noctavi/MonitoredEntry/Transaction.h>
#include <Noctavi/System/ConfigLimits.h>

#include <support/ModelValues.h>
#include <support/WaitUntil.h>

#include <boost/thread/thread.hpp>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <limits>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <set>
#include <stdexcept>
#include <thread>
#include <vector>

namespace {

using MonitoredEntry::Entry;
using MonitoredEntry::EntryManager;
using MonitoredEntry::EntryProperty;
using Transaction = MonitoredEntry::EntryManager::Transaction;
using testvalues::Add;
using testvalues::Change;
using testvalues::IDs;
using testvalues::Property;
using ID = BasicID<long>;
using IDList = std::vector<int>;

// Sets process-wide limits for one test and puts the previous ones back.
class LimitsOverride {
public:
    explicit LimitsOverride(void (*change)(ConfigLimits&))
        : saved_(GetConfigLimits())
    {
        ConfigLimits limits = saved_;
        change(limits);
        SetConfigLimits(limits);
    }
    ~LimitsOverride() { SetConfigLimits(saved_); }

private:
    const ConfigLimits saved_;
};

// Records each delivery after reading the model in it. Deliveries numbered
// beyond `passes` then wait at a gate until they are let through.
struct RecordingObserver : MonitoredEntry::Observer {
    std::atomic<int> deliveries{0};
    std::atomic<std::size_t> lastSize{static_cast<std::size_t>(-1)};
    std::atomic<bool> inside{false};
    std::mutex mutex;
    std::condition_variable gate;
    std::set<std::thread::id> threads; // guarded by mutex
    int passes = std::numeric_limits<int>::max(); // guarded by mutex

    void Notify(EntryManager& manager) override
    {
        MonitoredEntry::ModelLock model(manager);
        lastSize = manager.GetEntryDB().Size();
        model.Unlock();
        std::unique_lock<std::mutex> lock(mutex);
        threads.insert(std::this_thread::get_id());
        const int number = ++deliveries;
        inside = true;
        gate.wait(lock, [&] { return number <= passes; });
        inside = false;
    }

    void PassUpTo(int n)
    {
        std::lock_guard<std::mutex> lock(mutex);
        passes = n;
        gate.notify_all();
    }

    bool WaitForSize(std::size_t size)
    {
        return support::WaitUntil([&] { return lastSize == size; });
    }

    bool WaitForHeldDelivery(int n)
    {
        return support::WaitUntil([&] { return deliveries == n && inside; });
    }

    // Waits briefly for a delivery beyond the nth: one that should never come.
    bool GetsMoreThan(int n)
    {
        return support::WaitUntil([&] { return deliveries > n; }, std::chrono::milliseconds(200));
    }
};

void ChangeHost(EntryManager& manager, ID id, const std::wstring& host, bool monitoring)
{
    Change(manager, id, [&](EntryProperty& property) {
        MonitoredEntry::MFP mfp = property.GetMFP();
        mfp.SetHost(host);
        property.SetMFP(mfp);
        property.SetMonitoring(monitoring);
    });
}

TEST(EntryManager, TheEntryLimitIsTestedBeforeTheHost)
{
    LimitsOverride limits([](ConfigLimits& l) { l.EntryMax = 3; });
    EntryManager manager;
    for (const wchar_t* host : {L"10.0.0.1", L"10.0.0.2", L"10.0.0.3"})
        Add(manager, Property(host));

    EXPECT_THROW(Add(manager, Property(L"10.0.0.4")), MonitoredEntry::OverLimitEntryCount);
    EXPECT_THROW(Add(manager, Property(L"10.0.0.1")), MonitoredEntry::OverLimitEntryCount);
    EXPECT_EQ(manager.GetEntryDB().Size(), 3u);
}

TEST(EntryManager, OneEntryPerHostAndOneMonitoredUserPerHost)
{
    EntryManager manager;
    const ID a = Add(manager, Property(L"printer.example", false));
    const ID b = Add(manager, Property(L"10.0.0.2"));

    // Adding: any entry on the host is a duplicate, monitored or not; hosts
    // compare exactly.
    EXPECT_THROW(Add(manager, Property(L"printer.example")), MonitoredEntry::DuplicateEntry);
    EXPECT_THROW(Add(manager, Property(L"10.0.0.2", false)), MonitoredEntry::DuplicateEntry);
    EXPECT_NO_THROW(Add(manager, Property(L"PRINTER.example")));

    // Changing: only two monitored entries may not share a host.
    EXPECT_NO_THROW(ChangeHost(manager, b, L"printer.example", true));
    EXPECT_NO_THROW(ChangeHost(manager, a, L"printer.example", false));
    EXPECT_THROW(ChangeHost(manager, a, L"printer.example", true), MonitoredEntry::DuplicateEntry);
    EXPECT_NO_THROW(ChangeHost(manager, b, L"printer.example", false));
    EXPECT_NO_THROW(ChangeHost(manager, a, L"printer.example", true));
    EXPECT_NO_THROW(ChangeHost(manager, a, L"printer.example", true)) << "an entry is no duplicate of itself";
}

TEST(EntryManager, AnUncommittedTransactionRestoresTheTableAndTellsNobody)
{
    RecordingObserver observer;
    EntryManager manager;
    Add(manager, Property(L"10.0.0.1"));
    Add(manager, Property(L"10.0.0.2"));

    try {
        Transaction transaction(manager);
        transaction.GetEntryDB().Erase(ID(0));
        transaction.Append(Property(L"10.0.0.3"));
        ChangeHost(manager, ID(1), L"10.0.0.9", true); // nested, committed, then undone by the outer
        throw std::runtime_error("writer failed");
    } catch (const std::runtime_error&) {
    }

    {
        MonitoredEntry::ModelLock lock(manager);
        EXPECT_EQ(IDs(manager.GetEntryDB()), (IDList{0, 1}));
        EXPECT_EQ(manager.GetEntryDB().GetNextID(), ID(2));
        EXPECT_EQ(manager.GetEntryDB().GetEntry(ID(1)).GetProperty().GetMFP().GetHost(), L"10.0.0.2");
    }

    // Hold the second delivery: it took the last request, and a commit made
    // while the first was held has joined any earlier one, so none is left.
    observer.PassUpTo(0);
    manager.AddObserver(observer);
    ASSERT_TRUE(observer.WaitForHeldDelivery(1));
    {
        Transaction unchanged(manager);
        unchanged.Commit();
    }
    observer.PassUpTo(1);
    ASSERT_TRUE(observer.WaitForHeldDelivery(2));

    {
        Transaction dropped(manager);
        dropped.GetEntryDB().Erase(ID(1));
    }
    observer.PassUpTo(std::numeric_limits<int>::max());
    EXPECT_FALSE(observer.GetsMoreThan(2));
}

TEST(EntryManager, NotifiesOnItsOwnThreadAndCoalescesBursts)
{
    RecordingObserver observer;
    EntryManager manager;
    EXPECT_TRUE(manager.AddObserver(observer));
    EXPECT_FALSE(manager.AddObserver(observer));
    ASSERT_TRUE(observer.WaitForSize(0));
    EXPECT_EQ(observer.deliveries, 1) << "a listed observer is not added again";

    LimitsOverride limits([](ConfigLimits& l) { l.EntryMax = 100; });
    const int writers = 4;
    const int commitsEach = 10;
    std::vector<std::thread> threads;
    std::set<std::thread::id> writerIDs{std::this_thread::get_id()};
    for (int w = 0; w < writers; ++w) {
        threads.emplace_back([&manager, w] {
            for (int i = 0; i < commitsEach; ++i)
                Add(manager, Property(L"10.0." + std::to_wstring(w) + L"." + std::to_wstring(i)));
        });
        writerIDs.insert(threads.back().get_id());
    }
    for (std::thread& thread : threads)
        thread.join();

    ASSERT_TRUE(observer.WaitForSize(writers * commitsEach));
    {
        std::lock_guard<std::mutex> lock(observer.mutex);
        ASSERT_EQ(observer.threads.size(), 1u);
        EXPECT_EQ(writerIDs.count(*observer.threads.begin()), 0u);
    }
    EXPECT_GE(observer.deliveries, 2);
    EXPECT_LE(observer.deliveries, 1 + writers * commitsEach);
}

TEST(EntryManager, AThrowingObserverDoesNotStopTheOthers)
{
    struct Throwing : MonitoredEntry::Observer {
        void Notify(EntryManager&) override { throw std::runtime_error("observer failed"); }
    } throwing;
    RecordingObserver observer;
    EntryManager manager;
    manager.AddObserver(throwing);
    manager.AddObserver(observer);

    Add(manager, Property(L"10.0.0.1"));
    EXPECT_TRUE(observer.WaitForSize(1));
    Add(manager, Property(L"10.0.0.2"));
    EXPECT_TRUE(observer.WaitForSize(2)) << "the worker goes on";
}

TEST(EntryManager, RemovingAnObserverWaitsForItsDelivery)
{
    RecordingObserver observer;
    EntryManager manager;
    observer.PassUpTo(0);
    manager.AddObserver(observer);
    ASSERT_TRUE(observer.WaitForHeldDelivery(1));

    std::atomic<bool> insideWhenRemoved{true};
    std::thread remover([&] {
        EXPECT_TRUE(manager.RemoveObserver(observer));
        insideWhenRemoved = observer.inside.load();
    });
    observer.PassUpTo(1);
    remover.join();
    EXPECT_FALSE(insideWhenRemoved);
    EXPECT_FALSE(manager.RemoveObserver(observer));

    Add(manager, Property(L"10.0.0.1"));
    EXPECT_FALSE(observer.GetsMoreThan(1));
}

TEST(EntryManager, DestructionEndsTheWorkerDuringADelivery)
{
    struct Sleeping : MonitoredEntry::Observer {
        std::atomic<bool> asleep{false};
        void Notify(EntryManager&) override
        {
            asleep = true;
            boost::this_thread::sleep_for(boost::chrono::hours(1));
        }
    } sleeping;
    auto manager = std::make_unique<EntryManager>();
    manager->AddObserver(sleeping);
    ASSERT_TRUE(support::WaitUntil([&] { return sleeping.asleep.load(); }));

    boost::thread destroyer([&] { manager.reset(); });
    const bool ended = destroyer.try_join_for(boost::chrono::seconds(1));
    EXPECT_TRUE(ended) << "the manager's destruction still waits for its worker";
    if (!ended)
        destroyer.join();
}

TEST(EntryManager, WaitForEntryFlagEndsWithTheStatusOrTheLimit)
{
    EntryManager manager;
    const ID id = Add(manager, Property(L"10.0.0.1"));
    {
        LimitsOverride limits([](ConfigLimits& l) { l.SubscribeResponseLimit = 300; });
        const auto start = std::chrono::steady_clock::now();
        EXPECT_FALSE(manager.WaitForEntryFlag(id));
        EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(300));
        EXPECT_THROW(manager.WaitForEntryFlag(ID(5)), MonitoredEntry::MissingEntry);
    }

    // The largest limit the settings can give must not overflow the deadline.
    LimitsOverride limits([](ConfigLimits& l) { l.SubscribeResponseLimit = std::numeric_limits<std::int64_t>::max(); });
    std::thread subscriber(
        [&] { Change(manager, id, [](EntryProperty& p) { p.SetStatus(EntryProperty::StatusSubscribed); }); });
    const auto start = std::chrono::steady_clock::now();
    EXPECT_TRUE(manager.WaitForEntryFlag(id));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(60));
    subscriber.join();
}

} // namespace
