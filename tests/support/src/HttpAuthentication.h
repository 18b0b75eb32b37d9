#ifndef NOCTAVI_TESTS_SUPPORT_HTTPAUTHENTICATION_H
#define NOCTAVI_TESTS_SUPPORT_HTTPAUTHENTICATION_H

#include <support/FakeMachine.h>

#include <map>
#include <string>
#include <vector>

namespace support::detail {

// The Authorization header of a request, taken apart.
struct Authorization {
    std::string scheme; // "Basic", "Digest" or empty
    std::string user;
    std::string password;                      // Basic only
    std::map<std::string, std::string> params; // Digest only
};

Authorization ParseAuthorization(const std::string& header);

// The WWW-Authenticate values that ask for the scheme, one a header; a
// stale one tells that only the nonce answered had run out.
std::vector<std::string> Challenges(Credentials::Scheme scheme, const std::string& nonce, bool stale = false);

// Whether the request's authorization proves the credentials by a scheme they
// allow (Digest: RFC 7616 with MD5 and qop "auth", or RFC 2069 without qop).
bool Proves(const Authorization& authorization, const Credentials& credentials, const std::string& method,
            const std::string& nonce);

} // namespace support::detail

#endif
