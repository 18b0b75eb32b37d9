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
    enum { Title, Link, LastBuildDate, ChildCount };
    const auto children = detail::FirstChildren<ChildCount>(channel, {"TITLE", "LINK", "LASTBUILDDATE"});
    auto feed = std::make_unique<RSS::RSSFeed>();
    feed->SetTitle(detail::RequiredText(children[Title]));
    feed->SetLink(detail::RequiredText(children[Link]));
    feed->SetDate(detail::RequiredText(children[LastBuildDate]));

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

