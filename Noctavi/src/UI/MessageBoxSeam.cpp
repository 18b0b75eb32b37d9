#include <Noctavi/UI/MessageBoxSeam.h>

#include <Noctavi/UI/Strings.h>

#include <QPointer>

namespace UI {

std::unique_ptr<QMessageBox> CreateMessageBox(const MessageBoxRequest& request)
{
    auto box = std::make_unique<QMessageBox>(request.icon, LoadString(kApplicationNameString), request.text,
                                             request.buttons, request.parent);
    box->setTextFormat(Qt::PlainText);
    box->setWindowModality(Qt::WindowModal);
    if (request.buttons.testFlag(QMessageBox::No))
        box->setEscapeButton(QMessageBox::No);
    return box;
}

QMessageBox::StandardButton ExecMessageBox(const MessageBoxRequest& request)
{
    // The parent may be deleted while the box waits, and the box with it.
    QPointer<QMessageBox> box(CreateMessageBox(request).release());
    const int answer = box->exec();
    delete box;
    return static_cast<QMessageBox::StandardButton>(answer);
}

MessageBoxSeam& ShowMessageBox()
{
    static MessageBoxSeam seam(&ExecMessageBox);
    return seam;
}

} // namespace UI
