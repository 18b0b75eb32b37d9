#include <pelmo/network/address.hpp>

#include <boost/xpressive/xpressive_static.hpp>

namespace pelmo {
namespace network {

namespace {

namespace xp = boost::xpressive;

constexpr std::string::size_type max_host_name_length = 255;

// The classes are spelled out, so that the user's locale never widens them.
xp::sregex ascii_alnum()
{
    return xp::set[xp::range('a', 'z') | xp::range('A', 'Z') | xp::range('0', '9')];
}

} // namespace

bool is_ipv4_address(const std::string& text)
{
    using xp::as_xpr;
    using xp::range;

    const xp::sregex digit = range('0', '9');
    // 250-255 first, then 0-249 without a leading zero.
    const xp::sregex octet = (as_xpr("25") >> range('0', '5'))
        | (!((as_xpr('2') >> range('0', '4')) | (as_xpr('1') >> digit) | range('1', '9')) >> digit);
    const xp::sregex address = xp::repeat<3>(octet >> '.') >> octet;
    return xp::regex_match(text, address);
}

bool is_host_name(const std::string& text)
{
    // Checked before matching, so the match never runs over an unbounded text.
    if (text.size() > max_host_name_length)
        return false;

    const xp::sregex alnum = ascii_alnum();
    const xp::sregex label = alnum | (alnum >> *(alnum | '-' | '_') >> alnum);
    const xp::sregex host = label >> *('.' >> label);
    return xp::regex_match(text, host);
}

} // namespace network
} // namespace pelmo
