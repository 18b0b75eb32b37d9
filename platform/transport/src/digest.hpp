#ifndef TRANSPORT_SRC_DIGEST_HPP
#define TRANSPORT_SRC_DIGEST_HPP

#include "challenge.hpp"

#include <optional>
#include <string>
#include <vector>

namespace transport::detail {

// The first Digest challenge that can be answered (RFC 7616, MD5 or SHA-256,
// with qop "auth" or none), or null.
const challenge* answerable_digest(const std::vector<challenge>& challenges);

// The value of the Authorization header answering that challenge with the
// nonce count `nc`. None when the answer cannot be made safely (a value that
// would break the header line, no random source).
std::optional<std::string> digest_authorization(const challenge& offered, unsigned long nc, const std::string& method,
                                                const std::string& uri, const std::string& user,
                                                const std::string& password);

// Whether the challenge says that the nonce answered was only out of date.
bool is_stale(const challenge& offered);

} // namespace transport::detail

#endif
