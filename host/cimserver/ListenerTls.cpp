#include "ListenerTls.h"

#include <openssl/err.h>

#include <sys/stat.h>

#include <cerrno>
#include <cstring>

namespace cimserver {

namespace {

std::string last_openssl_error(const char* otherwise)
{
    const unsigned long e = ERR_peek_last_error();
    ERR_clear_error();
    const char* reason = e ? ERR_reason_error_string(e) : nullptr;
    return reason ? reason : otherwise;
}

} // namespace

ListenerTls::ListenerTls() : _ctx(SSL_CTX_new(TLS_client_method()))
{
    if (!_ctx)
        return;
    SSL_CTX_set_min_proto_version(_ctx, TLS1_2_VERSION);
    SSL_CTX_set_verify(_ctx, SSL_VERIFY_PEER, nullptr);
    // A listener that closes without close_notify has still answered; writes
    // go on from where a partial one stopped.
    SSL_CTX_set_options(_ctx, SSL_OP_IGNORE_UNEXPECTED_EOF | SSL_OP_NO_RENEGOTIATION);
    SSL_CTX_set_mode(_ctx, SSL_MODE_ENABLE_PARTIAL_WRITE | SSL_MODE_ACCEPT_MOVING_WRITE_BUFFER);
}

ListenerTls::~ListenerTls()
{
    SSL_CTX_free(_ctx);
}

bool ListenerTls::load(const std::string& trust_store, std::string& message)
{
    ERR_clear_error();
    if (!_ctx) {
        message = "cannot set up TLS for indication export: " + last_openssl_error("no TLS context");
        return false;
    }
    if (trust_store.empty()) {
        _trust_store = "the system's trust store";
        if (SSL_CTX_set_default_verify_paths(_ctx) != 1) {
            message = "cannot read the system's trust store: " + last_openssl_error("unreadable");
            return false;
        }
        return true;
    }
    _trust_store = trust_store;
    struct stat st {};
    if (::stat(trust_store.c_str(), &st) != 0) {
        message = "cannot read the export trust store " + trust_store + ": " + std::strerror(errno);
        return false;
    }
    const bool folder = S_ISDIR(st.st_mode);
    if (SSL_CTX_load_verify_locations(_ctx, folder ? nullptr : trust_store.c_str(),
                                      folder ? trust_store.c_str() : nullptr) != 1) {
        message = "cannot use the export trust store " + trust_store + ": " +
                  last_openssl_error("it holds no PEM certificate");
        return false;
    }
    return true;
}

} // namespace cimserver
