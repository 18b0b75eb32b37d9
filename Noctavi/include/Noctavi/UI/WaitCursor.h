#ifndef NOCTAVI_UI_WAITCURSOR_H
#define NOCTAVI_UI_WAITCURSOR_H

namespace UI {

// Shows the wait cursor for its life, over every window of the program, while
// the GUI thread waits for something (a download, a subscription result) in a
// local event loop. Scopes nest; the last to end releases an exit held back
// meanwhile (DeferredExit). GUI thread only.
class WaitCursor {
public:
    WaitCursor();
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
    ~WaitCursor();

    static bool IsHeld();
};

} // namespace UI

#endif
