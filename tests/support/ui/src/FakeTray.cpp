#include <support/ui/FakeTray.h>

#include <QImage>
#include <QPixmap>

#include <memory>

namespace support {

void FakeTrayBackend::SetIcon(const QIcon& shown)
{
    icon = shown;
    ++iconChanges;
}

FakeTray::FakeTray()
    : override_(UI::CreateTrayBackend(), [this]() -> std::unique_ptr<UI::TrayBackend> {
        auto backend = std::make_unique<FakeTrayBackend>();
        backend_ = backend.get();
        return backend;
    })
{
}

bool SameIcon(const QIcon& a, const QIcon& b, int size)
{
    return a.pixmap(size).toImage() == b.pixmap(size).toImage();
}

} // namespace support
