#ifndef NOCTAVI_UI_DIALOGITEM_H
#define NOCTAVI_UI_DIALOGITEM_H

#include <pelmo/exception.hpp>
#include <pelmo/logic_error.hpp>

#include <QString>
#include <QWidget>

#include <functional>
#include <initializer_list>

namespace UI {

// The dialog's control with the id (its objectName in decimal), as a T.
// Throws pelmo::logic_error when there is none of that kind, instead of
// leaving the caller a null pointer: a dialog's table and its code disagree.
template <class T = QWidget>
T& GetDlgItem(const QWidget& dialog, int id)
{
    T* item = dialog.findChild<T*>(QString::number(id));
    if (!item)
        PELMO_THROW(pelmo::logic_error());
    return *item;
}

// Sets what a control shows as its text: a label's or a button's text, a
// group box's title, an edit's contents. Other controls have none.
void SetControlText(QWidget& control, const QString& text);

// Sets a control's text to a string-table entry, so that the language
// catalogue replaces what the dialog's table gave.
void SetDlgItemTextFromString(QWidget& dialog, int controlId, unsigned int stringId);

// Runs the handler on every change of an edit's text and every click of a
// button among the dialog's controls (pelmo::logic_error for an id of none).
void ConnectChanges(QWidget& dialog, std::initializer_list<int> controlIds, const std::function<void()>& onChange);

} // namespace UI

#endif
