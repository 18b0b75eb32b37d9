#ifndef NOCTAVI_TESTS_SUPPORT_UI_LISTVIEWHOST_H
#define NOCTAVI_TESTS_SUPPORT_UI_LISTVIEWHOST_H

#include <QDialog>
#include <QStringList>

class QTreeView;

namespace support {

// A dialog that holds one list view as a dialog's table makes it, for a list
// control to drive. Its font is DejaVu Sans at 11 pixels, so that column
// widths scale by 7/6.
class ListViewHost {
public:
    ListViewHost();

    QTreeView& View() const;
    // What a column shows in each row, top to bottom.
    QStringList ColumnTexts(int column) const;
    // The selected rows.
    QList<int> SelectedRows() const;

private:
    QDialog dialog_;
};

} // namespace support

#endif
