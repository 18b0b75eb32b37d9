#include "MachineEntry.h"

#include <Noctavi/HTTP/Error.h>
#include <Noctavi/MachineEvent/DetectedEventManager.h>
#include <Noctavi/MachineEvent/DetectedEventQueue.h>
#include <Noctavi/Monitor/EventMonitor.h>
#include <Noctavi/Monitor/EventSignalReceiver.h>
#include <Noctavi/Monitor/Signal.h>
#include <Noctavi/MonitoredEntry/Entry.h>
#include <Noctavi/MonitoredEntry/EntryManager.h>
#include <Noctavi/MonitoredEntry/EventLog.h>
#include <Noctavi/MonitoredEntry/ModelLock.h>

#include <support/FakeInformationServer.h>
#include <support/ModelValues.h>
#include <support/ScopedSettings.h>
#include <support/ScriptedMachineAccess.h>
#include <support/WaitUntil.h>

#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace {

using MonitoredEntry::EntryManager;
using MonitoredEntry::EntryProperty;
using support::MachineCall;
using Texts = std::vector<std::wstring>;
using ID = BasicID<long>;

const char kMachine[] = "127.0.0.31";

struct AnySignal : Monitor::Signal {
    bool Matches(const MonitoredEntry::Distinction&) const override { return true; }
};

class EventMonitorTest : public ::testing::Test {
protected:
    EventMonitorTest()
    {
        settings.SetPort(listener.GetPort());
        server.AddAccount({"alice", "Alice", "s3cret"});
        id = testvalues::Add(model, testvalues::OnMachine(server, "alice"));
        monitor = std::make_unique<Monitor::EventMonitor>(id, model, queue);
    }

    void Publish(const std::string& document)
    {
        support::StoredDocument stored;
        stored.id = document;
        stored.owner = "alice";
        stored.title = "Doc " + document;
        server.AddDocument(stored);
    }

    // The titles of the next `count` events the monitor pushed, in order.
    Texts Taken(std::size_t count)
    {
        Texts titles;
        for (boost::shared_ptr<const MachineEvent::DetectedEvent> event; titles.size() < count;) {
            if (!queue.pop(event, boost::posix_time::milliseconds(10000)))
                break;
            titles.push_back(event->GetProperty().GetInfo());
        }
        return titles;
    }

    void SetMonitoring(bool monitoring)
    {
        testvalues::Change(model, id, [&](EntryProperty& property) { property.SetMonitoring(monitoring); });
        monitor->Refresh();
    }

    boost::optional<RSS::RSSFeed> StoredFeed()
    {
        MonitoredEntry::ModelLock lock(model);
        return model.GetEntryDB().GetEntry(id).GetLatestRSSFeed();
    }

    std::pair<int, int> Status()
    {
        MonitoredEntry::ModelLock lock(model);
        const EntryProperty& property = model.GetEntryDB().GetEntry(id).GetProperty();
        return {property.GetStatus(), property.GetStatusDetail()};
    }

    support::ScopedSettings settings;
    // Holds the listen port that subscriptions name; nothing is signalled to it.
    Monitor::EventSignalReceiver listener;
    support::FakeInformationServer server{support::FakeMachine::Options(kMachine)};
    support::ScriptedMachineAccess machine;
    support::Gate& feeds = machine.GateOf(MachineCall::Feed);
    EntryManager model;
    MachineEvent::DetectedEventQueue queue{50};
    ID id;
    std::unique_ptr<Monitor::EventMonitor> monitor;
};

// Each later fetch is held at the gate until the one before it has been
// compared, so the queue shows what each fetch pushed.
TEST_F(EventMonitorTest, PushesTheItemsNewSinceTheLastFeedThatHadNewOnes)
{
    Publish("1");
    Publish("2");
    monitor->Start();
    EXPECT_EQ(Taken(2), (Texts{L"Doc 1", L"Doc 2"}));

    const auto fetchAfter = [&](const std::function<void()>& change) {
        feeds.Close();
        monitor->OnSignal(AnySignal());
        ASSERT_TRUE(feeds.WaitForHeld(1));
        change();
        feeds.Open();
    };
    fetchAfter([] {});
    fetchAfter([&] { Publish("3"); });
    EXPECT_EQ(Taken(1), (Texts{L"Doc 3"}));

    // The last known item is gone from the machine: the newest it still holds
    // tells which are new.
    fetchAfter([&] {
        server.RemoveDocument("3");
        Publish("4");
    });
    EXPECT_EQ(Taken(1), (Texts{L"Doc 4"}));
}

// Nobody files the first monitor's events, as when the program is killed
// before it does: the entry must not keep the feed that would hide their
// items from the next start's monitor.
TEST_F(EventMonitorTest, TheFeedIsStoredOnlyWhenItsEventsAreFiled)
{
    Publish("1");
    Publish("2");
    monitor->Start();
    EXPECT_EQ(Taken(2), (Texts{L"Doc 1", L"Doc 2"}));
    monitor->Join();
    EXPECT_FALSE(StoredFeed());

    MachineEvent::DetectedEventManager filing(model, queue);
    filing.Start();
    monitor = std::make_unique<Monitor::EventMonitor>(id, model, queue);
    monitor->Start();
    ASSERT_TRUE(support::WaitUntil([&] { return StoredFeed() && StoredFeed()->GetItemList().back().GetGuid() == "2"; }));
    MonitoredEntry::ModelLock lock(model);
    EXPECT_EQ(model.GetEntryDB().GetEntry(id).GetSharedEventLog()->Size(), 2u);
}

// The feed that the last run filed is where this one's news begin.
TEST_F(EventMonitorTest, StartedOnAStoredFeedPushesOnlyTheItemsAfterIt)
{
    Publish("1");
    Publish("2");
    {
        MachineEvent::DetectedEventManager filing(model, queue);
        filing.Start();
        monitor->Start();
        ASSERT_TRUE(support::WaitUntil([&] { return StoredFeed() && StoredFeed()->GetItemList().back().GetGuid() == "2"; }));
        monitor->Join();
    }
    Publish("3");
    monitor = std::make_unique<Monitor::EventMonitor>(id, model, queue);
    monitor->Start();
    EXPECT_EQ(Taken(1), (Texts{L"Doc 3"}));
}

// The machine holds far more than the log keeps: only the newest events are
// filed, and only the newest items kept to compare the next feed with.
TEST_F(EventMonitorTest, AMachinesLongFeedCostsOnlyWhatTheLogKeeps)
{
    for (int document = 0; document < 400; ++document)
        Publish(std::to_string(document));
    MachineEvent::DetectedEventManager filing(model, queue);
    filing.Start();
    monitor->Start();
    ASSERT_TRUE(support::WaitUntil([&] { return StoredFeed() && StoredFeed()->GetItemList().back().GetGuid() == "399"; }));
    EXPECT_LE(StoredFeed()->GetItemList().size(), 300u);
    Publish("400");
    monitor->OnSignal(AnySignal());
    ASSERT_TRUE(support::WaitUntil([&] { return StoredFeed()->GetItemList().back().GetGuid() == "400"; }));
    MonitoredEntry::ModelLock lock(model);
    const auto log = model.GetEntryDB().GetEntry(id).GetSharedEventLog();
    EXPECT_EQ(log->GetEventList().front().GetID(), BasicID<long>(1));
    EXPECT_EQ(log->GetEventList().back().GetProperty().GetInfo(), L"Doc 400");
}

// A failed fetch marks the entry and the monitor goes on; the next one clears the mark.
TEST_F(EventMonitorTest, MarksAFailedFetchAndClearsTheMarkBeforeTheNext)
{
    monitor->Start();
    // Once subscribed, the subscriber writes no status for a minute.
    ASSERT_TRUE(support::WaitUntil([&] { return Status() == std::make_pair(1, 0); }));
    machine.Fail(MachineCall::Feed, std::make_exception_ptr(HTTP::Error()));
    monitor->OnSignal(AnySignal());
    ASSERT_TRUE(support::WaitUntil([&] { return Status() == std::make_pair(1, 1); }));
    machine.Fail(MachineCall::Feed, nullptr);
    feeds.Close();
    monitor->OnSignal(AnySignal());
    ASSERT_TRUE(feeds.WaitForHeld(1));
    EXPECT_EQ(Status(), std::make_pair(1, 0));
    feeds.Open();
    Publish("1");
    monitor->OnSignal(AnySignal());
    EXPECT_EQ(Taken(1), (Texts{L"Doc 1"}));
}

// The interval is a minute, so only the signals can bring the second fetch.
TEST_F(EventMonitorTest, SignalsDuringAFetchBringExactlyOneMore)
{
    feeds.Close();
    monitor->Start();
    ASSERT_TRUE(feeds.WaitForHeld(1));
    for (int signal = 0; signal < 3; ++signal)
        monitor->OnSignal(AnySignal());
    feeds.Open();
    EXPECT_TRUE(machine.WaitForCalls(MachineCall::Feed, 2));
    EXPECT_FALSE(machine.WaitForCalls(MachineCall::Feed, 3, std::chrono::milliseconds(300)));
}

TEST_F(EventMonitorTest, MonitoringOffUnsubscribesAndFetchesNothingUntilItIsOnAgain)
{
    monitor->Start();
    ASSERT_TRUE(machine.WaitForCalls(MachineCall::Feed, 1));
    SetMonitoring(false);
    ASSERT_TRUE(support::WaitUntil([&] { return !server.Subscription("alice"); }));
    monitor->OnSignal(AnySignal());
    EXPECT_FALSE(machine.WaitForCalls(MachineCall::Feed, 2, std::chrono::milliseconds(300)));

    SetMonitoring(true);
    ASSERT_TRUE(machine.WaitForCalls(MachineCall::Feed, 2));
    const std::vector<support::MachineCallRecord> calls = machine.Calls();
    ASSERT_GE(calls.size(), 2u);
    EXPECT_EQ(calls[calls.size() - 2].call, MachineCall::Subscribe);
    EXPECT_TRUE(server.Subscription("alice"));
}

TEST_F(EventMonitorTest, AfterANewHostTheNextFetchFollowsTheSubscriptionThere)
{
    support::FakeInformationServer moved{support::FakeMachine::Options("127.0.0.38")};
    moved.AddAccount({"alice", "Alice", "s3cret"});
    monitor->Start();
    ASSERT_TRUE(machine.WaitForCalls(MachineCall::Feed, 1));
    testvalues::Change(model, id, [&](EntryProperty& property) {
        property.SetMFP(testvalues::OnMachine(moved, "alice").GetMFP());
    });
    monitor->Refresh();
    ASSERT_TRUE(machine.WaitForCalls(MachineCall::Feed, 2));
    const std::vector<support::MachineCallRecord> calls = machine.Calls();
    ASSERT_GE(calls.size(), 2u);
    EXPECT_EQ(calls[calls.size() - 2].call, MachineCall::Subscribe);
    for (const support::MachineCallRecord& call : {calls[calls.size() - 2], calls.back()})
        EXPECT_EQ(call.machine.GetHost(), L"127.0.0.38");
    monitor->Join();
}

// Switching monitoring on again joins the subscriber, whose unsubscription
// waits for the fetch held at the gate; the fetch must wait for neither.
TEST_F(EventMonitorTest, SwitchingMonitoringOffAndOnDuringAFetchNeverDeadlocks)
{
    support::Gate& subscribing = machine.GateOf(MachineCall::Subscribe);
    feeds.Close();
    monitor->Start();
    ASSERT_TRUE(feeds.WaitForHeld(1));
    subscribing.Close();
    for (int round = 0; round < 200; ++round) {
        SCOPED_TRACE(round);
        std::future<void> offAndOn = std::async(std::launch::async, [&] {
            SetMonitoring(false);
            SetMonitoring(true);
        });
        feeds.Open();
        ASSERT_EQ(offAndOn.wait_for(std::chrono::seconds(10)), std::future_status::ready);
        offAndOn.get();
        // The new subscription is held, so the next fetch cannot pass before the gate closes.
        ASSERT_TRUE(subscribing.WaitForHeld(1));
        feeds.Close();
        subscribing.Open();
        ASSERT_TRUE(feeds.WaitForHeld(1));
        subscribing.Close();
    }
    EXPECT_EQ(machine.CountOf(MachineCall::Unsubscribe), 200u);
}

} // namespace
