#include "Shots.h"

#include "Grab.h"
#include "ListShots.h"
#include "Samples.h"
#include "SheetShots.h"
#include "WizardShots.h"

#include <Noctavi/UI/AboutDlg.h>
#include <Noctavi/UI/EventDlg.h>
#include <Noctavi/UI/Guard.h>
#include <Noctavi/UI/Message.h>
#include <Noctavi/UI/PopupEventDlg.h>
#include <Noctavi/UI/PopupMenu.h>

#include <QAction>
#include <QMenu>

#include <memory>
#include <optional>
#include <stdexcept>
#include <string>

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

// The event details dialog, or a pop-up, for an event of the entry, with its
// thumbnail prepared as a pop-up has it (none: the request failed).
template <class Dialog = UI::EventDlg>
QPixmap EventDetails(Samples& samples, BasicID<long> entryId, const MonitoredEntry::EventProperty& property,
                     const std::optional<QImage>& thumbnail = Samples::ScannedPage(),
                     QPixmap (*grab)(QWidget&) = GrabWindow)
{
    Dialog dialog(samples.Event(entryId, property), thumbnail);
    dialog.Bind(samples.Model(), entryId, BasicID<long>(0));
    return grab(dialog);
}

QPixmap PopupAtCorner(Samples& samples)
{
    return EventDetails<UI::PopupEventDlg>(samples, Samples::kCopier,
                                           Samples::Property(L"Scan to Box", L"Quarterly report.pdf", true),
                                           Samples::ScannedPage(), GrabOnWorkArea);
}

Shot EventDetailsShot(const QString& name, BasicID<long> entryId, const std::wstring& info, bool withDocument = true,
                      const std::optional<QImage>& thumbnail = Samples::ScannedPage())
{
    return {name, [=](Samples& s) {
                return EventDetails(s, entryId, Samples::Property(L"Scan to Box", info, withDocument), thumbnail);
            }};
}

} // namespace

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
        EventDetailsShot("event-details-document", Samples::kCopier, L"Quarterly report.pdf"),
        EventDetailsShot("event-details-document-deleted", Samples::kScanner, L"Old invoice", true, std::nullopt),
        EventDetailsShot("event-details-no-document", Samples::kCopier, L"Toner low", false),
        EventDetailsShot("event-details-long-title", Samples::kCopier,
                         L"Minutes of the joint planning committee meeting on the renovation of the north "
                         L"wing, with all annexes, drawings and the revised budget (final, signed copy).pdf"),
        EventDetailsShot("event-details-non-latin", Samples::kCopier, L"Отчёт за квартал — Σύνοψη — סיכום.pdf"),
        EventDetailsShot("event-details-unread-many", Samples::kHallPrinter, L"Scan 120"),
        {"popup-event-corner", PopupAtCorner},
        {"about", [](Samples&) {
             UI::AboutDlg about;
             return GrabWindow(about);
         }},
        {"settings", [](Samples&) { return SettingsDialog(3); }},
        {"settings-not-monitored", [](Samples&) { return SettingsDialog(0); }},
        {"event-log-viewer", [](Samples&) { return EventLogViewer(false); }},
        {"event-log-viewer-scrolled", [](Samples&) { return EventLogViewer(true); }},
        {"list-users", [](Samples&) { return UserList(); }},
        {"detail-settings-mfp", [](Samples& s) { return DetailSettings(s, Samples::kCopier, 0); }},
        {"detail-settings-mfp-manual",
         [](Samples& s) { return DetailSettingsManualMachine(s, Samples::kHallPrinter); }},
        {"detail-settings-user", [](Samples& s) { return DetailSettings(s, Samples::kCopier, 1); }},
        {"detail-settings-settings", [](Samples& s) { return DetailSettings(s, Samples::kCopier, 2); }},
        {"detail-settings-settings-invalid",
         [](Samples& s) { return DetailSettingsInvalid(s, Samples::kHallPrinter); }},
        {"machine-pick-list", [](Samples&) { return PickList(true); }},
        {"machine-pick-list-empty", [](Samples&) { return PickList(false); }},
        {"wizard-machine-select", [](Samples& s) { return WizardMachineSelect(s, false); }},
        {"wizard-machine-manual", [](Samples& s) { return WizardMachineSelect(s, true); }},
        {"wizard-user-select", WizardUserSelect},
        {"wizard-user-input", WizardUserInput},
        {"wizard-commit", WizardCommit},
    };
}
