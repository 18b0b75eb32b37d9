#include <Noctavi/MachineEvent/DetectedEvent.h>
#include <Noctavi/MachineEvent/DetectedEventManager.h>
#include <Noctavi/MachineEvent/NotifiableEventManager.h>
#include <Noctavi/MonitoredEntry/EntryManager.h>
#include <Noctavi/MonitoredEntry/EventLog.h>
#include <Noctavi/MonitoredEntry/ModelLock.h>
#include <Noctavi/MonitoredEntry/Transaction.h>
#include <Noctavi/RSS/Item.h>

#include <support/Gate.h>
#include <support/ModelValues.h>
#include <support/ScopedSettings.h>
#include <support/WaitUntil.h>

#include <boost/make_shared.hpp>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <mutex>
#include <stdexcept>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace {

using MachineEvent::DetectedEvent;
using MachineEvent::DetectedEventManager;
using MachineEvent::DetectedEventQueue;
using MonitoredEntry::EntryManager;
using Clock = std::chrono::steady_clock;
using ID = BasicID<long>;
using Pairs = std::vector<std::pair<int, int>>;
using Texts = std::vector<std::wstring>;

boost::shared_ptr<const DetectedEvent> Detected(ID entry, const std::wstring& info,
                                                const char* time = "Tue, 09 Dec 2008 10:15:30 +0900")
{
    return boost::make_shared<const DetectedEvent>(
        entry, MonitoredEntry::EventProperty(L"Box", info, boost::none, boost::none, RSS::EventTime(time)));
}

// Records the pairs it is told of and, at the first, how many events the
// entry's log held then; it can hold the manager at a gate or fail each call.
struct Notifiable : MachineEvent::NotifiableEventManager {
    explicit Notifiable(EntryManager& model)
        : manager(model)
    {
    }

    void Notify(ID entry, ID event) override
    {
        {
            MonitoredEntry::ModelLock lock(manager);
            const std::size_t logged = manager.GetEntryDB().GetEntry(entry).GetSharedEventLog()->Size();
            const std::lock_guard<std::mutex> guard(mutex);
            if (pairs.empty())
                firstSeen = logged;
            pairs.emplace_back(entry.GetValue(), event.GetValue());
            lastAt = Clock::now();
        }
        gate.Pass();
        if (failing)
            throw std::runtime_error("the receiver fails");
    }

    Pairs Told()
    {
        const std::lock_guard<std::mutex> guard(mutex);
        return pairs;
    }

    bool WaitForPairs(std::size_t count)
    {
        return support::WaitUntil([&] { return Told().size() >= count; });
    }

    EntryManager& manager;
    support::Gate gate;
    bool failing = false;
    std::mutex mutex;
    Pairs pairs;
    std::size_t firstSeen = 0;
    Clock::time_point lastAt;
};

class DetectedEventManagerTest : public ::testing::Test {
protected:
    DetectedEventManagerTest() { detected.SetNotifiable(&notifiable); }

    ID Add(const wchar_t* host) { return testvalues::Add(model, testvalues::Property(host)); }

    Texts Logged(ID entry)
    {
        MonitoredEntry::ModelLock lock(model);
        Texts texts;
        for (const MonitoredEntry::Event& event : *model.GetEntryDB().GetEntry(entry).GetSharedEventLog())
            texts.push_back(event.GetProperty().GetInfo());
        return texts;
    }

    support::ScopedSettings settings;
    EntryManager model;
    DetectedEventQueue queue{50};
    Notifiable notifiable{model};
    DetectedEventManager detected{model, queue};
};

TEST(DetectedEvent, TakesTheDocumentOnlyFromAnItemThatLinksToOne)
{
    const RSS::Item linked("Scan \xC3\xBC", "http://m/thumbnail.htm?DC=7", "Scan to Box", "7",
                           "Tue, 09 Dec 2008 10:15:30 +0900");
    const auto event = DetectedEvent::Create(linked, ID(4));
    EXPECT_EQ(event->GetEntryID(), ID(4));
    EXPECT_EQ(event->GetProperty().GetInfo(), L"Scan \u00FC");
    EXPECT_EQ(event->GetProperty().GetCategory(), L"Scan to Box");
    EXPECT_EQ(event->GetProperty().GetThumbNailURL().value_or(L""), L"http://m/thumbnail.htm?DC=7");
    EXPECT_EQ(event->GetProperty().GetDocID().value_or(L""), L"7");
    EXPECT_EQ(event->GetProperty().GetTime().GetString(), "Tue, 09 Dec 2008 10:15:30 +0900");

    RSS::Item plain = linked;
    plain.SetDescription("");
    EXPECT_FALSE(DetectedEvent::Create(plain, ID(4))->GetProperty().GetThumbNailURL());
    EXPECT_FALSE(DetectedEvent::Create(plain, ID(4))->GetProperty().GetDocID());
}

// Events less than the quiet time apart share a batch; the first pair is
// delivered after the batch's commit and before any later batch is filed, so
// the log then holds exactly the first batch.
TEST_F(DetectedEventManagerTest, EventsCloseTogetherShareOneTransaction)
{
    const ID entry = Add(L"10.0.0.1");
    detected.Start();
    Clock::duration longestGap{};
    Clock::time_point last = Clock::now();
    for (const wchar_t* info : {L"1", L"2", L"3", L"4", L"5"}) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        queue.push(Detected(entry, info));
        longestGap = std::max(longestGap, Clock::now() - last);
        last = Clock::now();
    }
    ASSERT_TRUE(notifiable.WaitForPairs(5));
    if (longestGap >= std::chrono::milliseconds(300))
        GTEST_SKIP() << "the test thread stalled past the quiet time, so the events did not arrive close together";
    EXPECT_EQ(notifiable.firstSeen, 5u);
    EXPECT_EQ(notifiable.Told(), (Pairs{{0, 0}, {0, 1}, {0, 2}, {0, 3}, {0, 4}}));
}

// The upper bound leaves room for sanitizers under load and still lies well
// below the two seconds that a batch waits at most.
TEST_F(DetectedEventManagerTest, ALoneEventIsFiledOnceTheQueueStayedQuiet)
{
    const ID entry = Add(L"10.0.0.1");
    detected.Start();
    const Clock::time_point pushed = Clock::now();
    queue.push(Detected(entry, L"alone"));
    ASSERT_TRUE(notifiable.WaitForPairs(1));
    const auto delay = std::chrono::duration_cast<std::chrono::milliseconds>(notifiable.lastAt - pushed);
    EXPECT_GE(delay.count(), 300);
    EXPECT_LT(delay.count(), 1500);
}

// Queued before the start, all of them form one batch.
TEST_F(DetectedEventManagerTest, UnwantedAndRefusedEventsAreDroppedAloneAndTheRestFiledInOrder)
{
    const ID entry = Add(L"10.0.0.1");
    const ID removed = Add(L"10.0.0.2");
    const ID invalid(7);
    {
        EntryManager::Transaction transaction(model);
        const auto clone = transaction.GetEntryDB().CloneEntry(entry);
        const auto log = clone->GetEventLog();
        log->Append(testvalues::Event(L"logged"));
        clone->SetEventLog(log);
        transaction.SetEntry(clone);
        transaction.GetEntryDB().Erase(removed);
        transaction.Commit();
    }
    {
        // An entry the model would refuse to store again: its host is empty.
        MonitoredEntry::ModelLock lock(model);
        MonitoredEntry::EntryDB& db = model.GetEntryDB();
        MonitoredEntry::EntryDB::EntryList entries = db.GetEntryList();
        entries.push_back(boost::make_shared<MonitoredEntry::Entry>(invalid, testvalues::Property(L"")));
        db.Restore(ID(8), entries);
    }
    notifiable.failing = true;
    for (const auto& event :
         {Detected(entry, L"A"), Detected(removed, L"gone"), Detected(entry, L"logged"), Detected(entry, L"B"),
          Detected(entry, L"B"), Detected(invalid, L"refused"),
          Detected(entry, L"no seconds", "Tue, 09 Dec 2008 10:15 +0900"), Detected(entry, L"E")})
        queue.push(event);
    detected.Start();

    ASSERT_TRUE(notifiable.WaitForPairs(4));
    EXPECT_EQ(Logged(entry), (Texts{L"logged", L"A", L"B", L"no seconds", L"E"}));
    EXPECT_EQ(notifiable.Told(), (Pairs{{0, 1}, {0, 2}, {0, 3}, {0, 4}}));

    queue.push(Detected(entry, L"later"));
    ASSERT_TRUE(notifiable.WaitForPairs(5));
    EXPECT_EQ(Logged(entry).back(), L"later");
    EXPECT_NO_THROW(detected.Rethrow());
}

// Each append trims the full log; what it held before the batch is still no
// news, however the appends reorder it.
TEST_F(DetectedEventManagerTest, AFullLogsEventsStayOldWhileTheBatchTrimsIt)
{
    MonitoredEntry::EntryProperty property = testvalues::Property(L"10.0.0.1");
    property.SetConfig(MonitoredEntry::Config(3, 60000, true, 0, false, false));
    const ID entry = testvalues::Add(model, property);
    for (const wchar_t* info : {L"3", L"4", L"5"})
        queue.push(Detected(entry, info));
    detected.Start();
    ASSERT_TRUE(notifiable.WaitForPairs(3));
    for (const wchar_t* info : {L"1", L"2", L"3", L"4"})
        queue.push(Detected(entry, info));
    ASSERT_TRUE(notifiable.WaitForPairs(5));
    EXPECT_EQ(Logged(entry), (Texts{L"5", L"1", L"2"}));
    queue.push(Detected(entry, L"6"));
    ASSERT_TRUE(notifiable.WaitForPairs(6));
    EXPECT_EQ(notifiable.Told().size(), 6u);
}

TEST_F(DetectedEventManagerTest, ABatchClosesAtTheQueuesCapacity)
{
    const ID entry = Add(L"10.0.0.1");
    DetectedEventQueue small(3);
    DetectedEventManager capped(model, small);
    capped.SetNotifiable(&notifiable);
    for (const wchar_t* info : {L"1", L"2", L"3"})
        small.push(Detected(entry, info));
    capped.Start();
    for (const wchar_t* info : {L"4", L"5", L"6", L"7"})
        small.push(Detected(entry, info));
    ASSERT_TRUE(notifiable.WaitForPairs(7));
    EXPECT_EQ(notifiable.firstSeen, 3u);
    // The log keeps five events.
    EXPECT_EQ(Logged(entry), (Texts{L"3", L"4", L"5", L"6", L"7"}));
}

// Events keep arriving faster than the quiet time, so only the stop can close
// the batch before its two seconds are up. The first event is queued before
// the start, so that the thread takes it and begins the batch although the
// stop was asked for already.
TEST_F(DetectedEventManagerTest, StoppedWhileEventsKeepArrivingTheBatchClosesOnceTheQueueIsEmpty)
{
    const ID entry = Add(L"10.0.0.1");
    queue.push(Detected(entry, L"first"));
    std::atomic<bool> arriving{true};
    std::thread source([&] {
        for (int event = 0; arriving; ++event) {
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
            queue.push(Detected(entry, std::to_wstring(event)));
        }
    });
    const Clock::time_point stopped = Clock::now();
    detected.Start();
    detected.Interrupt();
    detected.Join();
    const auto stopping = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - stopped);
    arriving = false;
    source.join();
    EXPECT_LT(stopping.count(), 1000) << "the batch waited for its bound";
    EXPECT_FALSE(Logged(entry).empty()) << "what was queued is filed";
}

// Stopped while it delivers, the manager still files what was queued meanwhile.
TEST_F(DetectedEventManagerTest, StoppingFilesWhatIsStillQueued)
{
    const ID entry = Add(L"10.0.0.1");
    notifiable.gate.Close();
    detected.Start();
    queue.push(Detected(entry, L"first"));
    ASSERT_TRUE(notifiable.gate.WaitForHeld(1));
    for (const wchar_t* info : {L"2", L"3", L"4"})
        queue.push(Detected(entry, info));
    detected.Interrupt();
    notifiable.gate.Open();
    detected.Join();
    EXPECT_EQ(Logged(entry), (Texts{L"first", L"2", L"3", L"4"}));
    EXPECT_EQ(notifiable.Told().size(), 4u);
}

} // namespace
