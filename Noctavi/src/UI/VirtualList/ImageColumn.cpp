#include <Noctavi/UI/VirtualList/ImageColumn.h>

namespace UI::VirtualList {

ImageColumn::ImageColumn(int width)
    : width_(width)
{
}

QVariant ImageColumn::HeaderData(int role) const
{
    return role == Qt::DecorationRole ? QVariant(headerImage_) : QVariant();
}

} // namespace UI::VirtualList
