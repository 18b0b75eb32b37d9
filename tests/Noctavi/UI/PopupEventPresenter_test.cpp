// The pop-up event manager with the presenter the program gives it: pop-ups
// prepared on the manager's thread and shown on the GUI thread, which is the
// test's own.
#include "../MonitoredEntry/ModelValues.h"

#include <Noctavi/MachineEvent/PopupEventManager.h>
#include <Noctavi/MonitoredEntry/EntryManager.h>
#include <Noctavi/MonitoredEntry/EventLog.h>
#include <Noctavi/MonitoredEntry/ModelLock.h>
#include <Noctavi/UI/DialogItem.h>
#include <Noctavi/UI/PopupEventDlg.h>
#include <Noctavi/UI/PopupEventPresenter.h>
#include <Noctavi/UI/WaitCursor.h>
#include <Noctavi/Utility/TextConversion.h>

#include <support/FakeInformationServer.h>
#include <support/PngPicture.h>
#include <support/ScopedSettings.h>
#include <support/WaitUntil.h>
#include <support/ui/ProcessEventsUntil.h>

#include <boost/make_shared.hpp>

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QCoreApplication>
#include <QEvent>
#include <QLabel>
#include <QPointer>
#include <QScreen>

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace {

using MachineEvent::PopupEventManager;
using MonitoredEntry::EntryManager;
using Clock = std::chrono::steady_clock;
using ID = BasicID<long>;
using Infos = std::vector<std::string>;

enum { kInfo = 1076, kThumbnail = 1080, kEventLogViewer = 1128, kClose = 1 };
const char kMachineHost[] = "127.0.0.41";

long Milliseconds(Clock::duration duration)
{
    return static_cast<long>(std::chrono::duration_cast<std::chrono::milliseconds>(duration).count());
}

void Click(const QWidget& popup, int id)
{
    UI::GetDlgItem<QAbstractButton>(popup, id).click();
}

std::string InfoOf(const QWidget& popup)
{
    return UI::GetDlgItem<QLabel>(popup, kInfo).text().toStdString();
}

bool AnyPopupVisible()
{
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (qobject_cast<UI::PopupEventDlg*>(window) && window->isVisible())
            return true;
    }
    return false;
}

// Room for four entries and for logs of sixty events; fifty waiting pairs.
ConfigLimits RoomyLimits()
{
    ConfigLimits limits = support::ScopedSettings::TestLimits();
    limits.DetectedEventQueueSize = 50;
    limits.EntryMax = 4;
    limits.EventLogMaxLimit = 100;
    return limits;
}

class PopupEventManagerTest : public ::testing::Test {
protected:
    ID Add(const std::wstring& host, bool notice = true, int popupTime = 0, int logMax = 100)
    {
        MonitoredEntry::EntryProperty property = testvalues::Property(host);
        MonitoredEntry::Config config = property.GetConfig();
        config.SetNotice(notice);
        config.SetEraseTime(popupTime);
        config.SetLogMax(logMax);
        property.SetConfig(config);
        return testvalues::Add(model, property);
    }

    // Events "0", "1", ... of the entry, unread; their IDs count from 0.
    void Log(ID entry, int count, const boost::optional<std::wstring>& thumbnail = boost::none)
    {
        MonitoredEntry::EntryManager::Transaction transaction(model);
        const auto copy = transaction.GetEntryDB().CloneEntry(entry);
        const auto log = copy->GetEventLog();
        const auto document = thumbnail ? boost::make_optional<std::wstring>(L"doc") : boost::none;
        for (int n = 0; n < count; ++n) {
            log->Append(MonitoredEntry::EventProperty(L"Scan to Box", std::to_wstring(n), thumbnail, document,
                                                      RSS::EventTime("Tue, 09 Dec 2008 10:15:30 +0900")));
        }
        copy->SetEventLog(log);
        transaction.SetEntry(copy);
        transaction.Commit();
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

    // Tells the manager of the pair; the pop-up that opens next.
    UI::PopupEventDlg* Show(ID entry, int event)
    {
        manager->Notify(entry, ID(event));
        return NextPopup();
    }

    long TimedJoin()
    {
        const Clock::time_point start = Clock::now();
        manager->Join();
        return Milliseconds(Clock::now() - start);
    }

    const support::ScopedSettings settings{RoomyLimits()};
    EntryManager model;
    UI::PopupEventPresenter presenter{model};
    std::unique_ptr<PopupEventManager> manager;
};

TEST_F(PopupEventManagerTest, SixtyPairsWhileOneIsOpenLeaveTheFiftyNewestOldestFirst)
{
    const ID entry = Add(L"127.0.0.42");
    Log(entry, 61);
    Start();
    UI::PopupEventDlg* popup = Show(entry, 0);
    ASSERT_NE(popup, nullptr);
    for (int event = 1; event <= 60; ++event)
        manager->Notify(entry, ID(event));
    Click(*popup, kClose);

    Infos shown, expected;
    for (int event = 11; event <= 60; ++event) {
        expected.push_back(std::to_string(event));
        popup = NextPopup();
        ASSERT_NE(popup, nullptr) << "after " << shown.size() << " pop-ups";
        shown.push_back(InfoOf(*popup));
        Click(*popup, kClose);
    }
    EXPECT_EQ(shown, expected);
    ASSERT_TRUE(support::ProcessEventsUntil([&] { return IsRead(entry, 60); }));
    for (int event = 0; event <= 60; ++event)
        EXPECT_EQ(IsRead(entry, event), event == 0 || event > 10) << event;
}

TEST_F(PopupEventManagerTest, OnlyCloseMarksReadAndTheViewerButtonDropsEveryWaitingPair)
{
    const ID entry = Add(L"127.0.0.42");
    const ID timed = Add(L"127.0.0.43", true, 200);
    Log(entry, 6);
    Log(timed, 1);
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
        {"close box", entry, 1, [](UI::PopupEventDlg& popup) { popup.close(); }, false},
        {"timer", timed, 0,
         [](UI::PopupEventDlg& popup) { support::ProcessEventsUntil([&] { return !popup.isVisible(); }); }, false},
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
    // Told again until it shows: a pair told before the manager has taken in
    // the viewer button would be dropped with the waiting ones.
    ASSERT_TRUE(support::ProcessEventsUntil([&] {
        manager->Notify(entry, ID(5));
        return presenter.GetOpenPopup() != nullptr;
    }));
    const UI::PopupEventDlg* next = presenter.GetOpenPopup();
    EXPECT_EQ(InfoOf(*next), "5") << "the pairs that waited when the viewer was asked for are dropped";
    EXPECT_EQ(viewerRequests, 1);
    // The manager has dealt with every earlier pop-up before it opens the next.
    for (const auto& c : cases)
        EXPECT_EQ(IsRead(c.entry, c.event), c.read) << c.ending;
    EXPECT_FALSE(IsRead(entry, 3));
}

// With a pause after every pair, the pop-up after six skipped pairs would
// come at least seven seconds after the last; the upper bound leaves room
// for sanitizers under load and still catches that.
TEST_F(PopupEventManagerTest, TheNextPopupFollowsAPauseLaterAndSkippedPairsAddNone)
{
    const ID entry = Add(L"127.0.0.42");
    const ID silent = Add(L"127.0.0.43", false);
    const ID removed = Add(L"127.0.0.44");
    const ID trimmed = Add(L"127.0.0.45", true, 0, 2);
    Log(entry, 2);
    Log(silent, 1);
    Log(removed, 1);
    Log(trimmed, 3);
    {
        EntryManager::Transaction transaction(model);
        transaction.GetEntryDB().Erase(removed);
        transaction.Commit();
    }
    Start(PopupEventManager::kPause);
    UI::PopupEventDlg* popup = Show(entry, 0);
    ASSERT_NE(popup, nullptr);
    for (ID skipped : {silent, removed, trimmed}) {
        manager->Notify(skipped, ID(0));
        manager->Notify(skipped, ID(0));
    }
    manager->Notify(entry, ID(1));
    const Clock::time_point closed = Clock::now();
    Click(*popup, kClose);
    popup = NextPopup();
    const long gap = Milliseconds(Clock::now() - closed);
    ASSERT_NE(popup, nullptr);
    EXPECT_EQ(InfoOf(*popup), "1");
    EXPECT_GE(gap, 1000);
    EXPECT_LT(gap, 4000);
}

// "Within a second" is what a stop promises.
TEST_F(PopupEventManagerTest, AStopWithAPopupOpenClosesItAndLeavesTheEventUnread)
{
    const ID entry = Add(L"127.0.0.42");
    Log(entry, 1);
    Start();
    const UI::PopupEventDlg* popup = Show(entry, 0);
    ASSERT_NE(popup, nullptr);
    EXPECT_EQ(popup->thread(), QApplication::instance()->thread());
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr) << "the other windows stay usable";
    const QRect workArea = QGuiApplication::primaryScreen()->availableGeometry();
    const QRect frame = popup->frameGeometry();
    EXPECT_EQ(frame.x() + frame.width(), workArea.x() + workArea.width());
    EXPECT_EQ(frame.y() + frame.height(), workArea.y() + workArea.height());

    EXPECT_LT(TimedJoin(), 1000);
    EXPECT_FALSE(AnyPopupVisible());
    EXPECT_FALSE(IsRead(entry, 0));
    EXPECT_NO_THROW(manager->Rethrow());

    // Stopped from another thread, it closes the pop-up through the GUI thread.
    manager->Start();
    ASSERT_NE(Show(entry, 0), nullptr);
    std::thread stopper([&] { manager->Join(); });
    EXPECT_TRUE(support::ProcessEventsUntil([&] { return !AnyPopupVisible(); }));
    stopper.join();
    EXPECT_FALSE(IsRead(entry, 0));
}

TEST_F(PopupEventManagerTest, ThePopupComesWithItsThumbnailAndAStopBeforeItAppearsLeavesNone)
{
    support::FakeInformationServer server{support::FakeMachine::Options(kMachineHost)};
    server.AddAccount({"alice", "Alice", "s3cret"});
    support::StoredDocument document{"doc", "alice"};
    document.thumbnail = support::PngPicture(40, 20);
    server.AddDocument(document);
    const auto thumbnailRequests = [&] { return server.Machine().RequestCount("/thumbnail.htm"); };
    const ID entry = testvalues::Add(
        model, MonitoredEntry::EntryProperty(
                   true, MonitoredEntry::MFP(boost::none, Utility::ToWide(kMachineHost), server.Machine().Port(),
                                             boost::none, false),
                   MonitoredEntry::User(boost::none, L"alice", MonitoredEntry::Password(L"s3cret")),
                   MonitoredEntry::Config(5, 60000, true, 0, false, false)));
    Log(entry, 2, Utility::ToWide(server.ThumbnailAddress("doc")));
    const ID plain = Add(L"127.0.0.42");
    Log(plain, 1);
    Start();
    UI::PopupEventDlg* popup = Show(entry, 0);
    ASSERT_NE(popup, nullptr);
    EXPECT_FALSE(UI::GetDlgItem<QLabel>(*popup, kThumbnail).pixmap().isNull()) << "fetched before it was handed over";

    // Stopped while the thumbnail is fetched, far within the request's time-out.
    server.Machine().Script("/thumbnail.htm", support::Reply(200, "image/png", "", support::Fault::Stall));
    const std::size_t fetched = thumbnailRequests();
    Click(*popup, kClose);
    manager->Notify(entry, ID(1));
    ASSERT_TRUE(support::WaitUntil([&] { return thumbnailRequests() > fetched; }));
    EXPECT_LT(TimedJoin(), 1000);

    // Stopped once the pop-up was handed over, before the GUI thread took it.
    struct Watch : QObject {
        QObject* presenter;
        PopupEventManager* manager;
        int shown = 0;
        bool eventFilter(QObject* watched, QEvent* event) override
        {
            if (watched == presenter && event->type() == QEvent::MetaCall && manager)
                std::exchange(manager, nullptr)->Join();
            shown += event->type() == QEvent::Show && qobject_cast<UI::PopupEventDlg*>(watched);
            return false;
        }
    } watch;
    watch.presenter = &presenter;
    watch.manager = manager.get();
    QCoreApplication::instance()->installEventFilter(&watch);
    manager->Start();
    manager->Notify(plain, ID(0));
    ASSERT_TRUE(support::ProcessEventsUntil([&] { return !watch.manager; }));
    bool drained = false;
    QObject marker;
    QMetaObject::invokeMethod(&marker, [&] { drained = true; }, Qt::QueuedConnection);
    ASSERT_TRUE(support::ProcessEventsUntil([&] { return drained; }));
    EXPECT_EQ(watch.shown, 0);
    EXPECT_FALSE(IsRead(plain, 0));
}

// An action of a pop-up (a request, a box, the save chooser) waits in a local
// event loop; the pop-up may end meanwhile, but must not be deleted under it.
TEST_F(PopupEventManagerTest, APopupEndedWhileAnActionWaitsOutlivesTheWait)
{
    const ID entry = Add(L"127.0.0.42");
    Log(entry, 3);
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

TEST_F(PopupEventManagerTest, AMarkReadThatTheModelRefusesLeavesTheEventUnreadAndTheManagerGoesOn)
{
    const ID entry = Add(L"127.0.0.42");
    Log(entry, 1);
    const ID refused(7);
    {
        // An entry the model would refuse to store again: its host is empty.
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
    for (ID shown : {refused, entry}) {
        UI::PopupEventDlg* popup = Show(shown, 0);
        ASSERT_NE(popup, nullptr);
        Click(*popup, kClose);
    }
    ASSERT_TRUE(support::ProcessEventsUntil([&] { return IsRead(entry, 0); }));
    EXPECT_FALSE(IsRead(refused, 0));
    EXPECT_NO_THROW(manager->Rethrow());
}

} // namespace
