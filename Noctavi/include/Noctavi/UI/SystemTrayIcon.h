#ifndef NOCTAVI_UI_SYSTEMTRAYICON_H
#define NOCTAVI_UI_SYSTEMTRAYICON_H

#include <QObject>

#include <boost/shared_ptr.hpp>

class QMenu;

namespace UI {

// The program's one icon in the notification area, in two states: nothing
// unread (icon 128) and some event unread (icon 141), with the application's
// name as its tooltip. GUI thread only.
class SystemTrayIcon : public QObject {
    Q_OBJECT

public:
    // 0: nothing unread; any other value: some event unread.
    using StatusTag = int;

    // Loads both icons and prepares the hidden icon. Throws SystemError when an
    // icon is missing.
    SystemTrayIcon();
    ~SystemTrayIcon() override;

    // The menu that the tray host opens on the icon; it must outlive the icon.
    void SetContextMenu(QMenu& menu);

    // Shows the icon in the state.
    void Show(StatusTag status);
    // Changes a shown icon to the state; does nothing while it is not shown.
    void Change(StatusTag status);
    // Takes a shown icon away.
    void Remove();

Q_SIGNALS:
    // A click or a double click on the icon.
    void Activated();

private:
    struct Pimpl;
    boost::shared_ptr<Pimpl> pimpl_;
};

} // namespace UI

#endif
