#include <Noctavi/RSS/FindNewItems.h>

#include <algorithm>

namespace RSS {

ItemList::const_iterator FindNewItems(const RSSFeed& previous, const RSSFeed& current)
{
    const ItemList& items = current.GetItemList();
    if (previous.GetItemList().empty())
        return items.begin();

    const std::string& lastSeen = previous.GetItemList().back().GetGuid();
    const auto match = std::find_if(items.rbegin(), items.rend(),
                                    [&lastSeen](const Item& item) { return item.GetGuid() == lastSeen; });
    // The base of a reverse iterator is the position just after the item it names.
    return match == items.rend() ? items.begin() : match.base();
}

} // namespace RSS
