#include "CertificateFactory.hpp"

#include <stdexcept>

#include <openssl/bio.h>
#include <openssl/ec.h>
#include <openssl/err.h>
#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/x509v3.h>

namespace arraysim {

namespace {

void check(bool ok, const char* what) {
    if (!ok) {
        char buf[256];
        ERR_error_string_n(ERR_get_error(), buf, sizeof buf);
        throw std::runtime_error(std::string(what) + ": " + buf);
    }
}

PkeyPtr newKey() {
    PkeyPtr k(EVP_EC_gen("P-256"));
    check(k != nullptr, "key generation");
    return k;
}

void addExt(X509* cert, X509* issuer, int nid, const char* value) {
    X509V3_CTX ctx;
    X509V3_set_ctx_nodb(&ctx);
    X509V3_set_ctx(&ctx, issuer, cert, nullptr, nullptr, 0);
    X509_EXTENSION* ext = X509V3_EXT_conf_nid(nullptr, &ctx, nid, value);
    check(ext != nullptr, "extension");
    X509_add_ext(cert, ext, -1);
    X509_EXTENSION_free(ext);
}

X509Ptr makeCert(EVP_PKEY* key, const std::string& cn, const std::string& org, X509* issuer,
                 EVP_PKEY* issuerKey, bool isCa, long serial) {
    X509Ptr c(X509_new());
    check(c != nullptr, "X509_new");
    X509_set_version(c.get(), 2);
    ASN1_INTEGER_set(X509_get_serialNumber(c.get()), serial);
    X509_gmtime_adj(X509_getm_notBefore(c.get()), -3600);
    X509_gmtime_adj(X509_getm_notAfter(c.get()), 3600L * 24 * 365 * 5);
    X509_set_pubkey(c.get(), key);
    X509_NAME* name = X509_get_subject_name(c.get());
    X509_NAME_add_entry_by_txt(name, "O", MBSTRING_ASC, reinterpret_cast<const unsigned char*>(org.c_str()), -1, -1, 0);
    if (!cn.empty())
        X509_NAME_add_entry_by_txt(name, "CN", MBSTRING_ASC, reinterpret_cast<const unsigned char*>(cn.c_str()), -1, -1, 0);
    X509* iss = issuer ? issuer : c.get();
    X509_set_issuer_name(c.get(), X509_get_subject_name(iss));
    addExt(c.get(), iss, NID_basic_constraints, isCa ? "critical,CA:TRUE" : "CA:FALSE");
    if (isCa) addExt(c.get(), iss, NID_key_usage, "critical,keyCertSign,cRLSign");
    check(X509_sign(c.get(), issuerKey ? issuerKey : key, EVP_sha256()) > 0, "X509_sign");
    return c;
}

}  // namespace

CertificateFactory::CertificateFactory() {
    caKey_ = newKey();
    caCert_ = makeCert(caKey_.get(), "KESTRIS Array Private CA", "KESTRIS", nullptr, nullptr, true, 1);
}

CtxPtr CertificateFactory::serverContext(CertVariant variant, const std::string& suffix) const {
    CtxPtr ctx(SSL_CTX_new(TLS_server_method()));
    check(ctx != nullptr, "SSL_CTX_new");
    SSL_CTX_set_min_proto_version(ctx.get(), TLS1_2_VERSION);
    PkeyPtr key = newKey();
    std::string cn = "KESTRIS_VORPAK" + suffix;
    if (variant == CertVariant::WrongName) cn = "KESTRIS_VORPAQ" + suffix;
    if (variant == CertVariant::NoName) cn.clear();
    X509Ptr leaf = variant == CertVariant::SelfSigned
                       ? makeCert(key.get(), cn, "KESTRIS", nullptr, nullptr, false, 2)
                       : makeCert(key.get(), cn, "KESTRIS", caCert_.get(), caKey_.get(), false, 2);
    check(SSL_CTX_use_certificate(ctx.get(), leaf.get()) == 1, "use certificate");
    check(SSL_CTX_use_PrivateKey(ctx.get(), key.get()) == 1, "use key");
    if (variant == CertVariant::ChainWithRoot) {
        X509_up_ref(caCert_.get());
        check(SSL_CTX_add_extra_chain_cert(ctx.get(), caCert_.get()) == 1, "chain");
    }
    return ctx;
}

std::string CertificateFactory::caPem() const {
    BIO* b = BIO_new(BIO_s_mem());
    PEM_write_bio_X509(b, caCert_.get());
    char* data = nullptr;
    const long n = BIO_get_mem_data(b, &data);
    std::string s(data, static_cast<std::size_t>(n));
    BIO_free(b);
    return s;
}

}  // namespace arraysim
