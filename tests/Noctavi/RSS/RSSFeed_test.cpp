#include <Noctavi/RSS/RSSFeed.h>

#include <gtest/gtest.h>

namespace {

using RSS::Item;
using RSS::RSSFeed;

const char kDate[] = "Tue, 09 Dec 2008 10:15:30 +0900";

Item ItemPublished(const std::string& pub)
{
    return Item("title", "http://127.0.0.1/thumb.jpg", "Box", "guid-1", pub);
}

TEST(RSSFeed, CopiesAreIndependent)
{
    RSSFeed original("title", "link", kDate, {ItemPublished(kDate)});
    RSSFeed copy(original);
    copy.SetTitle("changed");
    copy.SetItemList({});
    EXPECT_EQ(original.GetTitle(), "title");
    EXPECT_EQ(original.GetItemList().size(), 1u);

    RSSFeed assigned;
    assigned = original;
    original.SetDate("");
    EXPECT_EQ(assigned.GetDate(), kDate);
}

TEST(RSSFeed, ValidOnlyWithEveryTimeComparable)
{
    EXPECT_TRUE(RSSFeed("t", "l", kDate, {}).IsValid());
    EXPECT_TRUE(RSSFeed("t", "l", kDate, {ItemPublished("9 Dec 2008 10:15 GMT"), ItemPublished(kDate)}).IsValid());

    EXPECT_FALSE(RSSFeed().IsValid());
    EXPECT_FALSE(RSSFeed("t", "l", "not a date", {}).IsValid());
    EXPECT_FALSE(RSSFeed("t", "l", "31 Feb 2008 10:15 GMT", {}).IsValid());
    EXPECT_FALSE(RSSFeed("t", "l", kDate, {ItemPublished(kDate), ItemPublished("")}).IsValid());
    EXPECT_FALSE(RSSFeed("t", "l", kDate, {ItemPublished("30 Feb 2008 10:15 GMT")}).IsValid());
}

} // namespace
