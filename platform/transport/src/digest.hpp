#ifndef TRANSPORT_SRC_DIGEST_HPP
#define TRANSPORT_SRC_DIGEST_HPP

#include <optional>
#include <string>

namespace transport::detail {

// The request's answer to a Digest challenge (RFC 7616, MD5 or SHA-256, with
// qop "auth" or none): the value of its Authorization header. `challenges`
// holds the response's WWW-Authenticate values, one a line; none when no
// Digest challenge among them can be answered, or the answer cannot be made
// safely (a value that would break the header line, no random source).
std::optional<std::string> digest_authorization(const std::string& challenges, const std::string& method,
                                                const std::string& uri, const std::string& user,
                                                const std::string& password);

} // namespace transport::detail

#endif
