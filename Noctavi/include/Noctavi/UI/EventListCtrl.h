#ifndef NOCTAVI_UI_EVENTLISTCTRL_H
#define NOCTAVI_UI_EVENTLISTCTRL_H

#include <Noctavi/UI/EventListSource.h>
#include <Noctavi/UI/VirtualList/Control.h>

namespace UI {

// The list of one entry's logged events (event log viewer); unread events
// are drawn in bold. Its columns: "UnreadIconColumn", "EventNameColumn",
// "TimeColumn" and "InfoColumn".
class EventListCtrl : public VirtualList::Control<EventListSource> {
public:
    // Throws SystemError when an image cannot be loaded.
    EventListCtrl(QTreeView& view, EventListSource& source);

protected:
    ColumnPointer CreateColumn(const std::string& name, int width) const override;
};

} // namespace UI

#endif
