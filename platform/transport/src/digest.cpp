#include "digest.hpp"

#include "ascii.hpp"

#include <openssl/evp.h>
#include <openssl/rand.h>

#include <cstdio>
#include <map>
#include <sstream>

namespace transport::detail {
namespace {

using parameters = std::map<std::string, std::string>;

std::string hash_hex(const EVP_MD* algorithm, const std::string& text)
{
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int size = 0;
    if (EVP_Digest(text.data(), text.size(), digest, &size, algorithm, nullptr) != 1)
        return {};
    return hex(digest, size);
}

const EVP_MD* algorithm_of(const parameters& challenge)
{
    const auto found = challenge.find("algorithm");
    const std::string name = found == challenge.end() ? "md5" : lower_ascii(found->second);
    if (name == "md5")
        return EVP_md5();
    if (name == "sha-256")
        return EVP_sha256();
    return nullptr;
}

std::string value_of(const parameters& challenge, const std::string& key)
{
    const auto found = challenge.find(key);
    return found == challenge.end() ? std::string() : found->second;
}

// Whether qop "auth" is offered; qop absent means the older form without it.
std::optional<bool> offers_auth(const parameters& challenge)
{
    const auto found = challenge.find("qop");
    if (found == challenge.end())
        return false;
    std::istringstream options(found->second);
    std::string option;
    while (std::getline(options, option, ',')) {
        if (lower_ascii(trim(option)) == "auth")
            return true;
    }
    return std::nullopt;
}

std::string quoted(const std::string& value)
{
    std::string result = "\"";
    for (char c : value) {
        if (c == '"' || c == '\\')
            result += '\\';
        result += c;
    }
    return result + '"';
}

// Eight hexadecimal digits, as the nonce count is sent.
std::string count_text(unsigned long nc)
{
    char text[16];
    std::snprintf(text, sizeof text, "%08lx", nc & 0xFFFFFFFFul);
    return text;
}

std::optional<std::string> answer(const parameters& challenge, const EVP_MD* algorithm, bool with_qop,
                                  unsigned long count, const std::string& method, const std::string& uri,
                                  const std::string& user, const std::string& password)
{
    const std::string realm = value_of(challenge, "realm");
    const std::string nonce = value_of(challenge, "nonce");
    const std::string opaque = value_of(challenge, "opaque");
    // Quoting cannot carry these: they would end the header line.
    if (breaks_header(user) || breaks_header(realm) || breaks_header(nonce) || breaks_header(opaque))
        return std::nullopt;
    unsigned char random[16];
    if (RAND_bytes(random, sizeof random) != 1)
        return std::nullopt;
    const std::string cnonce = hex(random, sizeof random);
    const std::string nc = count_text(count);

    const std::string ha1 = hash_hex(algorithm, user + ':' + realm + ':' + password);
    const std::string ha2 = hash_hex(algorithm, method + ':' + uri);
    const std::string response =
        with_qop ? hash_hex(algorithm, ha1 + ':' + nonce + ':' + nc + ':' + cnonce + ":auth:" + ha2)
                 : hash_hex(algorithm, ha1 + ':' + nonce + ':' + ha2);

    std::string header = "Digest username=" + quoted(user) + ", realm=" + quoted(realm) + ", nonce=" +
                         quoted(nonce) + ", uri=" + quoted(uri) + ", response=" + quoted(response);
    if (challenge.count("algorithm"))
        header += ", algorithm=" + value_of(challenge, "algorithm");
    if (with_qop)
        header += ", qop=auth, nc=" + nc + ", cnonce=" + quoted(cnonce);
    if (challenge.count("opaque"))
        header += ", opaque=" + quoted(opaque);
    return header;
}

} // namespace

const challenge* answerable_digest(const std::vector<challenge>& challenges)
{
    for (const challenge& offered : challenges) {
        if (offered.scheme == "digest" && offered.params.count("nonce") && algorithm_of(offered.params) &&
            offers_auth(offered.params))
            return &offered;
    }
    return nullptr;
}

std::optional<std::string> digest_authorization(const challenge& offered, unsigned long nc, const std::string& method,
                                                const std::string& uri, const std::string& user,
                                                const std::string& password)
{
    const EVP_MD* algorithm = algorithm_of(offered.params);
    const auto with_qop = offers_auth(offered.params);
    if (!algorithm || !with_qop)
        return std::nullopt;
    return answer(offered.params, algorithm, *with_qop, nc, method, uri, user, password);
}

bool is_stale(const challenge& offered)
{
    return lower_ascii(value_of(offered.params, "stale")) == "true";
}

} // namespace transport::detail
