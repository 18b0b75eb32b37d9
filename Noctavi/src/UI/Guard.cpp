#include <Noctavi/UI/Guard.h>

#include <Noctavi/UI/Message.h>
#include <Noctavi/UI/Strings.h>

namespace UI {

bool RunGuarded(QWidget* window, const std::function<void()>& handler) noexcept
{
    try {
        handler();
        return true;
    } catch (...) {
    }
    try {
        Message::Show(kUnsupportedOperationString, QMessageBox::Critical, window);
    } catch (...) {
        // Nothing is left to report it with.
    }
    return false;
}

} // namespace UI
