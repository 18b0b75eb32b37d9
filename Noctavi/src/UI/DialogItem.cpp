#include <Noctavi/UI/DialogItem.h>

#include <Noctavi/UI/Strings.h>

#include <QAbstractButton>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>

namespace UI {

void SetControlText(QWidget& control, const QString& text)
{
    if (auto* button = qobject_cast<QAbstractButton*>(&control))
        button->setText(text);
    else if (auto* label = qobject_cast<QLabel*>(&control))
        label->setText(text);
    else if (auto* group = qobject_cast<QGroupBox*>(&control))
        group->setTitle(text);
    else if (auto* edit = qobject_cast<QLineEdit*>(&control))
        edit->setText(text);
}

void SetDlgItemTextFromString(QWidget& dialog, int controlId, unsigned int stringId)
{
    SetControlText(GetDlgItem(dialog, controlId), LoadString(stringId));
}

void ConnectChanges(QWidget& dialog, std::initializer_list<int> controlIds, const std::function<void()>& onChange)
{
    for (int id : controlIds) {
        QWidget& control = GetDlgItem(dialog, id);
        if (auto* edit = qobject_cast<QLineEdit*>(&control))
            QObject::connect(edit, &QLineEdit::textChanged, &dialog, onChange);
        else if (auto* button = qobject_cast<QAbstractButton*>(&control))
            QObject::connect(button, &QAbstractButton::clicked, &dialog, onChange);
    }
}

} // namespace UI
