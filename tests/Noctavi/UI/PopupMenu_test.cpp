#include <Noctavi/MonitoredEntry/Entry.h>
#include <Noctavi/MonitoredEntry/EntryManager.h>
#include <Noctavi/MonitoredEntry/EntryProperty.h>
#include <Noctavi/MonitoredEntry/Transaction.h>
#include <Noctavi/UI/PopupMenu.h>

#include <support/ui/MessageBoxRecorder.h>

#include <gtest/gtest.h>

#include <QAction>
#include <QMenu>

#include <string>
#include <vector>

namespace {

using MonitoredEntry::EntryManager;
using MonitoredEntry::EntryProperty;
using ID = BasicID<long>;

ID Add(EntryManager& manager, const boost::optional<std::wstring>& name, const std::wstring& host, bool monitoring)
{
    using namespace MonitoredEntry;
    EntryManager::Transaction transaction(manager);
    const ID id = transaction.Append(EntryProperty(monitoring, MFP(name, host, 80, boost::none, false),
                                                   User(boost::none, L"alice", Password()),
                                                   Config(5, 60000, true, 0, false, false)));
    transaction.Commit();
    return id;
}

void SetMonitoring(EntryManager& manager, ID id, bool monitoring)
{
    EntryManager::Transaction transaction(manager);
    const auto entry = transaction.GetEntryDB().CloneEntry(id);
    EntryProperty property = entry->GetProperty();
    property.SetMonitoring(monitoring);
    entry->SetProperty(property);
    transaction.SetEntry(entry);
    transaction.Commit();
}

// Each item as "objectName text", a separator as "-".
QStringList Items(const QMenu& menu)
{
    QStringList items;
    for (const QAction* action : menu.actions())
        items << (action->isSeparator() ? QStringLiteral("-") : action->objectName() + ' ' + action->text());
    return items;
}

QMenu& LoginMenu(const UI::PopupMenu& menu)
{
    return *menu.GetMenu().actions().at(2)->menu();
}

// Opens the menu as the tray host does, which rebuilds the Login submenu.
void Open(const UI::PopupMenu& menu)
{
    menu.GetMenu().popup(QPoint(0, 0));
    menu.GetMenu().hide();
}

TEST(PopupMenu, HoldsTheCommandsInOrderWithTheirIdsAndTexts)
{
    EntryManager manager;
    UI::PopupMenu menu(manager);
    EXPECT_EQ(Items(menu.GetMenu()), QStringList({"32793 &Settings...", "32794 Event &Log Viewer...",
                                                  " Login to Stavelock", "-", "32801 &About...", "32795 &Exit"}));
    EXPECT_TRUE(Items(LoginMenu(menu)).isEmpty());

    QStringList requests;
    QObject::connect(&menu, &UI::PopupMenu::SettingsRequested, [&] { requests << "settings"; });
    QObject::connect(&menu, &UI::PopupMenu::EventLogViewerRequested, [&] { requests << "viewer"; });
    QObject::connect(&menu, &UI::PopupMenu::AboutRequested, [&] { requests << "about"; });
    QObject::connect(&menu, &UI::PopupMenu::ExitRequested, [&] { requests << "exit"; });
    for (QAction* action : menu.GetMenu().actions())
        action->trigger();
    EXPECT_EQ(requests, QStringList({"settings", "viewer", "about", "exit"}));
}

TEST(PopupMenu, LoginListsTheMonitoredMachinesAsTheModelHasThemWhenOpened)
{
    EntryManager manager;
    UI::PopupMenu menu(manager);
    const ID rnd = Add(manager, std::wstring(L"R&D"), L"10.0.0.1", true);
    Add(manager, std::wstring(L"Off"), L"10.0.0.2", false);
    const ID hall = Add(manager, boost::none, L"hall.example", true);
    EXPECT_TRUE(Items(LoginMenu(menu)).isEmpty()) << "built when the menu opens";

    Open(menu);
    EXPECT_EQ(Items(LoginMenu(menu)), QStringList({"32799 R&&D", "32800 hall.example"}));

    std::vector<ID> logins;
    QObject::connect(&menu, &UI::PopupMenu::LoginRequested, [&](ID id) { logins.push_back(id); });
    LoginMenu(menu).actions().at(1)->trigger();
    EXPECT_EQ(logins, std::vector<ID>{hall});

    SetMonitoring(manager, rnd, false);
    LoginMenu(menu).popup(QPoint(0, 0)); // the submenu opened on its own also rebuilds
    LoginMenu(menu).hide();
    EXPECT_EQ(Items(LoginMenu(menu)), QStringList({"32799 hall.example"}));
    LoginMenu(menu).actions().at(0)->trigger();
    EXPECT_EQ(logins, (std::vector<ID>{hall, hall}));
}

} // namespace
