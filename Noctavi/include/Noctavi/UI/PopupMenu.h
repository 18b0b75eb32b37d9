#ifndef NOCTAVI_UI_POPUPMENU_H
#define NOCTAVI_UI_POPUPMENU_H

#include <Noctavi/MonitoredEntry/BasicID.h>

#include <QObject>

#include <boost/shared_ptr.hpp>

class QMenu;

namespace MonitoredEntry {
class EntryManager;
}

namespace UI {

// The tray icon's context menu: Settings, Event Log Viewer, the Login submenu
// of the monitored machines, About and Exit. Each item's objectName is its
// command id in decimal. The Login submenu is rebuilt from the model every
// time the menu or the submenu opens, so it always lists the entries whose
// monitoring is on at that moment, in the model's order. GUI thread only.
class PopupMenu : public QObject {
    Q_OBJECT

public:
    static constexpr int kSettingsCommand = 0x8019;
    static constexpr int kEventLogViewerCommand = 0x801A;
    static constexpr int kExitCommand = 0x801B;
    static constexpr int kFirstLoginCommand = 0x801F;
    static constexpr int kAboutCommand = 0x8021;

    // Builds the menu and its Login submenu once.
    explicit PopupMenu(MonitoredEntry::EntryManager& manager);
    ~PopupMenu() override;

    QMenu& GetMenu() const;

Q_SIGNALS:
    void SettingsRequested();
    void EventLogViewerRequested();
    void AboutRequested();
    void ExitRequested();
    // The Login item of the entry, as the submenu listed it when it last opened.
    void LoginRequested(BasicID<long> entryId);

private:
    struct Pimpl;
    boost::shared_ptr<Pimpl> pimpl_;
};

} // namespace UI

#endif
