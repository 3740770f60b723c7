#include "HttpFrontEnd.h"

#include "AllocatorPolicy.h"
#include "HttpAnswer.h"
#include "TlsTransport.h"
#include "ServerLog.h"

#include <SMIS_RequestContext.h>

#include <arpa/inet.h>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <openssl/evp.h>
#include <poll.h>
#include <strings.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace cimserver {

namespace {

// How long a refused connection is read and discarded after its answer, so
// the answer is not lost to a reset while the client still sends.
constexpr std::chrono::milliseconds LINGER{2000};

bool decode_base64(const std::string& in, std::string& out)
{
    if (in.empty() || in.size() % 4 != 0 || in.size() > 4096)
        return false;
    std::vector<unsigned char> buf(in.size() / 4 * 3 + 1);
    int n = EVP_DecodeBlock(buf.data(), reinterpret_cast<const unsigned char*>(in.data()), static_cast<int>(in.size()));
    if (n < 0)
        return false;
    size_t pad = 0;
    if (in[in.size() - 1] == '=')
        pad++;
    if (in[in.size() - 2] == '=')
        pad++;
    out.assign(reinterpret_cast<const char*>(buf.data()), static_cast<size_t>(n) - pad);
    return true;
}

bool starts_with_nocase(const std::string& s, const char* prefix)
{
    size_t n = std::strlen(prefix);
    return s.size() >= n && strncasecmp(s.c_str(), prefix, n) == 0;
}

// Constant-time comparison of two texts of any lengths.
bool same_text(const std::string& a, const std::string& b)
{
    unsigned char diff = a.size() == b.size() ? 0 : 1;
    for (size_t i = 0; i < a.size(); i++)
        diff |= static_cast<unsigned char>(a[i] ^ (i < b.size() ? b[i] : 0));
    return diff == 0;
}

std::string short_answer(int status, bool close)
{
    return "HTTP/1.1 " + std::to_string(status) + " " + HttpAnswer::reason_phrase(status) +
           "\r\nContent-Length: 0\r\n" + (status == 401 ? "WWW-Authenticate: Basic realm=\"cimserver\"\r\n" : "") +
           (close ? "Connection: close\r\n" : "") + "\r\n";
}

// The client's address alone (what failed logins and memory shares are
// counted by) and with its port (for the log).
void describe_peer(const sockaddr_storage& a, std::string& address, std::string& peer)
{
    char text[INET6_ADDRSTRLEN] = "?";
    int port = 0;
    if (a.ss_family == AF_INET) {
        const auto& in = reinterpret_cast<const sockaddr_in&>(a);
        ::inet_ntop(AF_INET, &in.sin_addr, text, sizeof text);
        port = ntohs(in.sin_port);
    } else if (a.ss_family == AF_INET6) {
        const auto& in6 = reinterpret_cast<const sockaddr_in6&>(a);
        ::inet_ntop(AF_INET6, &in6.sin6_addr, text, sizeof text);
        port = ntohs(in6.sin6_port);
    }
    address = text;
    peer = (a.ss_family == AF_INET6 ? "[" + address + "]" : address) + ":" + std::to_string(port);
}

// Gives a string's buffer back (assigning an empty string keeps it).
void release(std::string& s)
{
    std::string().swap(s);
}

// The path CIM-XML requests are posted to, in origin form ("/cimom") or
// absolute form ("http://host:port/cimom"), with or without a query.
bool is_cim_path(const std::string& target)
{
    std::string path = target;
    if (starts_with_nocase(path, "http://") || starts_with_nocase(path, "https://")) {
        size_t slash = path.find('/', path.find("//") + 2);
        path = slash == std::string::npos ? "/" : path.substr(slash);
    }
    path = path.substr(0, path.find('?'));
    return path == "/cimom";
}

// How long a stopping server lets its workers finish what they answer (their
// waits end at the cancel event) before it cuts their connections.
constexpr std::chrono::milliseconds STOP_GRACE{2000};

// A connection's share of the reading thread in one round: this many
// receive calls (over TLS one record each) or bytes, whichever comes first,
// so a client that sends a byte per record costs its own turns, not the
// others'.
constexpr int TURN_CALLS = 16;
constexpr std::size_t TURN_BYTES = 256u << 10;

// Memory a string holds once it has grown past a small request.
constexpr std::size_t KEEP_INPUT = 65536;

// A request of at most this many bytes (headers, or announced body) is
// always read, whatever the large ones hold.
constexpr std::size_t SMALL_REQUEST = 65536;

// A connection closes after a few 401s; failed logins are logged no more
// often than this.
constexpr unsigned CONNECTION_LOGIN_FAILURES = 3;
constexpr std::chrono::seconds LOGIN_LOG_EVERY{10};

} // namespace

struct HttpFrontEnd::Connection {
    Connection(int socket, const HttpLimits& limits, TlsContext* tls)
        : fd(socket),
          transport(tls ? std::make_unique<TlsTransport>(socket, *tls) : std::make_unique<Transport>(socket)),
          reader(limits)
    {
    }

    int fd;
    std::uint64_t serial = 0; // tells this connection from a later one on the same socket number
    std::unique_ptr<Transport> transport;
    std::string address; // the client's, without the port
    std::string peer;    // the client's address and port, for the log
    std::string host;    // the server's address and port as this client reached them
    std::string input; // received and not yet read
    HttpRequestReader reader;
    HttpRequest request;             // while a worker answers it
    bool busy = false;               // queued for a worker, or a worker has it
    bool working = false;            // a worker has it (under _mutex)
    std::atomic<bool> gone{false};   // the peer closed or reset the connection
    bool peer_shut = false;          // the peer ended its sending side (it may still read); the poll thread's
    std::mutex writer;               // the worker's answer, or a probe of a peer that ended its side, writes
    bool answer_begun = false;       // (under writer) the request's answer writes
    bool probed = false;             // (under writer) the request's "100 Continue" probe left
    bool close_after = false;        // set by the worker: the connection ends after its answer
    bool lingering = false;          // refused: reading and discarding until linger_end
    std::unique_ptr<HttpAnswer> answer; // made by the worker; the rest is sent by the poll thread
    std::shared_ptr<cimple::SMIS_RequestContext> context; // the request's, while it is queued or answered
    Clock::time_point queued_at;     // when the request went to the workers' queue
    bool sending = false;            // the poll thread sends the rest of the answer
    std::size_t held = 0;            // request bytes counted in _held_total
    bool decided = false;            // the headers of the request being read were checked
    bool admitted = false;           // its announced body is counted and read
    bool penalized = false;          // its login waits for its turn to be checked, at penalty_end
    bool turn_complete = false;      // ... and its whole request is in
    Clock::time_point penalty_end;
    std::string verified_login;      // the Authorization this connection proved right
    unsigned login_failures = 0;
    Clock::time_point body_window_start; // the body's rate is measured from here
    std::size_t body_window_bytes = 0;
    Clock::time_point request_start; // first byte of the request being read
    Clock::time_point idle_since;
    Clock::time_point linger_end;

    // The client is gone: a provider waiting for it ends its wait, and a
    // walk for it stops.
    void leave()
    {
        gone = true;
        if (context)
            context->clientLeft();
    }
};

HttpFrontEnd::HttpFrontEnd(const CimOperations& operations, Credentials credentials, std::size_t max_request,
                           FrontEndTuning tuning)
    : _operations(operations), _credentials(std::move(credentials)), _tuning(tuning),
      _throttle(tuning.login_delay), _budget(tuning.answers, [this] { wake(); })
{
    _limits.max_body = max_request;
    _limits.max_header_bytes = tuning.max_header_bytes;
    _limits.max_header_lines = tuning.max_header_lines;
    _limits.max_target = tuning.max_target;
    _wake_fd = ::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
}

HttpFrontEnd::~HttpFrontEnd()
{
    for (auto& [fd, c] : _connections) {
        c.reset(); // its transport may still write (a TLS close-notify): before the socket closes
        ::close(fd);
    }
    _connections.clear();
    for (const Listener& l : _listeners)
        ::close(l.fd);
    if (_wake_fd >= 0)
        ::close(_wake_fd);
}

bool HttpFrontEnd::authorized(const Credentials& credentials, const std::string& authorization)
{
    if (!starts_with_nocase(authorization, "Basic "))
        return false;
    std::string encoded = authorization.substr(6);
    while (!encoded.empty() && encoded.front() == ' ')
        encoded.erase(0, 1);
    std::string decoded;
    if (!decode_base64(encoded, decoded))
        return false;
    size_t colon = decoded.find(':');
    if (colon == std::string::npos)
        return false;
    bool user_ok = same_text(decoded.substr(0, colon), credentials.user);
    bool password_ok = same_text(decoded.substr(colon + 1), credentials.password);
    return user_ok && password_ok;
}

int HttpFrontEnd::bind(const std::string& address, int port, TlsContext* tls)
{
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = AI_PASSIVE;
    addrinfo* found = nullptr;
    std::string service = std::to_string(port);
    if (::getaddrinfo(address.empty() ? nullptr : address.c_str(), service.c_str(), &hints, &found) != 0)
        return -1;
    int bound = -1;
    for (addrinfo* a = found; a && bound < 0; a = a->ai_next) {
        int fd = ::socket(a->ai_family, a->ai_socktype | SOCK_NONBLOCK | SOCK_CLOEXEC, a->ai_protocol);
        if (fd < 0)
            continue;
        int one = 1;
        ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
        sockaddr_storage local{};
        socklen_t len = sizeof local;
        if (::bind(fd, a->ai_addr, a->ai_addrlen) != 0 || ::listen(fd, 1024) != 0 ||
            ::getsockname(fd, reinterpret_cast<sockaddr*>(&local), &len) != 0) {
            ::close(fd);
            continue;
        }
        bound = ntohs(local.ss_family == AF_INET6 ? reinterpret_cast<sockaddr_in6*>(&local)->sin6_port
                                                  : reinterpret_cast<sockaddr_in*>(&local)->sin_port);
        _listeners.push_back({fd, tls, cimple::SMIS_AccessPoint::of(tls ? "https" : "http", address, bound)});
    }
    ::freeaddrinfo(found);
    return bound;
}

std::vector<cimple::SMIS_AccessPoint> HttpFrontEnd::access_points() const
{
    std::vector<cimple::SMIS_AccessPoint> points;
    for (const Listener& l : _listeners)
        points.push_back(l.point);
    return points;
}

void HttpFrontEnd::wake()
{
    uint64_t one = 1;
    (void)!::write(_wake_fd, &one, sizeof one);
}

void HttpFrontEnd::stop()
{
    _stopping = true;
    wake();
}

void HttpFrontEnd::close_connection(int fd)
{
    auto it = _connections.find(fd);
    if (it != _connections.end()) {
        Connection& c = *it->second;
        c.input.clear();
        release(c.request.body);
        c.admitted = false;
        c.reader = HttpRequestReader(_limits);
        account(c);
        _connections.erase(it);
    }
    ::close(fd);
}

void HttpFrontEnd::account(Connection& c)
{
    if (c.input.empty() && c.input.capacity() > KEEP_INPUT)
        release(c.input); // an idle connection holds no request's memory
    // Bytes received, and for an admitted body the length it announces, so
    // the total tells what is coming and admitted bodies can be read on.
    const std::size_t body = c.admitted ? std::max(c.reader.held(), c.reader.expected()) : c.reader.held();
    const std::size_t now = c.input.size() + body + c.request.body.size();
    if (now == c.held)
        return;
    _held_total = _held_total - c.held + now;
    std::size_t& mine = _held_by_address[c.address];
    mine = mine - c.held + now;
    if (mine == 0)
        _held_by_address.erase(c.address);
    c.held = now;
}

void HttpFrontEnd::admit(Connection& c)
{
    if (c.admitted || !c.reader.headers_done() || c.busy || c.lingering || c.penalized)
        return;
    const std::size_t expected = c.reader.expected();
    if (expected > SMALL_REQUEST) {
        // A large body waits in its socket while the total is reached, or
        // while its client holds half of it.
        const std::size_t others = _held_total - c.held;
        auto mine = _held_by_address.find(c.address);
        const std::size_t mine_elsewhere = (mine == _held_by_address.end() ? 0 : mine->second) - c.held;
        if (others >= _tuning.max_pending || mine_elsewhere >= _tuning.max_pending / 2)
            return;
    }
    c.admitted = true;
    c.body_window_start = Clock::now();
    c.body_window_bytes = 0;
    account(c);
    if (c.reader.wants_continue()) {
        c.transport->send_now("HTTP/1.1 100 Continue\r\n\r\n");
        c.reader.continue_sent();
    }
}

void HttpFrontEnd::accept_all(const Listener& listener)
{
    for (;;) {
        sockaddr_storage from{};
        socklen_t from_len = sizeof from;
        int fd = ::accept4(listener.fd, reinterpret_cast<sockaddr*>(&from), &from_len, SOCK_NONBLOCK | SOCK_CLOEXEC);
        if (fd < 0) {
            // Out of descriptors: the waiting connections stay queued and
            // the listener rests a little rather than wake the loop at once.
            if (errno == EMFILE || errno == ENFILE || errno == ENOBUFS || errno == ENOMEM)
                _accept_resume = Clock::now() + std::chrono::milliseconds(100);
            return;
        }
        int one = 1;
        ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
        if (_connections.size() >= _tuning.max_connections) {
            // The longest idle kept-alive connection makes room; without one
            // the newcomer is refused at once.
            Connection* oldest = nullptr;
            for (auto& [cfd, c] : _connections)
                if (!c->busy && !c->sending && !c->lingering && c->reader.idle() && c->input.empty() &&
                    (!oldest || c->idle_since < oldest->idle_since))
                    oldest = c.get();
            if (!oldest) {
                if (!listener.tls) // a TLS client could not read it
                    Transport(fd).send_now(short_answer(503, true));
                ::close(fd);
                continue;
            }
            close_connection(oldest->fd);
        }
        auto c = std::make_unique<Connection>(fd, _limits, listener.tls);
        c->serial = ++_serials;
        c->host = listener.point.authority();
        describe_peer(from, c->address, c->peer);
        c->idle_since = Clock::now();
        _connections.emplace(fd, std::move(c));
    }
}

void HttpFrontEnd::refuse(Connection& c, int status)
{
    c.transport->send_now(short_answer(status, true));
    c.transport->shutdown_send();
    c.lingering = true;
    c.input.clear();
    c.linger_end = Clock::now() + LINGER;
}

void HttpFrontEnd::receive(Connection& c)
{
    char buf[65536];
    std::size_t taken = 0;
    for (int calls = 0; calls < TURN_CALLS && taken < TURN_BYTES; calls++) {
        if (!may_read(c))
            return; // the rest waits in the socket until memory is free
        ssize_t n = c.transport->receive(buf, sizeof buf);
        if (n > 0) {
            taken += static_cast<size_t>(n);
            if (c.lingering)
                continue;
            if (c.reader.idle() && c.input.empty())
                c.request_start = Clock::now();
            c.input.append(buf, static_cast<size_t>(n));
            c.body_window_bytes += static_cast<size_t>(n);
            advance(c);
            account(c);
            if (c.busy || c.lingering || c.penalized)
                return;
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK))
            return;
        close_connection(c.fd); // end of stream or error
        return;
    }
    // Its turn is over: what it sent meanwhile waits in the socket (or in
    // the transport), and the next round reads on after the others.
}

// Reads what the connection has received: a complete request goes to a
// worker; a refused one is answered and the connection closed.
void HttpFrontEnd::advance(Connection& c)
{
    if (c.busy || c.sending || c.lingering || c.penalized || (c.input.empty() && c.reader.idle()))
        return;
    const auto state = c.reader.read(c.input);
    if (state == HttpRequestReader::State::Refused) {
        refuse(c, c.reader.status());
        return;
    }
    if (!c.decided && (state == HttpRequestReader::State::Complete || c.reader.headers_done())) {
        c.decided = true;
        if (!headers_in(c, state == HttpRequestReader::State::Complete))
            return;
    }
    switch (state) {
    case HttpRequestReader::State::NeedMore:
    case HttpRequestReader::State::Refused:
        return;
    case HttpRequestReader::State::Complete:
        c.request = c.reader.take();
        c.decided = false;
        c.admitted = false;
        c.context = std::make_shared<cimple::SMIS_RequestContext>();
        {
            std::lock_guard writing(c.writer); // no worker has it yet: for form's sake
            c.answer_begun = c.probed = false;
        }
        c.busy = true;
        c.queued_at = Clock::now();
        {
            std::lock_guard lock(_mutex);
            _work.push_back(&c);
        }
        _work_ready.notify_one();
        return;
    }
}

bool HttpFrontEnd::headers_in(Connection& c, bool complete)
{
    if (_credentials.required) {
        const std::string login = c.reader.request().header_value("Authorization");
        if (login.empty()) {
            unauthorized(c, complete); // no guess: nothing to hold back
            return false;
        }
        // A connection that proved its login sends it again at no cost:
        // that tells its client nothing new.
        if (login != c.verified_login) {
            const auto now = Clock::now();
            const auto turn = _throttle.turn(c.address, now);
            if (turn == Clock::time_point::max()) {
                refuse(c, 503); // too many attempts wait already: this one is not checked
                return false;
            }
            if (turn > now) {
                c.penalized = true;
                c.penalty_end = turn;
                c.turn_complete = complete;
                return false;
            }
            if (!check_login(c, complete))
                return false;
        }
    }
    if (!complete)
        admit(c);
    return true;
}

bool HttpFrontEnd::check_login(Connection& c, bool complete)
{
    std::string login = c.reader.request().header_value("Authorization");
    if (authorized(_credentials, login)) {
        c.verified_login = std::move(login);
        return true;
    }
    const auto now = Clock::now();
    _throttle.failed(c.address, now);
    _login_unlogged++;
    if (now >= _login_log_next) {
        server_log("failed login from " + c.peer +
                   (_login_unlogged > 1 ? " (" + std::to_string(_login_unlogged) + " failed logins since the last report)"
                                        : std::string()));
        _login_unlogged = 0;
        _login_log_next = now + LOGIN_LOG_EVERY;
    }
    unauthorized(c, complete);
    return false;
}

void HttpFrontEnd::login_turn(Connection& c)
{
    c.penalized = false;
    if (!check_login(c, c.turn_complete))
        return;
    if (!c.turn_complete)
        admit(c);
    advance(c);
    account(c);
}

void HttpFrontEnd::unauthorized(Connection& c, bool complete)
{
    c.login_failures++;
    // A complete request is dropped and the connection may take the next
    // one; a body not yet read is never read: the connection closes.
    if (complete)
        (void)c.reader.take();
    c.decided = false;
    if (!complete || c.login_failures >= CONNECTION_LOGIN_FAILURES) {
        refuse(c, 401);
        return;
    }
    c.transport->send_now(short_answer(401, false));
    c.idle_since = c.request_start = Clock::now();
    advance(c);
    account(c);
}

bool HttpFrontEnd::may_read(const Connection& c) const
{
    if (c.lingering)
        return true;
    if (c.penalized)
        return false;
    if (c.reader.headers_done())
        return c.admitted;
    return reading_allowed() || c.input.size() < SMALL_REQUEST;
}

// A client that ended its sending side after its request either left or
// waits for its answer with that side closed (HTTP allows both), and only a
// write tells them apart: an interim "100 Continue", which an HTTP/1.1
// client reads past, draws a reset from a client that closed. Probed before
// the answer begins (its own bytes tell from then on) and once a request;
// the reset may come at once (then true) or a moment later (the poll thread
// sees it). HTTP/1.0 has no interim answers: its client is taken to have
// left. Either thread may ask; the writer lock keeps the probe apart from
// the answer's bytes.
bool HttpFrontEnd::shut_peer_left(Connection& c)
{
    std::lock_guard writing(c.writer);
    if (c.answer_begun)
        return false;
    if (c.request.minor_version < 1)
        return true;
    pollfd p{c.fd, POLLOUT, 0};
    if (!c.probed) {
        // Without room in the socket the probe could leave in part: the
        // answer tells instead.
        if (::poll(&p, 1, 0) <= 0 || !(p.revents & POLLOUT))
            return false;
        c.transport->send_now("HTTP/1.1 100 Continue\r\n\r\n");
        c.probed = true;
    }
    p.events = 0;
    return ::poll(&p, 1, 0) > 0 && (p.revents & (POLLHUP | POLLERR));
}

// The worker about to answer: the poll thread may not have seen yet that
// the client left, and a walk started for nobody costs until it notices.
bool HttpFrontEnd::client_still_there(Connection& c)
{
    pollfd p{c.fd, POLLRDHUP, 0};
    if (c.gone || (::poll(&p, 1, 0) > 0 && ((p.revents & (POLLHUP | POLLERR)) ||
                                            ((p.revents & POLLRDHUP) && shut_peer_left(c))))) {
        c.leave();
        return false;
    }
    return true;
}

void HttpFrontEnd::peer_left(Connection& c)
{
    c.leave();
    {
        std::lock_guard lock(_mutex);
        if (c.working)
            return; // the worker's walk stops at its next piece
        auto it = std::find(_work.begin(), _work.end(), &c);
        if (it != _work.end())
            _work.erase(it);
    }
    close_connection(c.fd); // no worker starts it
}

void HttpFrontEnd::send_on(Connection& c, Clock::time_point now)
{
    switch (c.answer->send_on(now)) {
    case HttpAnswer::Progress::Pending:
        return;
    case HttpAnswer::Progress::Lost:
        close_connection(c.fd);
        return;
    case HttpAnswer::Progress::Done:
        answered(c);
        return;
    }
}

void HttpFrontEnd::answered(Connection& c)
{
    const bool close = c.close_after || !c.answer || !c.answer->keeps_connection();
    c.answer.reset();
    c.sending = false;
    if (close) {
        close_connection(c.fd);
        return;
    }
    c.idle_since = Clock::now();
    if (!c.input.empty())
        c.request_start = c.idle_since;
    advance(c);
    account(c);
}

void HttpFrontEnd::expire(Clock::time_point now)
{
    std::vector<int> ended;
    std::vector<Connection*> sending;
    std::vector<Connection*> penalties_over;
    for (auto& [fd, c] : _connections) {
        if (c->busy)
            continue;
        if (c->penalized) {
            if (now >= c->penalty_end)
                penalties_over.push_back(c.get());
        } else if (c->sending) {
            sending.push_back(c.get());
        } else if (c->lingering) {
            if (now >= c->linger_end)
                ended.push_back(fd);
        } else if (!c->reader.idle() || !c->input.empty()) {
            if (now - c->request_start >= _tuning.request_time) {
                refuse(*c, 408); // the request took too long
            } else if (c->admitted && now - c->body_window_start >= _tuning.body_window) {
                const auto ms =
                    std::chrono::duration_cast<std::chrono::milliseconds>(now - c->body_window_start).count();
                if (c->body_window_bytes * 1000 < _tuning.min_body_rate * static_cast<std::size_t>(ms)) {
                    server_log("request from " + c->peer + " refused: its body came below the minimum rate");
                    refuse(*c, 408);
                } else {
                    c->body_window_start = now;
                    c->body_window_bytes = 0;
                }
            }
        } else if (now - c->idle_since >= _tuning.idle_time) {
            ended.push_back(fd);
        }
    }
    for (int fd : ended)
        close_connection(fd);
    for (Connection* c : penalties_over)
        login_turn(*c);
    // The pace rules and the spool's losses apply to clients whose sockets
    // are full, too.
    for (Connection* c : sending)
        send_on(*c, now);
}

int HttpFrontEnd::poll_timeout(Clock::time_point now) const
{
    auto next = now + std::chrono::seconds(1);
    if (_accept_resume > now)
        next = std::min(next, _accept_resume);
    for (auto& [fd, c] : _connections) {
        if (c->busy || c->sending)
            continue;
        Clock::time_point due = c->penalized                                  ? c->penalty_end
                                : c->lingering                             ? c->linger_end
                                : (!c->reader.idle() || !c->input.empty()) ? c->request_start + _tuning.request_time
                                                                            : c->idle_since + _tuning.idle_time;
        if (c->admitted)
            due = std::min(due, c->body_window_start + _tuning.body_window);
        next = std::min(next, due);
    }
    auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(next - now).count();
    return static_cast<int>(std::max<long long>(ms, 0) + 1);
}

bool HttpFrontEnd::serve()
{
    if (_listeners.empty() || _wake_fd < 0)
        return false;
    {
        std::lock_guard lock(_mutex);
        _live_workers = _tuning.workers;
    }
    for (size_t i = 0; i < _tuning.workers; i++)
        _workers.emplace_back([this] { work(false); });
    std::vector<pollfd> fds;
    std::vector<std::uint64_t> polled; // whose socket each entry was (its serial), past the wake and listeners
    const size_t base = 1 + _listeners.size();
    while (!_stopping) {
        fds.clear();
        polled.clear();
        fds.push_back({_wake_fd, POLLIN, 0});
        for (const Listener& l : _listeners)
            fds.push_back({l.fd, static_cast<short>(Clock::now() < _accept_resume ? 0 : POLLIN), 0});
        bool buffered = false; // bytes received inside a transport, which poll does not see
        bool quiet = true; // no request is being answered or sent
        for (auto& [fd, c] : _connections) {
            // A peer that ends its side is seen whatever the connection
            // does, once (the condition stays); a reset or a full close
            // (POLLERR, POLLHUP) is reported in any case.
            short events = c->peer_shut ? 0 : POLLRDHUP;
            quiet = quiet && !c->busy && !c->sending;
            if (c->busy && c->gone)
                continue;
            if (!c->busy && !c->sending)
                admit(*c);
            if (c->sending) {
                events = POLLOUT;
            } else if (!c->busy && may_read(*c)) {
                events = c->transport->events(events | POLLIN);
                buffered = buffered || c->transport->buffered();
            }
            fds.push_back({fd, events, 0});
            polled.push_back(c->serial);
        }
        int timeout = buffered ? 0 : poll_timeout(Clock::now());
        if (add_workers_if_needed(Clock::now()))
            timeout = std::min(timeout, static_cast<int>(_tuning.worker_patience.count()) / 2 + 1);
        int r = ::poll(fds.data(), fds.size(), timeout);
        if (r < 0 && errno != EINTR)
            break;
        if (fds[0].revents) {
            uint64_t n;
            (void)!::read(_wake_fd, &n, sizeof n);
        }
        // Connections back from the workers: closed, sent on, or read on (a
        // client may have sent its next request already).
        std::vector<Connection*> back;
        {
            std::lock_guard lock(_mutex);
            back.swap(_answered);
        }
        for (Connection* c : back) {
            c->busy = false;
            c->working = false;
            _allocator.worked(c->request.body.size() >= AllocatorPolicy::LARGE_WORK ||
                                  (c->answer && c->answer->started()),
                              Clock::now());
            release(c->request.body); // a finished request gives its memory back
            c->request = HttpRequest();
            c->context.reset();
            account(*c);
            if (c->gone) {
                close_connection(c->fd);
                continue;
            }
            if (c->answer && c->answer->waiting() > 0) {
                c->sending = true;
                send_on(*c, Clock::now());
                continue;
            }
            answered(*c);
        }
        for (size_t l = 0; l < _listeners.size(); l++)
            if (fds[1 + l].revents & POLLIN)
                accept_all(_listeners[l]);
        // Connections are served from a point that moves on each time, so
        // that while memory is short every waiting request gets its turn to
        // be read, not only those of the lowest sockets.
        const size_t count = fds.size() - base;
        const size_t first = count ? _turn++ % count : 0;
        for (size_t k = 0; k < count; k++) {
            const size_t i = base + (first + k) % count;
            if (!fds[i].revents && !buffered)
                continue;
            auto it = _connections.find(fds[i].fd);
            if (it == _connections.end() || it->second->serial != polled[i - base])
                continue; // closed meanwhile (its number, even its memory, may be a newcomer's now)
            Connection& c = *it->second;
            if (buffered && (fds[i].events & POLLIN) && !c.busy && !c.sending && c.transport->buffered())
                fds[i].revents |= POLLIN;
            if (!fds[i].revents)
                continue;
            if (fds[i].revents & POLLRDHUP)
                c.peer_shut = true;
            if (c.busy) {
                if ((fds[i].revents & (POLLHUP | POLLERR)) || ((fds[i].revents & POLLRDHUP) && shut_peer_left(c)))
                    peer_left(c);
            } else if (c.sending) {
                if (fds[i].revents & (POLLOUT | POLLHUP | POLLERR))
                    send_on(c, Clock::now());
            } else if (may_read(c) && (fds[i].revents & (POLLIN | POLLOUT | POLLHUP | POLLERR))) {
                receive(c); // POLLOUT: a TLS handshake goes on
            } else if (fds[i].revents & (POLLHUP | POLLERR)) {
                close_connection(c.fd); // left while not read
            }
        }
        expire(Clock::now());
        // Idle after large requests or answers: what they freed goes back.
        if (quiet && back.empty())
            _allocator.idle(Clock::now());
        else
            _allocator.worked(false, Clock::now());
        reap_workers();
    }
    // Shutting down: the workers finish what they answer (their waits end,
    // the cancel event being set) and their answers leave; what is still
    // being answered after the grace is cut so its worker ends promptly.
    {
        std::unique_lock lock(_mutex);
        _work.clear();
        _work_ready.notify_all();
        _worker_ended.wait_for(lock, STOP_GRACE, [this] { return _live_workers == 0; });
        for (auto& [fd, c] : _connections)
            if (c->busy) {
                c->leave();
                ::shutdown(fd, SHUT_RDWR);
            }
    }
    _work_ready.notify_all();
    for (auto& w : _workers)
        w.join();
    _workers.clear();
    for (auto& [fd, c] : _connections) {
        c.reset();
        ::close(fd);
    }
    _connections.clear();
    for (const Listener& l : _listeners)
        ::close(l.fd);
    _listeners.clear();
    return true;
}

bool HttpFrontEnd::add_workers_if_needed(Clock::time_point now)
{
    std::size_t wanted = 0;
    bool waiting = false;
    {
        std::lock_guard lock(_mutex);
        std::size_t overdue = 0;
        for (const Connection* c : _work)
            overdue += now - c->queued_at >= _tuning.worker_patience;
        waiting = !_work.empty();
        if (now - _last_finish < _tuning.worker_patience)
            overdue = 0; // the workers make progress: the queue drains
        if (overdue > _idle_workers)
            wanted = std::min(overdue - _idle_workers, _tuning.max_workers - std::min(_live_workers, _tuning.max_workers));
        _live_workers += wanted;
    }
    for (; wanted > 0; --wanted)
        try {
            _workers.emplace_back([this] { work(true); });
        } catch (...) {
            std::lock_guard lock(_mutex); // no thread now: the workers there serve the queue
            _live_workers -= wanted;
            break;
        }
    return waiting;
}

void HttpFrontEnd::reap_workers()
{
    std::vector<std::thread::id> ended;
    {
        std::lock_guard lock(_mutex);
        ended.swap(_ended_workers);
    }
    for (std::thread::id id : ended) {
        auto it = std::find_if(_workers.begin(), _workers.end(), [id](const std::thread& t) { return t.get_id() == id; });
        if (it != _workers.end()) {
            it->join();
            _workers.erase(it);
        }
    }
}

void HttpFrontEnd::work(bool extra)
{
    const auto ready = [this] { return _stopping || !_work.empty(); };
    for (;;) {
        Connection* c = nullptr;
        {
            std::unique_lock lock(_mutex);
            ++_idle_workers;
            const bool woken = extra ? _work_ready.wait_for(lock, _tuning.idle_worker_time, ready)
                                     : (_work_ready.wait(lock, ready), true);
            --_idle_workers;
            if (_stopping || !woken) {
                --_live_workers;
                if (!_stopping)
                    _ended_workers.push_back(std::this_thread::get_id());
                _worker_ended.notify_all();
                return;
            }
            c = _work.front();
            _work.pop_front();
            c->working = true;
        }
        try {
            // Provider code below finds the request's context on this thread.
            cimple::SMIS_RequestContext::Scope scope(*c->context);
            if (!client_still_there(*c))
                c->close_after = true; // the client left: nothing is done for it
            else
                answer(*c);
        } catch (...) {
            c->close_after = true;
        }
        {
            std::lock_guard lock(_mutex);
            _answered.push_back(c);
            _last_finish = Clock::now();
        }
        wake();
    }
}

void HttpFrontEnd::answer(Connection& c)
{
    const HttpRequest& req = c.request;
    HttpAnswer::Options options;
    options.may_stream = req.minor_version >= 1;
    const std::string* te = req.header("TE");
    options.trailers = te && te->find("trailers") != std::string::npos;
    options.keep_alive = req.keep_alive();
    options.stall = _tuning.stall_time;
    options.min_rate = _tuning.min_rate;
    options.window = _tuning.rate_window;
    options.backlog = _tuning.backlog;
    options.max_held = _tuning.max_answer_held;
    options.client = c.peer;
    // From the answer's first byte on, only the answer writes: it tells
    // whether a client that ended its side is still there.
    options.before_first_byte = [&c] {
        std::lock_guard writing(c.writer);
        c.answer_begun = true;
    };
    c.answer = std::make_unique<HttpAnswer>(*c.transport, options, &_budget, &c.gone);
    HttpAnswer& out = *c.answer;
    auto done = [&] { c.close_after = !out.keeps_connection(); };

    if (!is_cim_path(req.target)) {
        out.send_status(404);
        return done();
    }
    if (req.method != "POST") {
        out.send_status(405, "", "Allow: POST");
        return done();
    }
    const std::string* operation = req.header("CIMOperation");
    if (!operation || strcasecmp(operation->c_str(), "MethodCall") != 0) {
        out.send_status(400, "unsupported-operation");
        return done();
    }
    const std::string* version = req.header("CIMProtocolVersion");
    if (version && !starts_with_nocase(*version, "1.")) {
        out.send_status(501, "unsupported-protocol-version");
        return done();
    }
    std::string type = req.header_value("Content-Type");
    if (!starts_with_nocase(type, "application/xml") && !starts_with_nocase(type, "text/xml")) {
        out.send_status(400, "request-not-valid");
        return done();
    }
    const std::string* method = req.header("CIMMethod");
    if (!method && req.header("CIMBatch")) {
        // A batch of operations (MULTIREQ): one operation a request is served.
        out.send_status(501, "multiple-requests-unsupported");
        return done();
    }
    if (!method) {
        out.send_status(400, "header-mismatch");
        return done();
    }
    OperationReply reply = _operations.handle(req.body, *method, out, c.host);
    out.finish(reply);
    done();
}

} // namespace cimserver
