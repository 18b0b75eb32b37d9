#ifndef NOCTAVI_UI_UNREADIMAGELIST_H
#define NOCTAVI_UI_UNREADIMAGELIST_H

#include <QIcon>

#include <vector>

namespace UI {

// The images of the entry and event lists, by their index in the list.
enum UnreadImage : int {
    kUnreadHeaderImage = 0, // the unread column's header
    kNothingUnreadImage = 1,
    kUnreadImage = 2,
};

// The icons in the order of their indices. Throws SystemError when one cannot
// be loaded.
std::vector<QIcon> LoadUnreadImageList();

} // namespace UI

#endif
