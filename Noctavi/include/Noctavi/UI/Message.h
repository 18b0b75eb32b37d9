#ifndef NOCTAVI_UI_MESSAGE_H
#define NOCTAVI_UI_MESSAGE_H

#include <QMessageBox>

class QWidget;

namespace UI {

// The program's message boxes, each bound to one string-table entry (the
// language catalogue replaces its text). They are modal to the given window,
// else to the active one, and return when the user has answered.
namespace Message {

void ApplicationInitFailed();
void CommunicationError();
void FileAccessFailed();
void SavingFailed();
void LoadSettingsFailed();
void SaveSettingsFailed();
void NoUsersRegistered();
void NoDeleteAuthority();

// Asks the string's question with Yes and No; true for Yes. Escape and
// closing the box answer No.
bool Affirmation(unsigned int stringId);

// Any string with an icon and an OK button.
void Show(unsigned int stringId, QMessageBox::Icon icon, QWidget* parent = nullptr);

} // namespace Message

} // namespace UI

#endif
