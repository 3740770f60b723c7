#include "ListenerExchange.h"

#include <openssl/err.h>
#include <openssl/x509v3.h>

#include <arpa/inet.h>
#include <netdb.h>
#include <poll.h>
#include <pthread.h>
#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>

namespace cimserver {

namespace {

using Clock = std::chrono::steady_clock;

constexpr std::size_t READ_STEP = 16384;

std::string error_text(int error)
{
    char buf[256];
    return strerror_r(error, buf, sizeof buf);
}

bool is_address(const std::string& host)
{
    unsigned char buf[sizeof(in6_addr)];
    return ::inet_pton(AF_INET, host.c_str(), buf) == 1 || ::inet_pton(AF_INET6, host.c_str(), buf) == 1;
}

bool eq_nocase(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

// A write to a listener that has gone raises SIGPIPE on the writing thread:
// it is held pending while the exchange runs and taken before it returns,
// whatever the process does with that signal.
class PipeSignalHeld {
public:
    PipeSignalHeld()
    {
        sigemptyset(&_pipe);
        sigaddset(&_pipe, SIGPIPE);
        pthread_sigmask(SIG_BLOCK, &_pipe, &_old);
        sigset_t pending;
        sigpending(&pending);
        _was_pending = sigismember(&pending, SIGPIPE) == 1;
    }
    ~PipeSignalHeld()
    {
        sigset_t pending;
        sigpending(&pending);
        if (!_was_pending && sigismember(&pending, SIGPIPE) == 1) {
            const timespec now{};
            sigtimedwait(&_pipe, nullptr, &now);
        }
        pthread_sigmask(SIG_SETMASK, &_old, nullptr);
    }
    PipeSignalHeld(const PipeSignalHeld&) = delete;
    PipeSignalHeld& operator=(const PipeSignalHeld&) = delete;

private:
    sigset_t _pipe, _old;
    bool _was_pending = false;
};

enum class Wait { ready, timeout, aborted };

// The socket (and its TLS) of one exchange, closed with it.
class Connection {
public:
    Connection(int abort_fd, Clock::time_point deadline) : _abort_fd(abort_fd), _deadline(deadline) {}
    ~Connection()
    {
        if (_ssl) {
            SSL_shutdown(_ssl); // close_notify if the socket takes it now; never waited for
            SSL_free(_ssl);
        }
        close_socket();
    }
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    // Waits until the socket is ready for events, until is past, or the
    // abort descriptor is readable.
    Wait wait(short events, Clock::time_point until) const
    {
        for (;;) {
            const auto left = std::chrono::ceil<std::chrono::milliseconds>(until - Clock::now()).count();
            if (left <= 0)
                return Wait::timeout;
            pollfd p[2] = {{_fd, events, 0}, {_abort_fd, POLLIN, 0}};
            const int n = ::poll(p, _abort_fd >= 0 ? 2 : 1, static_cast<int>(std::min<long long>(left, INT_MAX)));
            if (n < 0 && errno == EINTR)
                continue;
            if (_abort_fd >= 0 && (p[1].revents & (POLLIN | POLLERR | POLLHUP)))
                return Wait::aborted;
            if (n != 0)
                return Wait::ready; // an error or hang-up shows in the next call
        }
    }
    Wait wait(short events) const { return wait(events, _deadline); }

    // Connects to the first address of the listener that takes it.
    Wait connect(const ListenerExchange::Address& a, std::string& why)
    {
        addrinfo hints{};
        hints.ai_socktype = SOCK_STREAM;
        hints.ai_flags = AI_NUMERICSERV;
        addrinfo* found = nullptr;
        const int rc = ::getaddrinfo(a.host.c_str(), a.port.c_str(), &hints, &found);
        if (rc != 0) {
            why = "not reached: cannot resolve " + a.host + ": " + ::gai_strerror(rc);
            return Wait::timeout;
        }
        Wait outcome = Wait::timeout;
        why = "not reached: no address of " + a.host;
        for (addrinfo* ai = found; ai && _fd < 0; ai = ai->ai_next) {
            _fd = ::socket(ai->ai_family, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
            if (_fd < 0) {
                why = "not reached: " + error_text(errno);
                continue;
            }
            if (::connect(_fd, ai->ai_addr, ai->ai_addrlen) == 0) {
                outcome = Wait::ready;
                break;
            }
            if (errno != EINPROGRESS) {
                why = "not reached: " + error_text(errno);
                close_socket();
                continue;
            }
            const Wait w = wait(POLLOUT, std::min(_deadline, Clock::now() + ListenerExchange::CONNECT_LIMIT));
            int error = 0;
            socklen_t len = sizeof error;
            if (w == Wait::ready && ::getsockopt(_fd, SOL_SOCKET, SO_ERROR, &error, &len) == 0 && error == 0) {
                outcome = Wait::ready;
                break;
            }
            if (w == Wait::aborted) {
                outcome = Wait::aborted;
                close_socket();
                break;
            }
            why = w == Wait::timeout ? std::string("not reached in time") : "not reached: " + error_text(error);
            close_socket();
        }
        ::freeaddrinfo(found);
        if (outcome == Wait::ready)
            why.clear();
        return outcome;
    }

    // The TLS handshake, verifying the certificate and that it names host.
    Wait handshake(SSL_CTX* ctx, const std::string& host, bool& untrusted, std::string& why)
    {
        ERR_clear_error();
        _ssl = ctx ? SSL_new(ctx) : nullptr;
        if (!_ssl || SSL_set_fd(_ssl, _fd) != 1) {
            why = "cannot set up TLS";
            return Wait::timeout;
        }
        if (is_address(host)) {
            X509_VERIFY_PARAM_set1_ip_asc(SSL_get0_param(_ssl), host.c_str());
        } else {
            SSL_set_tlsext_host_name(_ssl, host.c_str());
            SSL_set1_host(_ssl, host.c_str());
        }
        for (;;) {
            const int r = SSL_connect(_ssl);
            if (r == 1)
                return Wait::ready;
            const int e = SSL_get_error(_ssl, r);
            if (e == SSL_ERROR_WANT_READ || e == SSL_ERROR_WANT_WRITE) {
                const Wait w = wait(e == SSL_ERROR_WANT_READ ? POLLIN : POLLOUT);
                if (w != Wait::ready) {
                    why = "no TLS handshake within the delivery's time";
                    return w;
                }
                continue;
            }
            const long verified = SSL_get_verify_result(_ssl);
            if (verified != X509_V_OK) {
                untrusted = true;
                why = std::string("its certificate is not trusted: ") + X509_verify_cert_error_string(verified);
            } else {
                const unsigned long code = ERR_peek_last_error();
                const char* reason = code ? ERR_reason_error_string(code) : nullptr;
                why = std::string("TLS handshake failed: ") + (reason ? reason : "the listener closed the connection");
            }
            ERR_clear_error();
            return Wait::timeout;
        }
    }

    // What moved (> 0), 0 at the end of the stream, -1 when the socket must
    // first be ready for *want, -2 on a failure (why says it).
    long send_some(const char* data, std::size_t size, short* want, std::string& why)
    {
        if (_ssl) {
            std::size_t done = 0;
            ERR_clear_error();
            const int r = SSL_write_ex(_ssl, data, size, &done);
            return r == 1 ? static_cast<long>(done) : tls_failure(r, want, why);
        }
        const ssize_t n = ::send(_fd, data, size, MSG_NOSIGNAL | MSG_DONTWAIT);
        return n >= 0 ? n : socket_failure(POLLOUT, want, why);
    }
    long receive_some(char* data, std::size_t size, short* want, std::string& why)
    {
        if (_ssl) {
            std::size_t done = 0;
            ERR_clear_error();
            const int r = SSL_read_ex(_ssl, data, size, &done);
            return r == 1 ? static_cast<long>(done) : tls_failure(r, want, why);
        }
        const ssize_t n = ::recv(_fd, data, size, MSG_DONTWAIT);
        return n >= 0 ? n : socket_failure(POLLIN, want, why);
    }

private:
    void close_socket()
    {
        if (_fd >= 0)
            ::close(_fd);
        _fd = -1;
    }
    static long socket_failure(short direction, short* want, std::string& why)
    {
        if (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR) {
            *want = direction;
            return -1;
        }
        why = "the connection failed: " + error_text(errno);
        return -2;
    }
    long tls_failure(int r, short* want, std::string& why)
    {
        const int e = SSL_get_error(_ssl, r);
        if (e == SSL_ERROR_WANT_READ || e == SSL_ERROR_WANT_WRITE) {
            *want = e == SSL_ERROR_WANT_READ ? POLLIN : POLLOUT;
            return -1;
        }
        if (e == SSL_ERROR_ZERO_RETURN)
            return 0;
        ERR_clear_error();
        why = "the TLS connection failed";
        return -2;
    }

    int _fd = -1;
    SSL* _ssl = nullptr;
    const int _abort_fd;
    const Clock::time_point _deadline;
};

// The listener's answer as far as it was read: the head of the final
// (non-1xx) response, and the body, chunked framing removed.
struct Answer {
    std::string bytes;
    bool head = false;     // the final response's head is complete
    bool complete = false; // and so is its body
    int status = 0;
    std::string cim_error; // the CIMError header
    std::string body;

    // Reads bytes again after more arrived.
    void examine()
    {
        head = complete = false;
        body.clear();
        std::size_t from = 0, end;
        long long length = -1;
        bool chunked = false;
        for (;;) {
            end = bytes.find("\r\n\r\n", from);
            if (end == std::string::npos)
                return;
            const std::string_view h(bytes.data() + from, end - from);
            status = h.size() >= 12 && h.substr(0, 5) == "HTTP/" ? std::atoi(std::string(h.substr(9, 3)).c_str()) : 0;
            if (status < 100 || status >= 200) {
                read_headers(h, length, chunked);
                break;
            }
            from = end + 4; // an interim answer: the final one follows
        }
        head = true;
        const std::string_view rest(bytes.data() + end + 4, bytes.size() - end - 4);
        if (status == 204 || status == 304) {
            complete = true;
        } else if (chunked) {
            dechunk(rest);
        } else {
            body.assign(rest.substr(0, length >= 0 ? static_cast<std::size_t>(std::min<long long>(length, rest.size()))
                                                   : rest.size()));
            complete = length >= 0 && static_cast<long long>(rest.size()) >= length;
        }
    }

private:
    void read_headers(std::string_view h, long long& length, bool& chunked)
    {
        cim_error.clear();
        std::size_t at = h.find("\r\n");
        while (at != std::string_view::npos) {
            const std::size_t next = h.find("\r\n", at + 2);
            std::string_view line = h.substr(at + 2, next == std::string_view::npos ? std::string_view::npos : next - at - 2);
            at = next;
            const std::size_t colon = line.find(':');
            if (colon == std::string_view::npos)
                continue;
            std::string_view name = line.substr(0, colon), value = line.substr(colon + 1);
            while (!value.empty() && (value.front() == ' ' || value.front() == '\t'))
                value.remove_prefix(1);
            while (!value.empty() && (value.back() == ' ' || value.back() == '\t'))
                value.remove_suffix(1);
            if (eq_nocase(name, "Content-Length")) {
                char* stop = nullptr;
                const std::string v(value);
                const long long n = std::strtoll(v.c_str(), &stop, 10);
                length = !v.empty() && *stop == '\0' && n >= 0 ? n : -1;
            } else if (eq_nocase(name, "Transfer-Encoding")) {
                chunked = value.size() >= 7 && eq_nocase(value.substr(value.size() - 7), "chunked");
            } else if (eq_nocase(name, "CIMError")) {
                cim_error = value;
            }
        }
    }

    void dechunk(std::string_view rest)
    {
        for (;;) {
            const std::size_t eol = rest.find("\r\n");
            if (eol == std::string_view::npos)
                return;
            const std::string line(rest.substr(0, eol));
            char* stop = nullptr;
            const unsigned long long size = std::strtoull(line.c_str(), &stop, 16);
            if (stop == line.c_str() || size > ListenerExchange::MAX_ANSWER)
                return; // not a chunk the bounded read could hold: read on to the bound
            if (size == 0) {
                complete = true;
                return;
            }
            if (rest.size() < eol + 2 + size) {
                body.append(rest.substr(eol + 2));
                return;
            }
            body.append(rest.substr(eol + 2, size));
            rest.remove_prefix(std::min<std::size_t>(rest.size(), eol + 2 + size + 2));
        }
    }
};

std::string request_head(const ListenerExchange::Address& a, std::size_t length)
{
    return "POST " + a.path + " HTTP/1.1\r\nHost: " + a.authority +
           "\r\nContent-Type: application/xml; charset=\"utf-8\"\r\nContent-Length: " + std::to_string(length) +
           "\r\nCIMExport: MethodRequest\r\nCIMExportMethod: ExportIndication\r\n"
           "Accept-Encoding: identity\r\nConnection: close\r\n\r\n";
}

// Why the exchange ended early, from how the wait ended.
ListenerExchange::Outcome ended(Wait w, const std::string& while_doing, std::chrono::milliseconds limit)
{
    ListenerExchange::Outcome out;
    out.aborted = w == Wait::aborted;
    const auto ms = limit.count();
    out.why = out.aborted ? "the delivery was stopped"
                          : while_doing + " within " +
                                (ms % 1000 ? std::to_string(ms) + " ms" : std::to_string(ms / 1000) + " s");
    return out;
}

} // namespace

bool ListenerExchange::Address::parse(const std::string& url, Address& out)
{
    out = Address();
    std::size_t at;
    if (url.rfind("http://", 0) == 0) {
        at = 7;
    } else if (url.rfind("https://", 0) == 0) {
        out.tls = true;
        at = 8;
    } else {
        return false;
    }
    if (std::any_of(url.begin(), url.end(), [](char c) { return static_cast<unsigned char>(c) <= ' ' || c == 0x7f; }))
        return false;
    const std::size_t slash = url.find('/', at);
    out.authority = url.substr(at, slash == std::string::npos ? std::string::npos : slash - at);
    out.path = slash == std::string::npos ? "/" : url.substr(slash);
    std::string_view authority = out.authority;
    std::size_t port_at = std::string_view::npos;
    if (!authority.empty() && authority.front() == '[') {
        const std::size_t close = authority.find(']');
        if (close == std::string_view::npos)
            return false;
        out.host = std::string(authority.substr(1, close - 1));
        if (close + 1 < authority.size()) {
            if (authority[close + 1] != ':')
                return false;
            port_at = close + 2;
        }
    } else {
        const std::size_t colon = authority.find(':');
        out.host = std::string(authority.substr(0, colon));
        if (colon != std::string_view::npos)
            port_at = colon + 1;
    }
    if (port_at != std::string_view::npos) {
        out.port = std::string(authority.substr(port_at));
        if (out.port.empty() || out.port.size() > 5 ||
            !std::all_of(out.port.begin(), out.port.end(), [](char c) { return c >= '0' && c <= '9'; }) ||
            std::atoi(out.port.c_str()) > 65535 || std::atoi(out.port.c_str()) == 0)
            return false;
    } else {
        out.port = out.tls ? "443" : "80";
    }
    return !out.host.empty() && out.host.find_first_of("@/?#") == std::string::npos;
}

ListenerExchange::Outcome ListenerExchange::post(const std::string& url, const std::string& body,
                                                 const ListenerTls* tls, int abort_fd,
                                                 std::chrono::milliseconds limit)
{
    Outcome out;
    Address address;
    if (!Address::parse(url, address)) {
        out.why = "not a listener URL";
        return out;
    }
    if (address.tls && (!tls || !tls->get())) {
        out.why = "HTTPS is not set up for indication export";
        return out;
    }
    const PipeSignalHeld held;
    Connection c(abort_fd, Clock::now() + limit);
    Wait w = c.connect(address, out.why);
    if (w == Wait::aborted)
        return ended(w, "", limit);
    if (w != Wait::ready)
        return out;
    if (address.tls && (w = c.handshake(tls->get(), address.host, out.untrusted, out.why)) != Wait::ready) {
        if (w == Wait::aborted)
            return ended(w, "", limit);
        return out;
    }

    // The request: its head, then the body as it stands.
    const std::string head = request_head(address, body.size());
    for (const std::string* piece : {&head, &body}) {
        std::size_t done = 0;
        while (done < piece->size()) {
            short want = 0;
            const long n = c.send_some(piece->data() + done, piece->size() - done, &want, out.why);
            if (n > 0) {
                done += static_cast<std::size_t>(n);
            } else if (n == -1) {
                if ((w = c.wait(want)) != Wait::ready)
                    return ended(w, "the listener did not take the request", limit);
            } else {
                if (n == 0)
                    out.why = "the listener closed the connection before it took the request";
                return out;
            }
        }
    }

    // The answer, up to its end or MAX_ANSWER bytes: what lies beyond is
    // never read.
    Answer answer;
    char buf[READ_STEP];
    while (!answer.complete && answer.bytes.size() < MAX_ANSWER) {
        short want = 0;
        const long n = c.receive_some(buf, std::min(sizeof buf, MAX_ANSWER - answer.bytes.size()), &want, out.why);
        if (n > 0) {
            answer.bytes.append(buf, static_cast<std::size_t>(n));
            answer.examine();
        } else if (n == -1) {
            if ((w = c.wait(want)) != Wait::ready)
                return ended(w, answer.head ? "its answer did not end" : "no answer", limit);
        } else if (n == 0) {
            break; // the listener's end: its answer is what came
        } else {
            return out;
        }
    }
    if (!answer.head) {
        out.why = answer.bytes.size() >= MAX_ANSWER
                      ? "its answer's head is over " + std::to_string(MAX_ANSWER) + " bytes"
                      : "the listener closed the connection without an answer";
    } else if (answer.status != 200) {
        out.why = "refused with HTTP " + std::to_string(answer.status);
    } else if (!answer.cim_error.empty()) {
        out.why = "refused with CIMError " + answer.cim_error.substr(0, 80);
    } else if (answer.body.find("<ERROR") != std::string::npos) {
        out.why = "answered with a CIM error";
    } else {
        out.delivered = true;
    }
    return out;
}

} // namespace cimserver
