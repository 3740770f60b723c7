// Makes the array's TLS identity at run time with OpenSSL: a private CA that is
// never sent, and a leaf certificate signed by it whose common name starts with
// "KESTRIS_VORPAK". Variants for fault injection: a self-signed leaf, a chain
// that carries its root, a wrong common name and none at all.
#pragma once

#include <memory>
#include <string>

#include <openssl/ssl.h>

namespace arraysim {

enum class CertVariant { Normal, SelfSigned, ChainWithRoot, WrongName, NoName };

struct PkeyFree { void operator()(EVP_PKEY* p) const { EVP_PKEY_free(p); } };
struct X509Free { void operator()(X509* p) const { X509_free(p); } };
struct CtxFree { void operator()(SSL_CTX* p) const { SSL_CTX_free(p); } };
using PkeyPtr = std::unique_ptr<EVP_PKEY, PkeyFree>;
using X509Ptr = std::unique_ptr<X509, X509Free>;
using CtxPtr = std::unique_ptr<SSL_CTX, CtxFree>;

class CertificateFactory {
public:
    // Creates the private CA; throws std::runtime_error when OpenSSL fails.
    CertificateFactory();

    // A server context presenting the variant's certificate chain. The
    // leaf's common name is "KESTRIS_VORPAK" + suffix (unless the variant
    // changes it).
    CtxPtr serverContext(CertVariant variant, const std::string& suffix) const;

    // PEM text of the CA certificate (for tests that want to verify fully).
    std::string caPem() const;

private:
    PkeyPtr caKey_;
    X509Ptr caCert_;
};

}  // namespace arraysim
