// The pop-up event manager with the presenter the program gives it, and the
// pop-ups it shows: prepared on the manager's thread and shown on the GUI
// thread, the test's.
#include <Noctavi/HTTP/Timeout.h>
#include <Noctavi/IS/Config.h>
#include <Noctavi/MachineEvent/PopupEventManager.h>
#include <Noctavi/MonitoredEntry/EventLog.h>
#include <Noctavi/MonitoredEntry/ModelLock.h>
#include <Noctavi/UI/DialogItem.h>
#include <Noctavi/UI/PopupEventDlg.h>
#include <Noctavi/UI/PopupEventPresenter.h>
#include <Noctavi/UI/WaitCursor.h>

#include <support/FakeMachine.h>
#include <support/ModelValues.h>
#include <support/PngPicture.h>
#include <support/ScopedSettings.h>
#include <support/ui/DialogControls.h>
#include <support/ui/ProcessEventsUntil.h>

#include <boost/make_shared.hpp>

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QPointer>
#include <QScreen>
#include <QTimer>

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <utility>

namespace {

using MachineEvent::PopupEventManager;
using Clock = std::chrono::steady_clock;
using ID = BasicID<long>;

enum { kInfo = 1076, kThumbnail = 1080, kEventLogViewer = 1128, kClose = 1 };

using support::Click;

std::string InfoOf(const QWidget& popup)
{
    return UI::GetDlgItem<QLabel>(popup, kInfo).text().toStdString();
}

// Pop-ups shown since the watch began; a stop on the first hand-over of a
// pop-up to the GUI thread, when asked for.
struct PopupWatch : QObject {
    PopupWatch() { QCoreApplication::instance()->installEventFilter(this); }

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        // The hand-over is the one event of a type of the program's own.
        if (event->type() >= QEvent::User && qobject_cast<UI::PopupEventPresenter*>(watched) && stopOnHandover)
            std::exchange(stopOnHandover, nullptr)->Join();
        shown += event->type() == QEvent::Show && qobject_cast<UI::PopupEventDlg*>(watched);
        return false;
    }

    PopupEventManager* stopOnHandover = nullptr;
    int shown = 0;
};

// Room for four entries and for logs of sixty events; fifty waiting pairs.
// Far longer than any stop may take, so that a stop that waited a request out
// is told from a quick one however loaded the machine is.
IS::Config MinuteTimeouts()
{
    IS::Config::Records records;
    records.fill(HTTP::Timeout{60000, 1, 60000, 60000});
    return IS::Config(records);
}

ConfigLimits RoomyLimits()
{
    ConfigLimits limits = support::ScopedSettings::TestLimits();
    limits.EntryMax = 4;
    limits.EventLogMaxLimit = 100;
    limits.DetectedEventQueueSize = 50;
    return limits;
}

class PopupEventManagerTest : public ::testing::Test {
protected:
    // With its events "0", "1", ... unread, their IDs counting from 0.
    ID Add(const std::wstring& host, int events, bool notice = true, int popupTime = 0, int logMax = 100,
           const boost::optional<std::wstring>& thumbnail = boost::none, int port = 80)
    {
        MonitoredEntry::EntryProperty property = testvalues::Property(host);
        property.SetMFP(MonitoredEntry::MFP(boost::none, host, port, boost::none, false));
        property.SetConfig(MonitoredEntry::Config(logMax, 60000, notice, popupTime, false, false));
        const ID entry = testvalues::Add(model, property);
        MonitoredEntry::EntryManager::Transaction transaction(model);
        const auto copy = transaction.GetEntryDB().CloneEntry(entry);
        const auto log = copy->GetEventLog();
        const auto document = thumbnail ? boost::make_optional<std::wstring>(L"doc") : boost::none;
        for (int n = 0; n < events; ++n) {
            log->Append(MonitoredEntry::EventProperty(L"Scan to Box", std::to_wstring(n), thumbnail, document,
                                                      RSS::EventTime("Tue, 09 Dec 2008 10:15:30 +0900")));
        }
        copy->SetEventLog(log);
        transaction.SetEntry(copy);
        transaction.Commit();
        return entry;
    }

    bool IsRead(ID entry, int event)
    {
        const MonitoredEntry::ModelLock lock(model);
        return model.GetEntryDB().GetEntry(entry).GetSharedEventLog()->GetEvent(ID(event)).IsRead();
    }

    void Start(boost::chrono::milliseconds pause = boost::chrono::milliseconds(1))
    {
        manager = std::make_unique<PopupEventManager>(model, presenter, pause);
        manager->Start();
    }

    // The next pop-up to open, or null after ten seconds.
    UI::PopupEventDlg* NextPopup()
    {
        support::ProcessEventsUntil([&] { return presenter.GetOpenPopup() != nullptr; });
        return presenter.GetOpenPopup();
    }

    UI::PopupEventDlg* Show(ID entry, int event)
    {
        manager->Notify(entry, ID(event));
        return NextPopup();
    }

    // A stop ends at once, whatever is open or under way; a stop that waited
    // for the user or for a request would take a minute.
    void ExpectQuickStop()
    {
        const Clock::time_point start = Clock::now();
        manager->Join();
        EXPECT_LT(Clock::now() - start, std::chrono::seconds(30));
    }

    const support::ScopedSettings settings{RoomyLimits(), MinuteTimeouts()};
    MonitoredEntry::EntryManager model;
    UI::PopupEventPresenter presenter{model};
    std::unique_ptr<PopupEventManager> manager;
};

TEST_F(PopupEventManagerTest, SixtyPairsWhileOneIsOpenLeaveTheFiftyNewestOldestFirst)
{
    const ID entry = Add(L"127.0.0.42", 61);
    Start();
    UI::PopupEventDlg* popup = Show(entry, 0);
    ASSERT_NE(popup, nullptr);
    for (int event = 1; event <= 60; ++event)
        manager->Notify(entry, ID(event));
    for (int event = 11; event <= 60; ++event) {
        Click(*popup, kClose);
        popup = NextPopup();
        ASSERT_NE(popup, nullptr);
        ASSERT_EQ(InfoOf(*popup), std::to_string(event));
    }
    Click(*popup, kClose);
    ASSERT_TRUE(support::ProcessEventsUntil([&] { return IsRead(entry, 60); }));
    for (int event = 0; event <= 60; ++event)
        EXPECT_EQ(IsRead(entry, event), event == 0 || event > 10) << event;
}

TEST_F(PopupEventManagerTest, OnlyCloseMarksReadAndTheViewerButtonDropsEveryWaitingPair)
{
    const ID entry = Add(L"127.0.0.42", 6);
    // An entry that the model would refuse to store again: its host is empty.
    const ID refused(7);
    {
        const auto invalid = boost::make_shared<MonitoredEntry::Entry>(refused, testvalues::Property(L""));
        const auto log = invalid->GetEventLog();
        log->Append(testvalues::Event(L"0"));
        invalid->SetEventLog(log);
        MonitoredEntry::ModelLock lock(model);
        MonitoredEntry::EntryDB::EntryList entries = model.GetEntryDB().GetEntryList();
        entries.push_back(invalid);
        model.GetEntryDB().Restore(ID(8), entries);
    }
    Start();
    int viewerRequests = 0;
    QObject::connect(&presenter, &UI::PopupEventPresenter::EventLogViewerRequested, [&] { ++viewerRequests; });
    const struct {
        const char* ending;
        ID entry;
        int event;
        std::function<void(UI::PopupEventDlg&)> end;
        bool read;
    } cases[] = {
        {"Close", entry, 0, [](UI::PopupEventDlg& popup) { Click(popup, kClose); }, true},
        {"Close, refused by the model", refused, 0, [](UI::PopupEventDlg& popup) { Click(popup, kClose); }, false},
        {"close box", entry, 1, [](UI::PopupEventDlg& popup) { popup.close(); }, false},
        {"Event Log Viewer", entry, 2,
         [&](UI::PopupEventDlg& popup) {
             manager->Notify(entry, ID(3));
             manager->Notify(entry, ID(4));
             Click(popup, kEventLogViewer);
         },
         false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.ending);
        UI::PopupEventDlg* popup = Show(c.entry, c.event);
        ASSERT_NE(popup, nullptr);
        EXPECT_EQ(InfoOf(*popup), std::to_string(c.event));
        c.end(*popup);
        EXPECT_FALSE(popup->isVisible());
    }
    // Told again until it shows: told before the manager has taken in the
    // viewer button, it would be dropped with the waiting pairs.
    ASSERT_TRUE(support::ProcessEventsUntil([&] {
        manager->Notify(entry, ID(5));
        return presenter.GetOpenPopup() != nullptr;
    }));
    EXPECT_EQ(InfoOf(*presenter.GetOpenPopup()), "5") << "the pairs waiting then are dropped";
    EXPECT_EQ(viewerRequests, 1);
    // The manager has dealt with every earlier pop-up before it opens the next.
    for (const auto& c : cases)
        EXPECT_EQ(IsRead(c.entry, c.event), c.read) << c.ending;
    EXPECT_FALSE(IsRead(entry, 3));
    EXPECT_NO_THROW(manager->Rethrow());
}

// Qt runs due timers in the order they fall due, so a pop-up still open once
// a timer of twice its time, started after it, has fired has no timer left.
TEST_F(PopupEventManagerTest, ItsTimerEndsThePopupUnreadUnlessItsTimeIs0OrTheMouseMovedOverIt)
{
    const ID timed = Add(L"127.0.0.42", 3, true, 300);
    const ID lasting = Add(L"127.0.0.43", 1);
    Start();
    const struct {
        ID entry;
        int event;
        QEvent::Type movement; // None: no movement
        bool overControl;      // else over the frame
        bool closes;
    } cases[] = {
        {timed, 0, QEvent::None, false, true},
        {lasting, 0, QEvent::None, false, false},
        {timed, 1, QEvent::MouseMove, true, false},
        {timed, 2, QEvent::NonClientAreaMouseMove, false, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.event);
        const Clock::time_point asked = Clock::now();
        UI::PopupEventDlg* popup = Show(c.entry, c.event);
        ASSERT_NE(popup, nullptr);
        if (c.movement != QEvent::None) {
            QMouseEvent move(c.movement, QPointF(2, 2), QPointF(2, 2), QPointF(2, 2), Qt::NoButton, Qt::NoButton,
                             Qt::NoModifier);
            QCoreApplication::sendEvent(c.overControl ? &UI::GetDlgItem(*popup, kInfo) : popup, &move);
        }
        if (c.closes) {
            ASSERT_TRUE(support::ProcessEventsUntil([&] { return !popup->isVisible(); }));
            EXPECT_GE(Clock::now() - asked, std::chrono::milliseconds(300));
            continue;
        }
        bool referenceFired = false;
        QTimer::singleShot(600, [&] { referenceFired = true; });
        ASSERT_TRUE(support::ProcessEventsUntil([&] { return referenceFired; }));
        EXPECT_TRUE(popup->isVisible());
        popup->close();
    }
    ASSERT_NE(Show(timed, 0), nullptr) << "the next pop-up follows";
    EXPECT_FALSE(IsRead(timed, 0));
}

// A coarse timer whose time ends just past a whole second of the monotonic
// clock is rounded down to it, up to 5% early: the pop-up is shown so.
TEST_F(PopupEventManagerTest, ThePopupTimeIsNeverCutShort)
{
    const ID entry = Add(L"127.0.0.42", 1, true, 2000);
    Start();
    const auto phase = [] {
        return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now().time_since_epoch()).count() % 1000;
    };
    ASSERT_TRUE(support::ProcessEventsUntil([&] { return phase() >= 20 && phase() < 50; }));
    const Clock::time_point asked = Clock::now();
    UI::PopupEventDlg* popup = Show(entry, 0);
    ASSERT_NE(popup, nullptr);
    Clock::time_point closed;
    QObject::connect(popup, &QDialog::finished, [&] { closed = Clock::now(); });
    ASSERT_TRUE(support::ProcessEventsUntil([&] { return !popup->isVisible(); }));
    EXPECT_GE(closed - asked, std::chrono::milliseconds(2000));
}

// With a pause after every pair, the pop-up after six skipped pairs would
// come at least seven seconds after the last; the upper bound leaves room
// for sanitizers under load and still catches that.
TEST_F(PopupEventManagerTest, TheNextPopupFollowsAPauseLaterAndSkippedPairsAddNone)
{
    const ID entry = Add(L"127.0.0.42", 2);
    const ID silent = Add(L"127.0.0.43", 1, false);
    const ID removed = Add(L"127.0.0.44", 1);
    const ID trimmed = Add(L"127.0.0.45", 3, true, 0, 2);
    {
        MonitoredEntry::EntryManager::Transaction transaction(model);
        transaction.GetEntryDB().Erase(removed);
        transaction.Commit();
    }
    Start(PopupEventManager::kPause);
    UI::PopupEventDlg* popup = Show(entry, 0);
    ASSERT_NE(popup, nullptr);
    for (ID skipped : {silent, removed, trimmed, silent, removed, trimmed})
        manager->Notify(skipped, ID(0));
    manager->Notify(entry, ID(1));
    const Clock::time_point closed = Clock::now();
    Click(*popup, kClose);
    popup = NextPopup();
    const auto gap = Clock::now() - closed;
    ASSERT_NE(popup, nullptr);
    EXPECT_EQ(InfoOf(*popup), "1");
    EXPECT_GE(gap, std::chrono::milliseconds(1000));
    EXPECT_LT(gap, std::chrono::milliseconds(4000));
}

TEST_F(PopupEventManagerTest, AStopClosesTheOpenPopupAndLeavesItsEventUnread)
{
    const ID entry = Add(L"127.0.0.42", 1);
    Start();
    UI::PopupEventDlg* popup = Show(entry, 0);
    ASSERT_NE(popup, nullptr);
    EXPECT_EQ(popup->thread(), QApplication::instance()->thread());
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr) << "the other windows stay usable";
    const QRect workArea = QGuiApplication::primaryScreen()->availableGeometry();
    const QRect frame = popup->frameGeometry();
    EXPECT_EQ(frame.x() + frame.width(), workArea.x() + workArea.width());
    EXPECT_EQ(frame.y() + frame.height(), workArea.y() + workArea.height());
    // The offscreen platform activates every window it shows: only the request
    // not to take the keyboard can be seen.
    EXPECT_TRUE(popup->testAttribute(Qt::WA_ShowWithoutActivating));
    EXPECT_TRUE(popup->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_TRUE(popup->windowFlags().testFlag(Qt::WindowTitleHint));
    popup->move(10, 20);
    QCoreApplication::processEvents();
    EXPECT_EQ(popup->pos(), QPoint(10, 20)) << "where the user moves it";
    ExpectQuickStop();
    EXPECT_FALSE(popup->isVisible());

    // From another thread, the pop-up closes through the GUI thread.
    manager->Start();
    popup = Show(entry, 0);
    ASSERT_NE(popup, nullptr);
    std::thread stopper([&] { manager->Join(); });
    EXPECT_TRUE(support::ProcessEventsUntil([&] { return !popup->isVisible(); }));
    stopper.join();
    EXPECT_FALSE(IsRead(entry, 0));
    EXPECT_NO_THROW(manager->Rethrow());
}

TEST_F(PopupEventManagerTest, ThePopupComesWithItsThumbnailAndAStopBeforeItAppearsLeavesNone)
{
    support::FakeMachine machine{support::FakeMachine::Options("127.0.0.41")};
    machine.Script("/thumbnail.htm", support::Reply(200, "image/png", support::PngPicture(40, 20)));
    const std::wstring address = L"http://127.0.0.41:" + std::to_wstring(machine.Port()) + L"/thumbnail.htm?DC=doc";
    const ID entry = Add(L"127.0.0.41", 2, true, 0, 100, address, machine.Port());
    const ID plain = Add(L"127.0.0.42", 1);
    Start();
    UI::PopupEventDlg* popup = Show(entry, 0);
    ASSERT_NE(popup, nullptr);
    EXPECT_FALSE(UI::GetDlgItem<QLabel>(*popup, kThumbnail).pixmap().isNull()) << "fetched before it was handed over";

    // While the thumbnail is fetched, far within the request's time-out.
    machine.Script("/thumbnail.htm", support::Reply(200, "image/png", "", support::Fault::Stall));
    Click(*popup, kClose);
    PopupWatch watch;
    manager->Notify(entry, ID(1));
    ASSERT_TRUE(machine.WaitForRequests(2));
    ExpectQuickStop();

    // Handed over, before the GUI thread took it.
    watch.stopOnHandover = manager.get();
    manager->Start();
    manager->Notify(plain, ID(0));
    ASSERT_TRUE(support::ProcessEventsUntil([&] { return !watch.stopOnHandover; }));
    bool drained = false;
    QObject marker;
    QMetaObject::invokeMethod(&marker, [&] { drained = true; }, Qt::QueuedConnection);
    ASSERT_TRUE(support::ProcessEventsUntil([&] { return drained; }));
    EXPECT_EQ(watch.shown, 0);
}

// An action of a pop-up (a request, a box, the save chooser) waits in a local
// event loop; the pop-up may end meanwhile, but must not be deleted under it.
TEST_F(PopupEventManagerTest, APopupEndedWhileAnActionWaitsOutlivesTheWait)
{
    const ID entry = Add(L"127.0.0.42", 3);
    Start();
    const QPointer<UI::PopupEventDlg> first = Show(entry, 0);
    ASSERT_TRUE(first);
    QPointer<UI::PopupEventDlg> second;
    {
        const UI::WaitCursor waiting;
        first->close();
        second = Show(entry, 1);
        ASSERT_TRUE(second);
        EXPECT_TRUE(first);
    }
    second->close();
    ASSERT_NE(Show(entry, 2), nullptr);
    EXPECT_FALSE(first);
    EXPECT_FALSE(second);
}

} // namespace
