#ifndef TRANSPORT_SRC_DIGEST_HPP
#define TRANSPORT_SRC_DIGEST_HPP

#include "challenge.hpp"

#include <optional>
#include <string>
#include <vector>

namespace transport::detail {

// The request's answer to the first Digest challenge it can answer (RFC 7616,
// MD5 or SHA-256, with qop "auth" or none): the value of its Authorization
// header. None when no Digest challenge can be answered, or the answer cannot
// be made safely (a value that would break the header line, no random source).
std::optional<std::string> digest_authorization(const std::vector<challenge>& challenges, const std::string& method,
                                                const std::string& uri, const std::string& user,
                                                const std::string& password);

} // namespace transport::detail

#endif
