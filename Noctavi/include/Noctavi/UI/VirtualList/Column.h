#ifndef NOCTAVI_UI_VIRTUALLIST_COLUMN_H
#define NOCTAVI_UI_VIRTUALLIST_COLUMN_H

#include <Noctavi/UI/VirtualList/BaseColumn.h>

#include <QVariant>

#include <utility>

namespace UI::VirtualList {

// A column of a kind (TextColumn or ImageColumn) over the model its cells are
// read from. A concrete column says what a cell shows (GetCell) and, when it
// differs from the order of what the cells show, the ascending order (Less);
// descending swaps the two operands, so equal rows stay equal either way.
template <class Model, class Key, class Kind>
class Column : public BaseColumn<Key>, public Kind {
public:
    typedef typename Kind::Cell Cell;

    // The kind's arguments follow the model: a text column's title string
    // and width, an image column's width.
    template <class... KindArgs>
    explicit Column(const Model& model, KindArgs&&... kindArgs)
        : Kind(std::forward<KindArgs>(kindArgs)...)
        , model_(&model)
    {
    }

    bool IsAscending() const override { return ascending_; }
    void SetAscending(bool ascending) override { ascending_ = ascending; }

    QVariant GetHeaderData(int role) const override { return Kind::HeaderData(role); }
    int GetWidth() const override { return Kind::Width(); }
    QVariant GetData(const Key& key, int role) const override
    {
        return role == Kind::kCellRole ? QVariant::fromValue(GetCell(key)) : QVariant();
    }

    bool Compare(const Key& a, const Key& b) const final { return ascending_ ? Less(a, b) : Less(b, a); }

protected:
    const Model& GetModel() const { return *model_; }

    // What the key's cell shows: its text, or its image's index.
    virtual Cell GetCell(const Key& key) const = 0;
    // The ascending order.
    virtual bool Less(const Key& a, const Key& b) const { return GetCell(a) < GetCell(b); }

private:
    const Model* model_;
    bool ascending_ = true;
};

} // namespace UI::VirtualList

#endif
