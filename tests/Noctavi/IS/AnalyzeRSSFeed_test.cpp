#include <Noctavi/HTTP/InvalidContentType.h>
#include <Noctavi/IS/AnalyzeRSSFeed.h>
#include <Noctavi/IS/InvalidRSSFeed.h>

#include <gtest/gtest.h>

#include <map>

namespace {

const char kDate[] = "Tue, 09 Dec 2008 10:15:30 +0900";

struct ItemText {
    std::string guid;
    std::string description = "<description>&lt;a href=\"http://m/t?DC=1\"&gt;x&lt;/a&gt;</description>";
    std::string pub = kDate;
};

std::string Item(const ItemText& item)
{
    return "<item><title>Doc " + item.guid + "</title>" + item.description + "<category>Box</category><guid>" +
           item.guid + "</guid><pubDate>" + item.pub + "</pubDate></item>";
}

std::string Feed(const std::string& items, const std::string& date = kDate)
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
           "<rss version=\"2.0\" xmlns:atom=\"http://www.w3.org/2005/Atom\"><channel>"
           "<title>Box of Ann</title><atom:link href=\"http://elsewhere/\" rel=\"self\"/>"
           "<link>http://m/noctavi.htm</link><lastBuildDate>" +
           date + "</lastBuildDate>" + items + "</channel></rss>";
}

std::unique_ptr<RSS::RSSFeed> Analyzed(const std::string& text)
{
    HTTP::XML::Parser parser;
    EXPECT_TRUE(parser.Parse(std::vector<unsigned char>(text.begin(), text.end())));
    return IS::AnalyzeRSSFeed()(parser);
}

std::string DescriptionOf(const std::string& description)
{
    return Analyzed(Feed(Item(ItemText{"1", description})))->GetItemList().at(0).GetDescription();
}

TEST(AnalyzeRSSFeed, ReadsTheChannelAndItsItemsInDocumentOrder)
{
    const std::string other = "<image><title>Logo</title><url>http://m/logo.png</url></image>";
    const auto feed = Analyzed(Feed(Item({"c"}) + other + Item({"a"}) + Item({"b"}) + other + "<ttl>5</ttl>"));
    EXPECT_EQ(feed->GetTitle(), "Box of Ann");
    EXPECT_EQ(feed->GetLink(), "http://m/noctavi.htm");
    EXPECT_EQ(feed->GetDate(), kDate);
    const RSS::ItemList& items = feed->GetItemList();
    ASSERT_EQ(items.size(), 3u);
    EXPECT_EQ(items[0].GetGuid(), "c");
    EXPECT_EQ(items[1].GetGuid(), "a");
    EXPECT_EQ(items[2].GetGuid(), "b");
    EXPECT_EQ(items[0].GetTitle(), "Doc c");
    EXPECT_EQ(items[0].GetDescription(), "http://m/t?DC=1");
    EXPECT_EQ(items[0].GetCategory(), "Box");
    EXPECT_EQ(items[0].GetPub(), kDate);

    EXPECT_TRUE(Analyzed(Feed(""))->GetItemList().empty());
}

TEST(AnalyzeRSSFeed, EachMissingRequiredElementMakesTheFeedInvalid)
{
    const std::string feed = Feed(Item({"1"}));
    const std::string elements[] = {"<title>Box of Ann</title>", "<link>http://m/noctavi.htm</link>",
                                    std::string("<lastBuildDate>") + kDate + "</lastBuildDate>",
                                    "<title>Doc 1</title>", "<category>Box</category>", "<guid>1</guid>",
                                    std::string("<pubDate>") + kDate + "</pubDate>", "<channel>"};
    for (const std::string& element : elements) {
        std::string without = feed;
        without.erase(without.find(element), element.size());
        if (element == "<channel>")
            without.erase(without.find("</channel>"), 10);
        EXPECT_THROW(Analyzed(without), IS::InvalidRSSFeed) << "without " << element;
    }

    std::string emptyTitle = feed;
    emptyTitle.replace(emptyTitle.find("<title>Doc 1</title>"), 20, "<title/>");
    EXPECT_THROW(Analyzed(emptyTitle), HTTP::InvalidContentType);
}

TEST(AnalyzeRSSFeed, TimesMustBeRfc822DateTimes)
{
    EXPECT_THROW(Analyzed(Feed(Item({"1"}), "yesterday")), IS::InvalidRSSFeed);
    EXPECT_THROW(Analyzed(Feed("", "Tue, 09 Dec 2008")), IS::InvalidRSSFeed);
    ItemText late{"2"};
    late.pub = "Tue, 31 Feb 2008 10:15:30 +0900";
    EXPECT_THROW(Analyzed(Feed(Item({"1"}) + Item(late))), IS::InvalidRSSFeed);
}

TEST(AnalyzeRSSFeed, AnItemKeepsTheFirstLinkOfItsDescription)
{
    const std::map<std::string, std::string> cases = {
        {"<description>&lt;p&gt;Scan&lt;/p&gt;&lt;a href=\"http://m/t?a=1&amp;amp;b=2\"&gt;&lt;img src=\"x\"/&gt;"
         "&lt;/a&gt;&lt;a href=\"http://m/second\"&gt;2&lt;/a&gt;</description>",
         "http://m/t?a=1&b=2"},
        {"<description><![CDATA[<a href=\"http://m/cdata\">thumbnail</a> and words]]></description>",
         "http://m/cdata"},
        {"<description>&lt;A HREF=\"http://m/upper\"&gt;x&lt;/A&gt;</description>", "http://m/upper"},
        {"<description>&lt;p&gt;Scan&lt;br&gt;&lt;img src=\"http://m/i\"&gt;</description>", ""},
        {"<description>&lt;a name=\"top\"&gt;no address&lt;/a&gt;</description>", ""},
        {"<description>Stored in box 3 &amp; waiting</description>", ""},
        {"<description>&amp;lt;a href=\"http://m/escaped-twice\"&amp;gt;</description>", ""},
        {"<description/>", ""},
        {"", ""},
    };
    for (const auto& [description, link] : cases)
        EXPECT_EQ(DescriptionOf(description), link) << description;
}

} // namespace
