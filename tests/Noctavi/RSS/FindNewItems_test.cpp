#include <Noctavi/RSS/FindNewItems.h>

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <vector>

namespace {

using RSS::FindNewItems;
using RSS::RSSFeed;

RSSFeed FeedWithGuids(std::initializer_list<const char*> guids)
{
    RSS::ItemList items;
    for (const char* guid : guids)
        items.emplace_back("title", "", "Box", guid, "9 Dec 2008 10:15 GMT");
    return RSSFeed("feed", "link", "9 Dec 2008 10:15 GMT", items);
}

std::vector<std::string> NewGuids(const RSSFeed& previous, const RSSFeed& current)
{
    std::vector<std::string> guids;
    for (auto item = FindNewItems(previous, current); item != current.GetItemList().end(); ++item)
        guids.push_back(item->GetGuid());
    return guids;
}

using Guids = std::vector<std::string>;

TEST(FindNewItems, ItemsAfterTheLastOneSeen)
{
    const RSSFeed previous = FeedWithGuids({"a", "b", "c"});
    EXPECT_EQ(NewGuids(previous, FeedWithGuids({"a", "b", "c", "d", "e"})), (Guids{"d", "e"}));
    EXPECT_EQ(NewGuids(previous, FeedWithGuids({"c", "d"})), Guids{"d"});
    EXPECT_EQ(NewGuids(previous, FeedWithGuids({"a", "b", "c"})), Guids{});
    EXPECT_EQ(NewGuids(previous, previous), Guids{});
}

TEST(FindNewItems, EverythingIsNewWithoutAnAnchor)
{
    const RSSFeed current = FeedWithGuids({"d", "e"});
    EXPECT_EQ(NewGuids(RSSFeed(), current), (Guids{"d", "e"}));
    EXPECT_EQ(NewGuids(FeedWithGuids({"a", "b", "c"}), current), (Guids{"d", "e"}));
    EXPECT_EQ(NewGuids(RSSFeed(), RSSFeed()), Guids{});
    EXPECT_EQ(NewGuids(FeedWithGuids({"a"}), RSSFeed()), Guids{});
}

// A deleted newest document must not make the older ones new again.
TEST(FindNewItems, WithoutThePreviousLastItemTheNewestStillHeldAnchors)
{
    const RSSFeed previous = FeedWithGuids({"a", "b", "c"});
    EXPECT_EQ(NewGuids(previous, FeedWithGuids({"a", "b"})), Guids{});
    EXPECT_EQ(NewGuids(previous, FeedWithGuids({"a", "b", "d"})), Guids{"d"});
    EXPECT_EQ(NewGuids(previous, FeedWithGuids({"a", "d", "e"})), (Guids{"d", "e"}));
    // Previous's order decides which item anchors, not current's.
    EXPECT_EQ(NewGuids(previous, FeedWithGuids({"b", "x", "a", "y"})), (Guids{"x", "a", "y"}));
}

TEST(FindNewItems, OnlyThePreviousLastItemCountsAndTheLatestMatchWins)
{
    // "a" and "b" vanished; only "c" anchors the search.
    EXPECT_EQ(NewGuids(FeedWithGuids({"a", "b", "c"}), FeedWithGuids({"x", "c", "y"})), Guids{"y"});
    // Reordered items play no part.
    EXPECT_EQ(NewGuids(FeedWithGuids({"a", "b", "c"}), FeedWithGuids({"c", "b", "a"})), (Guids{"b", "a"}));
    EXPECT_EQ(NewGuids(FeedWithGuids({"c"}), FeedWithGuids({"c", "d", "c", "e"})), Guids{"e"});
    // Guids compare exactly.
    EXPECT_EQ(NewGuids(FeedWithGuids({"C"}), FeedWithGuids({"c", "d"})), (Guids{"c", "d"}));
}

} // namespace
