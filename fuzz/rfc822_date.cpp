// Parses arbitrary text as a feed's RFC 822 date-time. A parse depends on its
// text alone, its fields stay within what the grammar reads, and a time that
// parses compares equal to itself, or throws only for a day that does not exist.
#include "Check.h"

#include <Noctavi/RSS/EventTime.h>
#include <Noctavi/RSS/InvalidTimeString.h>

#include <pelmo/network/rfc822_date_parser.hpp>

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>

namespace {

using fuzz::Check;

bool Within(int value, int low, int high)
{
    return value >= low && value <= high;
}

void CheckFields(const pelmo::network::rfc822_date_parser& date)
{
    Check(!date.day_of_week() || Within(*date.day_of_week(), 1, 7));
    Check(Within(date.day(), 0, 99) && Within(date.month(), 1, 12) && Within(date.year(), 0, 9999));
    Check(Within(date.hour(), 0, 99) && Within(date.minute(), 0, 99));
    Check(!date.second() || Within(*date.second(), 0, 99));
    Check(!date.zone().empty() && date.zone().size() <= 5);
}

bool SameFields(const pelmo::network::rfc822_date_parser& a, const pelmo::network::rfc822_date_parser& b)
{
    return a.ok() == b.ok() && a.day_of_week() == b.day_of_week() && a.day() == b.day() && a.month() == b.month()
        && a.year() == b.year() && a.hour() == b.hour() && a.minute() == b.minute() && a.second() == b.second()
        && a.zone() == b.zone();
}

void CheckComparison(const std::string& text)
{
    const RSS::EventTime time(text);
    Check(time.IsSameTime(time) == time.IsComparable(time));
    try {
        Check(time == time);
        Check(!(time < time));
        Check(time.IsComparable(time));
    } catch (const std::out_of_range&) {
        Check(!time.IsComparable(time));
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string text(data, data + size);
    pelmo::network::rfc822_date_parser fresh;
    const bool ok = fresh.parse(text);

    // A parser used before gives what a fresh one gives.
    pelmo::network::rfc822_date_parser reused;
    reused.parse(text.substr(0, size / 2));
    reused.parse(text);
    Check(SameFields(fresh, reused));

    if (!ok) {
        try {
            RSS::EventTime refused(text);
            Check(false);
        } catch (const RSS::InvalidTimeString&) {
        }
        return 0;
    }
    CheckFields(fresh);
    CheckComparison(text);
    return 0;
}
