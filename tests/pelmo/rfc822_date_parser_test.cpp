#include <pelmo/network/rfc822_date_parser.hpp>

#include <boost/optional/optional_io.hpp>

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

namespace {

using pelmo::network::rfc822_date_parser;

TEST(Rfc822DateParser, FullDateTimeGivesEveryField)
{
    rfc822_date_parser parser;
    ASSERT_TRUE(parser.parse("Tue, 09 Dec 2008 10:15:30 +0900"));
    EXPECT_TRUE(parser.ok());
    EXPECT_EQ(parser.day_of_week(), 3);
    EXPECT_EQ(parser.day(), 9);
    EXPECT_EQ(parser.month(), 12);
    EXPECT_EQ(parser.year(), 2008);
    EXPECT_EQ(parser.hour(), 10);
    EXPECT_EQ(parser.minute(), 15);
    EXPECT_EQ(parser.second(), 30);
    EXPECT_EQ(parser.zone(), "+0900");
}

TEST(Rfc822DateParser, WeekdayAndSecondsAreOptional)
{
    rfc822_date_parser parser;
    ASSERT_TRUE(parser.parse("9 Dec 2008 10:15 GMT"));
    EXPECT_FALSE(parser.day_of_week());
    EXPECT_FALSE(parser.second());
    EXPECT_EQ(parser.day(), 9);
    EXPECT_EQ(parser.zone(), "GMT");

    ASSERT_TRUE(parser.parse("Sun, 1 Jan 1999 00:00 -0000"));
    EXPECT_EQ(parser.day_of_week(), 1);
    ASSERT_TRUE(parser.parse("Sat, 31 Jan 1999 23:59:59 Z"));
    EXPECT_EQ(parser.day_of_week(), 7);
}

TEST(Rfc822DateParser, EveryNamedZoneSingleLetterAndOffset)
{
    rfc822_date_parser parser;
    for (const std::string zone : {"UT", "GMT", "EST", "EDT", "CST", "CDT", "MST", "MDT", "PST", "PDT", "A", "I", "K",
                                   "Z", "+0000", "-1200", "+9999"}) {
        EXPECT_TRUE(parser.parse("09 Dec 2008 10:15 " + zone)) << zone;
        EXPECT_EQ(parser.zone(), zone);
    }
    for (const char* zone : {"UTC", "J", "z", "gmt", "+900", "+09000", "0900", "+09:00", "CET", ""})
        EXPECT_FALSE(parser.parse(std::string("09 Dec 2008 10:15 ") + zone)) << zone;
}

TEST(Rfc822DateParser, WhiteSpaceBetweenTokensOnly)
{
    rfc822_date_parser parser;
    EXPECT_TRUE(parser.parse("09Dec2008 10:15 Z"));
    EXPECT_TRUE(parser.parse("09 Dec 2008 10:15GMT"));
    EXPECT_TRUE(parser.parse("  \tTue,\n09 Dec 2008 10:15 GMT"));
    EXPECT_TRUE(parser.parse("09 Dec 2008 10:15 GMT \r\n"));
    EXPECT_FALSE(parser.parse("09 Dec 2008 10 : 15 GMT"));
    EXPECT_FALSE(parser.parse("09 Dec 2008 10:15 : 30 GMT"));
    EXPECT_FALSE(parser.parse("Tue , 09 Dec 2008 10:15 GMT"));
    EXPECT_FALSE(parser.parse("09 Dec 2008 10:15 GMT x"));
    EXPECT_FALSE(parser.parse("09 Dec 2008 10:15 + 0900"));
}

TEST(Rfc822DateParser, ShapesThatFail)
{
    rfc822_date_parser parser;
    for (const char* text : {"", "09 Dec 08 10:15 GMT", "09 dec 2008 10:15 GMT", "09 DEC 2008 10:15 GMT",
                             "tue, 09 Dec 2008 10:15 GMT", "Tue 09 Dec 2008 10:15 GMT", "123 Dec 2008 10:15 GMT",
                             "09 Dec 20081 10:15 GMT", "9 Dec 2008 1:15 GMT", "9 Dec 2008 10:5 GMT",
                             "9 Dec 2008 10:15:3 GMT", "9 Dec 2008 10:15", "2008-12-09T10:15:30Z",
                             "9 Dec 2008 10:15 GMT\xc3\xa9", "Tuesday, 09 Dec 2008 10:15 GMT"})
        EXPECT_FALSE(parser.parse(text)) << text;
    EXPECT_FALSE(parser.ok());
}

TEST(Rfc822DateParser, RangesAreNotChecked)
{
    rfc822_date_parser parser;
    ASSERT_TRUE(parser.parse("0 Feb 0000 99:99:99 GMT"));
    EXPECT_EQ(parser.day(), 0);
    EXPECT_EQ(parser.year(), 0);
    EXPECT_EQ(parser.hour(), 99);
    EXPECT_EQ(parser.second(), 99);
    EXPECT_TRUE(parser.parse("31 Feb 2008 10:15 GMT"));
}

TEST(Rfc822DateParser, EachParseReplacesEveryField)
{
    rfc822_date_parser parser;
    ASSERT_TRUE(parser.parse("Tue, 09 Dec 2008 10:15:30 +0900"));
    ASSERT_TRUE(parser.parse("9 Jan 2010 11:20 Z"));
    EXPECT_FALSE(parser.day_of_week());
    EXPECT_FALSE(parser.second());

    // A failed parse keeps what it read before failing, and nothing older.
    EXPECT_FALSE(parser.parse("17 Mar 2011 bad"));
    EXPECT_EQ(parser.day(), 17);
    EXPECT_EQ(parser.month(), 3);
    EXPECT_EQ(parser.year(), 2011);
    EXPECT_EQ(parser.hour(), -1);
    EXPECT_EQ(parser.zone(), "");
}

TEST(Rfc822DateParser, ParsesOnManyThreadsAtOnce)
{
    std::vector<int> failures(8, 0);
    std::vector<std::thread> threads;
    for (int t = 0; t < 8; ++t) {
        threads.emplace_back([&failures, t] {
            for (int i = 0; i < 200; ++i) {
                rfc822_date_parser parser;
                const bool parsed = parser.parse("Tue, " + std::to_string(1 + t) + " Dec 2008 10:15:30 GMT");
                if (!parsed || parser.day() != 1 + t)
                    ++failures[t];
            }
        });
    }
    for (std::thread& thread : threads)
        thread.join();
    EXPECT_EQ(failures, std::vector<int>(8, 0));
}

} // namespace
