#ifndef NOCTAVI_UI_MESSAGEBOXSEAM_H
#define NOCTAVI_UI_MESSAGEBOXSEAM_H

#include <Noctavi/UI/Seam.h>

#include <QMessageBox>
#include <QString>

#include <memory>

namespace UI {

// One message box as the program asks for it: the text, its icon and buttons,
// and the window it is modal to (none: modal to nothing).
struct MessageBoxRequest {
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons buttons = QMessageBox::Ok;
    QWidget* parent = nullptr;
};

// The box for a request, not shown: titled with the application's name, plain
// text, window-modal, and with No as its Escape answer when it has No.
std::unique_ptr<QMessageBox> CreateMessageBox(const MessageBoxRequest& request);

// Shows a request's box and waits for the answer (NoButton when the box was
// closed without one). Window-modal, so the tray and other windows stay usable.
QMessageBox::StandardButton ExecMessageBox(const MessageBoxRequest& request);

using MessageBoxSeam = Seam<QMessageBox::StandardButton(const MessageBoxRequest&)>;

// How the program shows its boxes: ExecMessageBox unless overridden.
MessageBoxSeam& ShowMessageBox();

} // namespace UI

#endif
