#ifndef NOCTAVI_TESTS_SUPPORT_UI_DIALOGCONTROLS_H
#define NOCTAVI_TESTS_SUPPORT_UI_DIALOGCONTROLS_H

#include <Noctavi/UI/DialogItem.h>

#include <QAbstractButton>
#include <QWidget>

namespace support {

// A dialog's control by its id, as the tests reach it.
template <class T = QWidget>
T& Item(const QWidget& dialog, int id)
{
    return UI::GetDlgItem<T>(dialog, id);
}

// Clicks the dialog's button with the id, as the user would.
inline void Click(const QWidget& dialog, int id)
{
    Item<QAbstractButton>(dialog, id).click();
}

} // namespace support

#endif
