// A self-signed certificate and its key for the tests' HTTPS servers, made
// with OpenSSL in a private folder removed with the object: an EC P-256 key
// and a certificate for localhost and 127.0.0.1, so clients that check the
// host name trust it through ca_file.
#ifndef HOST_CIMSERVER_TESTS_TEST_CERTIFICATE_H
#define HOST_CIMSERVER_TESTS_TEST_CERTIFICATE_H

#include <string>

namespace cimserver::test {

class TestCertificate {
public:
    TestCertificate();
    ~TestCertificate();
    TestCertificate(const TestCertificate&) = delete;
    TestCertificate& operator=(const TestCertificate&) = delete;

    const std::string& cert_file() const { return _cert; }
    const std::string& key_file() const { return _key; }
    // The certificate a client trusts: the certificate itself.
    const std::string& ca_file() const { return _cert; }

private:
    std::string _dir;
    std::string _cert;
    std::string _key;
};

} // namespace cimserver::test

#endif
