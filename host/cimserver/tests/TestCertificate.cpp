#include "TestCertificate.h"

#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/x509.h>
#include <openssl/x509v3.h>

#include <stdlib.h>

#include <cstdio>
#include <filesystem>
#include <functional>
#include <memory>
#include <stdexcept>

namespace cimserver::test {

namespace {

template <class T, void (*Free)(T*)>
using Owned = std::unique_ptr<T, decltype([](T* p) { Free(p); })>;

void write_pem(const std::string& path, const std::function<int(FILE*)>& write)
{
    FILE* out = std::fopen(path.c_str(), "w");
    if (!out || write(out) != 1 || std::fclose(out) != 0)
        throw std::runtime_error("cannot write " + path);
}

} // namespace

TestCertificate::TestCertificate()
{
    char tmpl[] = "/tmp/cimserver-cert-XXXXXX";
    if (!::mkdtemp(tmpl))
        throw std::runtime_error("mkdtemp failed");
    _dir = tmpl;
    _cert = _dir + "/cert.pem";
    _key = _dir + "/key.pem";

    Owned<EVP_PKEY, EVP_PKEY_free> key(EVP_EC_gen("P-256"));
    Owned<X509, X509_free> cert(X509_new());
    if (!key || !cert)
        throw std::runtime_error("cannot make a test key");
    X509_set_version(cert.get(), 2);
    ASN1_INTEGER_set(X509_get_serialNumber(cert.get()), 1);
    X509_gmtime_adj(X509_getm_notBefore(cert.get()), -3600);
    X509_gmtime_adj(X509_getm_notAfter(cert.get()), 86400);
    X509_set_pubkey(cert.get(), key.get());
    X509_NAME* name = X509_get_subject_name(cert.get());
    X509_NAME_add_entry_by_txt(name, "CN", MBSTRING_ASC, reinterpret_cast<const unsigned char*>("localhost"), -1, -1,
                               0);
    X509_set_issuer_name(cert.get(), name);
    X509V3_CTX ctx;
    X509V3_set_ctx_nodb(&ctx);
    X509V3_set_ctx(&ctx, cert.get(), cert.get(), nullptr, nullptr, 0);
    for (auto [nid, value] : {std::pair{NID_subject_alt_name, "DNS:localhost,IP:127.0.0.1"},
                              std::pair{NID_basic_constraints, "critical,CA:TRUE"}}) {
        Owned<X509_EXTENSION, X509_EXTENSION_free> ext(X509V3_EXT_conf_nid(nullptr, &ctx, nid, value));
        if (!ext || X509_add_ext(cert.get(), ext.get(), -1) != 1)
            throw std::runtime_error("cannot make a test certificate");
    }
    if (X509_sign(cert.get(), key.get(), EVP_sha256()) == 0)
        throw std::runtime_error("cannot sign the test certificate");
    write_pem(_cert, [&](FILE* f) { return PEM_write_X509(f, cert.get()); });
    write_pem(_key, [&](FILE* f) {
        return PEM_write_PrivateKey(f, key.get(), nullptr, nullptr, 0, nullptr, nullptr);
    });
}

TestCertificate::~TestCertificate()
{
    std::error_code ec;
    std::filesystem::remove_all(_dir, ec);
}

} // namespace cimserver::test
