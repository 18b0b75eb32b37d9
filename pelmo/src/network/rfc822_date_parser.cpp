#include <pelmo/network/rfc822_date_parser.hpp>

#include <pelmo/network/rfc822_date_grammar.hpp>

#include <boost/make_shared.hpp>

namespace pelmo {
namespace network {

struct rfc822_date_parser::pimpl {
    bool ok = false;
    rfc822_date_fields fields;
};

namespace {

boost::optional<int> present(int field)
{
    return field == -1 ? boost::optional<int>() : boost::optional<int>(field);
}

// Building the grammar's tables costs far more than a parse, and feeds and
// data files parse many times in a row; a grammar is used by one thread only.
struct thread_grammar {
    rfc822_date_fields fields;
    const rfc822_date_grammar grammar{fields};
};

} // namespace

rfc822_date_parser::rfc822_date_parser()
    : pimpl_(boost::make_shared<pimpl>())
{
}

bool rfc822_date_parser::parse(const std::string& text)
{
    namespace classic = boost::spirit::classic;

    thread_local thread_grammar parsing;
    parsing.fields = rfc822_date_fields();
    // The skipper runs only before a token; end_p is the token that lets trailing white space go.
    const char* const begin = text.c_str();
    pimpl_->ok =
        classic::parse(begin, begin + text.size(), parsing.grammar >> classic::end_p, classic::space_p).full;
    pimpl_->fields = parsing.fields;
    return pimpl_->ok;
}

bool rfc822_date_parser::ok() const
{
    return pimpl_->ok;
}

boost::optional<int> rfc822_date_parser::day_of_week() const
{
    return present(pimpl_->fields.day_of_week);
}

int rfc822_date_parser::day() const
{
    return pimpl_->fields.day;
}

int rfc822_date_parser::month() const
{
    return pimpl_->fields.month;
}

int rfc822_date_parser::year() const
{
    return pimpl_->fields.year;
}

int rfc822_date_parser::hour() const
{
    return pimpl_->fields.hour;
}

int rfc822_date_parser::minute() const
{
    return pimpl_->fields.minute;
}

boost::optional<int> rfc822_date_parser::second() const
{
    return present(pimpl_->fields.second);
}

std::string rfc822_date_parser::zone() const
{
    return pimpl_->fields.zone;
}

} // namespace network
} // namespace pelmo
