#ifndef NOCTAVI_UI_USERLISTCTRL_H
#define NOCTAVI_UI_USERLISTCTRL_H

#include <Noctavi/UI/UserListSource.h>
#include <Noctavi/UI/VirtualList/Control.h>

namespace UI {

// The list of a machine's users (add-users wizard), over a source of its
// own. Its columns: "IndexColumn" and "NameColumn".
class UserListCtrl : public VirtualList::Control<UserListSource> {
public:
    explicit UserListCtrl(QTreeView& view);

protected:
    // The users are replaced without their keys changing, so every refresh
    // shows them again.
    bool KeysChanged(const Keys& shown, const Keys& fresh) const override;
    ColumnPointer CreateColumn(const std::string& name, int width) const override;

private:
    UserListSource source_;
};

} // namespace UI

#endif
