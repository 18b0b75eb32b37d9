#ifndef NOCTAVI_UI_VIRTUALLIST_CONTROL_H
#define NOCTAVI_UI_VIRTUALLIST_CONTROL_H

#include <Noctavi/UI/DialogUnits.h>
#include <Noctavi/UI/Formatting.h>
#include <Noctavi/UI/Guard.h>
#include <Noctavi/UI/VirtualList/BaseColumn.h>
#include <Noctavi/UI/VirtualList/ScopedLock.h>

#include <pelmo/exception.hpp>
#include <pelmo/logic_error.hpp>

#include <boost/optional.hpp>
#include <boost/shared_ptr.hpp>

#include <QAbstractTableModel>
#include <QFont>
#include <QHeaderView>
#include <QIcon>
#include <QItemSelectionModel>
#include <QTreeView>

#include <algorithm>
#include <cstddef>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace UI::VirtualList {

// The rows of a list view as a table model that holds only the keys of its
// rows, sorted by one column, and asks the source for a cell only when the
// view shows it. The selection stays on the same key when the keys are read
// again. A concrete list gives the source, the image list and its columns by
// name.
//
// It drives a list view of a dialog's table (ControlKind::ListView), which it
// does not own; the view must outlive it. Used on the view's thread only.
template <class SourceT>
class Control : public QAbstractTableModel {
public:
    typedef SourceT Source;
    typedef typename Source::Key Key;
    typedef typename Source::Keys Keys;
    typedef boost::shared_ptr<BaseColumn<Key>> ColumnPointer;

    // Becomes the view's model, so the view's selection model is new
    // afterwards.
    explicit Control(QTreeView& view)
        : view_(&view)
    {
        view.setModel(this);
        QObject::connect(view.header(), &QHeaderView::sectionClicked, this,
                         Guarded(&view, [this](int column) { OnColumnClick(column); }));
    }

    // Appends a column at its width. Throws pelmo::logic_error for none.
    void AddColumn(const ColumnPointer& column)
    {
        if (!column)
            PELMO_THROW(pelmo::logic_error());
        const int at = columnCount();
        beginInsertColumns(QModelIndex(), at, at);
        columns_.push_back(column);
        endInsertColumns();
        view_->header()->resizeSection(at, ScaleWidth(column->GetWidth()));
    }

    // The list's columns by name, in display order, with the widths that the
    // string lists.
    void AddColumns(const std::vector<std::string>& names, unsigned int widthsId)
    {
        const std::vector<int> widths = ParseWidthList(widthsId);
        for (std::size_t i = 0; i < names.size(); ++i)
            AddColumn(CreateColumn(names[i], widths.at(i)));
    }

    // The column whose order the rows take at the next update.
    void SetSortColumn(int column) { sortColumn_ = column; }

    // Reads the keys again: when they differ from the shown ones, sorts and
    // shows them; otherwise only redraws the rows.
    void Refresh()
    {
        const ScopedLock<Source> lock(*source_);
        std::unique_ptr<Keys> fresh = source_->GetKeys();
        if (!shown_ || KeysChanged(*shown_, *fresh))
            Show(std::move(fresh));
        else
            RedrawItems();
    }

    // Reads, sorts and shows the keys.
    void Update()
    {
        const ScopedLock<Source> lock(*source_);
        Show(source_->GetKeys());
    }

    // The key of a shown row; none for a row that is not shown.
    boost::optional<Key> GetKey(int row) const
    {
        if (!shown_ || row < 0 || static_cast<std::size_t>(row) >= shown_->size())
            return boost::none;
        return (*shown_)[static_cast<std::size_t>(row)];
    }

    // The selected row's key; none when no row is selected or its key no
    // longer denotes a row, so that a vanished row acts as no selection.
    boost::optional<Key> GetSelectedKey() const
    {
        const boost::optional<Key> key = SelectedRowKey();
        if (!key)
            return boost::none;
        const ScopedLock<Source> lock(*source_);
        return source_->Exists(*key) ? key : boost::none;
    }

    QTreeView& GetView() const { return *view_; }
    Source& GetSource() const { return *source_; }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override
    {
        return parent.isValid() || !shown_ ? 0 : static_cast<int>(shown_->size());
    }

    int columnCount(const QModelIndex& parent = QModelIndex()) const override
    {
        return parent.isValid() ? 0 : static_cast<int>(columns_.size());
    }

    // A cell's text, image or font; nothing for a key that has vanished
    // since the keys were read, which the next refresh removes.
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override
    {
        if (role != Qt::DisplayRole && role != Qt::DecorationRole && role != Qt::FontRole)
            return QVariant();
        const boost::optional<Key> key = GetKey(index.row());
        if (!key || index.column() < 0 || index.column() >= columnCount())
            return QVariant();
        const ScopedLock<Source> lock(*source_);
        if (!source_->Exists(*key))
            return QVariant();
        const BaseColumn<Key>& column = *columns_[static_cast<std::size_t>(index.column())];
        if (role == Qt::FontRole)
            return Font(column.IsBold(*key));
        return ToIcon(column.GetData(*key, role), role);
    }

    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override
    {
        if (orientation != Qt::Horizontal || section < 0 || section >= columnCount())
            return QVariant();
        return ToIcon(columns_[static_cast<std::size_t>(section)]->GetHeaderData(role), role);
    }

protected:
    // Whether keys read now differ from the shown ones enough to sort again:
    // by default when they differ in length or at any position.
    virtual bool KeysChanged(const Keys& shown, const Keys& fresh) const { return shown != fresh; }
    // The list's column of the name at the width; none for a name it does
    // not know.
    virtual ColumnPointer CreateColumn(const std::string& name, int width) const = 0;

    // Given once, before the view is used.
    void SetSource(Source& source) { source_ = &source; }
    // The images that columns name by index.
    void SetImageList(std::vector<QIcon> images) { images_ = std::move(images); }

private:
    // Sorting comes first, so that a comparison that fails leaves the shown
    // rows as they were.
    void Show(std::unique_ptr<Keys> fresh)
    {
        const boost::optional<Key> selected = SelectedRowKey();
        Sort(*fresh);
        beginResetModel();
        shown_.swap(fresh);
        endResetModel();
        if (selected)
            AdjustSelectedItem(*selected);
    }

    // Rows that compare equal keep the source's order.
    void Sort(Keys& keys) const
    {
        if (sortColumn_ < 0 || sortColumn_ >= columnCount())
            return;
        const BaseColumn<Key>& column = *columns_[static_cast<std::size_t>(sortColumn_)];
        std::stable_sort(keys.begin(), keys.end(),
                         [&column](const Key& a, const Key& b) { return column.Compare(a, b); });
    }

    // The selection moves to the key's new row, or to the first row when
    // the key is gone.
    void AdjustSelectedItem(const Key& key)
    {
        if (shown_->empty())
            return;
        const auto found = std::find(shown_->begin(), shown_->end(), key);
        const int row = found == shown_->end() ? 0 : static_cast<int>(found - shown_->begin());
        view_->selectionModel()->setCurrentIndex(index(row, 0),
                                                 QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    }

    void RedrawItems()
    {
        if (rowCount() > 0 && columnCount() > 0)
            Q_EMIT dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1));
    }

    // Each click inverts the clicked column's own direction, which starts
    // ascending; a failed update leaves the order as it was.
    void OnColumnClick(int column)
    {
        BaseColumn<Key>& clicked = *columns_.at(static_cast<std::size_t>(column));
        const int previous = sortColumn_;
        sortColumn_ = column;
        clicked.SetAscending(!clicked.IsAscending());
        try {
            Update();
        } catch (...) {
            clicked.SetAscending(!clicked.IsAscending());
            sortColumn_ = previous;
            throw;
        }
    }

    boost::optional<Key> SelectedRowKey() const
    {
        const QModelIndexList rows = view_->selectionModel()->selectedRows();
        return rows.isEmpty() ? boost::none : GetKey(rows.first().row());
    }

    QVariant ToIcon(const QVariant& value, int role) const
    {
        if (role != Qt::DecorationRole || !value.isValid())
            return value;
        const int image = value.toInt();
        return image >= 0 && static_cast<std::size_t>(image) < images_.size()
                   ? QVariant(images_[static_cast<std::size_t>(image)])
                   : QVariant();
    }

    // Widths are pixels of the Windows dialog font, whose characters average
    // 6 pixels; they grow with the view's font as the dialog's units do.
    int ScaleWidth(int width) const
    {
        constexpr int kWindowsBaseWidth = 6;
        return (DialogUnits(view_->font()).ToPixelsX(4 * width) + kWindowsBaseWidth / 2) / kWindowsBaseWidth;
    }

    // Only the weight is set, so that the view's own font gives the rest.
    static QFont Font(bool bold)
    {
        QFont font;
        font.setBold(bold);
        return font;
    }

    QTreeView* view_;
    Source* source_ = nullptr;
    std::vector<ColumnPointer> columns_;
    int sortColumn_ = 0;
    std::vector<QIcon> images_;
    // None until the first refresh.
    std::unique_ptr<Keys> shown_;
};

} // namespace UI::VirtualList

#endif
