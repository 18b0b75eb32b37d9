#include <Noctavi/UI/DialogBuilder.h>

#include <Noctavi/UI/DialogItem.h>
#include <Noctavi/UI/DialogTemplate.h>
#include <Noctavi/UI/DialogUnits.h>
#include <Noctavi/UI/SpinButton.h>
#include <Noctavi/UI/Strings.h>

#include <QCheckBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRegularExpression>
#include <QRegularExpressionValidator>
#include <QTreeView>

namespace UI {

namespace {

QLabel* CreateStatic(QWidget& dialog)
{
    auto* label = new QLabel(&dialog);
    // Machine, user and event texts are shown as the characters they are.
    label->setTextFormat(Qt::PlainText);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setWordWrap(true);
    return label;
}

QLineEdit* CreateEdit(QWidget& dialog, ControlFlags flags)
{
    auto* edit = new QLineEdit(&dialog);
    if (flags.testFlag(ControlFlag::Password))
        edit->setEchoMode(QLineEdit::Password);
    if (flags.testFlag(ControlFlag::Digits))
        edit->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), edit));
    return edit;
}

QPushButton* CreatePushButton(QWidget& dialog, ControlFlags flags)
{
    auto* button = new QPushButton(&dialog);
    button->setDefault(flags.testFlag(ControlFlag::Default));
    return button;
}

// Column widths are the table's own: the last column is not stretched and
// columns keep their places.
QTreeView* CreateListView(QWidget& dialog)
{
    auto* view = new QTreeView(&dialog);
    view->setRootIsDecorated(false);
    view->setItemsExpandable(false);
    view->setUniformRowHeights(true);
    view->setAllColumnsShowFocus(true);
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->setSelectionMode(QAbstractItemView::SingleSelection);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->header()->setSectionsClickable(true);
    view->header()->setSectionsMovable(false);
    view->header()->setStretchLastSection(false);
    return view;
}

QWidget* CreateControl(QWidget& dialog, const ControlTemplate& control)
{
    switch (control.kind) {
    case ControlKind::GroupBox:
        return new QGroupBox(&dialog);
    case ControlKind::Static:
        return CreateStatic(dialog);
    case ControlKind::PushButton:
        return CreatePushButton(dialog, control.flags);
    case ControlKind::CheckBox:
        return new QCheckBox(&dialog);
    case ControlKind::Edit:
        return CreateEdit(dialog, control.flags);
    case ControlKind::ListBox:
        return new QListWidget(&dialog);
    case ControlKind::ListView:
        return CreateListView(dialog);
    case ControlKind::SpinButton:
        return new SpinButton(&dialog);
    }
    return new QWidget(&dialog);
}

void AddControl(QWidget& dialog, const ControlTemplate& control, const DialogUnits& units)
{
    QWidget* widget = CreateControl(dialog, control);
    widget->setObjectName(QString::number(control.id));
    widget->setGeometry(units.ToPixels(control.rect));
    if (control.stringId != kNoString)
        SetControlText(*widget, LoadString(control.stringId));
    widget->setEnabled(!control.flags.testFlag(ControlFlag::Disabled));
    widget->setHidden(control.flags.testFlag(ControlFlag::Hidden));
    if (control.kind == ControlKind::GroupBox)
        widget->lower();
}

} // namespace

void BuildDialog(QWidget& dialog, const DialogTemplate& table)
{
    const DialogUnits units(dialog.font());
    dialog.setWindowTitle(LoadString(table.captionId));
    dialog.setFixedSize(units.ToPixels(table.size));
    for (const ControlTemplate* control = table.begin; control != table.end; ++control)
        AddControl(dialog, *control, units);
}

} // namespace UI
