#include "TlsContext.h"

#include <openssl/err.h>
#include <openssl/pem.h>
#include <openssl/x509.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include <cstdio>

namespace cimserver {

namespace {

constexpr std::chrono::seconds REPORT_INTERVAL{60};

// The reason of OpenSSL's latest error, or what was going on.
std::string openssl_reason(const char* otherwise)
{
    const unsigned long e = ERR_peek_last_error();
    ERR_clear_error();
    const char* reason = e ? ERR_reason_error_string(e) : nullptr;
    return reason ? reason : otherwise;
}

std::string peer_of(int fd)
{
    sockaddr_storage peer{};
    socklen_t len = sizeof peer;
    char host[INET6_ADDRSTRLEN] = "?";
    int port = 0;
    if (::getpeername(fd, reinterpret_cast<sockaddr*>(&peer), &len) == 0) {
        if (peer.ss_family == AF_INET6) {
            auto* a = reinterpret_cast<sockaddr_in6*>(&peer);
            ::inet_ntop(AF_INET6, &a->sin6_addr, host, sizeof host);
            port = ntohs(a->sin6_port);
        } else if (peer.ss_family == AF_INET) {
            auto* a = reinterpret_cast<sockaddr_in*>(&peer);
            ::inet_ntop(AF_INET, &a->sin_addr, host, sizeof host);
            port = ntohs(a->sin_port);
        }
    }
    return std::string(host) + ":" + std::to_string(port);
}

// No passphrase is asked: an encrypted key cannot be read.
int no_passphrase(char*, int, int, void*)
{
    return 0;
}

} // namespace

TlsContext::TlsContext() : _ctx(SSL_CTX_new(TLS_server_method()))
{
    if (!_ctx)
        return;
    SSL_CTX_set_min_proto_version(_ctx, TLS1_2_VERSION);
    // No renegotiation: a record never needs the other direction once the
    // handshake is over. EOF without close_notify is an ordinary end, as
    // most clients close that way between requests. No session tickets:
    // nothing is written after the handshake that the client did not ask.
    SSL_CTX_set_options(_ctx, SSL_OP_NO_RENEGOTIATION | SSL_OP_IGNORE_UNEXPECTED_EOF | SSL_OP_NO_TICKET |
                                  SSL_OP_CIPHER_SERVER_PREFERENCE);
    SSL_CTX_set_num_tickets(_ctx, 0);
    SSL_CTX_set_session_cache_mode(_ctx, SSL_SESS_CACHE_OFF);
    // Writes from an answer's queue: what a write took is reported at once,
    // and a retried write may start at another address with the same bytes.
    // An idle connection holds no record buffers.
    SSL_CTX_set_mode(_ctx, SSL_MODE_ENABLE_PARTIAL_WRITE | SSL_MODE_ACCEPT_MOVING_WRITE_BUFFER |
                               SSL_MODE_RELEASE_BUFFERS);
}

TlsContext::~TlsContext()
{
    SSL_CTX_free(_ctx);
}

bool TlsContext::load(const std::string& cert_file, const std::string& key_file, std::string& message)
{
    ERR_clear_error();
    if (!_ctx) {
        message = "cannot set up TLS: " + openssl_reason("no TLS context");
        return false;
    }
    if (SSL_CTX_use_certificate_chain_file(_ctx, cert_file.c_str()) != 1) {
        message = "cannot use the certificate in " + cert_file + ": " + openssl_reason("unreadable");
        return false;
    }
    EVP_PKEY* key = nullptr;
    if (FILE* in = std::fopen(key_file.c_str(), "r")) {
        key = PEM_read_PrivateKey(in, nullptr, no_passphrase, nullptr);
        std::fclose(in);
    }
    if (!key) {
        message = "cannot use the private key in " + key_file + ": " +
                  openssl_reason("cannot read the file (an unencrypted PEM key is needed)");
        return false;
    }
    const bool matches = X509_check_private_key(SSL_CTX_get0_certificate(_ctx), key) == 1;
    const bool used = matches && SSL_CTX_use_PrivateKey(_ctx, key) == 1;
    EVP_PKEY_free(key);
    if (!matches) {
        ERR_clear_error();
        message = "the private key in " + key_file + " does not belong to the certificate in " + cert_file;
        return false;
    }
    if (!used) {
        message = "cannot use the private key in " + key_file + ": " + openssl_reason("refused");
        return false;
    }
    return true;
}

void TlsContext::handshake_failed(int fd, const std::string& reason)
{
    unsigned long skipped = 0;
    {
        std::lock_guard lock(_mutex);
        const auto now = Clock::now();
        if (now < _next_report) {
            _unreported++;
            return;
        }
        _next_report = now + REPORT_INTERVAL;
        skipped = _unreported;
        _unreported = 0;
    }
    std::string more = skipped ? " (" + std::to_string(skipped) + " more failed since the last report)" : "";
    std::fprintf(stderr, "cimserver: TLS handshake with %s failed: %s%s\n", peer_of(fd).c_str(), reason.c_str(),
                 more.c_str());
}

} // namespace cimserver
