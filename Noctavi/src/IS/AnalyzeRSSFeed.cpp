#include <Noctavi/IS/AnalyzeRSSFeed.h>

#include <Noctavi/IS/AnalyzeItem.h>

#include "FeedText.h"

namespace IS {

std::unique_ptr<RSS::RSSFeed> AnalyzeRSSFeed::operator()(const HTTP::XML::Parser& parser) const
{
    using HTTP::XML::Parser;
    const Parser::Iterator channel = parser.Find("CHANNEL");
    if (channel == Parser::End())
        PELMO_THROW(InvalidRSSFeed());
    auto feed = std::make_unique<RSS::RSSFeed>();
    feed->SetTitle(detail::RequiredText(channel, "TITLE"));
    feed->SetLink(detail::RequiredText(channel, "LINK"));
    feed->SetDate(detail::RequiredText(channel, "LASTBUILDDATE"));

    RSS::ItemList items;
    AnalyzeItem analyze;
    for (Parser::Iterator item = Parser::FindInRun(channel.Children(), "ITEM"); item != Parser::End();
         item = Parser::FindInRun(++item, "ITEM"))
        items.push_back(analyze(item));
    feed->SetItemList(items);

    if (!feed->IsValid())
        PELMO_THROW(InvalidRSSFeed());
    return feed;
}

} // namespace IS

