#include <Noctavi/UI/UnreadImageList.h>

#include <Noctavi/UI/Icons.h>

namespace UI {

std::vector<QIcon> LoadUnreadImageList()
{
    return {LoadIconResource(kUnreadColumnIcon), LoadIconResource(kReadItemIcon), LoadIconResource(kUnreadItemIcon)};
}

} // namespace UI
