#include "ListShots.h"

#include "Grab.h"

#include <Noctavi/IS/User.h>
#include <Noctavi/MonitoredEntry/Config.h>
#include <Noctavi/MonitoredEntry/Entry.h>
#include <Noctavi/MonitoredEntry/EntryManager.h>
#include <Noctavi/MonitoredEntry/EntryProperty.h>
#include <Noctavi/MonitoredEntry/Event.h>
#include <Noctavi/MonitoredEntry/EventLog.h>
#include <Noctavi/MonitoredEntry/EventProperty.h>
#include <Noctavi/MonitoredEntry/MFP.h>
#include <Noctavi/MonitoredEntry/Password.h>
#include <Noctavi/MonitoredEntry/Transaction.h>
#include <Noctavi/MonitoredEntry/User.h>
#include <Noctavi/Monitor/EventSignalObserver.h>
#include <Noctavi/RSS/EventTime.h>
#include <Noctavi/UI/DialogBuilder.h>
#include <Noctavi/UI/DialogItem.h>
#include <Noctavi/UI/DialogTemplate.h>
#include <Noctavi/UI/EntryListCtrl.h>
#include <Noctavi/UI/EntryManagerDlg.h>
#include <Noctavi/UI/EventLogDlg.h>
#include <Noctavi/UI/Icons.h>
#include <Noctavi/UI/UserListCtrl.h>

#include <boost/make_shared.hpp>

#include <QDialog>
#include <QItemSelectionModel>
#include <QString>
#include <QTreeView>

#include <string>
#include <vector>

namespace {

using UI::ControlKind;

struct EntrySample {
    const wchar_t* machine; // none when null: the host is shown
    const wchar_t* host;
    const wchar_t* user;    // none when null: the account is shown
    const wchar_t* account;
    bool monitoring;
    int status;
    int detail;
    bool notice;
    int events;
    int unread;
};

const EntrySample kEntries[] = {
    {L"R&D Copier 3F", L"192.0.2.10", L"Ada Example", L"ada", true, 1, 0, true, 12, 3},
    {nullptr, L"printer-hall.example.net", nullptr, L"bo.sample", true, 1, 0, true, 300, 40},
    {L"Archive scanner", L"192.0.2.30", L"Cy Demo", L"cy", false, 2, 0, false, 5, 0},
    {L"Reception MFP", L"192.0.2.31", L"Dana Reception Desk", L"dana", true, 2, 1, true, 8, 1},
    {L"Finance colour A3", L"192.0.2.32", L"Eli", L"eli", true, 1, 1, false, 0, 0},
    {L"Lab plotter", L"lab-plotter.example.net", L"Fay", L"fay", true, 0, 0, true, 2, 2},
    {L"Mailroom", L"192.0.2.34", nullptr, L"gus", true, 1, 0, true, 30, 0},
    {L"Board room", L"192.0.2.35", L"Hana", L"hana", false, 0, 0, true, 1, 1},
    {L"Copier 1F", L"192.0.2.36", L"Ida", L"ida", true, 1, 0, false, 4, 0},
    {L"Copier 2F", L"192.0.2.37", L"Jo", L"jo", true, 1, 0, true, 6, 6},
    {L"\u041e\u0442\u0434\u0435\u043b \u043f\u0435\u0447\u0430\u0442\u0438", L"192.0.2.38",
     L"\u0395\u03bb\u03ad\u03bd\u03b7", L"eleni", true, 1, 0, true, 3, 1},
    {L"Warehouse", L"warehouse.example.net", L"Kim", L"kim", true, 2, 0, true, 0, 0},
};

const wchar_t* const kCategories[] = {L"Scan to Box", L"Fax received", L"Print stored"};

boost::optional<std::wstring> Optional(const wchar_t* text)
{
    return text ? boost::make_optional(std::wstring(text)) : boost::none;
}

// The n-th event of a log, two hours apart, some published without seconds.
MonitoredEntry::EventProperty Event(int n)
{
    const int hours = n * 2;
    QString time = QString::asprintf("%02d Nov 2008 %02d:%02d", 1 + hours / 24, hours % 24, n * 7 % 60);
    if (n % 7 != 3)
        time += QString::asprintf(":%02d", n * 13 % 60);
    return MonitoredEntry::EventProperty(kCategories[n % 3], L"Document " + std::to_wstring(n + 1) + L".pdf",
                                         boost::none, boost::none, RSS::EventTime(time.toStdString() + " +0900"));
}

boost::shared_ptr<MonitoredEntry::EventLog> Log(const EntrySample& sample)
{
    const auto log = boost::make_shared<MonitoredEntry::EventLog>(sample.events);
    for (int n = 0; n < sample.events; ++n) {
        MonitoredEntry::Event event = log->GetEvent(log->Append(Event(n)));
        event.SetRead(n < sample.events - sample.unread);
        log->SetEvent(event);
    }
    return log;
}

void Fill(MonitoredEntry::EntryManager& model)
{
    using namespace MonitoredEntry;
    EntryManager::Transaction transaction(model);
    for (const EntrySample& sample : kEntries) {
        EntryProperty property(sample.monitoring, MFP(Optional(sample.machine), sample.host, 80, 443, false),
                               User(Optional(sample.user), sample.account, Password()),
                               Config(20, 300000, sample.notice, 30000, true, true));
        property.SetStatus(sample.status);
        property.SetStatusDetail(sample.detail);
        const auto entry = transaction.GetEntryDB().CloneEntry(transaction.GetEntryDB().Append(property));
        entry->SetEventLog(Log(sample));
        transaction.SetEntry(entry);
    }
    transaction.Commit();
}

void SelectRow(QTreeView& view, int row)
{
    view.selectionModel()->setCurrentIndex(view.model()->index(row, 0),
                                           QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

// Refresh in the viewer wakes no monitor here.
class NoMonitors : public Monitor::EventSignalObserver {
public:
    void OnSignal(const Monitor::Signal&) override {}
};

// A window of the list views of a table, with the program's icon.
class Host : public QDialog {
public:
    explicit Host(const UI::DialogTemplate& table)
    {
        UI::BuildDialog(*this, table);
        UI::SetWindowIcon(*this);
    }

    QTreeView& View(int id) const { return UI::GetDlgItem<QTreeView>(*this, id); }
};


constexpr UI::ControlTemplate kUserControls[] = {{1022, ControlKind::ListView, {7, 7, 310, 140}}};
constexpr UI::DialogTemplate kUsers(104, {324, 154}, kUserControls);

} // namespace

QPixmap SettingsDialog(int row)
{
    MonitoredEntry::EntryManager model;
    Fill(model);
    UI::EntryManagerDlg dialog(model);
    SelectRow(UI::GetDlgItem<QTreeView>(dialog, 1082), row);
    return GrabWindow(dialog);
}

QPixmap EventLogViewer(bool selected, bool scrolledToEnd)
{
    MonitoredEntry::EntryManager model;
    Fill(model);
    NoMonitors monitors;
    UI::EventLogDlg viewer(model, monitors);
    QTreeView& entries = UI::GetDlgItem<QTreeView>(viewer, 1050);
    for (int row = 0; selected && row < entries.model()->rowCount(); ++row) {
        if (entries.model()->index(row, 1).data().toString() == QStringLiteral("printer-hall.example.net"))
            SelectRow(entries, row);
    }
    if (scrolledToEnd)
        UI::GetDlgItem<QTreeView>(viewer, 1066).scrollToBottom();
    return GrabWindow(viewer);
}

QPixmap UserList()
{
    Host host(kUsers);
    UI::UserListCtrl list(host.View(1022));
    list.AddColumns({"IndexColumn", "NameColumn"}, 112);
    std::vector<IS::User> users;
    const char* const names[] = {"Ada Example", "", "Cy Demo", "Dana Reception Desk", "", "Fay"};
    for (long n = 1; n <= 14; ++n)
        users.emplace_back(n == 14 ? 1024 : n, names[n % 6], "user" + std::to_string(n));
    list.GetSource().ReplaceUsers(std::move(users));
    list.Refresh();
    SelectRow(host.View(1022), 3);
    return GrabWindow(host);
}
