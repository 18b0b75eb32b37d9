#ifndef TRANSPORT_SRC_REQUEST_AUTH_HPP
#define TRANSPORT_SRC_REQUEST_AUTH_HPP

#include "origin.hpp"
#include "protection_spaces.hpp"

#include <optional>
#include <string>

namespace transport::detail {

// The credentials of one request and when they go: at once into a protection
// space where the host accepted them before, else in answer to the host's
// challenge, once: as Digest when it is offered, as Basic only when it is
// offered and Digest is not. A Digest nonce found stale is answered once
// more; a refusal of credentials sent at once forgets the space and answers
// the challenge once. Each value is an Authorization header's value, or empty
// for a request without one.
class request_auth {
public:
    request_auth() = default;
    request_auth(const request_auth&) = delete;
    request_auth& operator=(const request_auth&) = delete;
    ~request_auth() { clear(); }

    void set(std::string user, std::string password);
    void clear() noexcept;
    // Whether credentials are set and no request could carry them.
    bool unsendable() const;

    // For the request's first attempt.
    std::string first(const origin& at, const std::string& method, const std::string& uri);
    // After a 401 with these WWW-Authenticate values: the next attempt's, or
    // none when the request ends with the 401.
    std::optional<std::string> next(const std::string& challenges);
    // After the last attempt's response.
    void settle(int status);

private:
    std::optional<std::string> answer(const challenge& offered, unsigned long nc);
    std::optional<std::string> answer_fresh(const challenge& offered);
    std::string basic() const;

    origin at_;
    std::string method_;
    std::string uri_;
    std::string user_;
    std::string password_;
    bool present_ = false;
    bool answered_ = false;
    bool stale_answered_ = false;
    std::optional<protection_space> sent_; // what the last attempt carried
    bool claimed_ = false;                 // and whether it came from the record
};

} // namespace transport::detail

#endif
