#ifndef NOCTAVI_TESTS_SUPPORT_UI_MESSAGEBOXRECORDER_H
#define NOCTAVI_TESTS_SUPPORT_UI_MESSAGEBOXRECORDER_H

#include <Noctavi/UI/MessageBox.h>

#include <vector>

namespace support {

// Stands in for every message box for its life: records each request and
// answers at once with the button given, so that no test blocks on a box.
class MessageBoxRecorder {
public:
    explicit MessageBoxRecorder(QMessageBox::StandardButton answer = QMessageBox::NoButton);

    const std::vector<UI::MessageBoxRequest>& Requests() const { return requests_; }

private:
    std::vector<UI::MessageBoxRequest> requests_;
    UI::MessageBoxSeam::Override override_;
};

} // namespace support

#endif
