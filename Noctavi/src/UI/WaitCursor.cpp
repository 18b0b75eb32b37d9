#include <Noctavi/UI/WaitCursor.h>

#include <Noctavi/UI/Guard.h>

#include <QCoreApplication>
#include <QCursor>
#include <QGuiApplication>
#include <QTimer>

#include <utility>

namespace UI {

namespace {

int g_held = 0;
std::function<void()> g_deferredExit;

} // namespace

WaitCursor::WaitCursor()
{
    QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
    ++g_held;
}

WaitCursor::~WaitCursor()
{
    QGuiApplication::restoreOverrideCursor();
    if (--g_held == 0 && g_deferredExit) {
        // Queued, so that the handler that held the cursor finishes first.
        QTimer::singleShot(0, QCoreApplication::instance(),
                           [exit = std::exchange(g_deferredExit, nullptr)] { RunGuarded(nullptr, exit); });
    }
}

bool WaitCursor::IsHeld()
{
    return g_held > 0;
}

void WaitCursor::RequestExit(std::function<void()> exit)
{
    if (!IsHeld())
        exit();
    else if (!g_deferredExit)
        g_deferredExit = std::move(exit);
}

bool WaitCursor::IsExitRequested()
{
    return static_cast<bool>(g_deferredExit);
}

} // namespace UI
