#ifndef NOCTAVI_UI_SINGLETONWND_H
#define NOCTAVI_UI_SINGLETONWND_H

#include <Noctavi/UI/WindowPlacement.h>

#include <functional>
#include <memory>

namespace UI {

// The one window of a modeless dialog type that the tray opens: a
// process-wide slot holding the current dialog, and a bar against opening it
// again once the program is on its way out. GUI thread only.
template <class Dialog>
class SingletonWnd {
public:
    using Factory = std::function<std::unique_ptr<Dialog>()>;

    // Brings the dialog to the front: the open one, or else a new one at the
    // work area's corner in place of the closed one. Nothing while barred.
    static void ShowOrCreate(const Factory& create = [] { return std::make_unique<Dialog>(); })
    {
        Slot& slot = GetSlot();
        if (slot.barred)
            return;
        if (!GetOpen()) {
            slot.dialog = create();
            MoveToWorkAreaCorner(*slot.dialog);
        }
        slot.dialog->show();
        slot.dialog->raise();
        slot.dialog->activateWindow();
    }

    // The dialog while it is on the screen, else null.
    static Dialog* GetOpen()
    {
        Dialog* dialog = GetSlot().dialog.get();
        return dialog && dialog->isVisible() ? dialog : nullptr;
    }

    // Takes the dialog off the screen and bars opening it again. It is not
    // deleted here, since this may run inside one of its own handlers.
    static void Close()
    {
        Slot& slot = GetSlot();
        slot.barred = true;
        if (slot.dialog)
            slot.dialog->hide();
    }

    // Deletes the dialog and lifts the bar: the slot is as it was at start.
    static void Release()
    {
        Slot& slot = GetSlot();
        slot.dialog.reset();
        slot.barred = false;
    }

private:
    struct Slot {
        std::unique_ptr<Dialog> dialog;
        bool barred = false;
    };

    static Slot& GetSlot()
    {
        static Slot slot;
        return slot;
    }
};

} // namespace UI

#endif
