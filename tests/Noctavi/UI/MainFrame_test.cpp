#include <Noctavi/MonitoredEntry/Entry.h>
#include <Noctavi/MonitoredEntry/EntryManager.h>
#include <Noctavi/MonitoredEntry/EntryProperty.h>
#include <Noctavi/MonitoredEntry/EventLog.h>
#include <Noctavi/MonitoredEntry/EventProperty.h>
#include <Noctavi/MonitoredEntry/Serializer.h>
#include <Noctavi/MonitoredEntry/Transaction.h>
#include <Noctavi/System/ApplicationBusy.h>
#include <Noctavi/System/ConfigLimits.h>
#include <Noctavi/System/InstanceLock.h>
#include <Noctavi/UI/AboutDlg.h>
#include <Noctavi/UI/EntryManagerDlg.h>
#include <Noctavi/UI/EventLogDlg.h>
#include <Noctavi/UI/Icons.h>
#include <Noctavi/UI/InstanceChannel.h>
#include <Noctavi/UI/MainFrame.h>
#include <Noctavi/UI/PopupEventDlg.h>
#include <Noctavi/UI/PopupMenu.h>
#include <Noctavi/UI/SingletonWnd.h>
#include <Noctavi/UI/Strings.h>
#include <Noctavi/Utility/TextConversion.h>

#include <support/FakeInformationServer.h>
#include <support/ProgramEnvironment.h>
#include <support/ReadFile.h>
#include <support/ScopedSettings.h>
#include <support/StandInOpener.h>
#include <support/WaitUntil.h>
#include <support/ui/FakeTray.h>
#include <support/ui/MessageBoxRecorder.h>

#include <gtest/gtest.h>

#include <boost/filesystem/fstream.hpp>
#include <boost/filesystem/operations.hpp>
#include <boost/make_shared.hpp>

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QMenu>

#include <boost/asio/io_context.hpp>
#include <boost/asio/ip/udp.hpp>

#include <atomic>
#include <csignal>
#include <future>
#include <memory>
#include <thread>

namespace {

namespace fs = boost::filesystem;
using MonitoredEntry::EntryManager;
using ID = BasicID<long>;

bool ProcessEventsUntil(const std::function<bool()>& condition)
{
    return support::WaitUntil([&] {
        QCoreApplication::processEvents();
        return condition();
    });
}

// An entry for the account "alice" on a loopback machine.
ID AddEntry(EntryManager& model, const std::string& address, std::uint16_t port, bool monitoring,
            int pollingInterval = 60000)
{
    using namespace MonitoredEntry;
    EntryManager::Transaction transaction(model);
    const ID id = transaction.Append(EntryProperty(monitoring,
                                                   MFP(boost::none, Utility::ToWide(address), port, boost::none, false),
                                                   User(boost::none, L"alice", Password(L"pw")),
                                                   Config(5, pollingInterval, true, 0, false, false)));
    transaction.Commit();
    return id;
}

// Appends an unread event to the entry's log, or marks every event read.
void ChangeLog(EntryManager& model, ID id, bool addUnread)
{
    using namespace MonitoredEntry;
    EntryManager::Transaction transaction(model);
    const auto entry = transaction.GetEntryDB().CloneEntry(id);
    auto log = boost::make_shared<EventLog>(*entry->GetEventLog());
    if (addUnread) {
        log->Append(EventProperty(L"Box", L"Scan " + std::to_wstring(log->Size()), boost::none, boost::none,
                                  RSS::EventTime("Tue, 09 Dec 2008 10:15:30 +0900")));
    }
    for (Event event : log->GetEventList()) {
        event.SetRead(!addUnread);
        log->SetEvent(event);
    }
    entry->SetEventLog(log);
    transaction.SetEntry(entry);
    transaction.Commit();
}

std::vector<fs::path> KeptAside(const fs::path& folder)
{
    std::vector<fs::path> files;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder)) {
        if (entry.path().filename().string().rfind("unreadable-", 0) == 0)
            files.push_back(entry.path() / "data.dat");
    }
    return files;
}

class MainFrameTest : public ::testing::Test {
protected:
    ~MainFrameTest() override { UI::SingletonWnd<UI::AboutDlg>::Release(); }

    std::unique_ptr<UI::MainFrame> Start()
    {
        return std::make_unique<UI::MainFrame>(lock_, [this](int code) { exitCodes_.push_back(code); });
    }

    // A tray menu command, as the user chooses it.
    QAction& Command(int id) const
    {
        QMenu& menu = *tray_.Backend().contextMenu;
        QAction* action = menu.findChild<QAction*>(QString::number(id));
        if (!action) {
            menu.popup(QPoint(0, 0)); // rebuilds the Login submenu
            menu.hide();
            action = menu.findChild<QAction*>(QString::number(id));
        }
        EXPECT_TRUE(action) << id;
        return *action;
    }

    // ACTIVATE from another process, as a second instance sends it; true
    // once the frame has handled it.
    static bool Activate()
    {
        auto sent = std::async(std::launch::async,
                               [] { return UI::InstanceChannel::Send(UI::InstanceChannel::Command::Activate); });
        return ProcessEventsUntil([&] { return sent.wait_for(std::chrono::seconds(0)) == std::future_status::ready; }) &&
               sent.get();
    }

    bool TrayShowsUnread() const
    {
        return support::SameIcon(tray_.Backend().icon, UI::LoadIconResource(UI::kUnreadTrayIcon));
    }

    support::ProgramEnvironment env_;
    support::ScopedSettings settings_;
    support::FakeTray tray_;
    System::InstanceLock lock_;
    std::vector<int> exitCodes_;
    support::MessageBoxRecorder boxes_{QMessageBox::Ok};
};

TEST_F(MainFrameTest, TheTrayIconChangesOncePerFlipOfAnyUnread)
{
    const auto frame = Start();
    EntryManager& model = frame->GetEntryManager();
    const support::ClosedPort closed("127.0.0.60");
    const ID entry = AddEntry(model, "127.0.0.60", closed.Port(), false);
    EXPECT_TRUE(tray_.Backend().visible);
    EXPECT_EQ(tray_.Backend().iconChanges, 1) << "shown";

    ChangeLog(model, entry, true);
    ASSERT_TRUE(ProcessEventsUntil([&] { return TrayShowsUnread(); }));
    ChangeLog(model, entry, true);
    ChangeLog(model, entry, false);
    ASSERT_TRUE(ProcessEventsUntil([&] { return !TrayShowsUnread(); }));
    EXPECT_EQ(tray_.Backend().iconChanges, 3) << "a second unread event changes nothing";
}

// With the signal port taken, new events are found by polling alone, and
// shown in a pop-up that a second instance brings forward. The exit saves the
// event before the unsubscriptions start, and saves again after them.
TEST_F(MainFrameTest, StartSubscribesEveryMonitoredEntryAndTheExitSavesBeforeAndAfterItUnsubscribes)
{
    std::ofstream(env_.DataFolder() / "config.dat", std::ios::app) << "REGULAR_CHECK_INTERVAL_MS_MIN = 100\n";
    ConfigLimits limits = GetConfigLimits();
    limits.RegularCheckInterval = ConfigLimits::Range(100, 3600000);
    SetConfigLimits(limits);
    boost::asio::io_context io;
    const boost::asio::ip::udp::socket portTaken(io, {boost::asio::ip::udp::v4(), env_.Port()});
    support::FakeInformationServer first(support::FakeMachine::Options("127.0.0.51"));
    support::FakeInformationServer second(support::FakeMachine::Options("127.0.0.52"));
    support::FakeInformationServer idle(support::FakeMachine::Options("127.0.0.53"));
    std::atomic<int> unsubscribedAfterSaving{0};
    {
        Serializer serializer;
        for (support::FakeInformationServer* machine : {&first, &second, &idle}) {
            machine->AddAccount({"alice", "Alice", "pw"});
            machine->Machine().OnRequest([&](const support::RecordedRequest& request) {
                if (request.path == "/cgi-bin/UnSubscribeToFeed.cgi" &&
                    support::ReadFile(env_.DataFile()).find("doc-1") != std::string::npos)
                    ++unsubscribedAfterSaving;
            });
            AddEntry(serializer.GetEntryManager(), machine->Machine().Address(), machine->Machine().Port(),
                     machine != &idle, 200);
        }
        serializer.Save();
    }

    const auto frame = Start();
    ASSERT_TRUE(support::WaitUntil([&] { return first.Subscription("alice") && second.Subscription("alice"); }));
    second.AddDocument({"doc-1", "alice"});
    EXPECT_TRUE(ProcessEventsUntil([&] { return TrayShowsUnread(); }));
    UI::PopupEventDlg* popup = nullptr;
    ASSERT_TRUE(ProcessEventsUntil([&] {
        for (QWidget* window : QApplication::topLevelWidgets())
            popup = window->isVisible() ? qobject_cast<UI::PopupEventDlg*>(window) : popup;
        return popup;
    }));
    QDialog other;
    other.show();
    other.activateWindow();
    ASSERT_TRUE(ProcessEventsUntil([&] { return QApplication::activeWindow() == &other; }));
    other.hide();
    ASSERT_NE(QApplication::activeWindow(), popup);
    EXPECT_TRUE(Activate());
    EXPECT_TRUE(ProcessEventsUntil([&] { return QApplication::activeWindow() == popup; }));

    Command(UI::PopupMenu::kExitCommand).trigger();
    EXPECT_FALSE(popup->isVisible());
    EXPECT_EQ(unsubscribedAfterSaving, 2);
    EXPECT_EQ(idle.Machine().RequestCount("/cgi-bin/SubscribeToFeed.cgi"), 0u);
    EXPECT_NE(support::ReadFile(env_.DataFile()).find("doc-1"), std::string::npos) << "saved";
}

TEST_F(MainFrameTest, ADamagedDataFileIsReportedAndKeptAsideAndTheNextStartLosesNothing)
{
    fs::create_directories(env_.DataFolder());
    fs::ofstream(env_.DataFile()) << "<not a data file>";
    // Requests that come while the box waits are held until the frame is built.
    boxes_.WhileOpen([this] {
        tray_.Backend().Click();
        std::raise(SIGTERM);
        QCoreApplication::processEvents();
        EXPECT_TRUE(tray_.Backend().visible) << "no exit before the frame is built";
    });
    auto frame = Start();
    EXPECT_EQ(boxes_.Texts(), QStringList{UI::LoadString(113)});
    ASSERT_TRUE(ProcessEventsUntil([&] { return !tray_.Backend().visible; })) << "the exit ran once built";
    EXPECT_EQ(exitCodes_, std::vector<int>{});
    ASSERT_TRUE(fs::remove(env_.DataFile()));
    Command(UI::PopupMenu::kExitCommand).trigger();
    std::raise(SIGTERM);
    QCoreApplication::processEvents();
    frame.reset();

    const std::vector<fs::path> keptAside = KeptAside(env_.DataFolder());
    ASSERT_EQ(keptAside.size(), 1u);
    EXPECT_EQ(support::ReadFile(keptAside.front()), "<not a data file>");
    EXPECT_FALSE(fs::exists(env_.DataFile())) << "the exit path ran once";

    boxes_.Clear();
    boxes_.WhileOpen([] {});
    frame = Start();
    EXPECT_TRUE(boxes_.Requests().empty());
    EXPECT_EQ(KeptAside(env_.DataFolder()), keptAside);
}

TEST_F(MainFrameTest, ASecondInstanceRaisesTheOpenWindowAndTheDialogsCloseWithTheExit)
{
    const auto frame = Start();
    Command(UI::PopupMenu::kSettingsCommand).trigger();
    UI::EntryManagerDlg* settings = UI::SingletonWnd<UI::EntryManagerDlg>::GetOpen();
    ASSERT_TRUE(settings);
    Command(UI::PopupMenu::kSettingsCommand).trigger();
    EXPECT_EQ(UI::SingletonWnd<UI::EntryManagerDlg>::GetOpen(), settings) << "one settings dialog";
    Command(UI::PopupMenu::kAboutCommand).trigger();
    UI::AboutDlg* about = UI::SingletonWnd<UI::AboutDlg>::GetOpen();
    ASSERT_TRUE(about);
    Command(UI::PopupMenu::kAboutCommand).trigger();
    EXPECT_EQ(UI::SingletonWnd<UI::AboutDlg>::GetOpen(), about) << "one about box";

    QDialog other;
    other.show();
    other.activateWindow();
    ASSERT_TRUE(ProcessEventsUntil([&] { return QApplication::activeWindow() == &other; }));
    about->activateWindow();
    ASSERT_TRUE(ProcessEventsUntil([&] { return QApplication::activeWindow() == about; }));
    other.activateWindow();
    ASSERT_TRUE(ProcessEventsUntil([&] { return QApplication::activeWindow() == &other; }));
    other.hide();

    System::InstanceLock second;
    EXPECT_FALSE(second.TryLock());
    EXPECT_TRUE(Activate());
    // The settings dialog comes before the about box.
    EXPECT_TRUE(ProcessEventsUntil([&] { return QApplication::activeWindow() == settings; }));

    Command(UI::PopupMenu::kExitCommand).trigger();
    EXPECT_FALSE(about->isVisible());
    EXPECT_FALSE(settings->isVisible());
    Command(UI::PopupMenu::kAboutCommand).trigger();
    EXPECT_FALSE(UI::SingletonWnd<UI::AboutDlg>::GetOpen()) << "barred from the exit on";
    EXPECT_TRUE(second.TryLock());
}

TEST_F(MainFrameTest, TheTrayIconAndAnActivateWithNoWindowOpenShowTheEventLogViewer)
{
    using Viewer = UI::SingletonWnd<UI::EventLogDlg>;
    const auto frame = Start();
    EXPECT_TRUE(Activate());
    ASSERT_TRUE(Viewer::GetOpen());
    Viewer::GetOpen()->reject();
    tray_.Backend().Click();
    ASSERT_TRUE(Viewer::GetOpen());
    UI::EventLogDlg* viewer = Viewer::GetOpen();
    Command(UI::PopupMenu::kEventLogViewerCommand).trigger();
    EXPECT_EQ(Viewer::GetOpen(), viewer) << "one viewer";

    Command(UI::PopupMenu::kExitCommand).trigger();
    EXPECT_FALSE(viewer->isVisible());
    tray_.Backend().Click();
    EXPECT_FALSE(Viewer::GetOpen()) << "barred from the exit on";
}

TEST_F(MainFrameTest, LoginOpensTheMachinesPageForAnEntryThatStillExists)
{
    const support::StandInOpener opener;
    const auto frame = Start();
    EntryManager& model = frame->GetEntryManager();
    const support::ClosedPort goneMachine("127.0.0.61");
    const support::ClosedPort keptMachine("127.0.0.62");
    const ID gone = AddEntry(model, "127.0.0.61", goneMachine.Port(), true);
    AddEntry(model, "127.0.0.62", keptMachine.Port(), true);
    QAction& first = Command(UI::PopupMenu::kFirstLoginCommand);
    QAction& second = Command(UI::PopupMenu::kFirstLoginCommand + 1);
    {
        EntryManager::Transaction transaction(model);
        transaction.GetEntryDB().Erase(gone);
        transaction.Commit();
    }
    first.trigger();
    second.trigger();
    EXPECT_EQ(opener.WaitForLines(1), opener.Home().string() + "|http://127.0.0.62:" +
                                          std::to_string(keptMachine.Port()) + "/noctavi.htm?NTV=3&UN=alice\n");
}

} // namespace
