#include <Noctavi/UI/TrayBackend.h>

#include <QSystemTrayIcon>

namespace UI {

namespace {

class SystemTrayBackend final : public TrayBackend {
public:
    SystemTrayBackend()
    {
        connect(&icon_, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
            if (reason == QSystemTrayIcon::Trigger || reason == QSystemTrayIcon::DoubleClick)
                Q_EMIT Activated();
        });
    }

    void SetIcon(const QIcon& icon) override { icon_.setIcon(icon); }
    void SetToolTip(const QString& text) override { icon_.setToolTip(text); }
    void SetContextMenu(QMenu& menu) override { icon_.setContextMenu(&menu); }
    void SetVisible(bool visible) override { icon_.setVisible(visible); }

private:
    QSystemTrayIcon icon_;
};

std::unique_ptr<TrayBackend> CreateSystemTrayBackend()
{
    return std::make_unique<SystemTrayBackend>();
}

} // namespace

TrayBackend::~TrayBackend() = default;

TrayBackendSeam& CreateTrayBackend()
{
    static TrayBackendSeam seam(&CreateSystemTrayBackend);
    return seam;
}

} // namespace UI
