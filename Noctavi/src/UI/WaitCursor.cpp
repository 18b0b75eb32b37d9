#include <Noctavi/UI/WaitCursor.h>

#include <Noctavi/UI/DeferredExit.h>

#include <QCursor>
#include <QGuiApplication>

namespace UI {

namespace {

int g_held = 0;

} // namespace

WaitCursor::WaitCursor()
{
    QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
    ++g_held;
}

WaitCursor::~WaitCursor()
{
    QGuiApplication::restoreOverrideCursor();
    if (--g_held == 0)
        DeferredExit::Release();
}

bool WaitCursor::IsHeld()
{
    return g_held > 0;
}

} // namespace UI
