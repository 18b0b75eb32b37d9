#include <support/ui/MessageBoxRecorder.h>

namespace support {

MessageBoxRecorder::MessageBoxRecorder(QMessageBox::StandardButton answer)
    : override_(UI::ShowMessageBox(), [this, answer](const UI::MessageBoxRequest& request) {
        requests_.push_back(request);
        return answer;
    })
{
}

} // namespace support
