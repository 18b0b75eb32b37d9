#include <Noctavi/UI/SystemTrayIcon.h>

#include <Noctavi/UI/Icons.h>
#include <Noctavi/UI/Strings.h>
#include <Noctavi/UI/TrayBackend.h>

#include <boost/make_shared.hpp>

#include <QIcon>

#include <memory>

namespace UI {

struct SystemTrayIcon::Pimpl {
    const QIcon normalIcon = LoadIconResource(kApplicationIcon);
    const QIcon unreadIcon = LoadIconResource(kUnreadTrayIcon);
    const std::unique_ptr<TrayBackend> backend = CreateTrayBackend()();
    bool shown = false;

    const QIcon& IconFor(StatusTag status) const { return status == 0 ? normalIcon : unreadIcon; }
};

SystemTrayIcon::SystemTrayIcon()
    : pimpl_(boost::make_shared<Pimpl>())
{
    pimpl_->backend->SetToolTip(LoadString(kApplicationNameString));
    connect(pimpl_->backend.get(), &TrayBackend::Activated, this, &SystemTrayIcon::Activated);
}

SystemTrayIcon::~SystemTrayIcon() = default;

void SystemTrayIcon::SetContextMenu(QMenu& menu)
{
    pimpl_->backend->SetContextMenu(menu);
}

void SystemTrayIcon::Show(StatusTag status)
{
    pimpl_->backend->SetIcon(pimpl_->IconFor(status));
    pimpl_->backend->SetVisible(true);
    pimpl_->shown = true;
}

void SystemTrayIcon::Change(StatusTag status)
{
    if (pimpl_->shown)
        pimpl_->backend->SetIcon(pimpl_->IconFor(status));
}

void SystemTrayIcon::Remove()
{
    if (pimpl_->shown)
        pimpl_->backend->SetVisible(false);
    pimpl_->shown = false;
}

} // namespace UI
