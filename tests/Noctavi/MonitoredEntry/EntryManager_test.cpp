#include "ModelValues.h"

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

#include <support/WaitUntil.h>

#include <boost/thread/thread.hpp>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
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

// Counts deliveries and records, on the notifying thread, the threads it was
// called on and the number of entries it saw. Can hold a delivery at a gate.
class RecordingObserver : public MonitoredEntry::Observer {
public:
    void Notify(EntryManager& manager) override
    {
        std::size_t size;
        {
            MonitoredEntry::ModelLock lock(manager);
            size = manager.GetEntryDB().Size();
        }
        std::unique_lock<std::mutex> lock(mutex_);
        threads_.insert(std::this_thread::get_id());
        lastSize_ = size;
        ++deliveries_;
        inside_ = true;
        changed_.notify_all();
        changed_.wait(lock, [this] { return !held_; });
        inside_ = false;
    }

    int Deliveries() const
    {
        std::lock_guard<std::mutex> lock(mutex_);
        return deliveries_;
    }

    // Waits until a delivery has seen the table with that many entries.
    bool WaitForSize(std::size_t size)
    {
        return support::WaitUntil([&] {
            std::lock_guard<std::mutex> lock(mutex_);
            return lastSize_ == size;
        });
    }

    std::set<std::thread::id> Threads() const
    {
        std::lock_guard<std::mutex> lock(mutex_);
        return threads_;
    }

    void Hold()
    {
        std::lock_guard<std::mutex> lock(mutex_);
        held_ = true;
    }

    void Release()
    {
        std::lock_guard<std::mutex> lock(mutex_);
        held_ = false;
        changed_.notify_all();
    }

    bool IsInside() const
    {
        std::lock_guard<std::mutex> lock(mutex_);
        return inside_;
    }

private:
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    std::set<std::thread::id> threads_;
    std::size_t lastSize_ = static_cast<std::size_t>(-1);
    int deliveries_ = 0;
    bool held_ = false;
    bool inside_ = false;
};

ID Add(EntryManager& manager, const EntryProperty& property)
{
    Transaction transaction(manager);
    const ID id = transaction.Append(property);
    transaction.Commit();
    return id;
}

void ChangeHost(EntryManager& manager, ID id, const std::wstring& host, bool monitoring)
{
    Transaction transaction(manager);
    const auto entry = transaction.GetEntryDB().CloneEntry(id);
    auto property = entry->GetProperty();
    auto mfp = property.GetMFP();
    mfp.SetHost(host);
    property.SetMFP(mfp);
    property.SetMonitoring(monitoring);
    entry->SetProperty(property);
    transaction.SetEntry(entry);
    transaction.Commit();
}

void SetStatus(EntryManager& manager, ID id, int status)
{
    Transaction transaction(manager);
    const auto entry = transaction.GetEntryDB().CloneEntry(id);
    auto property = entry->GetProperty();
    property.SetStatus(status);
    entry->SetProperty(property);
    transaction.SetEntry(entry);
    transaction.Commit();
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
    manager.AddObserver(observer);
    ASSERT_TRUE(observer.WaitForSize(2));

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

    // The nested commit notified once; a rollback adds nothing.
    ASSERT_TRUE(support::WaitUntil([&] { return observer.Deliveries() == 2; }));
    {
        Transaction dropped(manager);
        dropped.GetEntryDB().Erase(ID(1));
    }
    EXPECT_FALSE(support::WaitUntil([&] { return observer.Deliveries() > 2; }, std::chrono::milliseconds(200)));
}

TEST(EntryManager, NotifiesOnItsOwnThreadAndCoalescesBursts)
{
    RecordingObserver observer;
    EntryManager manager;
    EXPECT_TRUE(manager.AddObserver(observer));
    EXPECT_FALSE(manager.AddObserver(observer));
    ASSERT_TRUE(observer.WaitForSize(0));
    EXPECT_EQ(observer.Deliveries(), 1) << "a listed observer is not added again";

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
    const std::set<std::thread::id> notifiers = observer.Threads();
    ASSERT_EQ(notifiers.size(), 1u);
    EXPECT_EQ(writerIDs.count(*notifiers.begin()), 0u);
    EXPECT_GE(observer.Deliveries(), 2);
    EXPECT_LE(observer.Deliveries(), 1 + writers * commitsEach);
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
    observer.Hold();
    manager.AddObserver(observer);
    ASSERT_TRUE(support::WaitUntil([&] { return observer.IsInside(); }));

    std::atomic<bool> insideWhenRemoved{true};
    std::thread remover([&] {
        EXPECT_TRUE(manager.RemoveObserver(observer));
        insideWhenRemoved = observer.IsInside();
    });
    observer.Release();
    remover.join();
    EXPECT_FALSE(insideWhenRemoved);
    EXPECT_FALSE(manager.RemoveObserver(observer));

    Add(manager, Property(L"10.0.0.1"));
    EXPECT_FALSE(support::WaitUntil([&] { return observer.Deliveries() > 1; }, std::chrono::milliseconds(200)));
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

    LimitsOverride limits([](ConfigLimits& l) { l.SubscribeResponseLimit = 60000; });
    std::thread subscriber([&] { SetStatus(manager, id, EntryProperty::StatusSubscribed); });
    const auto start = std::chrono::steady_clock::now();
    EXPECT_TRUE(manager.WaitForEntryFlag(id));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(60));
    subscriber.join();
}

} // namespace
