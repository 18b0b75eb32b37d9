#include <Noctavi/MonitoredEntry/DuplicateEvent.h>
#include <Noctavi/MonitoredEntry/EventLog.h>
#include <Noctavi/MonitoredEntry/MissingEvent.h>

#include <gtest/gtest.h>

#include <limits>
#include <vector>

namespace {

using MonitoredEntry::Event;
using MonitoredEntry::EventLog;
using MonitoredEntry::EventProperty;
using ID = BasicID<long>;

const char kTime[] = "Tue, 09 Dec 2008 10:15:30 +0900";
const ID::value_type kLargestID = std::numeric_limits<ID::value_type>::max();

EventProperty Property(const std::wstring& info, const char* time = kTime)
{
    return EventProperty(L"Box", info, std::wstring(L"/thumb?doc=1"), std::wstring(L"1"), RSS::EventTime(time));
}

std::vector<ID::value_type> IDs(const EventLog& log)
{
    std::vector<ID::value_type> ids;
    for (const Event& event : log)
        ids.push_back(event.GetID().GetValue());
    return ids;
}

TEST(EventLog, KeepsTheNewestEventsUpToItsMaximum)
{
    EventLog log(3);
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(log.Append(Property(std::to_wstring(i))), ID(i));

    EXPECT_EQ(IDs(log), (std::vector<ID::value_type>{2, 3, 4}));
    EXPECT_EQ(log.GetEvent(ID(2)).GetProperty().GetInfo(), L"2");
    EXPECT_EQ(log.GetNextID(), ID(5));
    EXPECT_EQ(log.CountUnread(), 3);

    // An ID trimmed away is gone for reading and for writing.
    EXPECT_FALSE(log.Contains(ID(1)));
    EXPECT_THROW(log.GetEvent(ID(1)), MonitoredEntry::MissingEvent);
    EXPECT_THROW(log.SetEvent(Event(ID(1), Property(L"1"))), MonitoredEntry::MissingEvent);

    // A log that keeps nothing still counts its identifiers on.
    EventLog none(0);
    EXPECT_EQ(none.Append(Property(L"a")), ID(0));
    EXPECT_EQ(none.Size(), 0u);
    EXPECT_EQ(none.Append(Property(L"a")), ID(1));
}

TEST(EventLog, RefusesAPropertyItHoldsButTakesOneTrimmedAway)
{
    EventLog log(2);
    EXPECT_EQ(log.CountUnread(), 0);
    log.Append(Property(L"a"));
    log.Append(Property(L"b"));
    Event read = log.GetEvent(ID(0));
    read.SetRead(true);
    EXPECT_FALSE(log.GetEvent(ID(0)).IsRead()) << "an event taken out is a copy";
    log.SetEvent(read);
    EXPECT_EQ(IDs(log), (std::vector<ID::value_type>{0, 1})) << "set in place";
    EXPECT_EQ(log.CountUnread(), 1);

    const EventLog before(log);
    EXPECT_FALSE(log.IsNew(Property(L"a")));
    EXPECT_THROW(log.Append(Property(L"a")), MonitoredEntry::DuplicateEvent);
    EXPECT_EQ(IDs(log), IDs(before));
    EXPECT_EQ(log.GetNextID(), ID(2));

    log.Append(Property(L"c"));
    EXPECT_TRUE(log.IsNew(Property(L"a")));
    EXPECT_EQ(log.Append(Property(L"a")), ID(3));
    EXPECT_EQ(before.Size(), 2u) << "copies of a log are independent";
}

TEST(EventLog, PropertiesAreEqualOnlyFieldByFieldAndExactly)
{
    const RSS::EventTime time(kTime);
    const EventProperty base(L"Box", L"Info", std::wstring(L"/t"), std::wstring(L"7"), time);
    EXPECT_EQ(base, EventProperty(L"Box", L"Info", std::wstring(L"/t"), std::wstring(L"7"),
                                  RSS::EventTime("09 Dec 2008 10:15:30 GMT")));

    EXPECT_NE(base, EventProperty(L"box", L"Info", std::wstring(L"/t"), std::wstring(L"7"), time));
    EXPECT_NE(base, EventProperty(L"Box", L"Info ", std::wstring(L"/t"), std::wstring(L"7"), time));
    EXPECT_NE(base, EventProperty(L"Box", L"Info", boost::none, std::wstring(L"7"), time));
    EXPECT_NE(base, EventProperty(L"Box", L"Info", std::wstring(L"/t"), boost::none, time));
    EXPECT_NE(base, EventProperty(L"Box", L"Info", std::wstring(L"/t"), std::wstring(L"7"),
                                  RSS::EventTime("09 Dec 2008 10:15:31 GMT")));

    // A time without seconds cannot be compared with one that has them: the
    // properties differ, and nothing throws.
    EventLog log(5);
    log.Append(Property(L"a", kTime));
    EXPECT_NO_THROW(EXPECT_TRUE(log.IsNew(Property(L"a", "09 Dec 2008 10:15 GMT"))));
    EXPECT_NO_THROW(log.Append(Property(L"a", "09 Dec 2008 10:15 GMT")));
}

TEST(EventLog, IdentifiersWrapToZeroAndSkipThoseStillHeld)
{
    EventLog log(EventLog::EventList(), ID(kLargestID), 5);
    EXPECT_EQ(log.Append(Property(L"a")), ID(kLargestID));
    EXPECT_EQ(log.GetNextID(), ID(0));
    EXPECT_EQ(log.Append(Property(L"b")), ID(0));

    // Events 0 and 1 are still logged when the counter comes round again.
    const EventLog::EventList held{Event(ID(0), Property(L"x")), Event(ID(1), Property(L"y"))};
    EventLog wrapped(held, ID(kLargestID), 5);
    wrapped.Append(Property(L"a"));
    EXPECT_EQ(wrapped.Append(Property(L"b")), ID(2));
    EXPECT_EQ(wrapped.GetNextID(), ID(3));
}

TEST(EventLog, ShrinkingTheMaximumDropsTheOldest)
{
    EventLog log(5);
    for (const wchar_t* info : {L"a", L"b", L"c", L"d"})
        log.Append(Property(info));

    log.EraseOldest(4);
    log.EraseOldest(3);
    EXPECT_EQ(IDs(log), (std::vector<ID::value_type>{1, 2, 3}));
    EXPECT_EQ(log.GetMax(), 5);

    log.SetMax(2);
    EXPECT_EQ(IDs(log), (std::vector<ID::value_type>{2, 3}));
    EXPECT_EQ(log.GetMax(), 2);
}

} // namespace
