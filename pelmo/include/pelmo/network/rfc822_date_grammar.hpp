#ifndef PELMO_NETWORK_RFC822_DATE_GRAMMAR_HPP
#define PELMO_NETWORK_RFC822_DATE_GRAMMAR_HPP

#include <boost/spirit/include/classic_assign_actor.hpp>
#include <boost/spirit/include/classic_core.hpp>
#include <boost/spirit/include/classic_symbols.hpp>

#include <string>

namespace pelmo {
namespace network {

// The numbered fields of an RFC 822 date-time: -1, or an empty zone, where absent.
struct rfc822_date_fields {
    int day_of_week = -1;
    int day = -1;
    int month = -1;
    int year = -1;
    int hour = -1;
    int minute = -1;
    int second = -1;
    std::string zone;
};

// An RFC 822 date-time as machines publish it, to be run phrase-level with a
// white-space skipper:
//     [weekday ","] day month year hh:mm[:ss] zone
// Names are case-sensitive; alternatives are tried in order and the first
// that matches wins. Ranges are not checked: that is left to the caller.
// The actions write into the fields given at construction as the parse goes,
// so a failed parse leaves what it had read so far.
struct rfc822_date_grammar : public boost::spirit::classic::grammar<rfc822_date_grammar> {
    explicit rfc822_date_grammar(rfc822_date_fields& fields) : fields(fields) {}

    rfc822_date_fields& fields;

    template <typename ScannerT>
    struct definition {
        explicit definition(const rfc822_date_grammar& self)
        {
            using namespace boost::spirit::classic;
            rfc822_date_fields& f = self.fields;
            const uint_parser<int, 10, 1, 2> one_or_two_digits;
            const uint_parser<int, 10, 2, 2> two_digits;
            const uint_parser<int, 10, 4, 4> four_digits;

            weekdays.add("Sun", 1)("Mon", 2)("Tue", 3)("Wed", 4)("Thu", 5)("Fri", 6)("Sat", 7);
            months.add("Jan", 1)("Feb", 2)("Mar", 3)("Apr", 4)("May", 5)("Jun", 6)("Jul", 7)("Aug", 8)(
                "Sep", 9)("Oct", 10)("Nov", 11)("Dec", 12);

            date_time = !lexeme_d[weekdays[assign_a(f.day_of_week)] >> ','] >> date >> time;
            date = lexeme_d[one_or_two_digits[assign_a(f.day)]] >> lexeme_d[months[assign_a(f.month)]]
                >> lexeme_d[four_digits[assign_a(f.year)]];
            time = lexeme_d[two_digits[assign_a(f.hour)] >> ':' >> two_digits[assign_a(f.minute)]
                            >> !(':' >> two_digits[assign_a(f.second)])]
                >> zone;
            // "UT" comes before the single letters, so "UTC" stops after "UT" and fails.
            zone = lexeme_d[(str_p("UT") | "GMT" | "EST" | "EDT" | "CST" | "CDT" | "MST" | "MDT" | "PST" | "PDT"
                             | (range_p('A', 'Z') - 'J') | ((ch_p('+') | '-') >> four_digits))[assign_a(f.zone)]];
        }

        const boost::spirit::classic::rule<ScannerT>& start() const { return date_time; }

        boost::spirit::classic::symbols<int> weekdays;
        boost::spirit::classic::symbols<int> months;
        boost::spirit::classic::rule<ScannerT> date_time;
        boost::spirit::classic::rule<ScannerT> date;
        boost::spirit::classic::rule<ScannerT> time;
        boost::spirit::classic::rule<ScannerT> zone;
    };
};

} // namespace network
} // namespace pelmo

#endif
