#include <Noctavi/RSS/EventTime.h>

#include <Noctavi/RSS/IncompatibleTimeString.h>
#include <Noctavi/RSS/InvalidTimeString.h>

#include <pelmo/network/rfc822_date_parser.hpp>

#include <boost/date_time/gregorian/gregorian_types.hpp>
#include <boost/date_time/posix_time/posix_time_duration.hpp>

namespace RSS {

namespace {

// The range of the date library that the comparisons use.
constexpr int kFirstYear = 1400;
constexpr int kLastYear = 9999;

bool IsExistingDay(int year, int month, int day)
{
    using Calendar = boost::gregorian::gregorian_calendar;
    if (year < kFirstYear || year > kLastYear || month < 1 || month > 12 || day < 1)
        return false;
    return day <= Calendar::end_of_month_day(static_cast<unsigned short>(year), static_cast<unsigned short>(month));
}

} // namespace

EventTime::EventTime(const std::string& text)
    : text_(text)
{
    pelmo::network::rfc822_date_parser parser;
    if (!parser.parse(text))
        PELMO_THROW(InvalidTimeString());
    dayOfWeek_ = parser.day_of_week();
    day_ = parser.day();
    month_ = parser.month();
    year_ = parser.year();
    hour_ = parser.hour();
    minute_ = parser.minute();
    second_ = parser.second();
    zone_ = parser.zone();
}

bool EventTime::IsValidTimeString(const std::string& text)
{
    pelmo::network::rfc822_date_parser parser;
    return parser.parse(text) && IsExistingDay(parser.year(), parser.month(), parser.day());
}

bool EventTime::operator==(const EventTime& other) const
{
    CheckComparable(other);
    return ToInstant() == other.ToInstant();
}

bool EventTime::operator<(const EventTime& other) const
{
    CheckComparable(other);
    return other.ToInstant() < ToInstant();
}

bool EventTime::IsComparable(const EventTime& other) const noexcept
{
    return second_.has_value() == other.second_.has_value() && NamesExistingDay() && other.NamesExistingDay();
}

bool EventTime::IsSameTime(const EventTime& other) const noexcept
{
    return IsComparable(other) && ToInstant() == other.ToInstant();
}

bool EventTime::NamesExistingDay() const noexcept
{
    return IsExistingDay(year_, month_, day_);
}

void EventTime::CheckComparable(const EventTime& other) const
{
    if (second_.has_value() != other.second_.has_value())
        PELMO_THROW(IncompatibleTimeString());
}

// Hours, minutes and seconds beyond their usual ranges simply add up; the zone
// and the weekday play no part.
boost::posix_time::ptime EventTime::ToInstant() const
{
    const boost::gregorian::date day(static_cast<unsigned short>(year_), static_cast<unsigned short>(month_),
                                     static_cast<unsigned short>(day_));
    return boost::posix_time::ptime(day, boost::posix_time::hours(hour_) + boost::posix_time::minutes(minute_)
                                             + boost::posix_time::seconds(second_.value_or(0)));
}

} // namespace RSS
