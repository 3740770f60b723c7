// The TLS client side of indication export: which listener certificates are
// trusted. Every HTTPS listener's certificate is verified, and so is its
// name (the host of the destination URL, a name or an address): against
// the certificates of a trust store the operator names (a PEM file of
// certificates, or a folder of them under OpenSSL's hashed names), or else
// against the system's default trust store. TLS 1.2 and 1.3 only.
#ifndef HOST_CIMSERVER_LISTENER_TLS_H
#define HOST_CIMSERVER_LISTENER_TLS_H

#include <openssl/ssl.h>

#include <string>

namespace cimserver {

class ListenerTls {
public:
    ListenerTls();
    ~ListenerTls();
    ListenerTls(const ListenerTls&) = delete;
    ListenerTls& operator=(const ListenerTls&) = delete;

    // trust_store: a PEM file or a folder; empty: the system's trust store.
    // False with a message naming the path and the reason when it cannot be
    // used (a file without a certificate included).
    bool load(const std::string& trust_store, std::string& message);

    SSL_CTX* get() const { return _ctx; }
    // What the certificates are verified against, for messages.
    const std::string& trust_store() const { return _trust_store; }

private:
    SSL_CTX* _ctx = nullptr;
    std::string _trust_store;
};

} // namespace cimserver

#endif
