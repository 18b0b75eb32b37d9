#include <Noctavi/MonitoredEntry/Config.h>
#include <Noctavi/MonitoredEntry/Entry.h>
#include <Noctavi/MonitoredEntry/EntryManager.h>
#include <Noctavi/MonitoredEntry/EntryProperty.h>
#include <Noctavi/MonitoredEntry/EventLog.h>
#include <Noctavi/MonitoredEntry/MFP.h>
#include <Noctavi/MonitoredEntry/Password.h>
#include <Noctavi/MonitoredEntry/Transaction.h>
#include <Noctavi/MonitoredEntry/User.h>
#include <Noctavi/UI/EntryListCtrl.h>
#include <Noctavi/UI/Icons.h>

#include <support/ui/FakeTray.h>
#include <support/ui/ListViewHost.h>

#include <gtest/gtest.h>

#include <boost/make_shared.hpp>

#include <QHeaderView>
#include <QTreeView>

#include <string>
#include <vector>

namespace {

using MonitoredEntry::EntryProperty;

struct Sample {
    boost::optional<std::wstring> machineName;
    std::wstring host;
    boost::optional<std::wstring> userName;
    std::wstring account;
    bool monitoring;
    int status;
    int detail;
    bool notice;
    int unread;
};

// Each column has ties, and the machine and user fall back to host and account.
const Sample kSamples[] = {
    {std::wstring(L"Copier"), L"192.0.2.1", std::wstring(L"Ann"), L"ann", true, 1, 0, true, 2},
    {boost::none, L"b-host", boost::none, L"bob", false, 2, 1, false, 0},
    {std::wstring(L"Copier"), L"192.0.2.3", std::wstring(L"Ann"), L"ann2", true, 2, 0, true, 1},
    {std::wstring(L"Alpha"), L"192.0.2.4", std::wstring(L"Cy"), L"cy", true, 1, 1, false, 0},
    {std::wstring(L"Zed"), L"192.0.2.5", std::wstring(L"Dee"), L"dee", true, 0, 0, true, 2},
};

void AddSample(MonitoredEntry::EntryManager::Transaction& transaction, const Sample& sample)
{
    using namespace MonitoredEntry;
    EntryProperty property(sample.monitoring, MFP(sample.machineName, sample.host, 80, 443, false),
                           User(sample.userName, sample.account, Password()),
                           Config(20, 300000, sample.notice, 30000, true, true));
    property.SetStatus(sample.status);
    property.SetStatusDetail(sample.detail);
    const BasicID<long> id = transaction.GetEntryDB().Append(property);
    // One read event besides the unread ones.
    const auto log = boost::make_shared<EventLog>(20);
    for (int i = 0; i <= sample.unread; ++i)
        log->Append(EventProperty(L"Scan", std::to_wstring(i), boost::none, boost::none,
                                  RSS::EventTime("Tue, 09 Dec 2008 10:15:30 +0900")));
    Event read = log->GetEvent(log->begin()->GetID());
    read.SetRead(true);
    log->SetEvent(read);
    const auto entry = transaction.GetEntryDB().CloneEntry(id);
    entry->SetEventLog(log);
    transaction.SetEntry(entry);
}

// The entry list as the settings dialog and as the event log viewer set it up.
class EntryList : public ::testing::Test {
protected:
    EntryList()
    {
        MonitoredEntry::EntryManager::Transaction transaction(manager_);
        for (const Sample& sample : kSamples)
            AddSample(transaction, sample);
        transaction.Commit();
        settings_.AddColumns({"MFPNameColumn", "StatusColumn", "UserNameColumn", "EnableNoticeColumn"}, 106);
        viewer_.AddColumns({"UnreadIconColumn", "MFPNameColumn", "StatusColumn"}, 111);
        settings_.Refresh();
        viewer_.Refresh();
    }

    static std::vector<int> ShownKeys(const UI::EntryListCtrl& list)
    {
        std::vector<int> keys;
        for (int row = 0; row < list.rowCount(); ++row)
            keys.push_back(list.GetKey(row)->GetValue());
        return keys;
    }

    MonitoredEntry::EntryManager manager_;
    UI::EntryListSource source_{manager_};
    support::ListViewHost settingsHost_;
    support::ListViewHost viewerHost_;
    UI::EntryListCtrl settings_{settingsHost_.View(), source_};
    UI::EntryListCtrl viewer_{viewerHost_.View(), source_};
};

TEST_F(EntryList, ShowsNamesStatusesNoticesAndUnreadImages)
{
    EXPECT_EQ(ShownKeys(settings_), std::vector<int>({3, 0, 2, 4, 1}));
    EXPECT_EQ(settingsHost_.ColumnTexts(0), QStringList({"Alpha", "Copier", "Copier", "Zed", "b-host"}));
    EXPECT_EQ(settingsHost_.ColumnTexts(1), QStringList({"Connection error", "Monitoring", "Connection error",
                                                         "Monitoring", "Not monitoring"}));
    EXPECT_EQ(settingsHost_.ColumnTexts(2), QStringList({"Cy", "Ann", "Ann", "Dee", "bob"}));
    EXPECT_EQ(settingsHost_.ColumnTexts(3), QStringList({"No", "Yes", "Yes", "Yes", "No"}));
    QStringList titles;
    for (int column = 0; column < settings_.columnCount(); ++column)
        titles << settings_.headerData(column, Qt::Horizontal).toString();
    EXPECT_EQ(titles, QStringList({"Machine Name", "Status", "User Name", "Notification Settings"}));
    EXPECT_EQ(settingsHost_.View().header()->sectionSize(3), 134); // 115 * 7 / 6

    // Entry 4 has unread events, entry 1 none.
    EXPECT_EQ(ShownKeys(viewer_), std::vector<int>({1, 3, 2, 0, 4}));
    EXPECT_TRUE(viewer_.headerData(0, Qt::Horizontal).toString().isEmpty());
    EXPECT_TRUE(support::SameIcon(viewer_.headerData(0, Qt::Horizontal, Qt::DecorationRole).value<QIcon>(),
                                  UI::LoadIconResource(UI::kUnreadColumnIcon)));
    EXPECT_TRUE(support::SameIcon(viewer_.index(0, 0).data(Qt::DecorationRole).value<QIcon>(),
                                  UI::LoadIconResource(UI::kReadItemIcon)));
    EXPECT_TRUE(support::SameIcon(viewer_.index(4, 0).data(Qt::DecorationRole).value<QIcon>(),
                                  UI::LoadIconResource(UI::kUnreadItemIcon)));
    EXPECT_FALSE(viewer_.index(4, 1).data(Qt::FontRole).value<QFont>().bold());
}

// The first click on a column sorts it descending, the second ascending;
// ties keep the table's order both ways.
TEST_F(EntryList, SortsStablyOnEveryColumnBothWays)
{
    const struct {
        UI::EntryListCtrl* list;
        int column;
        std::vector<int> descending;
        std::vector<int> ascending;
    } cases[] = {
        {&settings_, 0, {1, 4, 0, 2, 3}, {3, 0, 2, 4, 1}}, // text, upper case first
        {&settings_, 1, {2, 3, 1, 0, 4}, {0, 4, 1, 2, 3}}, // monitoring, not monitoring, connection error
        {&settings_, 2, {1, 4, 3, 0, 2}, {0, 2, 3, 4, 1}},
        {&settings_, 3, {0, 2, 4, 1, 3}, {1, 3, 0, 2, 4}}, // off before on
        {&viewer_, 0, {0, 4, 2, 1, 3}, {1, 3, 2, 0, 4}},   // fewer unread events first
    };
    for (const auto& c : cases) {
        QTreeView& view = c.list == &settings_ ? settingsHost_.View() : viewerHost_.View();
        Q_EMIT view.header()->sectionClicked(c.column);
        EXPECT_EQ(ShownKeys(*c.list), c.descending) << "column " << c.column;
        Q_EMIT view.header()->sectionClicked(c.column);
        EXPECT_EQ(ShownKeys(*c.list), c.ascending) << "column " << c.column;
    }
}

} // namespace
