#ifndef TRANSPORT_SRC_CHALLENGE_HPP
#define TRANSPORT_SRC_CHALLENGE_HPP

#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace transport::detail {

// One challenge of a WWW-Authenticate header (RFC 9110, 11.6.1): its scheme
// and auth-params, names in lower case; a token68 is kept under the name "".
struct challenge {
    std::string scheme;
    std::map<std::string, std::string> params;
};

// Every challenge of the response's WWW-Authenticate values, one value a
// line, each value holding one or more challenges separated by commas. A
// value that stops making sense ends there; what came before it counts.
std::vector<challenge> parse_challenges(std::string_view values);

// Whether a challenge is for the scheme, named in lower case.
bool offers(const std::vector<challenge>& challenges, std::string_view scheme);

} // namespace transport::detail

#endif
