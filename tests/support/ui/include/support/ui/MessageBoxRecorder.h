#ifndef NOCTAVI_TESTS_SUPPORT_UI_MESSAGEBOXRECORDER_H
#define NOCTAVI_TESTS_SUPPORT_UI_MESSAGEBOXRECORDER_H

#include <Noctavi/UI/MessageBoxSeam.h>

#include <QStringList>

#include <functional>
#include <vector>

namespace support {

// Stands in for every message box for its life: records each request and
// answers at once with the button given, so that no test blocks on a box.
class MessageBoxRecorder {
public:
    explicit MessageBoxRecorder(QMessageBox::StandardButton answer = QMessageBox::NoButton);

    const std::vector<UI::MessageBoxRequest>& Requests() const { return requests_; }
    // The boxes' texts, in order.
    QStringList Texts() const;
    void Clear() { requests_.clear(); }

    // Runs while each later box is open, before it is answered: what the
    // user could do meanwhile.
    void WhileOpen(std::function<void()> action) { whileOpen_ = std::move(action); }

private:
    std::vector<UI::MessageBoxRequest> requests_;
    std::function<void()> whileOpen_ = [] {};
    UI::MessageBoxSeam::Override override_;
};

} // namespace support

#endif
