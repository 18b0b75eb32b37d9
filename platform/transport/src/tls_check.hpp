#ifndef TRANSPORT_SRC_TLS_CHECK_HPP
#define TRANSPORT_SRC_TLS_CHECK_HPP

#include <curl/curl.h>

#include <string>

namespace transport::detail {

// The certificate check of one TLS handshake and its outcome. Trust is
// settled within the handshake, so nothing is sent to a host whose key is
// not trusted.
struct tls_check {
    enum class outcome {
        none,        // no handshake ran (a plain connection)
        trusted,     // verified against the system trust store for the host
        pinned,      // self-signed, with the key recorded for host and port
        untrusted,   // neither, or its key cannot be recorded
        key_changed, // with a key other than the recorded one, and not verified
    };

    std::string host;
    int port = 0;
    outcome result = outcome::none;
    std::string key; // of the certificate judged

    bool accepted() const { return result == outcome::trusted || result == outcome::pinned; }
};

// CURLOPT_SSL_CTX_FUNCTION with a tls_check as its data: puts the handshake's
// certificate check in our hands.
CURLcode install_tls_check(CURL* easy, void* ssl_ctx, void* check);

} // namespace transport::detail

#endif
