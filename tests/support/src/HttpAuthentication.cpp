#include "HttpAuthentication.h"

#include <openssl/evp.h>

#include <vector>

namespace support::detail {
namespace {

const char* const realm = "fake-machine";

std::string DecodeBase64(const std::string& text)
{
    std::vector<unsigned char> decoded(text.size() / 4 * 3 + 3);
    const int size = EVP_DecodeBlock(decoded.data(), reinterpret_cast<const unsigned char*>(text.data()),
                                     static_cast<int>(text.size()));
    if (size < 0)
        return {};
    std::size_t length = static_cast<std::size_t>(size);
    // EVP_DecodeBlock counts the padding as data.
    for (auto pad = text.rbegin(); pad != text.rend() && *pad == '=' && length > 0; ++pad)
        --length;
    return std::string(decoded.begin(), decoded.begin() + static_cast<std::ptrdiff_t>(length));
}

std::string Md5Hex(const std::string& text)
{
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int size = 0;
    EVP_Digest(text.data(), text.size(), digest, &size, EVP_md5(), nullptr);
    static const char hex[] = "0123456789abcdef";
    std::string result;
    for (unsigned int i = 0; i < size; ++i) {
        result += hex[digest[i] >> 4];
        result += hex[digest[i] & 0x0F];
    }
    return result;
}

// key=value and key="value" pairs separated by commas.
std::map<std::string, std::string> ParseParams(const std::string& text)
{
    std::map<std::string, std::string> params;
    std::size_t i = 0;
    while (i < text.size()) {
        while (i < text.size() && (text[i] == ' ' || text[i] == ','))
            ++i;
        const std::size_t equals = text.find('=', i);
        if (equals == std::string::npos)
            break;
        const std::string key = text.substr(i, equals - i);
        i = equals + 1;
        std::string value;
        if (i < text.size() && text[i] == '"') {
            const std::size_t close = text.find('"', i + 1);
            value = text.substr(i + 1, close - i - 1);
            i = close == std::string::npos ? text.size() : close + 1;
        } else {
            const std::size_t comma = std::min(text.find(',', i), text.size());
            value = text.substr(i, comma - i);
            i = comma;
        }
        params[key] = value;
    }
    return params;
}

std::string Param(const Authorization& authorization, const std::string& key)
{
    const auto found = authorization.params.find(key);
    return found == authorization.params.end() ? std::string() : found->second;
}

bool ProvesDigest(const Authorization& a, const Credentials& credentials, const std::string& method,
                  const std::string& nonce)
{
    if (Param(a, "nonce") != nonce || Param(a, "realm") != realm)
        return false;
    const std::string ha1 = Md5Hex(credentials.user + ':' + realm + ':' + credentials.password);
    const std::string ha2 = Md5Hex(method + ':' + Param(a, "uri"));
    const std::string qop = Param(a, "qop");
    const std::string expected =
        qop.empty() ? Md5Hex(ha1 + ':' + nonce + ':' + ha2)
                    : Md5Hex(ha1 + ':' + nonce + ':' + Param(a, "nc") + ':' + Param(a, "cnonce") + ':' + qop + ':' +
                             ha2);
    return Param(a, "response") == expected;
}

} // namespace

Authorization ParseAuthorization(const std::string& header)
{
    Authorization result;
    const std::size_t space = header.find(' ');
    const std::string scheme = header.substr(0, space);
    const std::string rest = space == std::string::npos ? std::string() : header.substr(space + 1);
    if (scheme == "Basic") {
        const std::string pair = DecodeBase64(rest);
        const std::size_t colon = pair.find(':');
        result.scheme = scheme;
        result.user = pair.substr(0, colon);
        result.password = colon == std::string::npos ? std::string() : pair.substr(colon + 1);
    } else if (scheme == "Digest") {
        result.scheme = scheme;
        result.params = ParseParams(rest);
        result.user = Param(result, "username");
    }
    return result;
}

std::vector<std::string> Challenges(Credentials::Scheme scheme, const std::string& nonce, bool stale)
{
    const std::string digest = std::string("Digest realm=\"") + realm + "\", qop=\"auth\", algorithm=MD5, nonce=\"" +
                               nonce + '"' + (stale ? ", stale=true" : "");
    const std::string basic = std::string("Basic realm=\"") + realm + '"';
    switch (scheme) {
    case Credentials::Scheme::Basic: return {basic};
    case Credentials::Scheme::Digest: return {digest};
    case Credentials::Scheme::DigestOrBasic: break;
    }
    return {digest, basic};
}

bool Proves(const Authorization& authorization, const Credentials& credentials, const std::string& method,
            const std::string& nonce)
{
    const bool basic = credentials.scheme != Credentials::Scheme::Digest && authorization.scheme == "Basic" &&
                       authorization.password == credentials.password;
    const bool digest = credentials.scheme != Credentials::Scheme::Basic && authorization.scheme == "Digest" &&
                        ProvesDigest(authorization, credentials, method, nonce);
    return authorization.user == credentials.user && (basic || digest);
}

} // namespace support::detail
