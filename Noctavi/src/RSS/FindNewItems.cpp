#include <Noctavi/RSS/FindNewItems.h>

#include <string>
#include <unordered_map>

namespace RSS {

namespace {

// Each guid's last position in the list, so that a feed of any length is
// searched in one pass over each list.
std::unordered_map<std::string, ItemList::size_type> LastPositions(const ItemList& items)
{
    std::unordered_map<std::string, ItemList::size_type> positions;
    for (ItemList::size_type i = 0; i < items.size(); ++i)
        positions[items[i].GetGuid()] = i;
    return positions;
}

} // namespace

ItemList::const_iterator FindNewItems(const RSSFeed& previous, const RSSFeed& current)
{
    const ItemList& items = current.GetItemList();
    const ItemList& seen = previous.GetItemList();
    if (seen.empty())
        return items.begin();
    const auto positions = LastPositions(items);
    for (auto item = seen.rbegin(); item != seen.rend(); ++item) {
        const auto found = positions.find(item->GetGuid());
        if (found != positions.end())
            return items.begin() + static_cast<ItemList::difference_type>(found->second + 1);
    }
    return items.begin();
}

} // namespace RSS
