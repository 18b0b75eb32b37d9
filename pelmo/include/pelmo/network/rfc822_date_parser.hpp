#ifndef PELMO_NETWORK_RFC822_DATE_PARSER_HPP
#define PELMO_NETWORK_RFC822_DATE_PARSER_HPP

#include <boost/optional.hpp>
#include <boost/shared_ptr.hpp>

#include <string>

namespace pelmo {
namespace network {

// Splits an RFC 822 date-time into its numbered fields, without converting
// it or checking the calendar. Copies share one record.
class rfc822_date_parser {
public:
    rfc822_date_parser();

    // Parses the text and replaces every field, whatever the outcome (fields
    // not reached are -1 and the zone empty). True when the whole text is a
    // date-time; trailing white space is allowed.
    bool parse(const std::string& text);

    bool ok() const;
    boost::optional<int> day_of_week() const; // Sunday is 1
    int day() const;
    int month() const; // January is 1
    int year() const;
    int hour() const;
    int minute() const;
    boost::optional<int> second() const;
    // As written: "GMT", "Z", "+0900", ...
    std::string zone() const;

private:
    struct pimpl;
    boost::shared_ptr<pimpl> pimpl_;
};

} // namespace network
} // namespace pelmo

#endif
