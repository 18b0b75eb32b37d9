#include <Noctavi/UI/WindowPlacement.h>

#include <QGuiApplication>
#include <QPoint>
#include <QRect>
#include <QScreen>
#include <QWidget>

namespace UI {

namespace {

// The widget's rectangle on the screen, a window's frame included.
QRect ScreenRect(const QWidget& widget)
{
    if (widget.isWindow())
        return widget.frameGeometry();
    return {widget.mapToGlobal(QPoint(0, 0)), widget.size()};
}

QPoint Center(const QRect& rect)
{
    const int right = rect.x() + rect.width();
    const int bottom = rect.y() + rect.height();
    return {(rect.x() + right) / 2, (rect.y() + bottom) / 2};
}

} // namespace

void MoveToWorkAreaCorner(QWidget& window)
{
    const QRect workArea = QGuiApplication::primaryScreen()->availableGeometry();
    const QRect frame = window.frameGeometry();
    window.move(workArea.x() + workArea.width() - frame.width(), workArea.y() + workArea.height() - frame.height());
}

void CenterOver(QWidget& window, const QWidget& reference)
{
    const QRect rect = ScreenRect(window);
    const QPoint topLeft = rect.topLeft() + Center(ScreenRect(reference)) - Center(rect);
    window.move(window.isWindow() ? topLeft : window.parentWidget()->mapFromGlobal(topLeft));
}

} // namespace UI
