#include "HostileListener.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>
#include <zlib.h>

#include <stdexcept>
#include <vector>

namespace cimserver::test {

namespace {

using Clock = std::chrono::steady_clock;

constexpr unsigned long long HUGE_BODY = 512ull << 20;

// 512 MiB of zeros, gzip-compressed (about half a MiB), made once.
const std::string& gzip_bomb()
{
    static const std::string bomb = [] {
        z_stream z{};
        if (deflateInit2(&z, Z_BEST_COMPRESSION, Z_DEFLATED, 16 + 15, 9, Z_DEFAULT_STRATEGY) != Z_OK)
            throw std::runtime_error("deflateInit2 failed");
        std::vector<unsigned char> zeros(1 << 20, 0), out(1 << 16);
        std::string made;
        for (unsigned long long done = 0; done <= HUGE_BODY; done += zeros.size()) {
            const bool last = done == HUGE_BODY;
            z.next_in = zeros.data();
            z.avail_in = last ? 0 : static_cast<uInt>(zeros.size());
            do {
                z.next_out = out.data();
                z.avail_out = static_cast<uInt>(out.size());
                deflate(&z, last ? Z_FINISH : Z_NO_FLUSH);
                made.append(reinterpret_cast<const char*>(out.data()), out.size() - z.avail_out);
            } while (z.avail_out == 0);
        }
        deflateEnd(&z);
        return made;
    }();
    return bomb;
}

struct Peer {
    int fd;
    std::string tail;     // the last bytes of the request, to see its head end
    bool answering = false;
    std::string pending;  // bytes to send as soon as the peer takes them
    bool pending_body = false;        // pending holds flood body bytes
    bool shut = false;                // the canned answer was sent whole
    unsigned long long body_left = 0; // flood: body bytes still to send
    Clock::time_point next_tick{};
};

} // namespace

HostileListener::HostileListener(Kind kind, std::chrono::milliseconds interval) : _kind(kind), _interval(interval)
{
    if (kind == Kind::gzip_bomb)
        gzip_bomb();
    start();
}

HostileListener::HostileListener(std::string canned)
    : _kind(Kind::canned), _interval(std::chrono::milliseconds(100)), _canned(std::move(canned))
{
    start();
}

void HostileListener::start()
{
    _listen = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof a;
    if (_listen < 0 || ::bind(_listen, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0 || ::listen(_listen, 64) != 0 ||
        ::getsockname(_listen, reinterpret_cast<sockaddr*>(&a), &len) != 0 || ::pipe2(_stop, O_CLOEXEC) != 0)
        throw std::runtime_error("the hostile listener cannot listen");
    _port = ntohs(a.sin_port);
    _thread = std::thread([this] { run(); });
}

HostileListener::~HostileListener()
{
    [[maybe_unused]] const ssize_t n = ::write(_stop[1], "x", 1);
    _thread.join();
    for (int fd : {_listen, _stop[0], _stop[1]})
        ::close(fd);
}

void HostileListener::run()
{
    std::vector<Peer> peers;
    auto close_peer = [&](std::size_t i) {
        ::close(peers[i].fd);
        peers.erase(peers.begin() + static_cast<std::ptrdiff_t>(i));
    };
    // Starts the answer once the request's head has come.
    auto answer = [&](Peer& p) {
        p.answering = true;
        p.next_tick = Clock::now() + _interval;
        switch (_kind) {
        case Kind::trickle:
            p.pending = "HTTP/1.1 200 OK\r\nContent-Type: application/xml\r\nContent-Length: 100000\r\n\r\n";
            break;
        case Kind::flood:
            p.pending = "HTTP/1.1 200 OK\r\nContent-Type: application/xml\r\nContent-Length: " +
                        std::to_string(HUGE_BODY) + "\r\n\r\n";
            p.body_left = HUGE_BODY;
            break;
        case Kind::gzip_bomb:
            p.pending = "HTTP/1.1 200 OK\r\nContent-Type: application/xml\r\nContent-Encoding: gzip\r\n"
                        "Content-Length: " + std::to_string(gzip_bomb().size()) + "\r\n\r\n" + gzip_bomb();
            break;
        case Kind::trickle_head:
            p.pending = "HTTP/1.1 200 OK\r\nX-Slowly: ";
            break;
        case Kind::canned:
            p.pending = _canned;
            break;
        case Kind::never_read:
            break;
        }
    };
    const std::string filler(1 << 16, 'x');
    for (;;) {
        std::vector<pollfd> fds = {{_stop[0], POLLIN, 0}, {_listen, POLLIN, 0}};
        for (const Peer& p : peers) {
            short events = _kind == Kind::never_read ? 0 : POLLIN;
            if (!p.pending.empty() || p.body_left)
                events |= POLLOUT;
            fds.push_back({p.fd, events, 0});
        }
        const int timeout = static_cast<int>(std::min<long long>(_interval.count(), 100));
        if (::poll(fds.data(), fds.size(), timeout) < 0 && errno != EINTR)
            return;
        if (fds[0].revents)
            break;
        if (fds[1].revents & POLLIN) {
            const int fd = ::accept4(_listen, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
            if (fd >= 0) {
                peers.push_back(Peer{fd, {}, false, {}, false, false, 0, {}});
                _connections++;
            }
        }
        const auto now = Clock::now();
        for (std::size_t i = peers.size(); i-- > 0;) {
            Peer& p = peers[i];
            const short revents = i + 2 < fds.size() && fds[i + 2].fd == p.fd ? fds[i + 2].revents : 0;
            if (revents & POLLIN) {
                char buf[16384];
                const ssize_t n = ::recv(p.fd, buf, sizeof buf, 0);
                if (n <= 0) {
                    close_peer(i);
                    continue;
                }
                p.tail = (p.tail + std::string(buf, static_cast<std::size_t>(n)));
                if (!p.answering && p.tail.find("\r\n\r\n") != std::string::npos)
                    answer(p);
                if (p.tail.size() > 4)
                    p.tail.erase(0, p.tail.size() - 4);
            } else if (revents & (POLLHUP | POLLERR)) {
                close_peer(i);
                continue;
            }
            if (p.answering && (_kind == Kind::trickle || _kind == Kind::trickle_head) && now >= p.next_tick) {
                p.pending += _kind == Kind::trickle ? "x" : "a";
                p.next_tick = now + _interval;
            }
            if (p.answering && p.pending.empty() && p.body_left) {
                p.pending.assign(filler, 0, static_cast<std::size_t>(std::min<unsigned long long>(p.body_left, filler.size())));
                p.pending_body = true;
            }
            if (!p.pending.empty()) {
                const ssize_t n = ::send(p.fd, p.pending.data(), p.pending.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
                if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK) {
                    close_peer(i);
                    continue;
                }
                if (n > 0) {
                    if (p.pending_body)
                        p.body_left -= static_cast<unsigned long long>(n);
                    p.pending.erase(0, static_cast<std::size_t>(n));
                    p.pending_body = p.pending_body && !p.pending.empty();
                    _sent += static_cast<unsigned long long>(n);
                }
                // The end of a canned answer; what the peer still sends is
                // read, so that its request never meets a reset.
                if (_kind == Kind::canned && p.pending.empty() && !p.shut) {
                    ::shutdown(p.fd, SHUT_WR);
                    p.shut = true;
                }
            }
        }
    }
    for (const Peer& p : peers)
        ::close(p.fd);
}

} // namespace cimserver::test
