#include "tls_check.hpp"

#include "ascii.hpp"
#include "connection_pool.hpp"
#include "pin_store.hpp"

#include <arpa/inet.h>
#include <openssl/evp.h>
#include <openssl/ssl.h>
#include <openssl/x509.h>
#include <openssl/x509_vfy.h>
#include <openssl/x509v3.h>

#include <memory>

namespace transport::detail {
namespace {

bool is_ipv4(const std::string& host)
{
    in_addr address{};
    return inet_pton(AF_INET, host.c_str(), &address) == 1;
}

bool verifies_for_host(X509_STORE_CTX* context, const std::string& host)
{
    X509_VERIFY_PARAM* param = X509_STORE_CTX_get0_param(context);
    const int named = is_ipv4(host) ? X509_VERIFY_PARAM_set1_ip_asc(param, host.c_str())
                                    : X509_VERIFY_PARAM_set1_host(param, host.c_str(), host.size());
    return named == 1 && X509_verify_cert(context) == 1;
}

// SHA-256 of the certificate's SubjectPublicKeyInfo: it survives the renewal
// of a certificate that keeps its key.
std::string key_fingerprint(X509* certificate)
{
    unsigned char* raw = nullptr;
    const int size = i2d_X509_PUBKEY(X509_get_X509_PUBKEY(certificate), &raw);
    const std::unique_ptr<unsigned char, void (*)(void*)> der(raw, [](void* p) { OPENSSL_free(p); });
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int digest_size = 0;
    if (size <= 0 || EVP_Digest(der.get(), static_cast<std::size_t>(size), digest, &digest_size, EVP_sha256(),
                                nullptr) != 1)
        return {};
    return "sha256:" + hex(digest, digest_size);
}

// A self-signed key is trusted when it is the one recorded for host and port,
// or when it can be recorded as the first for them.
tls_check::outcome judge_self_signed(const tls_check& check, const std::string& key)
{
    using verdict = pin_store::verdict;
    switch (pin_store::instance().record(check.host, check.port, key)) {
    case verdict::matches: return tls_check::outcome::pinned;
    case verdict::differs: return tls_check::outcome::key_changed;
    case verdict::unavailable: break;
    }
    return tls_check::outcome::untrusted;
}

tls_check::outcome judge(X509_STORE_CTX* context, const tls_check& check, X509* leaf)
{
    if (verifies_for_host(context, check.host)) {
        // Recorded so that a self-signed impostor met later at this host and
        // port shows as a changed key. Failing to record costs only that.
        if (!check.key.empty())
            pin_store::instance().replace(check.host, check.port, check.key);
        return tls_check::outcome::trusted;
    }
    if (!leaf || X509_self_signed(leaf, 1) != 1 || check.key.empty())
        return tls_check::outcome::untrusted;
    return judge_self_signed(check, check.key);
}

int verify_certificate(X509_STORE_CTX* context, void* data)
{
    tls_check& check = *static_cast<tls_check*>(data);
    X509* leaf = X509_STORE_CTX_get0_cert(context);
    check.key = leaf ? key_fingerprint(leaf) : std::string();
    check.result = judge(context, check, leaf);
    if (!check.accepted()) {
        // No connection opened before the refusal may carry another request.
        connection_pool::instance().drop(check.host, check.port);
        return 0;
    }
    X509_STORE_CTX_set_error(context, X509_V_OK);
    return 1;
}

} // namespace

CURLcode install_tls_check(CURL*, void* ssl_ctx, void* check)
{
    SSL_CTX* context = static_cast<SSL_CTX*>(ssl_ctx);
    // The default paths honour SSL_CERT_FILE and SSL_CERT_DIR.
    X509_STORE* store = X509_STORE_new();
    if (!store || X509_STORE_set_default_paths(store) != 1) {
        X509_STORE_free(store);
        return CURLE_SSL_CACERT_BADFILE;
    }
    SSL_CTX_set_cert_store(context, store);
    SSL_CTX_set_verify(context, SSL_VERIFY_PEER, nullptr);
    // The check's data lives only as long as the request that made the
    // connection: a pooled connection must never verify again.
    SSL_CTX_set_options(context, SSL_OP_NO_RENEGOTIATION);
    SSL_CTX_set_cert_verify_callback(context, verify_certificate, check);
    return CURLE_OK;
}

} // namespace transport::detail
