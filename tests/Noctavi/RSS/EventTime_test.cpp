#include <Noctavi/RSS/EventTime.h>
#include <Noctavi/RSS/IncompatibleTimeString.h>
#include <Noctavi/RSS/InvalidTimeString.h>

#include <boost/optional/optional_io.hpp>

#include <gtest/gtest.h>

#include <stdexcept>

namespace {

using RSS::EventTime;

TEST(EventTime, KeepsTheTextAndItsFields)
{
    const EventTime time("Tue, 09 Dec 2008 10:15:30 +0900");
    EXPECT_EQ(time.GetString(), "Tue, 09 Dec 2008 10:15:30 +0900");
    EXPECT_EQ(time.GetDayOfWeek(), 3);
    EXPECT_EQ(time.GetYear(), 2008);
    EXPECT_EQ(time.GetSecond(), 30);
    EXPECT_EQ(time.GetZone(), "+0900");
    EXPECT_FALSE(EventTime("9 Dec 2008 10:15 GMT").GetSecond());
}

TEST(EventTime, TextThatIsNoDateTimeIsRefused)
{
    for (const char* text : {"", "09 Dec 2008 10:15 UTC", "2008-12-09 10:15:30", "09 Dec 2008 10:15 GMT junk"})
        EXPECT_THROW(EventTime{text}, RSS::InvalidTimeString) << text;
    EXPECT_THROW(EventTime(""), pelmo::runtime_error);
}

TEST(EventTime, ComparesFaceValuesWithZonesAndWeekdaysIgnored)
{
    EXPECT_TRUE(EventTime("Tue, 09 Dec 2008 10:15:30 +0900") == EventTime("09 Dec 2008 10:15:30 GMT"));
    EXPECT_TRUE(EventTime("Mon, 09 Dec 2008 10:15 -1200") == EventTime("Fri, 9 Dec 2008 10:15 Z"));
    EXPECT_FALSE(EventTime("09 Dec 2008 10:15:30 GMT") == EventTime("09 Dec 2008 10:15:31 GMT"));
    // Fields beyond their usual ranges add up as durations.
    EXPECT_TRUE(EventTime("09 Dec 2008 24:00 GMT") == EventTime("10 Dec 2008 00:00 GMT"));
    EXPECT_TRUE(EventTime("31 Dec 2008 23:59:60 GMT") == EventTime("1 Jan 2009 00:00:00 GMT"));
}

TEST(EventTime, LessMeansLater)
{
    const EventTime earlier("09 Dec 2008 10:15:30 GMT");
    const EventTime later("09 Dec 2008 10:15:31 GMT");
    EXPECT_TRUE(later < earlier);
    EXPECT_FALSE(earlier < later);
    EXPECT_FALSE(earlier < earlier);
    EXPECT_TRUE(EventTime("1 Jan 2009 00:00 GMT") < EventTime("31 Dec 2008 23:59 GMT"));
}

TEST(EventTime, TimesWithAndWithoutSecondsDoNotCompare)
{
    const EventTime withoutSeconds("09 Dec 2008 10:15 GMT");
    const EventTime withSeconds("09 Dec 2008 10:15:00 GMT");
    EXPECT_THROW((void)(withoutSeconds == withSeconds), RSS::IncompatibleTimeString);
    EXPECT_THROW((void)(withSeconds < withoutSeconds), RSS::IncompatibleTimeString);
    EXPECT_FALSE(withoutSeconds.IsComparable(withSeconds));
    EXPECT_FALSE(withoutSeconds.IsSameTime(withSeconds));

    EXPECT_TRUE(withSeconds.IsComparable(EventTime("10 Dec 2008 10:15:00 GMT")));
    EXPECT_TRUE(withSeconds.IsSameTime(EventTime("Tue, 09 Dec 2008 10:15:00 +0900")));
    EXPECT_FALSE(withSeconds.IsSameTime(EventTime("09 Dec 2008 10:15:01 GMT")));
}

TEST(EventTime, DaysThatDoNotExistParseButDoNotCompare)
{
    const EventTime impossible("31 Feb 2008 10:15 GMT");
    const EventTime real("28 Feb 2008 10:15 GMT");
    EXPECT_THROW((void)(impossible == real), std::out_of_range);
    EXPECT_THROW((void)(real < impossible), std::out_of_range);
    EXPECT_FALSE(impossible.IsComparable(real));
    EXPECT_FALSE(impossible.IsSameTime(impossible));

    // The check for incompatible seconds comes first.
    EXPECT_THROW((void)(impossible == EventTime("28 Feb 2008 10:15:00 GMT")), RSS::IncompatibleTimeString);
}

TEST(EventTime, ValidTimeStringsNameExistingDays)
{
    for (const char* text : {"29 Feb 2008 10:15 GMT", "1 Jan 1400 00:00 GMT", "31 Dec 9999 23:59:59 Z",
                             "Tue, 09 Dec 2008 99:99:99 +0900"})
        EXPECT_TRUE(EventTime::IsValidTimeString(text)) << text;
    for (const char* text : {"29 Feb 2009 10:15 GMT", "31 Apr 2008 10:15 GMT", "0 Jan 2008 10:15 GMT",
                             "31 Dec 1399 10:15 GMT", "", "09 Dec 2008 10:15 UTC"})
        EXPECT_FALSE(EventTime::IsValidTimeString(text)) << text;
}

} // namespace
