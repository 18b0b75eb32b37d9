#ifndef NOCTAVI_TESTS_SUPPORT_UI_FAKETRAY_H
#define NOCTAVI_TESTS_SUPPORT_UI_FAKETRAY_H

#include <Noctavi/UI/TrayBackend.h>

#include <QIcon>
#include <QString>

class QMenu;

namespace support {

// A notification area that keeps what the tray icon gave it.
class FakeTrayBackend : public UI::TrayBackend {
public:
    void SetIcon(const QIcon& icon) override;
    void SetToolTip(const QString& text) override { toolTip = text; }
    void SetContextMenu(QMenu& menu) override { contextMenu = &menu; }
    void SetVisible(bool shown) override { visible = shown; }

    void Click() { Q_EMIT Activated(); }

    QIcon icon;
    int iconChanges = 0;
    QString toolTip;
    QMenu* contextMenu = nullptr;
    bool visible = false;
};

// Stands in for the notification area for its life; Backend is the fake that
// the last tray icon made.
class FakeTray {
public:
    FakeTray();

    FakeTrayBackend& Backend() const { return *backend_; }

private:
    FakeTrayBackend* backend_ = nullptr;
    UI::TrayBackendSeam::Override override_;
};

// Whether two icons draw the same pixels at a size.
bool SameIcon(const QIcon& a, const QIcon& b, int size = 16);

} // namespace support

#endif
