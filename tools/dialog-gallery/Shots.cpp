#include "Shots.h"

#include "Grab.h"
#include "Samples.h"

#include <Noctavi/MonitoredEntry/MFP.h>
#include <Noctavi/UI/DialogItem.h>
#include <Noctavi/UI/EntryConfigSheet.h>
#include <Noctavi/UI/Guard.h>
#include <Noctavi/UI/MachinePickList.h>
#include <Noctavi/UI/Message.h>
#include <Noctavi/UI/PopupMenu.h>

#include <QAbstractButton>
#include <QAction>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QTabWidget>

#include <stdexcept>

namespace {

Shot Box(const QString& name, void (*show)())
{
    return {name, [show](Samples&) { return GrabMessageBox(show); }};
}

QPixmap TrayMenu(Samples& samples, bool loginOpen)
{
    UI::PopupMenu menu(samples.Model());
    const QPixmap root = GrabMenu(menu.GetMenu());
    return loginOpen ? GrabMenu(*menu.GetMenu().actions().at(2)->menu()) : root;
}

const BasicID<long> kCopier(0);      // "R&D Copier 3F"
const BasicID<long> kHallPrinter(1); // no machine name

// The detail settings sheet on one of its pages, changed as the user would.
Shot DetailSettings(const QString& name, BasicID<long> entry, int page,
                    const std::function<void(QWidget&)>& change = [](QWidget&) {})
{
    return {name, [=](Samples& s) {
                UI::EntryConfigSheet sheet(s.Model(), entry);
                sheet.show();
                auto* tabs = sheet.findChild<QTabWidget*>();
                tabs->setCurrentIndex(page);
                change(*tabs->currentWidget());
                return GrabWindow(sheet);
            }};
}

void Click(QWidget& page, int id)
{
    UI::GetDlgItem<QAbstractButton>(page, id).click();
}

QPixmap PickList(const std::vector<MonitoredEntry::MFP>& found)
{
    UI::MachinePickList list(nullptr, [found] { return boost::make_optional(found); });
    list.Refresh();
    UI::GetDlgItem<QListWidget>(list, 1023).setCurrentRow(found.empty() ? -1 : 0);
    return GrabWindow(list);
}

std::vector<MonitoredEntry::MFP> FoundMachines()
{
    using MonitoredEntry::MFP;
    return {MFP(std::wstring(L"R&D Copier 3F"), L"192.0.2.10", 80, 443, true),
            MFP(boost::none, L"192.0.2.40", 80, 443, true),
            MFP(std::wstring(L"Reception colour multifunction printer, second floor, east wing"), L"192.0.2.41", 8080,
                8443, true)};
}

} // namespace

// A later dialog adds one line per layout here, e.g.
//     {"event-details-document", [](Samples& s) { UI::EventDlg d(...); return GrabWindow(d); }},
std::vector<Shot> Shots()
{
    return {
        Box("message-application-init-failed", UI::Message::ApplicationInitFailed),
        Box("message-communication-error", UI::Message::CommunicationError),
        Box("message-file-access-failed", UI::Message::FileAccessFailed),
        Box("message-saving-failed", UI::Message::SavingFailed),
        Box("message-load-settings-failed", UI::Message::LoadSettingsFailed),
        Box("message-save-settings-failed", UI::Message::SaveSettingsFailed),
        Box("message-no-users-registered", UI::Message::NoUsersRegistered),
        Box("message-no-delete-authority", UI::Message::NoDeleteAuthority),
        Box("message-affirmation-delete-document", [] { UI::Message::Affirmation(213); }),
        Box("message-unsupported-operation",
            [] { UI::RunGuarded(nullptr, [] { throw std::runtime_error("a failing handler"); }); }),
        {"tray-menu", [](Samples& s) { return TrayMenu(s, false); }},
        {"tray-menu-login", [](Samples& s) { return TrayMenu(s, true); }},
        {"icons", [](Samples&) { return IconSheet(); }},
        DetailSettings("detail-settings-mfp", kCopier, 0),
        DetailSettings("detail-settings-mfp-manual", kHallPrinter, 0, [](QWidget& page) { Click(page, 1056); }),
        DetailSettings("detail-settings-user", kCopier, 1),
        DetailSettings("detail-settings-settings", kCopier, 2),
        DetailSettings("detail-settings-settings-invalid", kHallPrinter, 2,
                       [](QWidget& page) {
                           Click(page, 1058);
                           UI::GetDlgItem<QLineEdit>(page, 1064).setText("51");
                       }),
        {"machine-pick-list", [](Samples&) { return PickList(FoundMachines()); }},
        {"machine-pick-list-empty", [](Samples&) { return PickList({}); }},
    };
}
