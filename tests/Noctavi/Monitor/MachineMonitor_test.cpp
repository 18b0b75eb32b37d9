#include "MachineEntry.h"

#include <Noctavi/HTTP/Error.h>
#include <Noctavi/Monitor/MachineMonitor.h>
#include <Noctavi/MonitoredEntry/Entry.h>
#include <Noctavi/MonitoredEntry/EntryManager.h>
#include <Noctavi/MonitoredEntry/ModelLock.h>

#include <support/FakeInformationServer.h>
#include <support/ModelValues.h>
#include <support/ScopedSettings.h>
#include <support/ScriptedMachineAccess.h>
#include <support/WaitUntil.h>

#include <gtest/gtest.h>

#include <string>
#include <utility>

namespace {

using MonitoredEntry::EntryProperty;
using support::MachineCall;
using Names = std::pair<std::wstring, std::wstring>;

const char kMachine[] = "127.0.0.32";

ConfigLimits Limits()
{
    ConfigLimits limits = support::ScopedSettings::TestLimits();
    limits.MachineMonitorInterval = 20;
    return limits;
}

template <class Value>
Value Named(Value value, const std::wstring& name)
{
    value.SetName(name);
    return value;
}

class MachineMonitorTest : public ::testing::Test {
protected:
    BasicID<long> AddEntry()
    {
        server.AddAccount({"alice", "Alice", "s3cret"});
        EntryProperty property = testvalues::OnMachine(server, "alice");
        property.SetMFP(Named(property.GetMFP(), L"Old MFP"));
        property.SetUser(Named(property.GetUser(), L"Old Alice"));
        return testvalues::Add(model, property);
    }

    // The stored names, "-" for none, and the status pair.
    std::pair<Names, std::pair<int, int>> Stored()
    {
        MonitoredEntry::ModelLock lock(model);
        const EntryProperty& property = model.GetEntryDB().GetEntry(id).GetProperty();
        return {{property.GetMFP().GetName().value_or(L"-"), property.GetUser().GetName().value_or(L"-")},
                {property.GetStatus(), property.GetStatusDetail()}};
    }

    bool WaitForNames(const Names& names)
    {
        return support::WaitUntil([&] { return Stored().first == names; });
    }

    // Two more rounds of both requests, so at least one whole round has ended.
    bool WaitForRounds()
    {
        const std::size_t rounds = machine.CountOf(MachineCall::UserInfo) + 2;
        return machine.WaitForCalls(MachineCall::MachineSettings, rounds) &&
               machine.WaitForCalls(MachineCall::UserInfo, rounds);
    }

    support::ScopedSettings settings{Limits()};
    support::FakeInformationServer server{support::FakeMachine::Options(kMachine)};
    support::ScriptedMachineAccess machine;
    MonitoredEntry::EntryManager model;
    BasicID<long> id = AddEntry();
    Monitor::MachineMonitor monitor{id, model};
};

TEST_F(MachineMonitorTest, KeepsTheNamesAsTheMachineReportsThem)
{
    support::MachineIdentity identity;
    identity.name = "Front Desk";
    server.SetIdentity(identity);
    monitor.Start();
    ASSERT_TRUE(WaitForNames({L"Front Desk", L"Alice"}));

    // An empty name in a reply clears the stored one.
    identity.name.clear();
    server.SetIdentity(identity);
    server.AddAccount({"alice", "", "s3cret"});
    ASSERT_TRUE(WaitForNames({L"-", L"-"}));

    // Unreachable: the names stay, and the status pair is none of its business.
    machine.Fail(MachineCall::MachineSettings, std::make_exception_ptr(HTTP::Error()));
    machine.Fail(MachineCall::UserInfo, std::make_exception_ptr(HTTP::Error()));
    identity.name = "Renamed";
    server.SetIdentity(identity);
    ASSERT_TRUE(WaitForRounds());
    EXPECT_EQ(Stored(), std::make_pair(Names{L"-", L"-"}, std::make_pair(0, 0)));
}

// The entry's settings are out of range, so the model refuses every write.
TEST_F(MachineMonitorTest, AWriteTheModelRefusesEndsNothing)
{
    EntryProperty property = [&] {
        MonitoredEntry::ModelLock lock(model);
        return model.GetEntryDB().GetEntry(id).GetProperty();
    }();
    property.SetConfig(MonitoredEntry::Config(5, 1, true, 0, false, false));
    testvalues::Store(model, id, property);
    monitor.Start();
    ASSERT_TRUE(WaitForRounds());
    EXPECT_EQ(Stored().first, (Names{L"Old MFP", L"Old Alice"}));

    testvalues::Change(model, id, [](EntryProperty& changed) {
        changed.SetConfig(MonitoredEntry::Config(5, 60000, true, 0, false, false));
    });
    EXPECT_TRUE(WaitForNames({L"Fake MFP", L"Alice"}));
}

} // namespace
