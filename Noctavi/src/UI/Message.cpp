#include <Noctavi/UI/Message.h>

#include <Noctavi/UI/MessageBoxSeam.h>
#include <Noctavi/UI/Strings.h>

#include <QApplication>

namespace UI {

namespace Message {

namespace {

QMessageBox::StandardButton Ask(unsigned int stringId, QMessageBox::Icon icon, QMessageBox::StandardButtons buttons,
                                QWidget* parent)
{
    return ShowMessageBox()({LoadString(stringId), icon, buttons, parent ? parent : QApplication::activeWindow()});
}

void Warn(unsigned int stringId)
{
    Show(stringId, QMessageBox::Warning);
}

} // namespace

void ApplicationInitFailed() { Warn(175); }
void CommunicationError() { Warn(180); }
void FileAccessFailed() { Warn(178); }
void SavingFailed() { Warn(177); }
void LoadSettingsFailed() { Warn(113); }
void SaveSettingsFailed() { Warn(116); }
void NoUsersRegistered() { Show(161, QMessageBox::Information); }
void NoDeleteAuthority() { Warn(214); }

bool Affirmation(unsigned int stringId)
{
    return Ask(stringId, QMessageBox::Question, QMessageBox::Yes | QMessageBox::No, nullptr) == QMessageBox::Yes;
}

void Show(unsigned int stringId, QMessageBox::Icon icon, QWidget* parent)
{
    Ask(stringId, icon, QMessageBox::Ok, parent);
}

} // namespace Message

} // namespace UI
