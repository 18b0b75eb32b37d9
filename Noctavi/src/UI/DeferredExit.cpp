#include <Noctavi/UI/DeferredExit.h>

#include <Noctavi/UI/Guard.h>
#include <Noctavi/UI/WaitCursor.h>

#include <QCoreApplication>
#include <QTimer>

#include <utility>

namespace UI {

namespace {

std::function<void()> g_heldExit;

} // namespace

void DeferredExit::Request(std::function<void()> exit)
{
    if (!WaitCursor::IsHeld())
        exit();
    else if (!g_heldExit)
        g_heldExit = std::move(exit);
}

bool DeferredExit::IsRequested()
{
    return static_cast<bool>(g_heldExit);
}

void DeferredExit::Release()
{
    if (!g_heldExit)
        return;
    // Queued, so that the handler that held the cursor finishes first.
    QTimer::singleShot(0, QCoreApplication::instance(),
                       [exit = std::exchange(g_heldExit, nullptr)] { RunGuarded(nullptr, exit); });
}

} // namespace UI
