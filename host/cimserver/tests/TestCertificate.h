// A self-signed certificate and its key for the tests' HTTPS servers, made
// with OpenSSL in a private folder removed with the object: an EC P-256 key
// and a certificate for localhost and 127.0.0.1, so clients that check the
// host name trust it through ca_file.
#ifndef HOST_CIMSERVER_TESTS_TEST_CERTIFICATE_H
#define HOST_CIMSERVER_TESTS_TEST_CERTIFICATE_H

#include <string>
#include <vector>

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
    // cimserver's arguments for an HTTPS port of the system's choosing with
    // this certificate, followed by extra.
    std::vector<std::string> https_arguments(const std::vector<std::string>& extra = {}) const
    {
        std::vector<std::string> a = {"--https-port", "0", "--cert", _cert, "--key", _key};
        a.insert(a.end(), extra.begin(), extra.end());
        return a;
    }

private:
    std::string _dir;
    std::string _cert;
    std::string _key;
};

} // namespace cimserver::test

#endif
