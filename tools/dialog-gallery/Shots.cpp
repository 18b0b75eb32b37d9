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

#include <pelmo/unique_fd.hpp>

#include <QAction>
#include <QMenu>
#include <QMessageBox>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>

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
    dialog.Bind(samples.Model(), entryId);
    return grab(dialog);
}

QPixmap PopupAtCorner(Samples& samples)
{
    return EventDetails<UI::PopupEventDlg>(samples, Samples::kCopier,
                                           Samples::Property(L"Scan to Box", L"Quarterly report.pdf", true),
                                           Samples::ScannedPage(), GrabOnWorkArea);
}

// A loopback port that takes a connection and never answers, so that the
// thumbnail is still on its way when the dialog is pictured.
class SilentPort {
public:
    SilentPort()
        : fd_(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0))
    {
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t size = sizeof address;
        auto* generic = reinterpret_cast<sockaddr*>(&address);
        if (!fd_ || ::bind(fd_.get(), generic, size) != 0 || ::listen(fd_.get(), 1) != 0
            || ::getsockname(fd_.get(), generic, &size) != 0)
            throw std::runtime_error("no loopback port for a thumbnail that never comes");
        port_ = ntohs(address.sin_port);
    }

    int Port() const { return port_; }

private:
    pelmo::unique_fd fd_;
    int port_ = 0;
};

QPixmap EventDetailsFetching(Samples& samples)
{
    const SilentPort port;
    const MachineEvent::Event sample =
        samples.Event(Samples::kCopier, Samples::Property(L"Scan to Box", L"Quarterly report.pdf", true));
    const MonitoredEntry::MFP machine(sample.GetMFP().GetName(), L"127.0.0.1", port.Port(), boost::none, false);
    UI::EventDlg dialog(MachineEvent::Event(machine, sample.GetUser(), sample.GetProperty()));
    dialog.Bind(samples.Model(), Samples::kCopier);
    return GrabWindow(dialog);
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
        Box("message-affirmation-remove-entry", [] { UI::Message::Affirmation(115); }),
        Box("message-capacity-exceeded", [] { UI::Message::Show(120, QMessageBox::Critical); }),
        Box("message-affirmation-close-wizard-on-duplicate", [] { UI::Message::Affirmation(182); }),
        Box("message-unsupported-operation",
            [] { UI::RunGuarded(nullptr, [] { throw std::runtime_error("a failing handler"); }); }),
        {"tray-menu", [](Samples& s) { return TrayMenu(s, false); }},
        {"tray-menu-login", [](Samples& s) { return TrayMenu(s, true); }},
        {"icons", [](Samples&) { return IconSheet(); }},
        EventDetailsShot("event-details-document", Samples::kCopier, L"Quarterly report.pdf"),
        EventDetailsShot("event-details-document-deleted", Samples::kScanner, L"Old invoice", true, std::nullopt),
        EventDetailsShot("event-details-no-document", Samples::kCopier, L"Toner low", false),
        {"event-details-thumbnail-coming", EventDetailsFetching},
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
        {"settings-nothing-selected", [](Samples&) { return SettingsDialog(-1); }},
        {"event-log-viewer", [](Samples&) { return EventLogViewer(true, false); }},
        {"event-log-viewer-scrolled", [](Samples&) { return EventLogViewer(true, true); }},
        {"event-log-viewer-nothing-selected", [](Samples&) { return EventLogViewer(false, false); }},
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
