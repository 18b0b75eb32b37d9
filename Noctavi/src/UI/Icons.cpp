#include <Noctavi/UI/Icons.h>

#include <Noctavi/System/SystemError.h>

#include <pelmo/exception.hpp>

#include <QWidget>

#include <cerrno>

namespace UI {

QIcon LoadIconResource(int id)
{
    const QIcon icon(QStringLiteral(":/icons/%1.svg").arg(id));
    // Null for a missing file, and for any file without Qt's SVG icon engine.
    if (icon.isNull())
        PELMO_THROW(SystemError(ENOENT));
    return icon;
}

void SetWindowIcon(QWidget& window)
{
    window.setWindowIcon(LoadIconResource(kApplicationIcon));
}

} // namespace UI
