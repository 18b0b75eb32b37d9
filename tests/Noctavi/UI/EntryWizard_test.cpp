#include <Noctavi/MonitoredEntry/Entry.h>
#include <Noctavi/MonitoredEntry/EntryManager.h>
#include <Noctavi/MonitoredEntry/EntryProperty.h>
#include <Noctavi/MonitoredEntry/ModelLock.h>
#include <Noctavi/MonitoredEntry/Transaction.h>
#include <Noctavi/System/Config.h>
#include <Noctavi/System/ConfigLimits.h>
#include <Noctavi/System/InstanceLock.h>
#include <Noctavi/UI/DeferredExit.h>
#include <Noctavi/UI/DialogItem.h>
#include <Noctavi/UI/EntryWizard/Wizard.h>
#include <Noctavi/UI/MainFrame.h>
#include <Noctavi/UI/PopupEventDlg.h>
#include <Noctavi/UI/PopupMenu.h>
#include <Noctavi/UI/Strings.h>
#include <Noctavi/Utility/SearchOptions.h>
#include <Noctavi/Utility/TextConversion.h>

#include <support/FakeInformationServer.h>
#include <support/FakeResponder.h>
#include <support/ProgramEnvironment.h>
#include <support/ScopedSearchOptions.h>
#include <support/ScopedSettings.h>
#include <support/StandInOpener.h>
#include <support/ui/DialogControls.h>
#include <support/ui/FakeTray.h>
#include <support/ui/MessageBoxRecorder.h>
#include <support/ui/ProcessEventsUntil.h>

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QTimer>
#include <QTreeView>

#include <boost/filesystem/fstream.hpp>

#include <chrono>
#include <memory>
#include <optional>
#include <string>

namespace {

using UI::EntryWizard::Wizard;

enum {
    kManual = 1024, kHost = 1014, kHttp = 1015, kHttps = 1016, kSsl = 1046,
    kUsers = 1022, kUserRefresh = 1028, kUserName = 1030, kUserAccount = 1031, kUserPassword = 1026,
    kAccount = 1047, kPassword = 1048, kNotificationItems = 1039, kMachines = 1023, kMachineName = 1034,
};

// Searches that find nothing, soon.
discovery::round_options QuickNowhere()
{
    discovery::round_options options;
    options.target = support::NowhereTarget();
    options.duration = std::chrono::milliseconds(100);
    return options;
}

QString Caption(int step)
{
    return UI::LoadString(104) + QStringLiteral(" %1/3").arg(step);
}

class EntryWizardTest : public testing::Test {
protected:
    // New entries start from the defaults of a "config.dat" of the test's own.
    EntryWizardTest()
        : searches_(Utility::SetSearchOptions(QuickNowhere()))
    {
        Config::GetInstance().Load();
    }
    ~EntryWizardTest() override { Utility::SetSearchOptions(searches_); }

    // Once the first page's machine search has ended.
    std::unique_ptr<Wizard> Open()
    {
        auto wizard = std::make_unique<Wizard>(model_);
        wizard->show();
        QCoreApplication::processEvents();
        return wizard;
    }

    static QWidget& Page(const Wizard& wizard) { return *wizard.currentPage(); }
    template <class T = QLineEdit>
    static T& Item(const Wizard& wizard, int id)
    {
        return support::Item<T>(Page(wizard), id);
    }
    static void Click(const Wizard& wizard, int id) { support::Click(Page(wizard), id); }
    static bool Offered(const Wizard& wizard, QWizard::WizardButton which)
    {
        const QAbstractButton* button = wizard.button(which);
        return button->isVisible() && button->isEnabled();
    }
    static void Press(Wizard& wizard, QWizard::WizardButton which)
    {
        ASSERT_TRUE(Offered(wizard, which)) << which;
        wizard.button(which)->click();
    }

    // Types the machine in, without SSL, and goes on.
    static void EnterMachine(Wizard& wizard, const support::FakeMachine& machine)
    {
        Click(wizard, kManual);
        Item(wizard, kHost).setText(QString::fromStdString(machine.Address()));
        Item(wizard, kHttp).setText(QString::number(machine.Port()));
        if (Item<QAbstractButton>(wizard, kSsl).isChecked())
            Click(wizard, kSsl);
        Press(wizard, QWizard::NextButton);
    }

    static void TypeAccount(Wizard& wizard, const QString& account, const QString& password)
    {
        Item(wizard, kAccount).setText(account);
        Item(wizard, kPassword).setText(password);
    }

    static void SelectUser(Wizard& wizard, int row)
    {
        auto& users = Item<QTreeView>(wizard, kUsers);
        users.selectionModel()->select(users.model()->index(row, 0),
                                       QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    }

    static QStringList UserFields(const Wizard& wizard)
    {
        return {Item<QLabel>(wizard, kUserName).text(), Item<QLabel>(wizard, kUserAccount).text(),
                Item(wizard, kUserPassword).text()};
    }

    std::size_t Entries()
    {
        const MonitoredEntry::ModelLock lock(model_);
        return model_.GetEntryDB().Size();
    }

    support::ProgramEnvironment environment_;
    std::optional<discovery::round_options> searches_;
    support::ScopedSettings settings_;
    support::MessageBoxRecorder boxes_;
    MonitoredEntry::EntryManager model_;
};

TEST_F(EntryWizardTest, OnlyPolicyOneListsTheUsersAndEachStepHasItsCaption)
{
    const struct {
        const char* address;
        std::optional<long> policy; // none: the machine does not answer
        int page;
    } cases[] = {
        {"127.0.0.81", 1, Wizard::kUserSelectPage}, {"127.0.0.82", 2, Wizard::kUserInputPage},
        {"127.0.0.83", 0, Wizard::kUserInputPage},  {"127.0.0.84", 3, Wizard::kUserInputPage},
        {"127.0.0.85", std::nullopt, Wizard::kUserInputPage},
    };
    for (const auto& each : cases) {
        support::FakeInformationServer machine(support::FakeMachine::Options(each.address));
        machine.AddAccount({"alice", "Alice", "pw"});
        if (each.policy)
            machine.SetIdentity({"Fake MFP", *each.policy});
        else
            machine.Machine().Script("/cgi-bin/GetMachineSettings.cgi", support::Reply(0, "", "", support::Fault::DropConnection));
        const auto wizard = Open();
        EXPECT_EQ(wizard->windowTitle(), Caption(1));
        EXPECT_FALSE(Offered(*wizard, QWizard::NextButton));
        EnterMachine(*wizard, machine.Machine());
        EXPECT_EQ(wizard->currentId(), each.page) << each.address;
        EXPECT_EQ(wizard->windowTitle(), Caption(2));
        EXPECT_TRUE(Offered(*wizard, QWizard::BackButton));
    }
    EXPECT_TRUE(boxes_.Texts().isEmpty()) << boxes_.Texts().join('|').toStdString();
}

// A machine found fills the fields; switching "Enter machine manually" either
// way clears them, and only a valid machine offers Next.
TEST_F(EntryWizardTest, TheManualSwitchClearsWhatTheListFilledIn)
{
    support::FakeResponder responder("127.0.0.93");
    responder.Publish({"127.0.0.94", "found.local", {{support::PublishedService::Type::Http, "Found MFP", 8080, {}}}});
    const support::ScopedSearchOptions searches(responder);
    const auto wizard = std::make_unique<Wizard>(model_);
    wizard->show();
    EXPECT_EQ(Item<QListWidget>(*wizard, kMachines).count(), 0) << "the search ran before the window showed";
    const auto fields = [&] {
        return QStringList{Item<QLabel>(*wizard, kMachineName).text(), Item(*wizard, kHost).text(),
                           Item(*wizard, kHttp).text(), Item(*wizard, kHttps).text()};
    };
    auto& machines = Item<QListWidget>(*wizard, kMachines);
    ASSERT_TRUE(support::ProcessEventsUntil([&] { return machines.count() == 1; }));
    machines.setCurrentRow(0);
    EXPECT_EQ(fields(), (QStringList{"Found MFP", "127.0.0.94", "8080", "443"}));
    EXPECT_TRUE(Item(*wizard, kHost).isReadOnly());
    EXPECT_TRUE(Offered(*wizard, QWizard::NextButton));
    for (const bool manual : {true, false}) {
        Click(*wizard, kManual);
        EXPECT_EQ(fields(), (QStringList{"", "", "", ""})) << manual;
        EXPECT_EQ(machines.isEnabled(), !manual);
        EXPECT_EQ(Item(*wizard, kHost).isReadOnly(), !manual);
        EXPECT_FALSE(Offered(*wizard, QWizard::NextButton));
        if (manual) {
            Item(*wizard, kHost).setText("127.0.0.95");
            EXPECT_FALSE(Offered(*wizard, QWizard::NextButton)) << "no HTTPS port";
            Item(*wizard, kHttps).setText("443");
            EXPECT_TRUE(Offered(*wizard, QWizard::NextButton));
            Item(*wizard, kHttp).setText("99999999999");
            EXPECT_FALSE(Offered(*wizard, QWizard::NextButton)) << "a port beyond the int range is no port";
        }
    }
}

// The caption, buttons and fields of every page as the user goes forth and back.
TEST_F(EntryWizardTest, BackKeepsWhatWasTypedAndTooLongAPasswordKeepsNextOff)
{
    support::FakeInformationServer machine(support::FakeMachine::Options("127.0.0.86"));
    machine.SetIdentity({"Fake MFP", 2});
    const auto wizard = Open();
    EnterMachine(*wizard, machine.Machine());
    ASSERT_EQ(wizard->currentId(), Wizard::kUserInputPage);
    EXPECT_FALSE(Offered(*wizard, QWizard::NextButton));
    TypeAccount(*wizard, "bob", QString(29, 'p'));
    EXPECT_FALSE(Offered(*wizard, QWizard::NextButton));
    TypeAccount(*wizard, "bob", QString(28, 'p'));
    Press(*wizard, QWizard::NextButton);
    EXPECT_EQ(wizard->currentId(), Wizard::kCommitPage);
    EXPECT_EQ(wizard->windowTitle(), Caption(3));
    EXPECT_TRUE(Offered(*wizard, QWizard::FinishButton));

    Press(*wizard, QWizard::BackButton);
    EXPECT_EQ(wizard->currentId(), Wizard::kUserInputPage);
    EXPECT_EQ(Item(*wizard, kAccount).text(), "bob");
    Press(*wizard, QWizard::BackButton);
    EXPECT_EQ(wizard->currentId(), Wizard::kMachineSelectPage);
    EXPECT_EQ(wizard->windowTitle(), Caption(1));
    EXPECT_EQ(Item(*wizard, kHost).text(), "127.0.0.86");
    Press(*wizard, QWizard::NextButton);
    EXPECT_EQ(Item(*wizard, kAccount).text(), "bob");
    EXPECT_EQ(Item(*wizard, kPassword).text(), QString(28, 'p'));
    EXPECT_TRUE(Offered(*wizard, QWizard::NextButton));
}

// An entry that is not monitored is never subscribed: Finish opens the
// notification settings without waiting, however long the wait could be.
TEST_F(EntryWizardTest, FinishAddsOneEntryOfTheDefaultsWithTheChosenMachineAndUser)
{
    std::ofstream(environment_.DataFolder() / "config.dat", std::ios::app) << "ENTRY_DEFAULT_ENABLE_MONITORING = 0\n";
    Config::GetInstance().Load();
    ConfigLimits limits = GetConfigLimits();
    limits.SubscribeResponseLimit = 600000;
    SetConfigLimits(limits);
    const support::StandInOpener opener;
    support::FakeInformationServer machine(support::FakeMachine::Options("127.0.0.88"));
    machine.AddAccount({"alice", "Alice Doe", "pw"});
    machine.AddAccount({"bob", "", "pw"});
    const auto wizard = Open();
    EnterMachine(*wizard, machine.Machine());
    ASSERT_EQ(wizard->currentId(), Wizard::kUserSelectPage);
    EXPECT_TRUE(Item(*wizard, kUserPassword).isReadOnly());
    EXPECT_FALSE(Offered(*wizard, QWizard::NextButton));
    SelectUser(*wizard, 0);
    EXPECT_FALSE(Item(*wizard, kUserPassword).isReadOnly());
    Item(*wizard, kUserPassword).setText("secret");
    EXPECT_EQ(UserFields(*wizard), (QStringList{"Alice Doe", "alice", "secret"}));
    Press(*wizard, QWizard::NextButton);
    EXPECT_TRUE(Item<QAbstractButton>(*wizard, kNotificationItems).isChecked());
    Press(*wizard, QWizard::FinishButton);
    EXPECT_FALSE(wizard->isVisible());
    EXPECT_EQ(wizard->result(), QDialog::Accepted);
    EXPECT_NE(opener.WaitForLines(1).find("/noctavi.htm?NTV=4&UN=alice\n"), std::string::npos);

    const MonitoredEntry::ModelLock lock(model_);
    ASSERT_EQ(model_.GetEntryDB().Size(), 1u);
    const MonitoredEntry::EntryProperty stored = model_.GetEntryDB().GetEntryList().front()->GetProperty();
    const MonitoredEntry::EntryProperty& defaults = Config::GetInstance().GetEntryDefaults();
    EXPECT_EQ(stored.GetMFP(), MonitoredEntry::MFP(boost::none, L"127.0.0.88", int(machine.Machine().Port()),
                                                   boost::none, false));
    EXPECT_EQ(stored.GetUser(),
              MonitoredEntry::User(std::wstring(L"Alice Doe"), L"alice", MonitoredEntry::Password(L"secret")));
    EXPECT_FALSE(stored.GetMonitoring());
    EXPECT_EQ(stored.GetConfig().GetLogMax(), defaults.GetConfig().GetLogMax());
    EXPECT_EQ(stored.GetConfig().GetInterval(), defaults.GetConfig().GetInterval());
    EXPECT_EQ(stored.GetStatus(), 0);
}

// An exit asked for while Finish waits for the new entry's subscription ends
// the wait at once: the entry is added, no page opens, and the exit follows.
TEST_F(EntryWizardTest, AnExitEndsFinishsWaitForTheSubscriptionAtOnce)
{
    const support::StandInOpener opener;
    support::FakeInformationServer machine(support::FakeMachine::Options("127.0.0.96"));
    machine.SetIdentity({"Fake MFP", 2});
    const auto wizard = Open();
    EnterMachine(*wizard, machine.Machine());
    TypeAccount(*wizard, "bob", "pw");
    Press(*wizard, QWizard::NextButton);
    bool exited = false;
    QTimer::singleShot(50, [&] { UI::DeferredExit::Request([&] { exited = true; }); });
    const std::chrono::steady_clock::time_point start = std::chrono::steady_clock::now();
    Press(*wizard, QWizard::FinishButton);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(30)) << "waited for the minute's limit";
    EXPECT_EQ(Entries(), 1u);
    EXPECT_FALSE(exited) << "the exit runs after the wizard's handler";
    EXPECT_TRUE(support::ProcessEventsUntil([&] { return exited; }));
}

TEST_F(EntryWizardTest, AHostThatAnEntryHasAsksWhetherToCloseAndNeverAdds)
{
    support::FakeInformationServer machine(support::FakeMachine::Options("127.0.0.87"));
    machine.SetIdentity({"Fake MFP", 2});
    {
        MonitoredEntry::EntryManager::Transaction transaction(model_);
        MonitoredEntry::EntryProperty taken = Config::GetInstance().GetEntryDefaults();
        taken.SetMFP(MonitoredEntry::MFP(boost::none, L"127.0.0.87", 80, 443, false));
        taken.SetUser(MonitoredEntry::User(boost::none, L"carol", MonitoredEntry::Password()));
        transaction.Append(taken);
        transaction.Commit();
    }
    const auto wizard = Open();
    EnterMachine(*wizard, machine.Machine());
    TypeAccount(*wizard, "bob", "pw");
    Press(*wizard, QWizard::NextButton);
    for (const QMessageBox::StandardButton answer : {QMessageBox::No, QMessageBox::Yes}) {
        const support::MessageBoxRecorder question(answer);
        Press(*wizard, QWizard::FinishButton);
        EXPECT_EQ(question.Texts(), QStringList{UI::LoadString(182)});
        EXPECT_EQ(Entries(), 1u);
        if (answer == QMessageBox::No) {
            QCoreApplication::processEvents();
            EXPECT_TRUE(wizard->isVisible());
            EXPECT_EQ(wizard->currentId(), Wizard::kCommitPage);
        }
    }
    EXPECT_TRUE(support::ProcessEventsUntil([&] { return !wizard->isVisible(); }));
    EXPECT_EQ(wizard->result(), QDialog::Rejected);
}

// Only another machine reloads the list; the same one keeps the user chosen.
TEST_F(EntryWizardTest, BackAndNextWithTheSameMachineKeepTheChosenUser)
{
    support::FakeInformationServer machine(support::FakeMachine::Options("127.0.0.97"));
    machine.AddAccount({"alice", "Alice", "pw"});
    const auto wizard = Open();
    EnterMachine(*wizard, machine.Machine());
    ASSERT_EQ(wizard->currentId(), Wizard::kUserSelectPage);
    SelectUser(*wizard, 0);
    Item(*wizard, kUserPassword).setText("pw");
    Press(*wizard, QWizard::BackButton);
    Press(*wizard, QWizard::NextButton);
    EXPECT_EQ(UserFields(*wizard), (QStringList{"Alice", "alice", "pw"}));
    EXPECT_TRUE(Offered(*wizard, QWizard::NextButton));
}

// A list that cannot be read must not leave another machine's account chosen.
TEST_F(EntryWizardTest, EveryReloadClearsTheChoiceAndAFailedOneLeavesNoAccount)
{
    support::FakeInformationServer first(support::FakeMachine::Options("127.0.0.89"));
    first.AddAccount({"alice", "Alice", "pw"});
    support::FakeInformationServer second(support::FakeMachine::Options("127.0.0.90"));
    second.Machine().Script("/cgi-bin/GetUserList.cgi", support::Reply(500, "text/plain", "down"));
    const auto wizard = Open();
    EnterMachine(*wizard, first.Machine());
    const auto choose = [&] {
        SelectUser(*wizard, 0);
        Item(*wizard, kUserPassword).setText("pw");
        EXPECT_EQ(UserFields(*wizard), (QStringList{"Alice", "alice", "pw"}));
    };
    choose();
    Click(*wizard, kUserRefresh);
    EXPECT_EQ(UserFields(*wizard), (QStringList{"", "", ""}));
    EXPECT_EQ(Item<QTreeView>(*wizard, kUsers).model()->rowCount(), 1);
    choose();

    Press(*wizard, QWizard::BackButton);
    Item(*wizard, kHost).setText("127.0.0.90");
    Item(*wizard, kHttp).setText(QString::number(second.Machine().Port()));
    Press(*wizard, QWizard::NextButton);
    ASSERT_EQ(wizard->currentId(), Wizard::kUserSelectPage);
    EXPECT_EQ(boxes_.Texts(), QStringList{"Communication error occurred."});
    EXPECT_EQ(Item<QTreeView>(*wizard, kUsers).model()->rowCount(), 0);
    EXPECT_EQ(UserFields(*wizard), (QStringList{"", "", ""}));
    EXPECT_TRUE(Item(*wizard, kUserPassword).isReadOnly());
    EXPECT_FALSE(Offered(*wizard, QWizard::NextButton));
}

// As a user goes: the machine found on the network, its listed user, Finish
// with the notification items; the running program subscribes the new entry
// and pops up the user's next document.
TEST(EntryWizardProgramTest, TheAddedEntryIsSubscribedAndItsDocumentPopsUp)
{
    support::ProgramEnvironment environment;
    const support::ScopedSettings settings;
    support::FakeTray tray;
    System::InstanceLock instance;
    const support::MessageBoxRecorder boxes(QMessageBox::Ok);
    const support::StandInOpener opener;
    support::FakeInformationServer machine(support::FakeMachine::Options("127.0.0.92"));
    machine.AddAccount({"alice", "Alice", "pw"});
    support::FakeResponder responder("127.0.0.91");
    responder.Publish({"127.0.0.92", "hall.local",
                       {{support::PublishedService::Type::Http, "Hall MFP", machine.Machine().Port(), {}}}});
    const support::ScopedSearchOptions searches(responder);
    const auto frame = std::make_unique<UI::MainFrame>(instance, [](int) {});

    Wizard wizard(frame->GetEntryManager());
    wizard.show();
    auto& machines = UI::GetDlgItem<QListWidget>(*wizard.currentPage(), kMachines);
    ASSERT_TRUE(support::ProcessEventsUntil([&] { return machines.count() == 1; }));
    EXPECT_EQ(machines.item(0)->text(), "Hall MFP");
    machines.setCurrentRow(0);
    auto& ssl = UI::GetDlgItem<QAbstractButton>(*wizard.currentPage(), kSsl);
    if (ssl.isChecked())
        ssl.click();
    wizard.button(QWizard::NextButton)->click();
    ASSERT_EQ(wizard.currentId(), Wizard::kUserSelectPage);
    auto& users = UI::GetDlgItem<QTreeView>(*wizard.currentPage(), kUsers);
    users.selectionModel()->select(users.model()->index(0, 0),
                                   QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    UI::GetDlgItem<QLineEdit>(*wizard.currentPage(), kUserPassword).setText("pw");
    wizard.button(QWizard::NextButton)->click();
    ASSERT_EQ(wizard.currentId(), Wizard::kCommitPage);
    wizard.button(QWizard::FinishButton)->click();
    EXPECT_FALSE(wizard.isVisible());
    EXPECT_TRUE(machine.Subscription("alice")) << "Finish returned before the subscription";
    EXPECT_EQ(opener.WaitForLines(1), opener.Home().string() + "|http://127.0.0.92:" +
                                          std::to_string(machine.Machine().Port()) + "/noctavi.htm?NTV=4&UN=alice\n");

    machine.AddDocument({"doc-1", "alice"});
    ASSERT_TRUE(machine.SendSignal("alice"));
    EXPECT_TRUE(support::ProcessEventsUntil([] {
        for (QWidget* window : QApplication::topLevelWidgets()) {
            if (window->isVisible() && qobject_cast<UI::PopupEventDlg*>(window))
                return true;
        }
        return false;
    }));
    tray.Backend().contextMenu->findChild<QAction*>(QString::number(UI::PopupMenu::kExitCommand))->trigger();
}

} // namespace
