#ifndef NOCTAVI_UI_ENTRYLISTCTRL_H
#define NOCTAVI_UI_ENTRYLISTCTRL_H

#include <Noctavi/UI/EntryListSource.h>
#include <Noctavi/UI/VirtualList/Control.h>

namespace UI {

// The list of monitored entries (settings dialog, event log viewer). Its
// columns: "UnreadIconColumn", "MFPNameColumn", "StatusColumn",
// "UserNameColumn" and "EnableNoticeColumn".
class EntryListCtrl : public VirtualList::Control<EntryListSource> {
public:
    // Throws SystemError when an image cannot be loaded.
    EntryListCtrl(QTreeView& view, EntryListSource& source);

protected:
    ColumnPointer CreateColumn(const std::string& name, int width) const override;
};

} // namespace UI

#endif
