#pragma once
// A TLS peer on loopback that answers each command with the packets a test
// scripts, for replies no well-behaved array (and so not the simulator)
// sends: another echoed command code, short or oversized counts, bodies on
// acknowledges.
//
// Its certificate is a leaf "KESTRIS_VORPAK_scripted" signed by a private CA
// that is never sent (verification result 20 at the client).

#include <netinet/in.h>
#include <openssl/err.h>
#include <openssl/evp.h>
#include <openssl/ssl.h>
#include <openssl/x509.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <arpa/inet.h>

#include <atomic>
#include <cstdint>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <stdexcept>
#include <thread>
#include <vector>

#include "ByteOrder.h"

namespace smis::test {

class ScriptedArray {
public:
    struct Packet {
        std::uint16_t id = 0;
        std::uint16_t code = 0;
        std::uint8_t status = 0;
        std::uint32_t value = 0;
        std::vector<std::uint8_t> body;
    };
    // The packets answering one command (code and parameters as received).
    using Script = std::function<std::vector<Packet>(std::uint16_t code, const std::vector<std::uint8_t>& params)>;

    // The usual answer: CA35, DA00 with data (commands with bit 14), C639.
    static std::vector<Packet> answer(std::uint16_t code, std::vector<std::uint8_t> data,
                                      std::vector<std::uint8_t> params = {}, std::uint16_t echoed = 0)
    {
        std::vector<Packet> p;
        p.push_back({0xCA35, code, 0, 0, {}});
        if (code & 0x4000)
            p.push_back({0xDA00, code, 0, 0, std::move(data)});
        p.push_back({0xC639, echoed ? echoed : code, 0, 0, std::move(params)});
        return p;
    }

    explicit ScriptedArray(Script script) : _script(std::move(script))
    {
        _ctx = SSL_CTX_new(TLS_server_method());
        EVP_PKEY* caKey = EVP_EC_gen("P-256");
        EVP_PKEY* leafKey = EVP_EC_gen("P-256");
        X509* ca = makeCert(caKey, "Scripted CA", nullptr, caKey, 1);
        X509* leaf = makeCert(leafKey, "KESTRIS_VORPAK_scripted", ca, caKey, 2);
        const bool ok = _ctx && caKey && leafKey && ca && leaf && SSL_CTX_use_certificate(_ctx, leaf) == 1 &&
                        SSL_CTX_use_PrivateKey(_ctx, leafKey) == 1;
        X509_free(ca);
        X509_free(leaf);
        EVP_PKEY_free(caKey);
        EVP_PKEY_free(leafKey);
        _listen = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        ::inet_pton(AF_INET, "127.0.0.1", &a.sin_addr);
        socklen_t len = sizeof a;
        if (!ok || ::bind(_listen, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0 || ::listen(_listen, 8) != 0 ||
            ::getsockname(_listen, reinterpret_cast<sockaddr*>(&a), &len) != 0) {
            cleanup();
            throw std::runtime_error("scripted array cannot start");
        }
        _port = ntohs(a.sin_port);
        _thread = std::thread([this] { run(); });
    }

    ~ScriptedArray()
    {
        _stop = true;
        _thread.join();
        cleanup();
    }

    std::uint16_t port() const { return _port; }
    int exchanges() const { return _exchanges; }
    // The bytes the client sent after its command packet in the last
    // exchange; waits (at most 5 s) until the peer has seen the client close.
    std::vector<std::uint8_t> lastReceived() const
    {
        std::unique_lock<std::mutex> lock(_lock);
        _done.wait_for(lock, std::chrono::seconds(5), [this] { return _finished == _exchanges; });
        return _lastReceived;
    }

private:
    static X509* makeCert(EVP_PKEY* key, const char* cn, X509* issuer, EVP_PKEY* issuerKey, long serial)
    {
        X509* c = X509_new();
        if (!c || !key)
            return c;
        X509_set_version(c, 2);
        ASN1_INTEGER_set(X509_get_serialNumber(c), serial);
        X509_gmtime_adj(X509_getm_notBefore(c), -3600);
        X509_gmtime_adj(X509_getm_notAfter(c), 86400);
        X509_set_pubkey(c, key);
        X509_NAME* name = X509_get_subject_name(c);
        X509_NAME_add_entry_by_txt(name, "CN", MBSTRING_ASC, reinterpret_cast<const unsigned char*>(cn), -1, -1, 0);
        X509_set_issuer_name(c, issuer ? X509_get_subject_name(issuer) : name);
        X509_sign(c, issuerKey, EVP_sha256());
        return c;
    }

    void cleanup()
    {
        if (_listen >= 0)
            ::close(_listen);
        _listen = -1;
        SSL_CTX_free(_ctx);
        _ctx = nullptr;
    }

    static bool readAll(SSL* ssl, std::uint8_t* p, std::size_t n)
    {
        for (std::size_t got = 0; got < n;) {
            const int r = SSL_read(ssl, p + got, static_cast<int>(n - got));
            if (r <= 0)
                return false;
            got += static_cast<std::size_t>(r);
        }
        return true;
    }

    void serve(int fd)
    {
        timeval tv{5, 0};
        ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &tv, sizeof tv);
        SSL* ssl = SSL_new(_ctx);
        if (ssl && SSL_set_fd(ssl, fd) == 1 && SSL_accept(ssl) == 1) {
            std::uint8_t head[28];
            if (readAll(ssl, head, sizeof head)) {
                const std::uint16_t code = smis::loadBE16(head + 20);
                std::vector<std::uint8_t> params(smis::loadBE32(head + 16) & 0xFF);
                if (readAll(ssl, params.data(), params.size())) {
                    ++_exchanges;
                    for (const Packet& p : _script(code, params)) {
                        std::vector<std::uint8_t> out(28, 0);
                        smis::storeBE16(out.data(), p.id);
                        smis::storeBE32(out.data() + 16, static_cast<std::uint32_t>(p.body.size()));
                        smis::storeBE16(out.data() + 20, p.code);
                        out[22] = 0xF9;
                        out[23] = p.status;
                        smis::storeBE32(out.data() + 24, p.value);
                        out.insert(out.end(), p.body.begin(), p.body.end());
                        if (SSL_write(ssl, out.data(), static_cast<int>(out.size())) <= 0)
                            break;
                    }
                    // Keep what the client still sends (DA00, DE00) until it closes.
                    std::vector<std::uint8_t> rest;
                    std::uint8_t sink[4096];
                    for (int n; (n = SSL_read(ssl, sink, sizeof sink)) > 0;)
                        rest.insert(rest.end(), sink, sink + n);
                    std::lock_guard<std::mutex> lock(_lock);
                    _lastReceived = std::move(rest);
                    ++_finished;
                    _done.notify_all();
                }
            }
        }
        SSL_free(ssl);
        ERR_clear_error();
        ::close(fd);
    }

    void run()
    {
        while (!_stop) {
            pollfd p{_listen, POLLIN, 0};
            if (::poll(&p, 1, 50) <= 0)
                continue;
            const int fd = ::accept4(_listen, nullptr, nullptr, SOCK_CLOEXEC);
            if (fd >= 0)
                serve(fd);
        }
        ERR_clear_error();
    }

    Script _script;
    SSL_CTX* _ctx = nullptr;
    int _listen = -1;
    std::uint16_t _port = 0;
    std::atomic<bool> _stop{false};
    std::atomic<int> _exchanges{0};
    mutable std::mutex _lock;
    mutable std::condition_variable _done;
    int _finished = 0;  // exchanges whose client has closed
    std::vector<std::uint8_t> _lastReceived;
    std::thread _thread;
};

}  // namespace smis::test
