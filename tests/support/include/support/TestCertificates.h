#ifndef NOCTAVI_TESTS_SUPPORT_TESTCERTIFICATES_H
#define NOCTAVI_TESTS_SUPPORT_TESTCERTIFICATES_H

#include <memory>
#include <string>

namespace support {

// A certificate (PEM) with its private key (PEM).
struct TestCertificate {
    std::string certificatePem;
    std::string keyPem;
};

// A certificate authority made afresh for a test run; nothing is ever read
// from disk. Tests trust it by pointing SSL_CERT_FILE at its certificate.
class TestAuthority {
public:
    TestAuthority();
    TestAuthority(const TestAuthority&) = delete;
    TestAuthority& operator=(const TestAuthority&) = delete;
    ~TestAuthority();

    const std::string& CertificatePem() const;
    // A server certificate for the IPv4 address (and "localhost"), signed by
    // this authority.
    TestCertificate Issue(const std::string& ipAddress) const;

private:
    struct Pimpl;
    std::unique_ptr<Pimpl> pimpl_;
};

// A certificate signed by its own key for the IPv4 address, as a machine
// makes for itself; each call makes a new key.
TestCertificate SelfSignedCertificate(const std::string& ipAddress);

} // namespace support

#endif
