#include <Noctavi/UI/PopupMenu.h>

#include <Noctavi/MonitoredEntry/Entry.h>
#include <Noctavi/MonitoredEntry/EntryManager.h>
#include <Noctavi/MonitoredEntry/EntryProperty.h>
#include <Noctavi/MonitoredEntry/ModelLock.h>
#include <Noctavi/MonitoredEntry/SearchResult.h>
#include <Noctavi/UI/Formatting.h>
#include <Noctavi/UI/Guard.h>
#include <Noctavi/UI/Strings.h>

#include <boost/make_shared.hpp>

#include <QAction>
#include <QMenu>

#include <memory>
#include <utility>
#include <vector>

namespace UI {

namespace {

constexpr unsigned int kSettingsString = 185;
constexpr unsigned int kEventLogViewerString = 183;
constexpr unsigned int kLoginString = 128;
constexpr unsigned int kAboutString = 181;
constexpr unsigned int kExitString = 162;

struct LoginItem {
    BasicID<long> entryId;
    QString text;
};

// Every "&" doubled, so that no letter of a machine's name becomes a mnemonic.
QString WithoutMnemonics(QString name)
{
    return name.replace(QLatin1Char('&'), QLatin1String("&&"));
}

std::vector<LoginItem> MonitoredMachines(MonitoredEntry::EntryManager& manager)
{
    using MonitoredEntry::Entry;
    std::vector<LoginItem> items;
    const MonitoredEntry::ModelLock lock(manager);
    const auto monitored = manager.Search([](const Entry& e) { return e.GetProperty().GetMonitoring(); });
    for (const Entry& entry : *monitored)
        items.push_back({entry.GetID(), WithoutMnemonics(GetDisplayName(entry.GetProperty().GetMFP()))});
    return items;
}

} // namespace

struct PopupMenu::Pimpl {
    Pimpl(PopupMenu& owner, MonitoredEntry::EntryManager& manager)
        : owner(owner)
        , manager(manager)
    {
    }

    PopupMenu& owner;
    MonitoredEntry::EntryManager& manager;
    const std::unique_ptr<QMenu> menu = std::make_unique<QMenu>();
    QMenu* login = nullptr;

    void AddCommand(int id, unsigned int stringId, void (PopupMenu::*signal)())
    {
        QAction* action = menu->addAction(LoadString(stringId));
        action->setObjectName(QString::number(id));
        connect(action, &QAction::triggered, &owner, signal);
    }

    void ConstructSubMenu()
    {
        // Read under the model lock, build the items after it.
        const std::vector<LoginItem> items = MonitoredMachines(manager);
        login->clear();
        int id = kFirstLoginCommand;
        for (const LoginItem& item : items) {
            QAction* action = login->addAction(item.text);
            action->setObjectName(QString::number(id++));
            connect(action, &QAction::triggered, &owner,
                    [this, entryId = item.entryId] { Q_EMIT owner.LoginRequested(entryId); });
        }
    }
};

PopupMenu::PopupMenu(MonitoredEntry::EntryManager& manager)
    : pimpl_(boost::make_shared<Pimpl>(*this, manager))
{
    pimpl_->AddCommand(kSettingsCommand, kSettingsString, &PopupMenu::SettingsRequested);
    pimpl_->AddCommand(kEventLogViewerCommand, kEventLogViewerString, &PopupMenu::EventLogViewerRequested);
    pimpl_->login = pimpl_->menu->addMenu(LoadString(kLoginString));
    pimpl_->menu->addSeparator();
    pimpl_->AddCommand(kAboutCommand, kAboutString, &PopupMenu::AboutRequested);
    pimpl_->AddCommand(kExitCommand, kExitString, &PopupMenu::ExitRequested);

    const auto rebuild = Guarded(nullptr, [pimpl = pimpl_.get()] { pimpl->ConstructSubMenu(); });
    connect(pimpl_->menu.get(), &QMenu::aboutToShow, this, rebuild);
    connect(pimpl_->login, &QMenu::aboutToShow, this, rebuild);
    pimpl_->ConstructSubMenu();
}

PopupMenu::~PopupMenu() = default;

QMenu& PopupMenu::GetMenu() const
{
    return *pimpl_->menu;
}

} // namespace UI
