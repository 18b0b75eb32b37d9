#include <support/TestCertificates.h>

#include <openssl/bn.h>
#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/x509.h>
#include <openssl/x509v3.h>

#include <stdexcept>
#include <utility>
#include <vector>

namespace support {
namespace {

struct OpenSslFree {
    void operator()(EVP_PKEY* p) const { EVP_PKEY_free(p); }
    void operator()(X509* p) const { X509_free(p); }
    void operator()(BIO* p) const { BIO_free(p); }
    void operator()(BIGNUM* p) const { BN_free(p); }
    void operator()(X509_EXTENSION* p) const { X509_EXTENSION_free(p); }
};
using KeyPtr = std::unique_ptr<EVP_PKEY, OpenSslFree>;
using CertificatePtr = std::unique_ptr<X509, OpenSslFree>;
using BioPtr = std::unique_ptr<BIO, OpenSslFree>;
using BignumPtr = std::unique_ptr<BIGNUM, OpenSslFree>;
using ExtensionPtr = std::unique_ptr<X509_EXTENSION, OpenSslFree>;

using Extensions = std::vector<std::pair<int, std::string>>;

void Require(bool condition, const char* what)
{
    if (!condition)
        throw std::runtime_error(std::string("test certificate: ") + what);
}

KeyPtr NewKey()
{
    KeyPtr key(EVP_EC_gen("P-256"));
    Require(key != nullptr, "key generation");
    return key;
}

void SetRandomSerial(X509* certificate)
{
    BignumPtr serial(BN_new());
    Require(serial && BN_rand(serial.get(), 63, BN_RAND_TOP_ANY, BN_RAND_BOTTOM_ANY) == 1 &&
                BN_to_ASN1_INTEGER(serial.get(), X509_get_serialNumber(certificate)),
            "serial number");
}

void AddExtensions(X509* certificate, X509* issuer, const Extensions& extensions)
{
    X509V3_CTX context;
    X509V3_set_ctx(&context, issuer, certificate, nullptr, nullptr, 0);
    for (const auto& [nid, value] : extensions) {
        ExtensionPtr extension(X509V3_EXT_conf_nid(nullptr, &context, nid, value.c_str()));
        Require(extension && X509_add_ext(certificate, extension.get(), -1) == 1, "extension");
    }
}

// Signed by `issuer` with `issuerKey`, or by itself when there is no issuer.
CertificatePtr MakeCertificate(EVP_PKEY* key, const std::string& commonName, X509* issuer, EVP_PKEY* issuerKey,
                               const Extensions& extensions)
{
    CertificatePtr certificate(X509_new());
    Require(certificate != nullptr, "allocation");
    X509* c = certificate.get();
    X509_set_version(c, 2);
    SetRandomSerial(c);
    X509_gmtime_adj(X509_getm_notBefore(c), -3600);
    X509_gmtime_adj(X509_getm_notAfter(c), 30L * 24 * 3600);
    X509_set_pubkey(c, key);
    X509_NAME_add_entry_by_txt(X509_get_subject_name(c), "CN", MBSTRING_ASC,
                               reinterpret_cast<const unsigned char*>(commonName.c_str()), -1, -1, 0);
    X509_set_issuer_name(c, issuer ? X509_get_subject_name(issuer) : X509_get_subject_name(c));
    AddExtensions(c, issuer ? issuer : c, extensions);
    Require(X509_sign(c, issuer ? issuerKey : key, EVP_sha256()) > 0, "signature");
    return certificate;
}

std::string ToPem(X509* certificate)
{
    BioPtr bio(BIO_new(BIO_s_mem()));
    Require(bio && PEM_write_bio_X509(bio.get(), certificate) == 1, "certificate PEM");
    char* data = nullptr;
    const long size = BIO_get_mem_data(bio.get(), &data);
    return std::string(data, static_cast<std::size_t>(size));
}

std::string ToPem(EVP_PKEY* key)
{
    BioPtr bio(BIO_new(BIO_s_mem()));
    Require(bio && PEM_write_bio_PrivateKey(bio.get(), key, nullptr, nullptr, 0, nullptr, nullptr) == 1, "key PEM");
    char* data = nullptr;
    const long size = BIO_get_mem_data(bio.get(), &data);
    return std::string(data, static_cast<std::size_t>(size));
}

Extensions ServerExtensions(const std::string& ipAddress)
{
    return {
        {NID_basic_constraints, "CA:FALSE"},
        {NID_key_usage, "critical,digitalSignature,keyEncipherment"},
        {NID_ext_key_usage, "serverAuth"},
        {NID_subject_alt_name, "IP:" + ipAddress + ",DNS:localhost"},
        {NID_subject_key_identifier, "hash"},
    };
}

} // namespace

struct TestAuthority::Pimpl {
    KeyPtr key;
    CertificatePtr certificate;
    std::string pem;
};

TestAuthority::TestAuthority()
    : pimpl_(new Pimpl)
{
    pimpl_->key = NewKey();
    pimpl_->certificate = MakeCertificate(pimpl_->key.get(), "Noctavi Test Authority", nullptr, nullptr,
                                          {
                                              {NID_basic_constraints, "critical,CA:TRUE"},
                                              {NID_key_usage, "critical,keyCertSign,cRLSign"},
                                              {NID_subject_key_identifier, "hash"},
                                          });
    pimpl_->pem = ToPem(pimpl_->certificate.get());
}

TestAuthority::~TestAuthority() = default;

const std::string& TestAuthority::CertificatePem() const
{
    return pimpl_->pem;
}

TestCertificate TestAuthority::Issue(const std::string& ipAddress) const
{
    KeyPtr key = NewKey();
    Extensions extensions = ServerExtensions(ipAddress);
    extensions.emplace_back(NID_authority_key_identifier, "keyid");
    const CertificatePtr certificate =
        MakeCertificate(key.get(), ipAddress, pimpl_->certificate.get(), pimpl_->key.get(), extensions);
    return {ToPem(certificate.get()), ToPem(key.get())};
}

TestCertificate SelfSignedCertificate(const std::string& ipAddress)
{
    KeyPtr key = NewKey();
    const CertificatePtr certificate =
        MakeCertificate(key.get(), ipAddress, nullptr, nullptr, ServerExtensions(ipAddress));
    return {ToPem(certificate.get()), ToPem(key.get())};
}

} // namespace support
