#include <Noctavi/MonitoredEntry/Config.h>
#include <Noctavi/MonitoredEntry/Entry.h>
#include <Noctavi/MonitoredEntry/EntryManager.h>
#include <Noctavi/MonitoredEntry/EntryProperty.h>
#include <Noctavi/MonitoredEntry/EventLog.h>
#include <Noctavi/MonitoredEntry/MFP.h>
#include <Noctavi/MonitoredEntry/Password.h>
#include <Noctavi/MonitoredEntry/Transaction.h>
#include <Noctavi/MonitoredEntry/User.h>
#include <Noctavi/UI/EventListCtrl.h>

#include <support/ui/ListViewHost.h>

#include <gtest/gtest.h>

#include <boost/make_shared.hpp>

#include <QHeaderView>
#include <QTreeView>

#include <vector>

namespace {

struct Sample {
    const wchar_t* category;
    const wchar_t* info;
    const char* time;
    bool read;
};

// Times with and without seconds, on the same instant, and on a day that does
// not exist: none of them may stop the list from sorting.
const Sample kSamples[] = {
    {L"Scan", L"b", "Tue, 09 Dec 2008 10:15:30 +0900", false},
    {L"Fax", L"a", "Tue, 09 Dec 2008 10:15 +0900", true},
    {L"Scan", L"c", "Mon, 08 Dec 2008 23:59:59 +0000", true},
    {L"Print", L"a", "31 Feb 2008 10:00:00 +0000", false},
    {L"Fax", L"d", "Tue, 09 Dec 2008 10:15:00 +0900", false},
    {L"Scan", L"b2", "Tue, 09 Dec 2008 10:15 +0900", true},
};

class EventList : public ::testing::Test {
protected:
    EventList()
    {
        using namespace MonitoredEntry;
        EntryManager::Transaction transaction(manager_);
        entryId_ = transaction.GetEntryDB().Append(EntryProperty(
            true, MFP(boost::none, L"192.0.2.1", 80, 443, false), User(boost::none, L"ann", Password()),
            Config(20, 300000, true, 30000, true, true)));
        const auto log = boost::make_shared<EventLog>(20);
        for (const Sample& sample : kSamples) {
            Event event = log->GetEvent(log->Append(
                EventProperty(sample.category, sample.info, boost::none, boost::none, RSS::EventTime(sample.time))));
            event.SetRead(sample.read);
            log->SetEvent(event);
        }
        const auto entry = transaction.GetEntryDB().CloneEntry(entryId_);
        entry->SetEventLog(log);
        transaction.SetEntry(entry);
        transaction.Commit();

        list_.AddColumns({"UnreadIconColumn", "EventNameColumn", "TimeColumn", "InfoColumn"}, 127);
        list_.SetSortColumn(2);
        source_.SetEntry(entryId_);
        list_.Refresh();
    }

    std::vector<int> ShownEvents() const
    {
        std::vector<int> events;
        for (int row = 0; row < list_.rowCount(); ++row)
            events.push_back(list_.GetKey(row)->second.GetValue());
        return events;
    }

    MonitoredEntry::EntryManager manager_;
    BasicID<long> entryId_;
    UI::EventListSource source_{manager_};
    support::ListViewHost host_;
    UI::EventListCtrl list_{host_.View(), source_};
};

TEST_F(EventList, OpensOldestFirstWithUnreadEventsInBold)
{
    EXPECT_EQ(ShownEvents(), std::vector<int>({3, 2, 1, 5, 4, 0}));
    EXPECT_EQ(host_.ColumnTexts(2), QStringList({"2008/02/31 10:00:00", "2008/12/08 23:59:59", "2008/12/09 10:15",
                                                 "2008/12/09 10:15", "2008/12/09 10:15:00", "2008/12/09 10:15:30"}));
    EXPECT_EQ(host_.ColumnTexts(1), QStringList({"Print", "Scan", "Fax", "Scan", "Fax", "Scan"}));
    EXPECT_EQ(host_.ColumnTexts(3), QStringList({"a", "c", "a", "b2", "d", "b"}));
    EXPECT_EQ(list_.headerData(2, Qt::Horizontal).toString(), "Date/Time");

    for (int row = 0; row < list_.rowCount(); ++row) {
        const bool unread = !kSamples[ShownEvents()[static_cast<std::size_t>(row)]].read;
        EXPECT_FALSE(list_.index(row, 0).data(Qt::FontRole).value<QFont>().bold());
        for (int column = 1; column < 4; ++column)
            EXPECT_EQ(list_.index(row, column).data(Qt::FontRole).value<QFont>().bold(), unread) << row;
        EXPECT_FALSE(list_.index(row, 0).data(Qt::DecorationRole).value<QIcon>().isNull());
    }
}

TEST_F(EventList, SortsStablyOnEveryColumnBothWays)
{
    const struct {
        int column;
        std::vector<int> descending;
        std::vector<int> ascending;
    } cases[] = {
        {0, {0, 3, 4, 1, 2, 5}, {1, 2, 5, 0, 3, 4}}, // read before unread
        {1, {0, 2, 5, 3, 1, 4}, {1, 4, 3, 0, 2, 5}},
        {2, {0, 4, 1, 5, 2, 3}, {3, 2, 1, 5, 4, 0}}, // no seconds before seconds, a day that does not exist first
        {3, {4, 2, 5, 0, 1, 3}, {1, 3, 0, 5, 2, 4}},
    };
    for (const auto& c : cases) {
        Q_EMIT host_.View().header()->sectionClicked(c.column);
        EXPECT_EQ(ShownEvents(), c.descending) << "column " << c.column;
        Q_EMIT host_.View().header()->sectionClicked(c.column);
        EXPECT_EQ(ShownEvents(), c.ascending) << "column " << c.column;
    }
}

TEST_F(EventList, ListsNothingWithoutAnEntryOrWhenItIsGone)
{
    source_.SetEntry(boost::none);
    list_.Refresh();
    EXPECT_EQ(list_.rowCount(), 0);

    source_.SetEntry(entryId_);
    list_.Refresh();
    EXPECT_EQ(list_.rowCount(), 6);
    {
        MonitoredEntry::EntryManager::Transaction transaction(manager_);
        transaction.GetEntryDB().Erase(entryId_);
        transaction.Commit();
    }
    EXPECT_FALSE(list_.index(0, 1).data().isValid()) << "a vanished row is drawn empty until the refresh";
    list_.Refresh();
    EXPECT_EQ(list_.rowCount(), 0);
}

} // namespace
