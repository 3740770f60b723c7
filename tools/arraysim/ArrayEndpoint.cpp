#include "ArrayEndpoint.hpp"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <optional>
#include <stdexcept>

#include <openssl/err.h>

#include "CommandProcessor.hpp"
#include "PacketHeader.hpp"

namespace arraysim {

namespace {
constexpr int kIoTimeoutSeconds = 60;
constexpr std::uint32_t kMaxRequestParams = 64;
constexpr std::uint32_t kMaxRequestData = 1u << 20;
}  // namespace

struct ArrayEndpoint::Conn {
    int fd = -1;
    SSL* ssl = nullptr;
    std::uint16_t command = 0;
    std::optional<Fault> slow;
    RequestRecord record;
};

ArrayEndpoint::ArrayEndpoint(SimulatorState& state, std::size_t array, const CertificateFactory& certs,
                             const std::string& address, std::uint16_t port)
    : state_(state), array_(array), address_(address), port_(port) {
    const std::string suffix = "_" + state.read(array, [](const SimArray& a) { return a.name(); });
    const CertVariant variants[] = {CertVariant::Normal, CertVariant::SelfSigned, CertVariant::ChainWithRoot,
                                    CertVariant::WrongName, CertVariant::NoName};
    for (int i = 0; i < 5; ++i) contexts_[i] = certs.serverContext(variants[i], suffix);
    if (!listen()) throw std::runtime_error("cannot listen on " + address + ":" + std::to_string(port));
    acceptor_ = std::thread([this] { acceptLoop(); });
}

ArrayEndpoint::~ArrayEndpoint() { stop(); }

bool ArrayEndpoint::listen() {
    int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return false;
    int one = 1;
    ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    if (::inet_pton(AF_INET, address_.c_str(), &addr.sin_addr) != 1) {
        ::close(fd);
        return false;
    }
    addr.sin_port = htons(port_);
    if (::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 || ::listen(fd, 64) != 0) {
        ::close(fd);
        return false;
    }
    socklen_t len = sizeof addr;
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len);
    port_ = ntohs(addr.sin_port);
    listenFd_ = fd;
    return true;
}

void ArrayEndpoint::stop() {
    if (stopping_.exchange(true)) return;
    if (acceptor_.joinable()) acceptor_.join();
    std::lock_guard lk(connMu_);
    for (auto& w : workers_) {
        if (w->fd >= 0) ::shutdown(w->fd, SHUT_RDWR);
    }
    for (auto& w : workers_)
        if (w->thread.joinable()) w->thread.join();
    workers_.clear();
}

bool ArrayEndpoint::sleepFor(std::uint32_t millis, const Fault& during) const {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(millis);
    const FaultPlan& faults = state_.faults(array_);
    while (std::chrono::steady_clock::now() < end && !faults.cleared(during)) {
        if (stopping_) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return !stopping_;
}

void ArrayEndpoint::acceptLoop() {
    while (!stopping_) {
        // A refused connection: the port stops listening while the fault is armed.
        const bool refuse = state_.faults(array_).armed(FaultKind::Refuse);
        if (refuse && listenFd_ >= 0) {
            ::close(listenFd_);
            listenFd_ = -1;
        } else if (!refuse && listenFd_ < 0) {
            if (!listen()) {
                std::this_thread::sleep_for(std::chrono::milliseconds(100));
                continue;
            }
        }
        {
            std::lock_guard lk(connMu_);
            for (auto it = workers_.begin(); it != workers_.end();) {
                if ((*it)->done) {
                    (*it)->thread.join();
                    it = workers_.erase(it);
                } else {
                    ++it;
                }
            }
        }
        if (listenFd_ < 0) {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
            continue;
        }
        pollfd p{listenFd_, POLLIN, 0};
        if (::poll(&p, 1, 100) <= 0) continue;
        int fd = ::accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC);
        if (fd < 0) continue;
        // Replies go out as several packets; without this each waits for the
        // peer's delayed acknowledgement of the one before.
        const int one = 1;
        ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
        timeval tv{kIoTimeoutSeconds, 0};
        ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &tv, sizeof tv);
        ::setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &tv, sizeof tv);
        std::lock_guard lk(connMu_);
        auto w = std::make_unique<Worker>();
        Worker* raw = w.get();
        raw->fd = fd;
        raw->thread = std::thread([this, raw, fd] {
            serve(fd);
            raw->done = true;
        });
        workers_.push_back(std::move(w));
    }
    if (listenFd_ >= 0) ::close(listenFd_);
    listenFd_ = -1;
}

void ArrayEndpoint::serve(int fd) {
    FaultPlan& faults = state_.faults(array_);
    if (faults.take({FaultKind::NoTls}, 0, "")) {
        char buf[512];
        pollfd p{fd, POLLIN, 0};
        if (::poll(&p, 1, 2000) > 0) (void)::recv(fd, buf, sizeof buf, 0);
        const char reply[] = "KESTRIS array service: plain connection\r\n";
        (void)::send(fd, reply, sizeof reply - 1, MSG_NOSIGNAL);
        RequestRecord r;
        r.array = array_;
        r.outcome = "plain text answered";
        state_.log().add(r);
        ::shutdown(fd, SHUT_RDWR);
        ::close(fd);
        return;
    }
    int variant = 0;
    if (auto f = faults.take({FaultKind::SelfSigned, FaultKind::ChainWithRoot, FaultKind::WrongName, FaultKind::NoName}, 0, "")) {
        variant = f->kind == FaultKind::SelfSigned      ? 1
                  : f->kind == FaultKind::ChainWithRoot ? 2
                  : f->kind == FaultKind::WrongName     ? 3
                                                        : 4;
    }
    Conn c;
    c.fd = fd;
    c.ssl = SSL_new(contexts_[variant].get());
    c.record.array = array_;
    if (c.ssl && SSL_set_fd(c.ssl, fd) == 1 && SSL_accept(c.ssl) == 1) {
        const bool clean = exchange(c);
        if (clean) SSL_shutdown(c.ssl);
        state_.log().add(c.record);
    } else {
        c.record.outcome = "handshake failed";
        state_.log().add(c.record);
    }
    ERR_clear_error();
    if (c.ssl) SSL_free(c.ssl);
    ::shutdown(fd, SHUT_RDWR);
    ::close(fd);
}

bool ArrayEndpoint::receivePacket(Conn& c, std::uint16_t id, Bytes& body, PacketHeader* header) {
    std::uint8_t head[kHeaderSize];
    std::size_t got = 0;
    while (got < kHeaderSize) {
        int n = SSL_read(c.ssl, head + got, static_cast<int>(kHeaderSize - got));
        if (n <= 0) return false;
        got += static_cast<std::size_t>(n);
    }
    const PacketHeader h = PacketHeader::decode(head);
    if (h.id != id) {
        c.record.outcome = std::string("unexpected packet instead of ") + packetName(id);
        return false;
    }
    const std::uint32_t limit = id == kCommandPacket ? kMaxRequestParams : kMaxRequestData;
    if (h.bodyLength > limit) {
        c.record.outcome = std::string("oversized ") + packetName(id);
        return false;
    }
    if (id == kCommandPacket) {
        c.command = h.command;
        c.record.command = h.command;
    }
    if (header) *header = h;
    Bytes b(h.bodyLength);
    got = 0;
    while (got < b.size()) {
        int n = SSL_read(c.ssl, b.data() + got, static_cast<int>(b.size() - got));
        if (n <= 0) return false;
        got += static_cast<std::size_t>(n);
    }
    body = std::move(b);
    return true;
}

bool ArrayEndpoint::sendPacket(Conn& c, std::uint16_t id, const Bytes& body, std::uint32_t value,
                               std::uint8_t status) {
    FaultPlan& faults = state_.faults(array_);
    const char* name = packetName(id);
    if (c.slow && !sleepFor(c.slow->millis, *c.slow)) return false;
    PacketHeader h;
    h.id = id;
    h.command = c.command;
    h.commandStatus = status;
    h.value = value;
    h.bodyLength = static_cast<std::uint32_t>(body.size());
    Bytes payload = body;
    bool closeAfter = false;
    if (auto f = faults.take({FaultKind::Drop, FaultKind::Stall, FaultKind::Truncate, FaultKind::WrongLength,
                              FaultKind::WrongPacketId, FaultKind::CommStatus, FaultKind::Oversize},
                             c.command, name)) {
        c.record.outcome = std::string(faultName(f->kind)) + " at " + name;
        switch (f->kind) {
        case FaultKind::Drop: return false;
        case FaultKind::Stall: sleepFor(f->seconds * 1000u, *f); return false;
        case FaultKind::Truncate: {
            // Header and half the body (or half the header), then the end.
            Bytes head = h.encode();
            if (payload.empty()) {
                head.resize(kHeaderSize / 2);
                payload.clear();
            } else {
                payload.resize(payload.size() / 2);
            }
            SSL_write(c.ssl, head.data(), static_cast<int>(head.size()));
            if (!payload.empty()) SSL_write(c.ssl, payload.data(), static_cast<int>(payload.size()));
            return false;
        }
        case FaultKind::WrongLength:
            // The data no longer matches the count it carries.
            if (id == kDataPacket) {
                payload.resize(payload.size() + (f->length ? f->length : 8), 0);
                h.bodyLength = static_cast<std::uint32_t>(payload.size());
            } else {
                h.bodyLength = static_cast<std::uint32_t>(payload.size() + (f->length ? f->length : 4));
                closeAfter = true;
            }
            break;
        case FaultKind::WrongPacketId: h.id = static_cast<std::uint16_t>(id ^ 0x0101); break;
        case FaultKind::CommStatus: h.commStatus = f->status ? f->status : 1; break;
        case FaultKind::Oversize:
            if (id == kStatusPacket) {
                payload.resize(f->length ? f->length : 200, 0xAB);
                h.bodyLength = static_cast<std::uint32_t>(payload.size());
            } else {
                h.bodyLength = f->length ? f->length : 0x7FFFFFF0u;
                closeAfter = true;
                payload.resize(std::min<std::size_t>(payload.size(), 4096));
            }
            break;
        default: break;
        }
    }
    Bytes head = h.encode();
    Bytes all = head;
    all.insert(all.end(), payload.begin(), payload.end());
    std::size_t sent = 0;
    while (sent < all.size()) {
        const int chunk = static_cast<int>(std::min<std::size_t>(all.size() - sent, 1 << 20));
        int n = SSL_write(c.ssl, all.data() + sent, chunk);
        if (n <= 0) return false;
        sent += static_cast<std::size_t>(n);
    }
    return !closeAfter;
}

bool ArrayEndpoint::silentAt(Conn& c, const char* packet) {
    // Drops and stalls at a packet the array receives: it stops reading.
    if (auto f = state_.faults(array_).take({FaultKind::Drop, FaultKind::Stall}, c.command, packet, true)) {
        c.record.outcome = std::string(faultName(f->kind)) + " at " + packet;
        if (f->kind == FaultKind::Stall) sleepFor(f->seconds * 1000u, *f);
        return false;
    }
    return true;
}

bool ArrayEndpoint::exchange(Conn& c) {
    FaultPlan& faults = state_.faults(array_);
    Bytes params;
    PacketHeader command;
    if (!receivePacket(c, kCommandPacket, params, &command)) {
        if (c.record.outcome.empty()) c.record.outcome = "no command";
        return false;
    }
    const std::uint32_t announced = command.value;  // length of the data the client will send
    // A client that does not keep to the protocol gets a refusal, and the
    // request log says why.
    std::string violation;
    if (command.moduleId != kModuleId)
        violation = "module id";
    else if (command.commStatus != 0 || command.commandStatus != 0)
        violation = "status fields set";
    else if (!(c.command & 0x8000) && announced != 0)
        violation = "data announced for a command that sends none";
    c.record.params = toHex(params);
    c.slow = faults.take({FaultKind::Slow}, c.command, "");
    // Faults on the command packet itself: the array never answers.
    if (auto f = faults.take({FaultKind::Drop, FaultKind::Stall}, c.command, "CE31", true)) {
        c.record.outcome = std::string(faultName(f->kind)) + " at CE31";
        if (f->kind == FaultKind::Stall) sleepFor(f->seconds * 1000u, *f);
        return false;
    }
    if (!sendPacket(c, kAckPacket, {}, 0, 0)) return false;
    Bytes dataIn;
    if (c.command & 0x8000) {
        if (announced > kMaxRequestData) {
            c.record.outcome = "oversized request data";
            return false;
        }
        if (!silentAt(c, "DA00")) return false;
        if (!receivePacket(c, kDataPacket, dataIn)) {
            if (c.record.outcome.empty()) c.record.outcome = "no data";
            return false;
        }
        c.record.dataIn = dataIn.size();
        if (!sendPacket(c, kDataAckPacket, {}, static_cast<std::uint32_t>(dataIn.size()), 0)) return false;
    }
    CommandReply reply;
    auto busy = violation.empty() ? faults.take({FaultKind::Busy}, c.command, "") : std::nullopt;
    if (!violation.empty()) {
        reply.status = kStatusRefused;
        c.record.outcome = "protocol error: " + violation;
    } else if (busy) {
        reply.status = static_cast<std::uint8_t>(busy->status ? busy->status : 0x20);
        c.record.outcome = "busy";
    } else {
        try {
            reply = state_.read(array_, [&](const SimArray& a) {
                return CommandProcessor::handle(a, c.command, params, dataIn);
            });
        } catch (const std::exception& e) {
            // A model the encoders cannot express: the array refuses the command.
            reply = CommandReply{};
            reply.status = kStatusRefused;
            c.record.outcome = std::string("refused: ") + e.what();
        }
        if (c.command == 0x4024 && !reply.data.empty()) {
            if (auto f = faults.take({FaultKind::CorruptContainer}, c.command, "")) {
                // The first table's data is said to lie past the end of the reply.
                if (reply.data.size() >= 32) {
                    WireBytes w;
                    w.bytes() = std::move(reply.data);
                    w.le32(16 + 12, w.size() + 4096);
                    reply.data = w.take();
                }
                c.record.outcome = "corrupt container";
            }
        }
    }
    c.record.status = reply.status;
    if (c.command & 0x4000) {
        c.record.dataOut = reply.data.size();
        if (!sendPacket(c, kDataPacket, reply.data, 0, 0)) return false;
        Bytes ack;
        if (!silentAt(c, "DE00")) return false;
        if (!receivePacket(c, kDataAckPacket, ack)) {
            if (c.record.outcome.empty()) c.record.outcome = "no data acknowledge";
            return false;
        }
    }
    if (!sendPacket(c, kStatusPacket, reply.params, reply.value, reply.status)) return false;
    if (c.record.outcome.empty()) c.record.outcome = "ok";
    return true;
}

}  // namespace arraysim
