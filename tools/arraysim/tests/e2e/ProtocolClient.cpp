#include "ProtocolClient.hpp"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <openssl/err.h>
#include <openssl/ssl.h>
#include <openssl/x509.h>

#include "PacketHeader.hpp"

namespace arraysim::test {

namespace {

struct Session {
    int fd = -1;
    SSL_CTX* ctx = nullptr;
    SSL* ssl = nullptr;
    ~Session() {
        if (ssl) SSL_free(ssl);
        if (ctx) SSL_CTX_free(ctx);
        if (fd >= 0) ::close(fd);
        ERR_clear_error();
    }
};

bool readExact(SSL* ssl, std::uint8_t* p, std::size_t n) {
    std::size_t got = 0;
    while (got < n) {
        const int r = SSL_read(ssl, p + got, static_cast<int>(n - got));
        if (r <= 0) return false;
        got += static_cast<std::size_t>(r);
    }
    return true;
}

bool writeAll(SSL* ssl, const Bytes& b) {
    std::size_t sent = 0;
    while (sent < b.size()) {
        const int r = SSL_write(ssl, b.data() + sent, static_cast<int>(b.size() - sent));
        if (r <= 0) return false;
        sent += static_cast<std::size_t>(r);
    }
    return true;
}

bool send(SSL* ssl, std::uint16_t id, std::uint16_t code, std::uint32_t value, const Bytes& body,
          std::uint8_t moduleId) {
    PacketHeader h;
    h.moduleId = moduleId;
    h.id = id;
    h.command = code;
    h.value = value;
    h.bodyLength = static_cast<std::uint32_t>(body.size());
    Bytes all = h.encode();
    all.insert(all.end(), body.begin(), body.end());
    return writeAll(ssl, all);
}

// Reads one packet; on failure says why, prefixed by the packet's name.
std::string receive(SSL* ssl, std::uint16_t id, std::uint32_t limit, PacketHeader& h, Bytes& body) {
    const std::string name = packetName(id);
    std::uint8_t head[kHeaderSize];
    if (!readExact(ssl, head, kHeaderSize)) return name + ": closed";
    h = PacketHeader::decode(head);
    if (h.id != id) return name + ": packet id";
    if (h.commStatus != 0) return name + ": comm status";
    if (h.bodyLength > limit) return name + ": oversize";
    body.assign(h.bodyLength, 0);
    if (!readExact(ssl, body.data(), body.size())) return name + ": truncated";
    return {};
}

}  // namespace

Exchange ProtocolClient::run(std::uint16_t code, const Bytes& params, const Bytes& dataOut) const {
    Exchange x;
    Session s;
    s.fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(port_);
    ::inet_pton(AF_INET, address_.c_str(), &addr.sin_addr);
    timeval tv{timeout_, 0};
    ::setsockopt(s.fd, SOL_SOCKET, SO_RCVTIMEO, &tv, sizeof tv);
    ::setsockopt(s.fd, SOL_SOCKET, SO_SNDTIMEO, &tv, sizeof tv);
    if (::connect(s.fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0) {
        x.failure = "connect";
        return x;
    }
    s.ctx = SSL_CTX_new(TLS_client_method());
    s.ssl = SSL_new(s.ctx);
    SSL_set_fd(s.ssl, s.fd);
    if (SSL_connect(s.ssl) != 1) {
        x.failure = "handshake";
        return x;
    }
    x.verifyResult = SSL_get_verify_result(s.ssl);
    if (X509* peer = SSL_get1_peer_certificate(s.ssl)) {
        char cn[256] = {0};
        if (X509_NAME_get_text_by_NID(X509_get_subject_name(peer), NID_commonName, cn, sizeof cn) > 0) x.commonName = cn;
        X509_free(peer);
    }
    if (!send(s.ssl, kCommandPacket, code, static_cast<std::uint32_t>(dataOut.size()), params, moduleId)) {
        x.failure = "CE31: not sent";
        return x;
    }
    PacketHeader h;
    Bytes body;
    if (auto e = receive(s.ssl, kAckPacket, 1 << 20, h, body); !e.empty()) {
        x.failure = e;
        return x;
    }
    if (code & 0x8000) {
        if (!send(s.ssl, kDataPacket, code, 0, dataOut, moduleId)) {
            x.failure = "DA00: not sent";
            return x;
        }
        if (auto e = receive(s.ssl, kDataAckPacket, 1 << 20, h, body); !e.empty()) {
            x.failure = e;
            return x;
        }
    }
    if (code & 0x4000) {
        if (auto e = receive(s.ssl, kDataPacket, 64u << 20, h, x.data); !e.empty()) {
            x.failure = e;
            return x;
        }
        if (!send(s.ssl, kDataAckPacket, code, static_cast<std::uint32_t>(dataOut.size()), {}, moduleId)) {
            x.failure = "DE00: not sent";
            return x;
        }
    }
    if (auto e = receive(s.ssl, kStatusPacket, 64, h, x.params); !e.empty()) {
        x.failure = e;
        return x;
    }
    x.status = h.commandStatus;
    x.echoed = h.command;
    SSL_shutdown(s.ssl);
    return x;
}

}  // namespace arraysim::test
