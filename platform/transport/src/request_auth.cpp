#include "request_auth.hpp"

#include "ascii.hpp"
#include "digest.hpp"

#include <openssl/crypto.h>
#include <openssl/evp.h>

#include <algorithm>

namespace transport::detail {
namespace {

const challenge* find_scheme(const std::vector<challenge>& challenges, const std::string& scheme)
{
    const auto found = std::find_if(challenges.begin(), challenges.end(),
                                    [&scheme](const challenge& c) { return c.scheme == scheme; });
    return found == challenges.end() ? nullptr : &*found;
}

} // namespace

void request_auth::set(std::string user, std::string password)
{
    clear();
    user_ = std::move(user);
    password_ = std::move(password);
    present_ = true;
}

void request_auth::clear() noexcept
{
    if (!password_.empty())
        OPENSSL_cleanse(password_.data(), password_.size());
    user_.clear();
    password_.clear();
    present_ = answered_ = stale_answered_ = claimed_ = false;
    sent_.reset();
}

// A line break in the user name would end the header line, and a NUL would
// cut either short.
bool request_auth::unsendable() const
{
    return present_ && (breaks_header(user_) || password_.find('\0') != std::string::npos);
}

std::string request_auth::first(const origin& at, const std::string& method, const std::string& uri)
{
    at_ = at;
    method_ = method;
    uri_ = uri;
    answered_ = stale_answered_ = claimed_ = false;
    sent_.reset();
    std::optional<protection_space> space;
    if (present_)
        space = protection_spaces::instance().claim(at, user_, uri);
    if (!space)
        return {};
    const auto value = space->answered.scheme == "digest" ? answer(space->answered, space->nc) : basic();
    if (!value)
        return {};
    sent_ = std::move(space);
    claimed_ = true;
    return *value;
}

std::optional<std::string> request_auth::next(const std::string& values)
{
    if (!present_)
        return std::nullopt;
    const auto challenges = parse_challenges(values);
    const challenge* digest = answerable_digest(challenges);
    // The credentials were right; only the nonce had run out.
    if (digest && sent_ && sent_->answered.scheme == "digest" && is_stale(*digest) && !stale_answered_) {
        stale_answered_ = true;
        return answer_fresh(*digest);
    }
    if (claimed_)
        protection_spaces::instance().forget(at_, user_, *sent_);
    claimed_ = false;
    if (answered_)
        return std::nullopt;
    answered_ = true;
    if (digest)
        return answer_fresh(*digest);
    // A password never goes in clear to a host that can take it hashed.
    const challenge* offered_basic = find_scheme(challenges, "basic");
    if (offers(challenges, "digest") || !offered_basic)
        return std::nullopt;
    sent_ = protection_space{*offered_basic, {}, 0};
    return basic();
}

void request_auth::settle(int status)
{
    if (sent_ && status != 401)
        protection_spaces::instance().accepted(at_, user_, uri_, sent_->answered, sent_->nc);
}

std::optional<std::string> request_auth::answer(const challenge& offered, unsigned long nc)
{
    auto value = digest_authorization(offered, nc, method_, uri_, user_, password_);
    if (value)
        sent_ = protection_space{offered, {}, nc};
    return value;
}

// A challenge's nonce may be one that other requests count with already.
std::optional<std::string> request_auth::answer_fresh(const challenge& offered)
{
    return answer(offered, protection_spaces::instance().next_count(at_, user_, offered));
}

std::string request_auth::basic() const
{
    std::string pair = user_ + ':' + password_;
    std::string encoded(4 * ((pair.size() + 2) / 3) + 1, '\0');
    const int size = EVP_EncodeBlock(reinterpret_cast<unsigned char*>(encoded.data()),
                                     reinterpret_cast<const unsigned char*>(pair.data()), static_cast<int>(pair.size()));
    OPENSSL_cleanse(pair.data(), pair.size());
    encoded.resize(static_cast<std::size_t>(std::max(size, 0)));
    return "Basic " + encoded;
}

} // namespace transport::detail
