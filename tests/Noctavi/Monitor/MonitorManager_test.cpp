#include "MachineEntry.h"

#include <Noctavi/IS/InformationServer.h>
#include <Noctavi/MachineEvent/DetectedEventManager.h>
#include <Noctavi/MachineEvent/NotifiableEventManager.h>
#include <Noctavi/Monitor/EventMonitorManager.h>
#include <Noctavi/Monitor/EventSignalReceiver.h>
#include <Noctavi/Monitor/MachineMonitorManager.h>
#include <Noctavi/MonitoredEntry/EntryManager.h>
#include <Noctavi/MonitoredEntry/EventLog.h>
#include <Noctavi/MonitoredEntry/ModelLock.h>
#include <Noctavi/MonitoredEntry/Observer.h>

#include <support/FakeInformationServer.h>
#include <support/ModelValues.h>
#include <support/ScopedSettings.h>
#include <support/ScriptedMachineAccess.h>
#include <support/WaitUntil.h>

#include <boost/make_shared.hpp>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <fstream>
#include <future>
#include <list>
#include <stdexcept>
#include <string>

namespace {

using MonitoredEntry::EntryManager;
using MonitoredEntry::EntryProperty;
using support::FakeInformationServer;
using support::MachineCall;
using Clock = std::chrono::steady_clock;
using ID = BasicID<long>;

const int kTimeout = 3000;
const HTTP::Timeout kRequestTimeout{kTimeout, 1, kTimeout, kTimeout};
const char kSubscribe[] = "/cgi-bin/SubscribeToFeed.cgi";
const char kUnsubscribe[] = "/cgi-bin/UnSubscribeToFeed.cgi";

ConfigLimits Limits()
{
    ConfigLimits limits = support::ScopedSettings::TestLimits();
    limits.MachineMonitorInterval = 50;
    return limits;
}

IS::Config Timeouts()
{
    IS::Config::Records records;
    records.fill(kRequestTimeout);
    return IS::Config(records);
}

std::size_t ThreadCount()
{
    std::ifstream status("/proc/self/status");
    for (std::string field; status >> field;) {
        if (field == "Threads:") {
            std::size_t threads = 0;
            status >> threads;
            return threads;
        }
    }
    return 0;
}

// Attached after the managers, so that it is told of a change only once
// they have been.
struct NotificationCounter : MonitoredEntry::Observer {
    void Notify(EntryManager&) override { ++count; }
    std::atomic<int> count{0};
};

// Stands in for the pop-up manager.
struct PopupCounter : MachineEvent::NotifiableEventManager {
    void Notify(ID, ID) override { ++count; }
    std::atomic<int> count{0};
};

struct FailingManager : Monitor::MonitorManager<Monitor::MachineMonitor> {
    ~FailingManager() override { Stop(); }
    MonitorPointer CreateMonitor(ID id, EntryManager& model) override
    {
        if (failing)
            throw std::runtime_error("no monitor");
        return boost::make_shared<Monitor::MachineMonitor>(id, model);
    }
    bool failing = true;
};

class MonitoringTest : public ::testing::Test {
protected:
    MonitoringTest()
    {
        settings.SetPort(receiver.GetPort());
        receiver.Attach(&events);
        receiver.Start();
        detected.SetNotifiable(&popups);
        detected.Start();
    }

    FakeInformationServer& Serve(const char* address, std::initializer_list<const char*> accounts)
    {
        FakeInformationServer& server = servers.emplace_back(support::FakeMachine::Options(address));
        for (const char* account : accounts)
            server.AddAccount({account, account, "s3cret"});
        return server;
    }

    ID Add(FakeInformationServer& server, const char* account, const std::string& host = std::string(),
           bool monitoring = true)
    {
        return testvalues::Add(model, testvalues::OnMachine(server, account, "s3cret", monitoring, host));
    }

    void StartManagers()
    {
        machines.Start(model);
        events.Start(model);
        model.AddObserver(counter);
    }

    // An entry for "alice" on the machine, once subscribed; monitored without
    // machine monitors, whose names would make it subscribe once more.
    ID Subscribed(FakeInformationServer& server)
    {
        const ID id = Add(server, "alice");
        events.Start(model);
        model.AddObserver(counter);
        EXPECT_TRUE(WaitForStatus({id}, {1, 0}));
        return id;
    }

    void StopManagers()
    {
        machines.Interrupt();
        events.Interrupt();
        machines.Stop();
        events.Stop();
    }

    // The managers' update, as the notification thread runs it.
    void Update()
    {
        machines.Notify(model);
        events.Notify(model);
    }

    std::pair<int, int> Monitors()
    {
        int machineMonitors = 0;
        int eventMonitors = 0;
        machines.ForEach([&](Monitor::MachineMonitor&) { ++machineMonitors; });
        events.ForEach([&](Monitor::EventMonitor&) { ++eventMonitors; });
        return {machineMonitors, eventMonitors};
    }

    std::pair<int, int> Status(ID id)
    {
        MonitoredEntry::ModelLock lock(model);
        const EntryProperty& property = model.GetEntryDB().GetEntry(id).GetProperty();
        return {property.GetStatus(), property.GetStatusDetail()};
    }

    bool WaitForStatus(std::initializer_list<ID> ids, std::pair<int, int> status)
    {
        return support::WaitUntil([&] {
            for (ID id : ids) {
                if (Status(id) != status)
                    return false;
            }
            return true;
        });
    }

    std::size_t Logged(ID id)
    {
        MonitoredEntry::ModelLock lock(model);
        return model.GetEntryDB().GetEntry(id).GetSharedEventLog()->Size();
    }

    std::vector<std::wstring> LoggedDocuments(ID id)
    {
        MonitoredEntry::ModelLock lock(model);
        std::vector<std::wstring> documents;
        for (const MonitoredEntry::Event& event : *model.GetEntryDB().GetEntry(id).GetSharedEventLog())
            documents.push_back(event.GetProperty().GetDocID().value_or(L""));
        return documents;
    }

    std::size_t FeedsFor(const std::wstring& account)
    {
        std::size_t feeds = 0;
        for (const support::MachineCallRecord& call : machine.CallsOf(MachineCall::Feed))
            feeds += call.user.GetID() == account;
        return feeds;
    }

    // The subscriptions and unsubscriptions as the machine received them.
    static std::vector<std::string> Subscriptions(FakeInformationServer& server)
    {
        std::vector<std::string> paths;
        for (const support::RecordedRequest& request : server.Machine().Requests()) {
            if (request.path == kSubscribe || request.path == kUnsubscribe)
                paths.push_back(request.path);
        }
        return paths;
    }

    void Remove(ID id)
    {
        EntryManager::Transaction transaction(model);
        transaction.GetEntryDB().Erase(id);
        transaction.Commit();
    }

    support::ScopedSettings settings{Limits(), Timeouts()};
    std::list<FakeInformationServer> servers;
    support::ScriptedMachineAccess machine;
    // Declared before the model, so that it is listed until the model goes.
    NotificationCounter counter;
    EntryManager model;
    MachineEvent::DetectedEventQueue queue{50};
    PopupCounter popups;
    MachineEvent::DetectedEventManager detected{model, queue};
    Monitor::EventMonitorManager events{queue};
    Monitor::MachineMonitorManager machines;
    // Declared last, so that it stops before the manager it calls goes.
    Monitor::EventSignalReceiver receiver;
};

// The polling interval is a minute, so only the signal can explain a prompt
// filing; the bound leaves room for sanitizers under load, and the benchmark
// measures how prompt it is.
TEST_F(MonitoringTest, ASignalWakesEveryEntryOnTheSendersMachineAndNoOther)
{
    FakeInformationServer& shared = Serve("127.0.0.1", {"alice", "bob"});
    FakeInformationServer& other = Serve("127.0.0.33", {"carol"});
    const ID alice = Add(shared, "alice");
    const ID bob = Add(shared, "bob", "localhost");
    const ID carol = Add(other, "carol");
    const auto publish = [](FakeInformationServer& server, const char* owner, const char* document) {
        support::StoredDocument stored;
        stored.id = document;
        stored.owner = owner;
        server.AddDocument(stored);
    };
    for (const auto& [server, owner] : {std::make_pair(&shared, "alice"), {&shared, "bob"}, {&other, "carol"}})
        publish(*server, owner, "0");
    StartManagers();
    ASSERT_TRUE(support::WaitUntil([&] { return Logged(alice) == 1 && Logged(bob) == 1 && Logged(carol) == 1; }));

    publish(shared, "alice", "1");
    publish(shared, "bob", "1");
    publish(other, "carol", "1");
    support::SendDatagram("127.0.0.34", "127.0.0.1", static_cast<std::uint16_t>(receiver.GetPort()));
    const Clock::time_point sent = Clock::now();
    ASSERT_TRUE(shared.SendSignal("alice"));
    ASSERT_TRUE(support::WaitUntil([&] { return Logged(alice) == 2; }));
    EXPECT_LT(Clock::now() - sent, std::chrono::seconds(30));
    EXPECT_TRUE(support::WaitUntil([&] { return Logged(bob) == 2; }));
    EXPECT_EQ(FeedsFor(L"carol"), 1u);
    EXPECT_EQ(Logged(carol), 1u);
}

// A log that keeps three of five documents; the user deletes the newest, and
// the machine's signal for that brings nothing back. Only the next document
// is news.
TEST_F(MonitoringTest, ADeletedDocumentBringsNoOlderOneBack)
{
    FakeInformationServer& server = Serve("127.0.0.43", {"alice"});
    const auto publish = [&](const char* document) {
        support::StoredDocument stored;
        stored.id = document;
        stored.owner = "alice";
        server.AddDocument(stored);
    };
    for (const char* document : {"d1", "d2", "d3", "d4", "d5"})
        publish(document);
    EntryProperty property = testvalues::OnMachine(server, "alice");
    property.SetConfig(MonitoredEntry::Config(3, 60000, true, 0, false, false));
    const ID id = testvalues::Add(model, property);
    StartManagers();
    using Documents = std::vector<std::wstring>;
    // The pop-ups are told after the commit.
    ASSERT_TRUE(support::WaitUntil(
        [&] { return LoggedDocuments(id) == Documents{L"d3", L"d4", L"d5"} && popups.count == 3; }));

    IS::InformationServer(property.GetMFP()).DeleteDocument(property.GetUser(), L"d5", kRequestTimeout);
    ASSERT_FALSE(server.Document("d5"));
    ASSERT_TRUE(server.SendSignal("alice"));
    ASSERT_TRUE(support::WaitUntil([&] { return FeedsFor(L"alice") == 2; }));
    publish("d6");
    ASSERT_TRUE(server.SendSignal("alice"));
    ASSERT_TRUE(support::WaitUntil([&] { return LoggedDocuments(id).back() == L"d6" && popups.count > 3; }));
    EXPECT_EQ(LoggedDocuments(id), (Documents{L"d4", L"d5", L"d6"}));
    EXPECT_EQ(popups.count, 4);
}

TEST_F(MonitoringTest, MonitorsFollowTheEntries)
{
    FakeInformationServer& server = Serve("127.0.0.35", {"alice"});
    const std::size_t threads = ThreadCount();
    const ID id = Add(server, "alice", std::string(), false);
    Update();
    EXPECT_EQ(Monitors(), std::make_pair(0, 0));

    testvalues::Change(model, id, [](EntryProperty& property) { property.SetMonitoring(true); });
    Update();
    Update();
    EXPECT_EQ(Monitors(), std::make_pair(1, 1));
    ASSERT_TRUE(WaitForStatus({id}, {1, 0}));

    // Off: the event monitor unsubscribes and stays; the machine monitor reads on.
    testvalues::Change(model, id, [](EntryProperty& property) { property.SetMonitoring(false); });
    Update();
    EXPECT_EQ(Monitors(), std::make_pair(1, 1));
    EXPECT_TRUE(support::WaitUntil([&] { return server.Machine().RequestCount(kUnsubscribe) == 1; }));
    EXPECT_TRUE(machine.WaitForCalls(MachineCall::MachineSettings, machine.CountOf(MachineCall::MachineSettings) + 2));

    testvalues::Change(model, id, [](EntryProperty& property) { property.SetMonitoring(true); });
    Update();
    EXPECT_TRUE(support::WaitUntil([&] { return server.Machine().RequestCount(kSubscribe) == 2; }));

    Remove(id);
    Update();
    EXPECT_EQ(Monitors(), std::make_pair(0, 0));
    EXPECT_TRUE(support::WaitUntil([&] { return server.Machine().RequestCount(kUnsubscribe) == 2; }));
    EXPECT_TRUE(support::WaitUntil([&] { return ThreadCount() == threads; }));
}

TEST_F(MonitoringTest, ANotificationNeverThrowsOutOfAManager)
{
    FailingManager failing;
    FakeInformationServer& server = Serve("127.0.0.39", {"alice"});
    Add(server, "alice");
    EXPECT_NO_THROW(failing.Notify(model));
    int monitors = 0;
    failing.ForEach([&](Monitor::MachineMonitor&) { ++monitors; });
    EXPECT_EQ(monitors, 0);
    failing.failing = false;
    failing.Notify(model);
    failing.ForEach([&](Monitor::MachineMonitor&) { ++monitors; });
    EXPECT_EQ(monitors, 1);
}

// The dropped monitor cannot end while its unsubscription is held at the
// gate; notifications still go on, and stopping lets none start a monitor.
TEST_F(MonitoringTest, DroppedMonitorsHoldUpNeitherNotificationsNorAStoppedManager)
{
    FakeInformationServer& server = Serve("127.0.0.36", {"alice", "bob"});
    const ID alice = Add(server, "alice");
    StartManagers();
    ASSERT_TRUE(WaitForStatus({alice}, {1, 0}));
    support::Gate& unsubscribing = machine.GateOf(MachineCall::Unsubscribe);
    unsubscribing.Close();
    Remove(alice);
    ASSERT_TRUE(unsubscribing.WaitForHeld(1));
    const int told = counter.count;
    Add(server, "bob", "localhost", false);
    EXPECT_TRUE(support::WaitUntil([&] { return counter.count > told; }));

    std::future<void> stopping = std::async(std::launch::async, [&] { StopManagers(); });
    EXPECT_EQ(stopping.wait_for(std::chrono::milliseconds(100)), std::future_status::timeout);
    FakeInformationServer& late = Serve("127.0.0.37", {"carol"});
    Add(late, "carol");
    EXPECT_FALSE(late.Machine().WaitForRequests(1, std::chrono::milliseconds(300)));
    unsubscribing.Open();
    ASSERT_EQ(stopping.wait_for(std::chrono::seconds(10)), std::future_status::ready);
    EXPECT_EQ(Monitors(), std::make_pair(0, 0));
}

// Switched off and on again while the machine holds the unsubscription: the
// model's notifications go on and observers come and go meanwhile, and the
// status that the switch on reset, as the settings dialog does, waits for
// the new subscription, which follows the unsubscription.
TEST_F(MonitoringTest, SwitchingOnAgainWaitsForTheUnsubscriptionOnlyOffTheNotificationThread)
{
    FakeInformationServer& server = Serve("127.0.0.44", {"alice"});
    const ID alice = Subscribed(server);
    support::Gate& unsubscribing = machine.GateOf(MachineCall::Unsubscribe);
    support::Gate& subscribing = machine.GateOf(MachineCall::Subscribe);
    unsubscribing.Close();
    subscribing.Close();
    testvalues::Change(model, alice, [](EntryProperty& property) { property.SetMonitoring(false); });
    ASSERT_TRUE(unsubscribing.WaitForHeld(1));
    const int told = counter.count;
    testvalues::Change(model, alice, [](EntryProperty& property) {
        property.SetMonitoring(true);
        property.SetStatus(EntryProperty::StatusNotReported);
    });
    EXPECT_TRUE(support::WaitUntil([&] { return counter.count > told; }));
    NotificationCounter passing;
    std::future<void> comeAndGo = std::async(std::launch::async, [&] {
        model.AddObserver(passing);
        model.RemoveObserver(passing);
    });
    EXPECT_EQ(comeAndGo.wait_for(std::chrono::seconds(10)), std::future_status::ready);

    unsubscribing.Open();
    comeAndGo.get();
    ASSERT_TRUE(subscribing.WaitForHeld(1));
    EXPECT_EQ(Status(alice).first, EntryProperty::StatusNotReported);
    subscribing.Open();
    EXPECT_TRUE(WaitForStatus({alice}, {1, 0}));
    EXPECT_EQ(Subscriptions(server), (std::vector<std::string>{kSubscribe, kUnsubscribe, kSubscribe}));
}

// The machine keys subscriptions by user: the entry added again subscribes
// only once the removed one's unsubscription has reached the machine.
TEST_F(MonitoringTest, AnEntryAddedAgainSubscribesOnlyAfterTheRemovedOneUnsubscribed)
{
    FakeInformationServer& server = Serve("127.0.0.45", {"alice"});
    const ID removed = Subscribed(server);
    support::Gate& unsubscribing = machine.GateOf(MachineCall::Unsubscribe);
    unsubscribing.Close();
    Remove(removed);
    ASSERT_TRUE(unsubscribing.WaitForHeld(1));
    const ID again = Add(server, "alice");
    EXPECT_FALSE(machine.WaitForCalls(MachineCall::Subscribe, 2, std::chrono::milliseconds(500)));
    unsubscribing.Open();
    ASSERT_TRUE(WaitForStatus({again}, {1, 0}));
    EXPECT_EQ(Subscriptions(server), (std::vector<std::string>{kSubscribe, kUnsubscribe, kSubscribe}));
    EXPECT_TRUE(server.Subscription("alice"));
}

// The machines that never answer hold every request; stopping cancels what
// is in progress and waits for the unsubscriptions together, one time-out.
TEST_F(MonitoringTest, StoppingEndsEveryThreadAndUnsubscribesEveryEntryTogether)
{
    for (const bool answering : {true, false}) {
        SCOPED_TRACE(answering ? "answering" : "never answering");
        servers.clear();
        const char* addresses[] = {"127.0.0.40", "127.0.0.41", "127.0.0.42"};
        std::vector<ID> ids;
        for (const char* address : addresses) {
            FakeInformationServer& server = Serve(address, {"alice"});
            if (!answering) {
                for (const char* path : {kSubscribe, kUnsubscribe, "/cgi-bin/GetMachineSettings.cgi"})
                    server.Machine().Delay(path, std::chrono::minutes(1));
            }
            ids.push_back(Add(server, "alice"));
        }
        const std::size_t threads = ThreadCount();
        StartManagers();
        for (FakeInformationServer& server : servers)
            ASSERT_TRUE(server.Machine().WaitForRequests(answering ? 3 : 2));
        const Clock::time_point stopping = Clock::now();
        StopManagers();
        // One after the other, the three would take three time-outs.
        EXPECT_LT(Clock::now() - stopping, std::chrono::milliseconds(2 * kTimeout));
        for (FakeInformationServer& server : servers)
            EXPECT_EQ(server.Machine().RequestCount(kUnsubscribe), 1u);
        EXPECT_TRUE(support::WaitUntil([&] { return ThreadCount() == threads; }));
        model.RemoveObserver(counter);
        for (ID id : ids)
            Remove(id);
    }
}

} // namespace
