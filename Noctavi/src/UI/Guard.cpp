#include <Noctavi/UI/Guard.h>

#include <Noctavi/UI/Message.h>
#include <Noctavi/UI/Strings.h>
#include <Noctavi/Utility/Trace.h>

namespace UI {

bool RunGuarded(QWidget* window, const std::function<void()>& handler) noexcept
{
    try {
        handler();
        return true;
    } catch (...) {
        Utility::TraceFailure(Utility::kTraceUi, "a window's handler failed");
    }
    try {
        Message::Show(kUnsupportedOperationString, QMessageBox::Critical, window);
    } catch (...) {
        Utility::TraceFailure(Utility::kTraceUi, "the box reporting a failed handler could not be shown");
        // The trace is all that is left to report it with.
    }
    return false;
}

} // namespace UI
