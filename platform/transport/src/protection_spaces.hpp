#ifndef TRANSPORT_SRC_PROTECTION_SPACES_HPP
#define TRANSPORT_SRC_PROTECTION_SPACES_HPP

#include "challenge.hpp"
#include "origin.hpp"

#include <map>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace transport::detail {

// Where a host accepted a user's credentials: the challenge answered (its
// scheme, realm and, for Digest, nonce), the paths it accepted them for, and
// the last nonce count sent with that nonce.
struct protection_space {
    challenge answered;
    std::set<std::string> paths; // without their queries
    unsigned long nc = 0;
};

// The process-wide record of protection spaces by origin and user, so that
// later requests for a path whose credentials the host took carry them at
// once, Digest with the same nonce and a rising count. Only paths that have
// been challenged count, not all that the RFCs would allow: a path beside
// one that took Basic may want Digest, and would get the password in clear.
class protection_spaces {
public:
    static constexpr std::size_t spaces_per_user = 16;
    static constexpr std::size_t paths_per_space = 64;

    static protection_spaces& instance();

    // The space that holds the path, its nonce count advanced for this use.
    std::optional<protection_space> claim(const origin& at, const std::string& user, const std::string& path);
    // The nonce count to answer a fresh challenge with: the next one where a
    // space holds its nonce, else 1.
    unsigned long next_count(const origin& at, const std::string& user, const challenge& offered);
    // The host accepted the credentials answering `answered` with count `nc`.
    void accepted(const origin& at, const std::string& user, const std::string& path, const challenge& answered,
                  unsigned long nc);
    // The host refused the credentials sent into the space: it is forgotten.
    void forget(const origin& at, const std::string& user, const protection_space& space);

private:
    protection_spaces() = default;

    using key = std::pair<origin, std::string>;
    std::mutex mutex_;
    std::map<key, std::vector<protection_space>> spaces_;
};

} // namespace transport::detail

#endif
