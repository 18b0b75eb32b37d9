#ifndef TRANSPORT_SRC_TLS_CHECK_HPP
#define TRANSPORT_SRC_TLS_CHECK_HPP

#include <curl/curl.h>

#include <string>

namespace transport::detail {

// The certificate check of one TLS handshake and its outcome.
struct tls_check {
    enum class outcome {
        none,        // no handshake ran (a plain or reused connection)
        trusted,     // verified against the system trust store for the host
        pinned,      // self-signed, with the key recorded for host and port
        first_use,   // self-signed, no key recorded yet: key waits to be recorded
        untrusted,   // neither, or no key can be recorded
        key_changed, // self-signed, with a key other than the recorded one
    };

    std::string host;
    int port = 0;
    outcome result = outcome::none;
    std::string key; // the presented key, when self-signed
};

// CURLOPT_SSL_CTX_FUNCTION with a tls_check as its data: puts the handshake's
// certificate check in our hands.
CURLcode install_tls_check(CURL* easy, void* ssl_ctx, void* check);

} // namespace transport::detail

#endif
