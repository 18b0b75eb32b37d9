#include <Noctavi/MonitoredEntry/Distinction.h>
#include <Noctavi/MonitoredEntry/Entry.h>
#include <Noctavi/MonitoredEntry/EventLog.h>
#include <Noctavi/System/ConfigLimits.h>

#include <pelmo/logic_error.hpp>

#include <boost/make_shared.hpp>

#include <gtest/gtest.h>

namespace {

using namespace MonitoredEntry;

const char kDate[] = "Tue, 09 Dec 2008 09:05:07 +0900";

EntryProperty ValidProperty()
{
    return EntryProperty(true, MFP(std::wstring(L"Office"), L"10.0.0.1", 80, 443, true),
                         User(std::wstring(L"Alice"), L"alice", Password(L"pw")),
                         Config(25, 1800000, true, 10000, false, true));
}

class EntryTest : public ::testing::Test {
protected:
    EntryTest() { SetConfigLimits(ConfigLimits()); }
};

TEST_F(EntryTest, NewEntryHasAnEmptyLogOfItsLogMaxAndNoFeed)
{
    const Entry entry(BasicID<long>(7), ValidProperty());
    EXPECT_EQ(entry.GetID(), BasicID<long>(7));
    EXPECT_EQ(entry.GetEventLog()->GetMax(), 25);
    EXPECT_EQ(entry.GetEventLog()->Size(), 0u);
    EXPECT_FALSE(entry.GetLatestRSSFeed());
    EXPECT_EQ(entry.GetProperty().GetStatus(), EntryProperty::StatusNotReported);
    EXPECT_EQ(entry.GetProperty().GetStatusDetail(), EntryProperty::RequestSucceeded);
    EXPECT_TRUE(entry.IsValid());

    const Entry empty;
    EXPECT_EQ(empty.GetID(), BasicID<long>(0));
    EXPECT_FALSE(empty.GetProperty().GetMonitoring());
    EXPECT_FALSE(empty.IsValid());
}

TEST_F(EntryTest, CopiesOwnTheirPropertyAndFeedButNotTheLog)
{
    Entry original(BasicID<long>(1), ValidProperty());
    original.SetLatestRSSFeed(RSS::RSSFeed("title", "link", kDate, {}));

    Entry copy(original);
    EntryProperty property = copy.GetProperty();
    property.SetMonitoring(false);
    property.SetStatus(EntryProperty::StatusSubscribed);
    copy.SetProperty(property);
    copy.SetLatestRSSFeed(boost::none);
    EXPECT_TRUE(original.GetProperty().GetMonitoring());
    EXPECT_EQ(original.GetProperty().GetStatus(), EntryProperty::StatusNotReported);
    ASSERT_TRUE(original.GetLatestRSSFeed());

    // What GetEventLog hands out is the caller's own copy.
    EXPECT_NE(original.GetEventLog(), original.GetEventLog());
    copy.SetEventLog(boost::make_shared<EventLog>(3));
    EXPECT_EQ(copy.GetEventLog()->GetMax(), 3);
    EXPECT_EQ(original.GetEventLog()->GetMax(), 25);
    EXPECT_THROW(copy.SetEventLog(nullptr), pelmo::logic_error);
}

TEST_F(EntryTest, ValidityChecksEveryPartInOrder)
{
    Entry entry(BasicID<long>(1), ValidProperty());
    entry.SetLatestRSSFeed(RSS::RSSFeed("title", "link", kDate, {RSS::Item("t", "", "c", "g", kDate)}));
    EXPECT_TRUE(entry.IsValid());
    entry.SetLatestRSSFeed(RSS::RSSFeed("title", "link", "yesterday", {}));
    EXPECT_FALSE(entry.IsValid());
    entry.SetLatestRSSFeed(boost::none);

    EntryProperty property = ValidProperty();
    property.SetConfig(Config());
    entry.SetProperty(property);
    EXPECT_FALSE(entry.IsValid());

    // An invalid machine ends the test before the password is deciphered.
    Password damaged;
    damaged.SetData({1, 2, 3});
    property = ValidProperty();
    property.SetMFP(MFP());
    property.SetUser(User(boost::none, L"alice", damaged));
    entry.SetProperty(property);
    EXPECT_FALSE(entry.IsValid());
}

TEST_F(EntryTest, DistinctionCopiesMachineAndUser)
{
    Entry entry(BasicID<long>(1), ValidProperty());
    const Distinction distinction(entry);
    EntryProperty property = entry.GetProperty();
    property.SetMFP(MFP());
    entry.SetProperty(property);
    EXPECT_EQ(distinction.GetMFP(), ValidProperty().GetMFP());
    EXPECT_EQ(distinction.GetUser(), ValidProperty().GetUser());
    EXPECT_EQ(Distinction().GetMFP(), MFP());
}

TEST(BasicID, ComparesByValueAndIs32Bits)
{
    static_assert(sizeof(BasicID<long>::value_type) == 4);
    EXPECT_EQ(BasicID<long>(), BasicID<long>(0));
    EXPECT_LT(BasicID<long>(-1), BasicID<long>(0));
    EXPECT_NE(BasicID<long>(2147483647), BasicID<long>(-2147483647 - 1));
}

} // namespace
