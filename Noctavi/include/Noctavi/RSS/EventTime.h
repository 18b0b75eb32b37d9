#ifndef NOCTAVI_RSS_EVENTTIME_H
#define NOCTAVI_RSS_EVENTTIME_H

#include <boost/date_time/posix_time/ptime.hpp>
#include <boost/optional.hpp>

#include <string>

namespace RSS {

// A feed time as the machine published it, split into its fields. It is never
// converted to local time: times compare by the calendar date and time of day
// they name, whatever their zones.
class EventTime {
public:
    // Throws InvalidTimeString when the whole text is not an RFC 822 date-time.
    explicit EventTime(const std::string& text);

    // True when the text is an RFC 822 date-time that names a day which exists
    // (no 31 February, no year before 1400), so that it can be compared.
    static bool IsValidTimeString(const std::string& text);

    // The text as received; what is shown and stored.
    const std::string& GetString() const { return text_; }
    boost::optional<int> GetDayOfWeek() const { return dayOfWeek_; } // Sunday is 1
    int GetDay() const { return day_; }
    int GetMonth() const { return month_; }
    int GetYear() const { return year_; }
    int GetHour() const { return hour_; }
    int GetMinute() const { return minute_; }
    boost::optional<int> GetSecond() const { return second_; }
    const std::string& GetZone() const { return zone_; }

    // Both throw IncompatibleTimeString when exactly one of the two times has
    // seconds, and std::out_of_range when either names a day that does not exist.
    bool operator==(const EventTime& other) const;
    // True when this time is later than the other, so that sorting by it puts
    // the newest first.
    bool operator<(const EventTime& other) const;

    // Whether == and < can compare the two without throwing.
    bool IsComparable(const EventTime& other) const noexcept;
    // == for callers that must not throw: a pair that cannot be compared is
    // not the same time.
    bool IsSameTime(const EventTime& other) const noexcept;

private:
    bool NamesExistingDay() const noexcept;
    void CheckComparable(const EventTime& other) const;
    boost::posix_time::ptime ToInstant() const;

    std::string text_;
    boost::optional<int> dayOfWeek_;
    int day_;
    int month_;
    int year_;
    int hour_;
    int minute_;
    boost::optional<int> second_;
    std::string zone_;
};

} // namespace RSS

#endif
