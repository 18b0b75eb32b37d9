#include "MachineEntry.h"
#include "SignalRecorder.h"

#include <Noctavi/Monitor/Subscriber.h>
#include <Noctavi/Monitor/EventSignalReceiver.h>
#include <Noctavi/MonitoredEntry/Entry.h>
#include <Noctavi/MonitoredEntry/EntryManager.h>
#include <Noctavi/MonitoredEntry/ModelLock.h>
#include <Noctavi/MonitoredEntry/Transaction.h>
#include <Noctavi/Utility/TextConversion.h>

#include <support/FakeInformationServer.h>
#include <support/ModelValues.h>
#include <support/ScopedSettings.h>
#include <support/ScriptedMachineAccess.h>
#include <support/WaitUntil.h>

#include <boost/thread/exceptions.hpp>

#include <gtest/gtest.h>

#include <functional>
#include <future>
#include <memory>
#include <utility>

namespace {

using Monitor::Subscriber;
using MonitoredEntry::EntryManager;
using MonitoredEntry::EntryProperty;
using support::MachineCall;
using Status = std::pair<int, int>;
using ID = BasicID<long>;

const char kMachine[] = "127.0.0.30";
const char kSubscribe[] = "/cgi-bin/SubscribeToFeed.cgi";
const char kUnsubscribe[] = "/cgi-bin/UnSubscribeToFeed.cgi";

ConfigLimits Limits()
{
    ConfigLimits limits = support::ScopedSettings::TestLimits();
    limits.RetrySubscribeInterval = 300;
    return limits;
}

class SubscriberTest : public ::testing::Test {
protected:
    SubscriberTest()
    {
        settings.SetPort(receiver.GetPort());
        server.AddAccount({"alice", "Alice", "s3cret"});
        id = testvalues::Add(model, Property(L"s3cret"));
        subscriber = std::make_unique<Subscriber>(id, model);
    }

    EntryProperty Property(const std::wstring& password)
    {
        return testvalues::OnMachine(server, "alice", Utility::ToNarrow(password));
    }

    void Change(const std::function<void(EntryProperty&)>& change) { testvalues::Change(model, id, change); }

    void Store(const EntryProperty& property) { testvalues::Store(model, id, property); }

    Status CurrentStatus()
    {
        MonitoredEntry::ModelLock lock(model);
        const EntryProperty& property = model.GetEntryDB().GetEntry(id).GetProperty();
        return {property.GetStatus(), property.GetStatusDetail()};
    }

    bool WaitForStatus(const Status& status)
    {
        return support::WaitUntil([&] { return CurrentStatus() == status; });
    }

    boost::optional<std::wstring> ReadAddress()
    {
        Subscriber::ScopedRSSFeedURLLock lock(*subscriber);
        return lock.GetURL();
    }

    support::ScopedSettings settings{Limits()};
    testvalues::SignalRecorder signals;
    Monitor::EventSignalReceiver receiver;
    support::FakeInformationServer server{support::FakeMachine::Options(kMachine)};
    support::ScriptedMachineAccess machine;
    EntryManager model;
    ID id;
    std::unique_ptr<Subscriber> subscriber;
};

TEST_F(SubscriberTest, SubscribesForTheListenPortAndUnsubscribesOnceWhenItEnds)
{
    subscriber->Start();
    ASSERT_TRUE(WaitForStatus({1, 0}));
    EXPECT_EQ(ReadAddress().value_or(L""), Utility::ToWide(server.FeedAddress("alice")));
    EXPECT_EQ(server.Subscription("alice"), receiver.GetPort());

    // The machine signals the client that subscribed, at the port it named.
    receiver.Attach(&signals);
    receiver.Start();
    ASSERT_TRUE(server.SendSignal("alice"));
    ASSERT_TRUE(signals.WaitForSignals(1));
    EXPECT_EQ(signals.Received().front(), kMachine);

    subscriber->Join();
    EXPECT_EQ(server.Machine().RequestCount(kUnsubscribe), 1u);
    EXPECT_EQ(CurrentStatus(), Status(2, 0));
    EXPECT_FALSE(server.Subscription("alice"));
    EXPECT_FALSE(ReadAddress());
}

// The machine has taken the subscription but holds its answer back for a
// minute; ending the subscriber cancels the request instead of waiting.
TEST_F(SubscriberTest, EndingDuringASlowSubscriptionCancelsIt)
{
    server.Machine().Delay(kSubscribe, std::chrono::minutes(1));
    subscriber->Start();
    ASSERT_TRUE(support::WaitUntil([&] { return server.Machine().RequestCount(kSubscribe) == 1; }));
    const auto began = std::chrono::steady_clock::now();
    subscriber->Join();
    EXPECT_LT(std::chrono::steady_clock::now() - began, std::chrono::seconds(10));
    EXPECT_EQ(CurrentStatus(), Status(2, 0));
    const std::string client = server.Machine().Requests().front().client;
    EXPECT_EQ(server.Machine().RequestCountFrom(client), 2u);
}

// The interval that fits the outcome is cut to 300 ms, the other stays a minute.
TEST_F(SubscriberTest, RenewsOrRetriesAfterTheIntervalThatFitsTheOutcome)
{
    struct Case {
        const wchar_t* password;
        Status status;
        int subscribeInterval;
        int retryInterval;
    };
    for (const Case& c : {Case{L"s3cret", {1, 0}, 300, 60000}, Case{L"wrong", {2, 1}, 60000, 300}}) {
        SCOPED_TRACE(c.retryInterval == 300 ? "refused" : "subscribed");
        ConfigLimits limits = GetConfigLimits();
        limits.SubscribeInterval = c.subscribeInterval;
        limits.RetrySubscribeInterval = c.retryInterval;
        support::ScopedSettings intervals(limits);
        Change([&](EntryProperty& property) {
            property.SetUser(MonitoredEntry::User(boost::none, L"alice", MonitoredEntry::Password(c.password)));
        });
        const std::size_t before = machine.CountOf(MachineCall::Subscribe);
        subscriber->Start();
        ASSERT_TRUE(WaitForStatus(c.status));
        ASSERT_TRUE(machine.WaitForCalls(MachineCall::Subscribe, before + 2));
        const auto calls = machine.CallsOf(MachineCall::Subscribe);
        EXPECT_GE(calls[before + 1].at - calls[before].at, std::chrono::milliseconds(300));
        subscriber->Join();
    }
}

TEST_F(SubscriberTest, AChangedMachineOrUserSubscribesAgainAtOnce)
{
    subscriber->Start();
    ASSERT_TRUE(WaitForStatus({1, 0}));
    // Its own status writes change the entry too, and must not count.
    subscriber->Refresh();
    EXPECT_FALSE(machine.WaitForCalls(MachineCall::Subscribe, 2, std::chrono::milliseconds(300)));

    support::ClosedPort closed(kMachine);
    using MonitoredEntry::MFP;
    using MonitoredEntry::User;
    const auto machineChange = [](const std::function<void(MFP&)>& change) {
        return [change](EntryProperty& p) { MFP m = p.GetMFP(); change(m); p.SetMFP(m); };
    };
    const auto userChange = [](const std::function<void(User&)>& change) {
        return [change](EntryProperty& p) { User u = p.GetUser(); change(u); p.SetUser(u); };
    };
    const std::pair<const char*, std::function<void(EntryProperty&)>> changes[] = {
        {"machine name", machineChange([](MFP& m) { m.SetName(std::wstring(L"Renamed")); })},
        {"display name", userChange([](User& u) { u.SetName(std::wstring(L"Al")); })},
        {"password", userChange([](User& u) { u.SetPassword(MonitoredEntry::Password(L"new")); })},
        {"port", machineChange([&](MFP& m) { m.SetHTTP(int(closed.Port())); })},
    };
    std::size_t expected = 1;
    for (const auto& [what, change] : changes) {
        SCOPED_TRACE(what);
        Change(change);
        subscriber->Refresh();
        ASSERT_TRUE(machine.WaitForCalls(MachineCall::Subscribe, ++expected));
        const support::MachineCallRecord last = machine.Calls().back();
        MonitoredEntry::ModelLock lock(model);
        const EntryProperty& stored = model.GetEntryDB().GetEntry(id).GetProperty();
        EXPECT_TRUE(last.machine == stored.GetMFP());
        EXPECT_TRUE(last.user == stored.GetUser());
    }
    EXPECT_TRUE(WaitForStatus({2, 1}));
}

// The entry's settings are out of range, so the model refuses every write.
TEST_F(SubscriberTest, AStatusWriteTheModelRefusesEndsNothing)
{
    EntryProperty property = Property(L"s3cret");
    property.SetConfig(MonitoredEntry::Config(5, 1, true, 0, false, false));
    Store(property);
    subscriber->Start();
    ASSERT_TRUE(machine.WaitForCalls(MachineCall::Subscribe, 1));
    ASSERT_TRUE(ReadAddress());

    property.SetUser(MonitoredEntry::User(boost::none, L"alice", MonitoredEntry::Password(L"new")));
    Store(property);
    subscriber->Refresh();
    ASSERT_TRUE(machine.WaitForCalls(MachineCall::Subscribe, 2));
    subscriber->Join();
    EXPECT_THROW(subscriber->Rethrow(), boost::thread_interrupted);
    EXPECT_EQ(CurrentStatus(), Status(0, 0));
}

// The entry goes meanwhile: nothing is written, and the unsubscription still
// goes out with the last copies.
TEST_F(SubscriberTest, AReaderWaitingForTheAddressIsReleasedWithNoneWhenTheSubscriberEnds)
{
    support::Gate& subscribing = machine.GateOf(MachineCall::Subscribe);
    subscribing.Close();
    subscriber->Start();
    ASSERT_TRUE(subscribing.WaitForHeld(1));
    std::future<boost::optional<std::wstring>> reader = std::async(std::launch::async, [&] { return ReadAddress(); });
    EXPECT_EQ(reader.wait_for(std::chrono::milliseconds(100)), std::future_status::timeout);

    {
        EntryManager::Transaction transaction(model);
        transaction.GetEntryDB().Erase(id);
        transaction.Commit();
    }
    subscriber->Join();
    ASSERT_EQ(reader.wait_for(std::chrono::seconds(10)), std::future_status::ready);
    EXPECT_FALSE(reader.get());
    ASSERT_EQ(machine.CountOf(MachineCall::Unsubscribe), 1u);
    EXPECT_EQ(machine.Calls().back().user.GetID(), L"alice");
}

} // namespace
