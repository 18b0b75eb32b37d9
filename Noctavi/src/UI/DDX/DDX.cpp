#include <Noctavi/UI/DDX/DDX.h>

#include <Noctavi/UI/DDX/DataExchange.h>
#include <Noctavi/UI/DialogItem.h>

#include <QAbstractButton>
#include <QLabel>
#include <QLineEdit>

namespace UI {

namespace {

QString TextOf(const QWidget& control)
{
    if (const auto* edit = qobject_cast<const QLineEdit*>(&control))
        return edit->text();
    if (const auto* label = qobject_cast<const QLabel*>(&control))
        return label->text();
    return QString();
}

// Reads the control's text when saving, or shows the given one when loading.
// Gives the control's text either way.
QString ExchangeText(DataExchange& exchange, int id, const QString& shown)
{
    QWidget& control = GetDlgItem(exchange.GetDialog(), id);
    if (!exchange.IsSaving())
        SetControlText(control, shown);
    return TextOf(control);
}

} // namespace

void DDX_Text(DataExchange& exchange, int id, std::wstring& value)
{
    value = ExchangeText(exchange, id, QString::fromStdWString(value)).toStdWString();
}

void DDX_Text(DataExchange& exchange, int id, boost::optional<std::wstring>& value)
{
    const QString text = ExchangeText(exchange, id, value ? QString::fromStdWString(*value) : QString());
    if (exchange.IsSaving())
        value = text.isEmpty() ? boost::none : boost::make_optional(text.toStdWString());
}

void DDX_Text(DataExchange& exchange, int id, boost::optional<int>& value)
{
    const QString text = ExchangeText(exchange, id, value ? QString::number(*value) : QString());
    if (!exchange.IsSaving())
        return;
    bool readable = false;
    const int number = text.toInt(&readable);
    value = readable ? boost::make_optional(number) : boost::none;
    if (!readable && !text.isEmpty())
        exchange.Fail();
}

void DDX_Check(DataExchange& exchange, int id, bool& value)
{
    auto& box = GetDlgItem<QAbstractButton>(exchange.GetDialog(), id);
    if (exchange.IsSaving())
        value = box.isChecked();
    else
        box.setChecked(value);
}

} // namespace UI
