#ifndef NOCTAVI_UI_ICONS_H
#define NOCTAVI_UI_ICONS_H

#include <QIcon>

class QWidget;

namespace UI {

// Icon resources by their ids.
enum IconId : int {
    kApplicationIcon = 128,  // the program; the tray with nothing unread
    kUnreadTrayIcon = 141,   // the tray with some event unread
    kUnreadColumnIcon = 139, // the lists' header of the unread column
    kUnreadItemIcon = 140,   // a list row with something unread
    kReadItemIcon = 142,     // a list row with nothing unread
    kUnreadCountIcon = 208,  // beside an unread count above 0
    kNoUnreadCountIcon = 209 // beside an unread count of 0
};

// The icon compiled in for the id (a scalable drawing). Throws SystemError
// (ENOENT) when there is none or it cannot be drawn.
QIcon LoadIconResource(int id);

// Gives a window the program's icon.
void SetWindowIcon(QWidget& window);

} // namespace UI

#endif
