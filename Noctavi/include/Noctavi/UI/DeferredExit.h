#ifndef NOCTAVI_UI_DEFERREDEXIT_H
#define NOCTAVI_UI_DEFERREDEXIT_H

#include <functional>

namespace UI {

// An exit asked for while the GUI thread waits under a WaitCursor must not
// pull the program down under the waiting handler: it is held until the last
// wait cursor has ended. GUI thread only.
class DeferredExit {
public:
    DeferredExit() = delete;

    // Runs the exit now when no wait cursor is held, else from the event loop
    // once the last one has ended. Asked for again while one waits, the first
    // exit stands.
    static void Request(std::function<void()> exit);
    // True while an exit asked for during a wait is held back, so that a
    // long wait can give up early.
    static bool IsRequested();
    // Queues the held exit, if any; the last wait cursor calls it as it ends.
    static void Release();
};

} // namespace UI

#endif
