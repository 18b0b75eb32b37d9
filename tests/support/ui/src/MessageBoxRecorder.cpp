#include <support/ui/MessageBoxRecorder.h>

namespace support {

MessageBoxRecorder::MessageBoxRecorder(QMessageBox::StandardButton answer)
    : override_(UI::ShowMessageBox(), [this, answer](const UI::MessageBoxRequest& request) {
        requests_.push_back(request);
        whileOpen_();
        return answer;
    })
{
}

QStringList MessageBoxRecorder::Texts() const
{
    QStringList texts;
    for (const UI::MessageBoxRequest& request : requests_)
        texts << request.text;
    return texts;
}

} // namespace support
