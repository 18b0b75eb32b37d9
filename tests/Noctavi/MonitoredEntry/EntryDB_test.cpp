#include <Noctavi/MonitoredEntry/Entry.h>
#include <Noctavi/MonitoredEntry/EntryDB.h>
#include <Noctavi/MonitoredEntry/EventLog.h>
#include <Noctavi/MonitoredEntry/InvalidEntry.h>
#include <Noctavi/MonitoredEntry/MissingEntry.h>
#include <Noctavi/MonitoredEntry/SearchResult.h>

#include <support/ModelValues.h>

#include <boost/make_shared.hpp>

#include <gtest/gtest.h>

#include <limits>

namespace {

using MonitoredEntry::Entry;
using MonitoredEntry::EntryDB;
using MonitoredEntry::EventLog;
using testvalues::IDs;
using testvalues::Property;
using ID = BasicID<long>;
using IDList = std::vector<int>;

TEST(EntryDB, HandsOutRisingIDsAndKeepsTheTableInIDOrder)
{
    EntryDB db;
    EXPECT_EQ(db.Append(Property(L"10.0.0.1")), ID(0));
    EXPECT_EQ(db.Append(Property(L"10.0.0.2")), ID(1));
    EXPECT_EQ(db.Append(Property(L"10.0.0.1")), ID(2)) << "the table alone does not test hosts";

    EXPECT_TRUE(db.Erase(ID(1)));
    EXPECT_FALSE(db.Erase(ID(1)));
    EXPECT_FALSE(db.Erase(ID(7)));
    EXPECT_EQ(db.Append(Property(L"10.0.0.4")), ID(3));
    EXPECT_EQ(IDs(db), (IDList{0, 2, 3}));

    EXPECT_FALSE(db.Contains(ID(1)));
    EXPECT_THROW(db.GetEntry(ID(1)), MonitoredEntry::MissingEntry);
    EXPECT_THROW(db.CloneEntry(ID(1)), MonitoredEntry::MissingEntry);
    EXPECT_EQ(db.GetEntry(ID(3)).GetProperty().GetMFP().GetHost(), L"10.0.0.4");

    const auto first = db.Search([](const Entry& e) { return e.GetProperty().GetMFP().GetHost() == L"10.0.0.1"; });
    EXPECT_EQ(IDs(*first), (IDList{0, 2}));
    const auto none = db.Search([](const Entry&) { return false; });
    EXPECT_TRUE(none->begin() == none->end());
}

TEST(EntryDB, AppendRefusesInvalidPartsAndChangesNothing)
{
    EntryDB db;
    db.Append(Property(L"10.0.0.1"));

    auto noHost = Property(L"");
    auto noUser = Property(L"10.0.0.2");
    noUser.SetUser(MonitoredEntry::User());
    auto noLog = Property(L"10.0.0.3");
    noLog.SetConfig(MonitoredEntry::Config(0, 60000, true, 0, false, false));
    for (const auto& property : {noHost, noUser, noLog})
        EXPECT_THROW(db.Append(property), MonitoredEntry::InvalidEntry);

    EXPECT_EQ(IDs(db), IDList{0});
    EXPECT_EQ(db.GetNextID(), ID(1));
}

TEST(EntryDB, SetEntryReplacesTheStoredEntryAfterTheValidityTest)
{
    EntryDB db;
    db.Append(Property(L"10.0.0.1"));
    db.Append(Property(L"10.0.0.2"));

    const auto changed = db.CloneEntry(ID(0));
    auto property = changed->GetProperty();
    property.SetMonitoring(false);
    changed->SetProperty(property);
    EXPECT_TRUE(db.GetEntry(ID(0)).GetProperty().GetMonitoring()) << "a clone is the caller's own";
    const auto log = changed->GetEventLog();
    changed->SetEventLog(log);
    db.SetEntry(changed);
    EXPECT_FALSE(db.GetEntry(ID(0)).GetProperty().GetMonitoring());
    EXPECT_EQ(IDs(db), (IDList{0, 1}));

    // The stored entry and log are the table's own: their giver cannot change them.
    property.SetMonitoring(true);
    changed->SetProperty(property);
    log->Append(testvalues::Event(L"late"));
    EXPECT_FALSE(db.GetEntry(ID(0)).GetProperty().GetMonitoring());
    EXPECT_EQ(db.GetEntry(ID(0)).GetSharedEventLog()->Size(), 0u);

    const auto stranger = boost::make_shared<Entry>(ID(9), Property(L"10.0.0.9"));
    EXPECT_THROW(db.SetEntry(stranger), MonitoredEntry::MissingEntry);
    EXPECT_THROW(db.SetEntry(boost::shared_ptr<Entry>()), MonitoredEntry::InvalidEntry);

    // A log over its maximum is tested before the ID, for a stored entry or not.
    const EventLog::EventList events{MonitoredEntry::Event(ID(0), testvalues::Event(L"a")),
                                     MonitoredEntry::Event(ID(1), testvalues::Event(L"b"))};
    for (const auto& entry : {db.CloneEntry(ID(1)), stranger}) {
        entry->SetEventLog(boost::make_shared<EventLog>(events, ID(2), 1));
        EXPECT_THROW(db.SetEntry(entry), MonitoredEntry::InvalidEntry);
    }
}

TEST(EntryDB, CountsUnreadEventsOverEveryLog)
{
    EntryDB db;
    EXPECT_EQ(db.CountUnread(), 0);
    db.Append(Property(L"10.0.0.1"));
    db.Append(Property(L"10.0.0.2"));
    for (int id : {0, 1}) {
        const auto entry = db.CloneEntry(ID(id));
        const auto log = entry->GetEventLog();
        log->Append(testvalues::Event(L"a"));
        log->Append(testvalues::Event(L"b"));
        entry->SetEventLog(log);
        db.SetEntry(entry);
    }
    EXPECT_EQ(db.CountUnread(), 4);
}

TEST(EntryDB, IdentifiersWrapToZeroAndSkipThoseStillHeld)
{
    EntryDB db;
    db.Append(Property(L"10.0.0.1"));
    db.Append(Property(L"10.0.0.2"));
    const ID::value_type largest = std::numeric_limits<ID::value_type>::max();
    db.Restore(ID(largest), db.GetEntryList());

    EXPECT_EQ(db.Append(Property(L"10.0.0.3")), ID(largest));
    EXPECT_EQ(db.GetNextID(), ID(0));
    EXPECT_EQ(db.Append(Property(L"10.0.0.4")), ID(2));
    EXPECT_EQ(IDs(db), (IDList{0, 1, 2, largest}));
}

} // namespace
