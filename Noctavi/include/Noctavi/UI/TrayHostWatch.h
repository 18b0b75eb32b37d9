#ifndef NOCTAVI_UI_TRAYHOSTWATCH_H
#define NOCTAVI_UI_TRAYHOSTWATCH_H

#include <Noctavi/UI/Seam.h>

#include <QObject>
#include <QTimer>

#include <chrono>

namespace UI {

using TrayHostSeam = Seam<bool()>;

// Whether the desktop has a notification area now: QSystemTrayIcon's
// answer unless overridden.
TrayHostSeam& IsTrayHostAvailable();

// Notices when the desktop's notification area comes back (its host
// restarted), so that the tray icon can be shown again. It asks every
// period, since the desktop tells nobody.
class TrayHostWatch : public QObject {
    Q_OBJECT

public:
    explicit TrayHostWatch(std::chrono::milliseconds period = std::chrono::seconds(5));

Q_SIGNALS:
    // The notification area is there again after it was gone.
    void Returned();

private:
    QTimer timer_;
    bool available_;
};

} // namespace UI

#endif
