// What every HTTPS connection of the server shares: the certificate chain
// and private key, TLS 1.2 and 1.3 only, and the report of failed
// handshakes, which is rate-limited so that a scanner cannot flood the log.
#ifndef HOST_CIMSERVER_TLS_CONTEXT_H
#define HOST_CIMSERVER_TLS_CONTEXT_H

#include <openssl/ssl.h>

#include <chrono>
#include <mutex>
#include <string>

namespace cimserver {

class TlsContext {
public:
    TlsContext();
    ~TlsContext();
    TlsContext(const TlsContext&) = delete;
    TlsContext& operator=(const TlsContext&) = delete;

    // Loads the certificate chain (PEM, the server's certificate first) and
    // its private key (PEM, unencrypted); false with a message naming the
    // file and the reason, also when the key is not the certificate's.
    bool load(const std::string& cert_file, const std::string& key_file, std::string& message);

    SSL_CTX* get() const { return _ctx; }

    // Reports a handshake that failed: the first at once, the next ones at
    // most once a minute with the count of those not reported.
    void handshake_failed(int fd, const std::string& reason);

private:
    using Clock = std::chrono::steady_clock;
    SSL_CTX* _ctx = nullptr;
    std::mutex _mutex;
    Clock::time_point _next_report{};
    unsigned long _unreported = 0;
};

} // namespace cimserver

#endif
