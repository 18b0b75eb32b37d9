#include <Noctavi/MonitoredEntry/EventLog.h>
#include <Noctavi/MonitoredEntry/ModelLock.h>
#include <Noctavi/UI/DialogItem.h>
#include <Noctavi/UI/EntryConfigPage.h>
#include <Noctavi/UI/EntryConfigSheet.h>
#include <Noctavi/UI/PickList.h>
#include <Noctavi/UI/SpinButton.h>

#include <support/FakeResponder.h>
#include <support/ModelValues.h>
#include <support/ScopedSearchOptions.h>
#include <support/ui/DialogControls.h>
#include <support/ui/MessageBoxRecorder.h>
#include <support/ui/ProcessEventsUntil.h>

#include <boost/make_shared.hpp>

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>

#include <memory>
#include <string>

namespace {

using MonitoredEntry::Config;
using MonitoredEntry::Entry;
using support::Click;

enum Page { kMachinePage, kUserPage, kSettingsPage };
enum {
    kOk = 1,
    kManual = 1056, kChangeMachine = 1084, kMachineName = 1087, kHost = 1060, kHttp = 1061, kHttps = 1062,
    kPassword = 1063,
    kLogMax = 1064, kInterval = 1065, kNotice = 1058, kEraseTime = 1118, kEraseTimeSpin = 1119,
};

MonitoredEntry::EntryProperty Property(const std::wstring& host, const Config& config, bool monitoring = true)
{
    using namespace MonitoredEntry;
    return EntryProperty(monitoring, MFP(std::wstring(L"Copier"), host, 80, 443, true),
                         User(std::wstring(L"Ada"), L"ada", Password(L"secret")), config);
}

// 25 events at most, a minute and a half between polls, pop-ups for 2.5 s.
const Config kSettings(25, 90000, true, 2500, false, true);

void FillLog(MonitoredEntry::EntryManager& model, BasicID<long> id, int events)
{
    MonitoredEntry::EntryManager::Transaction transaction(model);
    const auto entry = transaction.GetEntryDB().CloneEntry(id);
    const auto log = boost::make_shared<MonitoredEntry::EventLog>(entry->GetProperty().GetConfig().GetLogMax());
    for (int i = 1; i <= events; ++i)
        log->Append(testvalues::Event(L"event " + std::to_wstring(i)));
    entry->SetEventLog(log);
    transaction.SetEntry(entry);
    transaction.Commit();
}

class EntryConfigSheetTest : public testing::Test {
protected:
    std::unique_ptr<UI::EntryConfigSheet> Open(BasicID<long> id)
    {
        auto sheet = std::make_unique<UI::EntryConfigSheet>(model_, id);
        sheet->show();
        return sheet;
    }

    static QWidget& Show(UI::EntryConfigSheet& sheet, Page page)
    {
        auto* tabs = sheet.findChild<QTabWidget*>();
        tabs->setCurrentIndex(page);
        return *tabs->currentWidget();
    }

    static QLineEdit& Edit(const QWidget& page, int id) { return UI::GetDlgItem<QLineEdit>(page, id); }
    static bool OkEnabled(const UI::EntryConfigSheet& sheet) { return UI::GetDlgItem(sheet, kOk).isEnabled(); }

    Entry Stored(BasicID<long> id)
    {
        const MonitoredEntry::ModelLock lock(model_);
        return model_.GetEntryDB().GetEntry(id);
    }

    MonitoredEntry::EntryManager model_;
};

TEST_F(EntryConfigSheetTest, OkWritesOnlyThePagesThatWereShown)
{
    const BasicID<long> id = testvalues::Add(model_, Property(L"192.0.2.61", kSettings));
    FillLog(model_, id, 3);
    const boost::shared_ptr<const MonitoredEntry::EventLog> log = Stored(id).GetSharedEventLog();
    const auto sheet = Open(id);
    QWidget& machine = Show(*sheet, kMachinePage);
    EXPECT_TRUE(Edit(machine, kHost).isReadOnly());
    Click(machine, kManual);
    EXPECT_FALSE(Edit(machine, kHost).isReadOnly());
    EXPECT_FALSE(UI::GetDlgItem(machine, kChangeMachine).isEnabled());
    Edit(machine, kHost).setText("192.0.2.62");
    Edit(machine, kHttp).setText("8080");
    Click(*sheet, kOk);

    const Entry stored = Stored(id);
    EXPECT_EQ(stored.GetProperty().GetMFP(),
              MonitoredEntry::MFP(std::wstring(L"Copier"), L"192.0.2.62", 8080, 443, true));
    EXPECT_EQ(stored.GetProperty().GetUser().GetPassword().GetText(), L"secret");
    EXPECT_EQ(stored.GetProperty().GetConfig().GetEraseTime(), 2500);
    EXPECT_EQ(stored.GetSharedEventLog(), log) << "the settings page wrote although it was never shown";
    EXPECT_FALSE(sheet->isVisible());
}

// Times are shown in whole minutes and seconds; one the user leaves as shown
// keeps its milliseconds, and the log's size follows the number both ways.
TEST_F(EntryConfigSheetTest, UntouchedTimesKeepTheirMillisecondsAndTheLogFollowsTheNumber)
{
    const BasicID<long> id = testvalues::Add(
        model_, Property(L"192.0.2.63", Config(25, 90000, false, 2500, false, true)));
    FillLog(model_, id, 25);
    {
        const auto sheet = Open(id);
        QWidget& settings = Show(*sheet, kSettingsPage);
        EXPECT_EQ(Edit(settings, kInterval).text(), "1");
        EXPECT_EQ(Edit(settings, kEraseTime).text(), "2");
        EXPECT_TRUE(Edit(settings, kEraseTime).isReadOnly());
        EXPECT_FALSE(UI::GetDlgItem(settings, kEraseTimeSpin).isEnabled());
        Edit(settings, kLogMax).setText("10");
        Click(*sheet, kOk);
    }
    Entry stored = Stored(id);
    EXPECT_EQ(stored.GetProperty().GetConfig().GetInterval(), 90000);
    EXPECT_EQ(stored.GetProperty().GetConfig().GetEraseTime(), 2500);
    EXPECT_EQ(stored.GetProperty().GetConfig().GetLogMax(), 10);
    ASSERT_EQ(stored.GetSharedEventLog()->Size(), 10u);
    EXPECT_EQ(stored.GetSharedEventLog()->GetEventList().front().GetProperty().GetInfo(), L"event 16");

    {
        const auto sheet = Open(id);
        QWidget& settings = Show(*sheet, kSettingsPage);
        UI::GetDlgItem<UI::SpinButton>(settings, 1108).Step(30);
        EXPECT_EQ(Edit(settings, kLogMax).text(), "40");
        Edit(settings, kInterval).setText("2");
        Click(*sheet, kOk);
    }
    stored = Stored(id);
    EXPECT_EQ(stored.GetSharedEventLog()->GetMax(), 40);
    EXPECT_EQ(stored.GetProperty().GetConfig().GetInterval(), 120000);
}

// A stored time below one unit shows as 0; typing that 0 is an edit like any
// other, and the label names the unit the field is edited in.
TEST_F(EntryConfigSheetTest, AnEditedTimeCountsAsTypedEvenWhereItShowsWhatWasStored)
{
    const BasicID<long> id = testvalues::Add(model_, Property(L"192.0.2.64", Config(25, 90000, true, 500, false, true)));
    {
        const auto sheet = Open(id);
        QWidget& settings = Show(*sheet, kSettingsPage);
        EXPECT_EQ(UI::GetDlgItem<QLabel>(settings, 1120).text(), "seconds(0-100000)");
        EXPECT_EQ(Edit(settings, kEraseTime).text(), "0");
        Edit(settings, kEraseTime).setText("");
        Edit(settings, kEraseTime).setText("0");
        Click(*sheet, kOk);
    }
    EXPECT_EQ(Stored(id).GetProperty().GetConfig().GetEraseTime(), 0);
}

TEST_F(EntryConfigSheetTest, AnyInvalidFieldOfAShownPageDisablesOk)
{
    const struct {
        Page page;
        int control;
        QString text;
        bool valid;
    } cases[] = {
        {kSettingsPage, kLogMax, "51", false},       {kSettingsPage, kLogMax, "50", true},
        {kSettingsPage, kLogMax, "", false},         {kSettingsPage, kInterval, "0", false},
        {kSettingsPage, kInterval, "61", false},     {kSettingsPage, kInterval, "60", true},
        // 71584 minutes are 2^32 + 72704 ms: wrapped to 32 bits they would pass.
        {kSettingsPage, kInterval, "71584", false},  {kSettingsPage, kInterval, "99999999999", false},
        {kSettingsPage, kEraseTime, "0", true},      {kSettingsPage, kEraseTime, "100001", false},
        {kUserPage, kPassword, QString(28, 'a'), true}, {kUserPage, kPassword, QString(29, 'a'), false},
        {kUserPage, kPassword, QString::fromUtf8("s\u00e9same"), false},
        {kUserPage, kPassword, "tab\there", false},
        {kMachinePage, kHost, "", false},            {kMachinePage, kHttps, "70000", false},
        {kMachinePage, kHttps, "", false},           {kMachinePage, kHttp, "", true},
    };
    const BasicID<long> id = testvalues::Add(model_, Property(L"192.0.2.64", kSettings));
    const auto sheet = Open(id);
    Click(Show(*sheet, kMachinePage), kManual);
    for (const auto& each : cases) {
        QLineEdit& edit = Edit(Show(*sheet, each.page), each.control);
        const QString shown = edit.text();
        edit.setText(each.text);
        EXPECT_EQ(OkEnabled(*sheet), each.valid) << each.control << " \"" << each.text.toStdString() << '"';
        edit.setText(shown);
        EXPECT_TRUE(OkEnabled(*sheet));
    }
}

TEST_F(EntryConfigSheetTest, AHostOfAnotherMonitoredEntryIsStoredWithMonitoringOff)
{
    const BasicID<long> other = testvalues::Add(model_, Property(L"192.0.2.65", kSettings));
    const BasicID<long> id = testvalues::Add(model_, Property(L"192.0.2.66", kSettings));
    const auto sheet = Open(id);
    QWidget& machine = Show(*sheet, kMachinePage);
    Click(machine, kManual);
    Edit(machine, kHost).setText("192.0.2.65");
    Click(*sheet, kOk);

    EXPECT_EQ(Stored(id).GetProperty().GetMFP().GetHost(), L"192.0.2.65");
    EXPECT_FALSE(Stored(id).GetProperty().GetMonitoring());
    EXPECT_TRUE(Stored(other).GetProperty().GetMonitoring());
}

TEST_F(EntryConfigSheetTest, AnEntryErasedWhileTheSheetIsOpenClosesItOnItsNextReadOrWrite)
{
    for (const bool pressOk : {false, true}) {
        const BasicID<long> id = testvalues::Add(model_, Property(L"192.0.2.67", kSettings));
        const auto sheet = Open(id);
        {
            MonitoredEntry::EntryManager::Transaction transaction(model_);
            transaction.GetEntryDB().Erase(id);
            transaction.Commit();
        }
        if (pressOk)
            Click(*sheet, kOk);
        else
            Show(*sheet, kUserPage);
        EXPECT_TRUE(support::ProcessEventsUntil([&] { return !sheet->isVisible(); })) << "pressing OK: " << pressOk;
        EXPECT_EQ(model_.GetEntryDB().Size(), 0u);
    }
}

// The search's machine replaces name, host and ports; the SSL flag stays.
TEST_F(EntryConfigSheetTest, ChangeMachineTakesOnlyAPickedMachine)
{
    support::FakeResponder responder("127.0.0.70");
    responder.Publish(
        {"127.0.0.71", "picked.local", {{support::PublishedService::Type::Http, "Picked MFP", 8080, {}}}});
    const support::ScopedSearchOptions searches(responder);
    const BasicID<long> id = testvalues::Add(model_, Property(L"192.0.2.68", kSettings));
    const auto sheet = Open(id);
    QWidget& machine = Show(*sheet, kMachinePage);
    const auto fields = [&] {
        return QStringList{UI::GetDlgItem<QLabel>(machine, kMachineName).text(), Edit(machine, kHost).text(),
                           Edit(machine, kHttp).text(), Edit(machine, kHttps).text()};
    };
    const QStringList before = fields();

    const support::MessageBoxRecorder boxes;
    {
        const UI::PickListSeam::Override cancel(UI::ShowPickList(), [](const UI::PickListRequest& request) {
            request.round();
            return boost::optional<std::size_t>();
        });
        Click(machine, kChangeMachine);
        EXPECT_EQ(fields(), before);
    }
    {
        const support::ScopedSearchOptions unusable(discovery::endpoint{"127.0.0.1", 0});
        const UI::PickListSeam::Override failing(UI::ShowPickList(), [](const UI::PickListRequest& request) {
            EXPECT_FALSE(request.round());
            return boost::optional<std::size_t>();
        });
        Click(machine, kChangeMachine);
        EXPECT_EQ(fields(), before);
        ASSERT_EQ(boxes.Requests().size(), 1u);
        EXPECT_EQ(boxes.Requests().front().text, "Communication error occurred.");
    }
    {
        const UI::PickListSeam::Override pick(UI::ShowPickList(), [&](const UI::PickListRequest& request) {
            EXPECT_EQ(request.owner, &machine);
            request.round();
            return boost::make_optional(std::size_t(0));
        });
        Click(machine, kChangeMachine);
        EXPECT_EQ(fields(), (QStringList{"Picked MFP", "127.0.0.71", "8080", "443"}));
    }
    EXPECT_TRUE(OkEnabled(*sheet));
    Click(*sheet, kOk);
    EXPECT_EQ(Stored(id).GetProperty().GetMFP(),
              MonitoredEntry::MFP(std::wstring(L"Picked MFP"), L"127.0.0.71", 8080, 443, true));
}

} // namespace
