#ifndef NOCTAVI_UI_VIRTUALLIST_BASECOLUMN_H
#define NOCTAVI_UI_VIRTUALLIST_BASECOLUMN_H

#include <QVariant>

namespace UI::VirtualList {

// One column of a list: what its header and cells show, how wide it starts,
// how it orders the rows and which rows it draws in bold. Images are indices
// into the list's image list. Cells are read with the source's lock held and
// only for keys that exist.
template <class Key>
class BaseColumn {
public:
    BaseColumn() = default;
    BaseColumn(const BaseColumn&) = delete;
    BaseColumn& operator=(const BaseColumn&) = delete;
    virtual ~BaseColumn() = default;

    // The direction the column sorts in; each column keeps its own.
    virtual bool IsAscending() const = 0;
    virtual void SetAscending(bool ascending) = 0;

    // The header's title (Qt::DisplayRole) or image (Qt::DecorationRole).
    virtual QVariant GetHeaderData(int role) const = 0;
    virtual int GetWidth() const = 0;
    // The cell's text (Qt::DisplayRole) or image (Qt::DecorationRole).
    virtual QVariant GetData(const Key& key, int role) const = 0;

    // The strict order of two keys in the column's current direction.
    virtual bool Compare(const Key& a, const Key& b) const = 0;
    virtual bool IsBold(const Key&) const { return false; }
};

} // namespace UI::VirtualList

#endif
