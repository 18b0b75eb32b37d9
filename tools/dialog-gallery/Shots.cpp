#include "Shots.h"

#include "Grab.h"
#include "ListShots.h"
#include "Samples.h"

#include <Noctavi/UI/AboutDlg.h>
#include <Noctavi/UI/Guard.h>
#include <Noctavi/UI/Message.h>
#include <Noctavi/UI/PopupMenu.h>

#include <QAction>
#include <QMenu>

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
        {"about", [](Samples&) {
             UI::AboutDlg about;
             return GrabWindow(about);
         }},
        {"list-entries-settings", [](Samples&) { return SettingsEntryList(); }},
        {"list-entries-events", [](Samples&) { return EventLogLists(false); }},
        {"list-entries-events-scrolled", [](Samples&) { return EventLogLists(true); }},
        {"list-users", [](Samples&) { return UserList(); }},
    };
}
