#ifndef NOCTAVI_UI_TRAYBACKEND_H
#define NOCTAVI_UI_TRAYBACKEND_H

#include <Noctavi/UI/Seam.h>

#include <QObject>

#include <memory>

class QIcon;
class QMenu;
class QString;

namespace UI {

// The desktop's notification area as the tray icon uses it: one icon with a
// tooltip and a context menu that the tray host opens. The program's backend
// is QSystemTrayIcon; tests stand in for it.
class TrayBackend : public QObject {
    Q_OBJECT

public:
    ~TrayBackend() override;

    virtual void SetIcon(const QIcon& icon) = 0;
    virtual void SetToolTip(const QString& text) = 0;
    virtual void SetContextMenu(QMenu& menu) = 0;
    virtual void SetVisible(bool visible) = 0;

Q_SIGNALS:
    // A click or a double click on the icon.
    void Activated();
};

using TrayBackendSeam = Seam<std::unique_ptr<TrayBackend>()>;

TrayBackendSeam& CreateTrayBackend();

} // namespace UI

#endif
