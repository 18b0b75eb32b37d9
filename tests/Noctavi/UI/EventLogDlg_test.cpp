#include <Noctavi/MonitoredEntry/Distinction.h>
#include <Noctavi/MonitoredEntry/EventLog.h>
#include <Noctavi/Monitor/EventSignalObserver.h>
#include <Noctavi/Monitor/Signal.h>
#include <Noctavi/UI/DialogItem.h>
#include <Noctavi/UI/EventDlg.h>
#include <Noctavi/UI/EventLogDlg.h>

#include <support/ModelValues.h>
#include <support/WaitUntil.h>
#include <support/ui/DialogControls.h>
#include <support/ui/ProcessEventsUntil.h>

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QFont>
#include <QItemSelectionModel>
#include <QLabel>
#include <QTimer>
#include <QTreeView>

#include <atomic>
#include <memory>
#include <thread>
#include <vector>

namespace {

using MonitoredEntry::EntryManager;
using ID = BasicID<long>;

enum { kEntries = 1050, kMachine = 1102, kUser = 1103, kLogin = 1115, kAllConfirm = 1116, kRefresh = 1051,
       kEvents = 1066 };

// The event monitor manager as the viewer sees it: each signal is asked
// about machines on the entry's host (another user), on another host and on
// the host spelt in capitals; and whether the model lock is free meanwhile.
class SignalRecorder : public Monitor::EventSignalObserver {
public:
    explicit SignalRecorder(EntryManager& manager)
        : manager_(manager)
    {
    }
    ~SignalRecorder() override
    {
        for (std::thread& thread : lockers_)
            thread.join();
    }

    void OnSignal(const Monitor::Signal& signal) override
    {
        std::vector<bool> matches;
        for (const wchar_t* host : {L"printer.example", L"192.0.2.8", L"PRINTER.example"}) {
            MonitoredEntry::EntryProperty property = testvalues::Property(host);
            property.SetUser(MonitoredEntry::User(boost::none, L"bo", MonitoredEntry::Password()));
            matches.push_back(signal.Matches(MonitoredEntry::Distinction(MonitoredEntry::Entry(ID(90), property))));
        }
        signals_.push_back(matches);
        // Joined only once the viewer's handler has returned, so that a held
        // lock shows as a missed deadline rather than a deadlock.
        const auto locked = std::make_shared<std::atomic<bool>>(false);
        lockers_.emplace_back([this, locked] {
            const MonitoredEntry::ModelLock lock(manager_);
            *locked = true;
        });
        lockFree_.push_back(support::WaitUntil([&] { return locked->load(); }, std::chrono::seconds(5)));
    }

    const std::vector<std::vector<bool>>& Signals() const { return signals_; }
    const std::vector<bool>& LockFree() const { return lockFree_; }

private:
    EntryManager& manager_;
    std::vector<std::vector<bool>> signals_;
    std::vector<bool> lockFree_;
    std::vector<std::thread> lockers_;
};

class EventLogDlgTest : public ::testing::Test {
protected:
    ID AddWithEvents(const MonitoredEntry::EntryProperty& property,
                     const std::vector<std::pair<const wchar_t*, bool>>& events)
    {
        const ID id = testvalues::Add(manager_, property);
        EntryManager::Transaction transaction(manager_);
        const auto entry = transaction.GetEntryDB().CloneEntry(id);
        const auto log = boost::make_shared<MonitoredEntry::EventLog>(10);
        for (const auto& [info, read] : events) {
            MonitoredEntry::Event event = log->GetEvent(log->Append(testvalues::Event(info)));
            event.SetRead(read);
            log->SetEvent(event);
        }
        entry->SetEventLog(log);
        transaction.SetEntry(entry);
        transaction.Commit();
        return id;
    }

    QTreeView& View(int id) const { return UI::GetDlgItem<QTreeView>(viewer_, id); }
    bool Enabled(int id) const { return UI::GetDlgItem(viewer_, id).isEnabled(); }
    QString Text(int id) const { return UI::GetDlgItem<QLabel>(viewer_, id).text(); }
    void Click(int id) const { support::Click(viewer_, id); }

    // Selects the list's row whose column shows the text; none for an empty text.
    void Select(int list, int column, const QString& text) const
    {
        QTreeView& view = View(list);
        view.selectionModel()->clearSelection();
        for (int row = 0; row < view.model()->rowCount(); ++row) {
            if (!text.isEmpty() && view.model()->index(row, column).data().toString() == text)
                view.selectionModel()->setCurrentIndex(view.model()->index(row, 0),
                                                       QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        }
    }

    // Which buttons are enabled: Refresh, Login, All Confirm.
    std::vector<bool> Buttons() const { return {Enabled(kRefresh), Enabled(kLogin), Enabled(kAllConfirm)}; }

    bool AnyEventBold() const
    {
        const QAbstractItemModel& events = *View(kEvents).model();
        for (int row = 0; row < events.rowCount(); ++row) {
            if (events.index(row, 1).data(Qt::FontRole).value<QFont>().bold())
                return true;
        }
        return false;
    }

    bool IsRead(ID entry, ID event)
    {
        const MonitoredEntry::ModelLock lock(manager_);
        return manager_.GetEntryDB().GetEntry(entry).GetSharedEventLog()->GetEvent(event).IsRead();
    }

    // The entries are there before the viewer opens.
    EntryManager manager_;
    const ID watched_ =
        AddWithEvents(testvalues::Property(L"printer.example"), {{L"a", true}, {L"b", false}, {L"c", false}});
    // On another host, since the model refuses two entries on one.
    const ID notMonitored_ = AddWithEvents(testvalues::Property(L"192.0.2.8", false), {{L"d", false}});
    SignalRecorder monitors_{manager_};
    UI::EventLogDlg viewer_{manager_, monitors_};
};

TEST_F(EventLogDlgTest, TheButtonsAndNamesFollowTheSelectedEntryAndNoSelectionDisablesAll)
{
    const auto expectNothingShown = [this](const char* when) {
        EXPECT_EQ(Buttons(), std::vector<bool>({false, false, false})) << when;
        EXPECT_EQ(Text(kMachine), "") << when;
        EXPECT_EQ(Text(kUser), "") << when;
        EXPECT_EQ(View(kEvents).model()->rowCount(), 0) << when;
    };
    EXPECT_EQ(View(kEntries).model()->rowCount(), 2);
    expectNothingShown("on opening");

    Select(kEntries, 1, "192.0.2.8");
    EXPECT_EQ(Buttons(), std::vector<bool>({false, false, true})) << "not monitored, one unread";
    EXPECT_EQ(Text(kMachine), "192.0.2.8");
    EXPECT_EQ(Text(kUser), "alice");
    EXPECT_EQ(View(kEvents).model()->rowCount(), 1);

    Select(kEntries, 1, "printer.example");
    EXPECT_EQ(Buttons(), std::vector<bool>({true, true, true}));
    EXPECT_EQ(View(kEvents).model()->rowCount(), 3);

    Select(kEntries, 1, "");
    expectNothingShown("with the selection cleared");
}

TEST_F(EventLogDlgTest, AllConfirmMarksEveryEventReadAndTheListDropsTheBold)
{
    Select(kEntries, 1, "printer.example");
    ASSERT_TRUE(AnyEventBold());
    Click(kAllConfirm);
    EXPECT_FALSE(Enabled(kAllConfirm));
    EXPECT_TRUE(support::ProcessEventsUntil([this] { return !AnyEventBold(); }));
    const MonitoredEntry::ModelLock lock(manager_);
    EXPECT_EQ(manager_.GetEntryDB().GetEntry(watched_).GetSharedEventLog()->CountUnread(), 0);
}

// Each notification shows the selection again, and must not offer the button
// back: Refresh going off, and the bold going, tell that it has come.
TEST_F(EventLogDlgTest, AllConfirmStaysOffForAnEntryWhoseEventsAreAllReadAfterTheNotificationToo)
{
    const ID allRead = AddWithEvents(testvalues::Property(L"198.51.100.4"), {{L"e", true}});
    ASSERT_TRUE(support::ProcessEventsUntil([this] { return View(kEntries).model()->rowCount() == 3; }));
    Select(kEntries, 1, "198.51.100.4");
    EXPECT_FALSE(Enabled(kAllConfirm)) << "all read";
    testvalues::Change(manager_, allRead, [](MonitoredEntry::EntryProperty& property) { property.SetMonitoring(false); });
    ASSERT_TRUE(support::ProcessEventsUntil([this] { return !Enabled(kRefresh); }));
    EXPECT_FALSE(Enabled(kAllConfirm)) << "all read, after the notification";

    Select(kEntries, 1, "printer.example");
    Click(kAllConfirm);
    ASSERT_TRUE(support::ProcessEventsUntil([this] { return !AnyEventBold(); }));
    EXPECT_FALSE(Enabled(kAllConfirm)) << "all confirmed, after the notification";
}

TEST_F(EventLogDlgTest, ADoubleClickMarksTheEventReadBeforeItsDialogOpens)
{
    Select(kEntries, 1, "printer.example");
    // Events are numbered from 0 in log order: "b" is event 1.
    const ID event(1);
    ASSERT_FALSE(IsRead(watched_, event));
    int opened = 0;
    bool readWhenOpen = false;
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, [&] {
        if (auto* details = viewer_.findChild<UI::EventDlg*>(); details && details->isVisible()) {
            ++opened;
            readWhenOpen = IsRead(watched_, event);
            details->reject();
        }
    });
    closer.start(0);

    Select(kEvents, 3, "");
    Q_EMIT View(kEvents).doubleClicked(View(kEvents).model()->index(0, 1));
    EXPECT_EQ(opened, 0) << "no event selected";

    Select(kEvents, 3, "b");
    Q_EMIT View(kEvents).doubleClicked(View(kEvents).currentIndex());
    EXPECT_EQ(opened, 1);
    EXPECT_TRUE(readWhenOpen);
}

TEST_F(EventLogDlgTest, RefreshSignalsEveryMonitorOfTheHostWithTheModelUnlocked)
{
    Select(kEntries, 1, "printer.example");
    Click(kRefresh);
    ASSERT_EQ(monitors_.Signals().size(), 1u);
    EXPECT_EQ(monitors_.Signals()[0], std::vector<bool>({true, false, false}))
        << "another user of the host, not another host, hosts compared as typed";
    EXPECT_EQ(monitors_.LockFree(), std::vector<bool>({true}));

    // Gone before the view hears of it: the handlers act as with no selection.
    {
        EntryManager::Transaction transaction(manager_);
        transaction.GetEntryDB().Erase(watched_);
        transaction.Commit();
    }
    Click(kRefresh);
    Click(kAllConfirm);
    EXPECT_EQ(monitors_.Signals().size(), 1u);
}

} // namespace
