#include <Noctavi/UI/TrayHostWatch.h>

#include <QSystemTrayIcon>

namespace UI {

TrayHostSeam& IsTrayHostAvailable()
{
    static TrayHostSeam seam(&QSystemTrayIcon::isSystemTrayAvailable);
    return seam;
}

TrayHostWatch::TrayHostWatch(std::chrono::milliseconds period)
    : available_(IsTrayHostAvailable()())
{
    connect(&timer_, &QTimer::timeout, this, [this] {
        const bool available = IsTrayHostAvailable()();
        const bool returned = available && !available_;
        available_ = available;
        if (returned)
            Q_EMIT Returned();
    });
    timer_.start(period);
}

} // namespace UI
