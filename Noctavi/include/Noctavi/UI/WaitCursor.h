#ifndef NOCTAVI_UI_WAITCURSOR_H
#define NOCTAVI_UI_WAITCURSOR_H

#include <functional>

namespace UI {

// Shows the wait cursor for its life, over every window of the program, while
// the GUI thread waits for something (a download, a subscription result) in a
// local event loop. Scopes nest. GUI thread only.
//
// An exit asked for during such a wait must not pull the program down under
// the waiting handler: RequestExit holds it until the last scope has ended.
class WaitCursor {
public:
    WaitCursor();
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
    ~WaitCursor();

    static bool IsHeld();

    // Runs the exit now when no wait cursor is held, else from the event loop
    // once the last one has ended. Asked for again while one waits, the first
    // exit stands.
    static void RequestExit(std::function<void()> exit);
    // True while an exit asked for during a wait is held back, so that a
    // long wait can give up early.
    static bool IsExitRequested();
};

} // namespace UI

#endif
