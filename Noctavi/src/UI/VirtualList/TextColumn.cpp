#include <Noctavi/UI/VirtualList/TextColumn.h>

#include <Noctavi/UI/Strings.h>

namespace UI::VirtualList {

TextColumn::TextColumn(unsigned int titleId, int width)
    : title_(LoadString(titleId))
    , width_(width)
{
}

QVariant TextColumn::HeaderData(int role) const
{
    return role == Qt::DisplayRole ? QVariant(title_) : QVariant();
}

} // namespace UI::VirtualList
