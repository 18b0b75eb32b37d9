// Reads two feeds from arbitrary bytes (the previous one before the first
// separator line, the current one after it) as the event monitor does, and
// searches the current one for new items. A feed that is analysed is valid,
// analysis fails only with a request failure, and the new items are exactly
// those after the last item carrying the guid of the newest item of the
// previous feed that the current one still holds.
#include "Check.h"

#include <Noctavi/HTTP/Error.h>
#include <Noctavi/HTTP/Parser.h>
#include <Noctavi/IS/AnalyzeRSSFeed.h>
#include <Noctavi/RSS/FindNewItems.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace {

using fuzz::Check;

const std::string kSeparator = "\n====\n";

std::unique_ptr<RSS::RSSFeed> Analyzed(const std::string& bytes)
{
    HTTP::XML::Parser parser;
    if (!parser.Parse(std::vector<unsigned char>(bytes.begin(), bytes.end())))
        return nullptr;
    try {
        std::unique_ptr<RSS::RSSFeed> feed = IS::AnalyzeRSSFeed()(parser);
        Check(feed && feed->IsValid());
        return feed;
    } catch (const HTTP::Error&) {
        return nullptr;
    }
}

// The guid of the newest item of previous that current still holds, if any.
const std::string* Anchor(const RSS::RSSFeed& previous, const RSS::ItemList& items)
{
    const RSS::ItemList& seen = previous.GetItemList();
    for (auto item = seen.rbegin(); item != seen.rend(); ++item) {
        const std::string& guid = item->GetGuid();
        if (std::any_of(items.begin(), items.end(), [&guid](const RSS::Item& held) { return held.GetGuid() == guid; }))
            return &guid;
    }
    return nullptr;
}

void CheckNewItems(const RSS::RSSFeed& previous, const RSS::RSSFeed& current)
{
    const RSS::ItemList& items = current.GetItemList();
    const RSS::ItemList::const_iterator first = RSS::FindNewItems(previous, current);
    Check(first >= items.begin() && first <= items.end());
    const std::string* const guid = Anchor(previous, items);
    if (!guid) {
        Check(first == items.begin());
        return;
    }
    const auto hasGuid = [guid](const RSS::Item& item) { return item.GetGuid() == *guid; };
    Check(std::none_of(first, items.end(), hasGuid));
    Check(first != items.begin() && hasGuid(*(first - 1)));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string bytes(data, data + size);
    const std::size_t split = bytes.find(kSeparator);
    if (split == std::string::npos) {
        Analyzed(bytes);
        return 0;
    }
    const std::unique_ptr<RSS::RSSFeed> previous = Analyzed(bytes.substr(0, split));
    const std::unique_ptr<RSS::RSSFeed> current = Analyzed(bytes.substr(split + kSeparator.size()));
    if (previous && current)
        CheckNewItems(*previous, *current);
    return 0;
}
