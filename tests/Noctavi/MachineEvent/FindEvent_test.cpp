#include <Noctavi/MachineEvent/FindEvent.h>
#include <Noctavi/MonitoredEntry/ChangeEntry.h>
#include <Noctavi/MonitoredEntry/EventLog.h>

#include <support/ModelValues.h>

#include <gtest/gtest.h>

namespace {

using ID = BasicID<long>;

TEST(FindEvent, CopiesTheEventWithItsEntrysMachineAndUserOnlyWhileBothRemainAndAreWanted)
{
    MonitoredEntry::EntryManager model;
    const ID entry = testvalues::Add(model, testvalues::Property(L"10.0.0.1"));
    ID event;
    ASSERT_TRUE(MonitoredEntry::ChangeEntry(
        model, entry, [&](MonitoredEntry::EntryManager::Transaction&, MonitoredEntry::Entry& changed) {
            const boost::shared_ptr<MonitoredEntry::EventLog> log = changed.GetEventLog();
            event = log->Append(testvalues::Event(L"scan"));
            changed.SetEventLog(log);
        }));

    const boost::optional<MachineEvent::Event> found = MachineEvent::FindEvent(model, entry, event);
    ASSERT_TRUE(found);
    EXPECT_EQ(found->GetMFP().GetHost(), L"10.0.0.1");
    EXPECT_EQ(found->GetUser().GetID(), L"alice");
    EXPECT_EQ(found->GetProperty().GetInfo(), L"scan");
    EXPECT_FALSE(MachineEvent::FindEvent(model, entry, event, [](const MonitoredEntry::EntryProperty& property) {
        return !property.GetMonitoring();
    }));
    EXPECT_FALSE(MachineEvent::FindEvent(model, entry, ID(event.GetValue() + 1)));
    EXPECT_FALSE(MachineEvent::FindEvent(model, ID(entry.GetValue() + 1), event));
}

} // namespace
