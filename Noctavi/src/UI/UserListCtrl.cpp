#include <Noctavi/UI/UserListCtrl.h>

#include <Noctavi/IS/User.h>
#include <Noctavi/UI/Formatting.h>
#include <Noctavi/UI/VirtualList/Column.h>
#include <Noctavi/UI/VirtualList/TextColumn.h>

#include <boost/make_shared.hpp>

namespace UI {

namespace {

typedef UserListSource::Key Key;
typedef VirtualList::Column<UserListSource, Key, VirtualList::TextColumn> UserColumn;

constexpr unsigned int kNumberTitle = 133;
constexpr unsigned int kUserNameTitle = 122;

struct IndexColumn : UserColumn {
    using UserColumn::UserColumn;

    // At least three digits, wider numbers in full.
    QString GetCell(const Key& index) const override
    {
        return QString::asprintf("%03u", static_cast<unsigned int>(Number(index)));
    }
    bool Less(const Key& a, const Key& b) const override { return Number(a) < Number(b); }

    long Number(const Key& index) const { return GetModel().GetUser(index).GetNumber(); }
};

struct NameColumn : UserColumn {
    using UserColumn::UserColumn;

    QString GetCell(const Key& index) const override { return GetDisplayName(GetModel().GetUser(index)); }
};

} // namespace

UserListCtrl::UserListCtrl(QTreeView& view)
    : Control(view)
{
    SetSource(source_);
}

bool UserListCtrl::KeysChanged(const Keys&, const Keys&) const
{
    return true;
}

UserListCtrl::ColumnPointer UserListCtrl::CreateColumn(const std::string& name, int width) const
{
    if (name == "IndexColumn")
        return boost::make_shared<IndexColumn>(source_, kNumberTitle, width);
    if (name == "NameColumn")
        return boost::make_shared<NameColumn>(source_, kUserNameTitle, width);
    return ColumnPointer();
}

} // namespace UI
