#include <Noctavi/UI/DialogItem.h>
#include <Noctavi/UI/EntryListCtrl.h>
#include <Noctavi/UI/EntryManagerDlg.h>
#include <Noctavi/UI/EntryWizard/Wizard.h>
#include <Noctavi/UI/WaitCursor.h>

#include <support/ModelValues.h>
#include <support/ScopedSettings.h>
#include <support/StandInOpener.h>
#include <support/ui/DialogControls.h>
#include <support/ui/MessageBoxRecorder.h>
#include <support/ui/ProcessEventsUntil.h>

#include <gtest/gtest.h>

#include <QApplication>
#include <QItemSelectionModel>
#include <QMouseEvent>
#include <QPushButton>
#include <QTimer>
#include <QTreeView>

#include <chrono>
#include <vector>

namespace {

using MonitoredEntry::EntryManager;
using MonitoredEntry::EntryProperty;
using support::ProcessEventsUntil;
typedef BasicID<long> ID;
typedef std::chrono::steady_clock Clock;

enum {
    kChangeStatus = 1055, kNotificationItems = 1054, kAdd = 1083, kRemove = 1053, kDetailSettings = 1052,
    kEntries = 1082,
};

class EntryManagerDlgTest : public testing::Test {
protected:
    static ConfigLimits Limits(std::int64_t subscribeWait)
    {
        ConfigLimits limits = support::ScopedSettings::TestLimits();
        limits.SubscribeResponseLimit = subscribeWait;
        return limits;
    }

    void Open()
    {
        dialog_ = std::make_unique<UI::EntryManagerDlg>(model_);
        dialog_->show();
    }

    UI::EntryListCtrl& List() const
    {
        return *dynamic_cast<UI::EntryListCtrl*>(UI::GetDlgItem<QTreeView>(*dialog_, kEntries).model());
    }

    void Select(ID id) const
    {
        UI::EntryListCtrl& list = List();
        for (int row = 0; row < list.rowCount(); ++row) {
            if (list.GetKey(row) == id)
                list.GetView().selectionModel()->setCurrentIndex(
                    list.index(row, 0), QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        }
    }

    // The enabled states of Change Status, Notification items, Remove, Detail
    // Settings and Add.
    std::vector<bool> Buttons() const
    {
        std::vector<bool> enabled;
        for (int id : {kChangeStatus, kNotificationItems, kRemove, kDetailSettings, kAdd})
            enabled.push_back(UI::GetDlgItem(*dialog_, id).isEnabled());
        return enabled;
    }

    void Click(int id) const { support::Click(*dialog_, id); }

    EntryProperty Stored(ID id)
    {
        const MonitoredEntry::ModelLock lock(model_);
        return model_.GetEntryDB().GetEntry(id).GetProperty();
    }

    void Erase(ID id)
    {
        EntryManager::Transaction transaction(model_);
        transaction.GetEntryDB().Erase(id);
        transaction.Commit();
    }

    std::size_t Count()
    {
        const MonitoredEntry::ModelLock lock(model_);
        return model_.GetEntryDB().Size();
    }

    support::ScopedSettings settings_{Limits(30000)};
    EntryManager model_;
    std::unique_ptr<UI::EntryManagerDlg> dialog_;
};

const std::vector<bool> kNone{false, false, false, false, true};
const std::vector<bool> kAll{true, true, true, true, true};
const std::vector<bool> kAllButNotification{true, false, true, true, true};

// The buttons follow the selection and the model after every refresh; a
// selected entry that vanishes counts as none until the list catches up.
TEST_F(EntryManagerDlgTest, ButtonsFollowTheSelectionAndTheModel)
{
    const support::StandInOpener opener;
    const ID monitored = testvalues::Add(model_, testvalues::Property(L"192.0.2.1"));
    const ID idle = testvalues::Add(model_, testvalues::Property(L"192.0.2.2", false));
    Open();
    EXPECT_EQ(Buttons(), kNone);
    Select(idle);
    EXPECT_EQ(Buttons(), kAllButNotification);
    Select(monitored);
    EXPECT_EQ(Buttons(), kAll);
    Click(kNotificationItems);
    EXPECT_EQ(opener.WaitForLines(1), opener.Home().string() + "|http://192.0.2.1/noctavi.htm?NTV=4&UN=alice\n");

    testvalues::Change(model_, monitored, [](EntryProperty& property) { property.SetMonitoring(false); });
    EXPECT_TRUE(ProcessEventsUntil([&] { return Buttons() == kAllButNotification; }));
    testvalues::Change(model_, monitored, [](EntryProperty& property) { property.SetMonitoring(true); });
    EXPECT_TRUE(ProcessEventsUntil([&] { return Buttons() == kAll; }));

    const support::MessageBoxRecorder boxes;
    Erase(monitored);
    Click(kRemove);
    EXPECT_TRUE(boxes.Requests().empty());
    EXPECT_EQ(Count(), 1u);
    // The refresh moves the selection to the first row that is left.
    EXPECT_TRUE(ProcessEventsUntil([&] { return List().rowCount() == 1; }));
    EXPECT_EQ(Buttons(), kAllButNotification);
}

// Below the limit Add opens the wizard; at the limit it says so and opens nothing.
TEST_F(EntryManagerDlgTest, AddOpensTheWizardBelowTheEntryLimitAndTheCapacityMessageAtIt)
{
    testvalues::Add(model_, testvalues::Property(L"192.0.2.1"));
    testvalues::Add(model_, testvalues::Property(L"192.0.2.2"));
    Open();
    const support::MessageBoxRecorder boxes(QMessageBox::Ok);
    const int windows = QApplication::topLevelWidgets().size();
    // The wizard's first page searches before it shows: wait for it to come up.
    bool wizardOpened = false;
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, [&] {
        auto* wizard = dynamic_cast<UI::EntryWizard::Wizard*>(QApplication::activeModalWidget());
        if (wizard && wizard->isVisible()) {
            wizardOpened = true;
            wizard->reject();
        }
    });
    closer.start(10);
    Click(kAdd);
    closer.stop();
    EXPECT_TRUE(wizardOpened) << "two entries are below the limit of three";
    ASSERT_EQ(boxes.Requests().size(), 0u);

    testvalues::Add(model_, testvalues::Property(L"192.0.2.3"));
    Click(kAdd);
    ASSERT_EQ(boxes.Requests().size(), 1u);
    EXPECT_EQ(boxes.Requests()[0].text,
              "The registration capacity has been exceeded.  Additional users cannot be added.");
    EXPECT_EQ(boxes.Requests()[0].icon, QMessageBox::Critical);
    EXPECT_EQ(QApplication::topLevelWidgets().size(), windows);
    EXPECT_EQ(Count(), 3u);
}

// Only Yes removes the entry, and only the one asked about: when that one
// goes elsewhere while the question waits and the selection moves on, the
// entry selected then stays.
TEST_F(EntryManagerDlgTest, RemoveTakesTheEntryAskedAboutOnlyWhenTheUserAgrees)
{
    const ID kept = testvalues::Add(model_, testvalues::Property(L"192.0.2.1"));
    const ID removed = testvalues::Add(model_, testvalues::Property(L"192.0.2.2"));
    const ID vanishing = testvalues::Add(model_, testvalues::Property(L"192.0.2.3"));
    Open();
    for (const QMessageBox::StandardButton answer : {QMessageBox::No, QMessageBox::Yes}) {
        Select(removed);
        const support::MessageBoxRecorder boxes(answer);
        Click(kRemove);
        ASSERT_EQ(boxes.Texts(), QStringList{"Is it OK to execute processing?"});
        EXPECT_EQ(Count(), answer == QMessageBox::Yes ? 2u : 3u);
        EXPECT_EQ(List().rowCount(), static_cast<int>(Count()));
    }
    Select(vanishing);
    support::MessageBoxRecorder boxes(QMessageBox::Yes);
    boxes.WhileOpen([&] {
        Erase(vanishing);
        EXPECT_TRUE(ProcessEventsUntil([&] { return List().rowCount() == 1; }));
    });
    Click(kRemove);
    EXPECT_EQ(Count(), 1u);
    EXPECT_TRUE(List().GetKey(0) == kept);
    EXPECT_EQ(Buttons(), kAll);
}

// Switching on an entry whose machine another monitored entry uses switches
// that one off in the same change; the wait for the outcome keeps the GUI
// going and ends when the outcome is written.
TEST_F(EntryManagerDlgTest, SwitchingOnSwitchesTheOtherEntryOfTheMachineOffTogether)
{
    const ID running = testvalues::Add(model_, testvalues::Property(L"192.0.2.1"));
    const ID idle = testvalues::Add(model_, testvalues::Property(L"192.0.2.2", false));
    const ID elsewhere = testvalues::Add(model_, testvalues::Property(L"192.0.2.9"));
    testvalues::Change(model_, running, [](EntryProperty& property) { property.SetStatus(1); });
    // Only a new entry may not share a host with a stored one.
    testvalues::Change(model_, idle, [&](EntryProperty& property) { property.SetMFP(Stored(running).GetMFP()); });
    Open();
    Select(idle);

    bool heldDuringWait = false;
    QTimer::singleShot(50, [&] {
        heldDuringWait = UI::WaitCursor::IsHeld() && !UI::GetDlgItem(*dialog_, kChangeStatus).isEnabled()
                         && Stored(idle).GetMonitoring() && Stored(idle).GetStatus() == 0;
        testvalues::Change(model_, idle, [](EntryProperty& property) { property.SetStatus(1); });
    });
    const Clock::time_point start = Clock::now();
    Click(kChangeStatus);
    EXPECT_LT(Clock::now() - start, std::chrono::seconds(30)) << "the wait ran to its limit";
    EXPECT_TRUE(heldDuringWait);
    EXPECT_FALSE(UI::WaitCursor::IsHeld());
    EXPECT_TRUE(UI::GetDlgItem(*dialog_, kChangeStatus).isEnabled());
    EXPECT_FALSE(Stored(running).GetMonitoring());
    EXPECT_EQ(Stored(running).GetStatus(), 1);
    EXPECT_TRUE(Stored(elsewhere).GetMonitoring());

    // Switching off never waits; switching on with no outcome waits out the limit.
    Click(kChangeStatus);
    EXPECT_FALSE(Stored(idle).GetMonitoring());
    const support::ScopedSettings shortWait(Limits(300));
    const Clock::time_point again = Clock::now();
    Click(kChangeStatus);
    EXPECT_GE(Clock::now() - again, std::chrono::milliseconds(300));
    EXPECT_EQ(Stored(idle).GetStatus(), 0);
}

// Clicks given while the dialog waits are dropped: none presses a button,
// during the wait or after it, the disabled Change Status least of all.
TEST_F(EntryManagerDlgTest, ClicksDuringTheWaitAreDropped)
{
    const ID id = testvalues::Add(model_, testvalues::Property(L"192.0.2.1", false));
    Open();
    Select(id);
    const support::MessageBoxRecorder boxes(QMessageBox::Yes);
    const auto postClick = [this](int button) {
        QWidget& target = UI::GetDlgItem(*dialog_, button);
        for (const QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
            QCoreApplication::postEvent(&target, new QMouseEvent(type, QPointF(3, 3), target.mapToGlobal(QPointF(3, 3)),
                                                                 Qt::LeftButton, Qt::LeftButton, Qt::NoModifier));
        }
    };
    QTimer::singleShot(20, [&] {
        postClick(kChangeStatus);
        postClick(kRemove);
        QTimer::singleShot(50, [&] {
            testvalues::Change(model_, id, [](EntryProperty& property) { property.SetStatus(1); });
        });
    });
    Click(kChangeStatus);
    EXPECT_TRUE(boxes.Requests().empty()) << "Remove was pressed";
    EXPECT_TRUE(Stored(id).GetMonitoring()) << "Change Status was pressed again";
}

} // namespace
