#include <support/ui/ListViewHost.h>

#include <Noctavi/UI/DialogBuilder.h>
#include <Noctavi/UI/DialogItem.h>
#include <Noctavi/UI/DialogTemplate.h>

#include <QFont>
#include <QItemSelectionModel>
#include <QTreeView>

namespace support {

namespace {

constexpr int kListId = 1050;
constexpr UI::ControlTemplate kControls[] = {{kListId, UI::ControlKind::ListView, {7, 7, 300, 150}}};
constexpr UI::DialogTemplate kDialog(155, {314, 164}, kControls);

} // namespace

ListViewHost::ListViewHost()
{
    // Characters of 7 pixels on average, a sixth wider than Windows' dialog font.
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(11);
    dialog_.setFont(font);
    UI::BuildDialog(dialog_, kDialog);
}

QTreeView& ListViewHost::View() const
{
    return UI::GetDlgItem<QTreeView>(dialog_, kListId);
}

QStringList ListViewHost::ColumnTexts(int column) const
{
    const QAbstractItemModel& model = *View().model();
    QStringList texts;
    for (int row = 0; row < model.rowCount(); ++row)
        texts << model.index(row, column).data().toString();
    return texts;
}

QList<int> ListViewHost::SelectedRows() const
{
    QList<int> rows;
    for (const QModelIndex& index : View().selectionModel()->selectedRows())
        rows << index.row();
    return rows;
}

} // namespace support
