#include "CliServer.hpp"

#include <poll.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <functional>
#include <stdexcept>

#include "CliSession.hpp"

namespace arraysim {

namespace {

constexpr int kHandshakeMillis = 10000;
constexpr std::size_t kMaxHandshakeLine = 4096;

bool sendAll(int fd, const std::string& data) {
    std::size_t sent = 0;
    while (sent < data.size()) {
        const ssize_t w = ::send(fd, data.data() + sent, data.size() - sent, MSG_NOSIGNAL);
        if (w < 0 && errno == EINTR) continue;
        if (w <= 0) return false;
        sent += static_cast<std::size_t>(w);
    }
    return true;
}

// One handshake line; the bytes after it stay in `buf`.
bool readLine(int fd, std::string& buf, std::string& line, const std::atomic<bool>& stopping) {
    int waited = 0;
    for (;;) {
        const auto nl = buf.find('\n');
        if (nl != std::string::npos) {
            line = buf.substr(0, nl);
            buf.erase(0, nl + 1);
            return true;
        }
        if (buf.size() > kMaxHandshakeLine || waited >= kHandshakeMillis || stopping) return false;
        pollfd p{fd, POLLIN, 0};
        const int r = ::poll(&p, 1, 100);
        if (r < 0 && errno != EINTR) return false;
        if (r <= 0) {
            waited += 100;
            continue;
        }
        char chunk[1024];
        const ssize_t n = ::recv(fd, chunk, sizeof chunk, 0);
        if (n <= 0) return false;
        buf.append(chunk, static_cast<std::size_t>(n));
    }
}

Json parseLine(const std::string& line) {
    try {
        return Json::parse(line);
    } catch (const std::exception&) {
        return Json::object();
    }
}

std::string reply(const Json& j) { return j.dump(-1, ' ', false, Json::error_handler_t::replace) + "\n"; }

}  // namespace

CliServer::CliServer(SimulatorState& state, std::string path, PortsFn ports)
    : state_(state), path_(std::move(path)), ports_(std::move(ports)) {
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    if (path_.size() >= sizeof addr.sun_path) throw std::runtime_error("command-line socket path too long: " + path_);
    std::memcpy(addr.sun_path, path_.c_str(), path_.size() + 1);
    ::unlink(path_.c_str());
    fd_ = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd_ < 0 || ::bind(fd_, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 || ::listen(fd_, 16) != 0) {
        if (fd_ >= 0) ::close(fd_);
        throw std::runtime_error("cannot open command-line socket " + path_ + ": " + std::strerror(errno));
    }
    thread_ = std::thread([this] { loop(); });
}

CliServer::~CliServer() { stop(); }

void CliServer::stop() {
    if (stopping_.exchange(true)) return;
    if (thread_.joinable()) thread_.join();
    std::vector<Client> clients;
    {
        std::lock_guard lk(mu_);
        clients.swap(clients_);
    }
    for (auto& c : clients)
        if (c.thread.joinable()) c.thread.join();
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
    ::unlink(path_.c_str());
}

void CliServer::loop() {
    while (!stopping_) {
        pollfd p{fd_, POLLIN, 0};
        if (::poll(&p, 1, 100) <= 0) continue;
        const int c = ::accept4(fd_, nullptr, nullptr, SOCK_CLOEXEC);
        if (c < 0) continue;
        const int one = 1; // prompt and output leave in separate writes
        ::setsockopt(c, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
        std::lock_guard lk(mu_);
        // Logins that have ended are joined here, so threads do not pile up.
        for (auto it = clients_.begin(); it != clients_.end();) {
            if (*it->done) {
                it->thread.join();
                it = clients_.erase(it);
            } else {
                ++it;
            }
        }
        auto done = std::make_shared<std::atomic<bool>>(false);
        clients_.push_back(Client{std::thread([this, c, done] {
                                      serve(c);
                                      *done = true;
                                  }),
                                  done});
    }
}

long CliServer::resolve(const Json& connect) const {
    const Json ports = ports_();
    if (connect.contains("array")) {
        const auto i = num(connect, "array", ports.size());
        return i < ports.size() ? static_cast<long>(i) : -1;
    }
    const std::string address = str(connect, "address");
    const auto port = num(connect, "port");
    std::vector<std::size_t> candidates;
    for (auto& p : ports)
        if (str(p, "address") == address) candidates.push_back(num(p, "index"));
    if (candidates.size() == 1) return static_cast<long>(candidates[0]);
    // Arrays sharing an address are told apart by port: the command-line
    // port of their model, else their command port.
    for (auto i : candidates) {
        const auto cliPort = state_.read(i, [](const SimArray& a) { return num(a.model().value("cli", Json::object()), "port"); });
        if (cliPort != 0 && cliPort == port) return static_cast<long>(i);
    }
    for (auto i : candidates)
        if (num(ports[i], "port") == port) return static_cast<long>(i);
    return -1;
}

bool CliServer::accepts(std::size_t array, const std::string& user, const std::string& password) const {
    return state_.read(array, [&](const SimArray& a) {
        const Json cli = a.model().value("cli", Json::object());
        return user == str(cli, "user", "admin") && password == str(cli, "password", "admin");
    });
}

void CliServer::serve(int fd) {
    std::string buf, line;
    long array = -1;
    bool loggedIn = false;
    if (readLine(fd, buf, line, stopping_)) {
        const Json connect = parseLine(line);
        array = str(connect, "op") == "connect" ? resolve(connect) : -1;
        if (array < 0) {
            sendAll(fd, reply({{"ok", false}, {"error", "Connection refused"}}));
        } else {
            const auto [question, fingerprint] = state_.read(static_cast<std::size_t>(array), [](const SimArray& a) {
                const Json cli = a.model().value("cli", Json::object());
                const bool ask = !cli.is_object() || cli.value("host_key_question", true);
                // A stable fingerprint per array, in the SSH client's form.
                static const char* digits = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
                std::string fp = "ssh-ed25519 255 SHA256:";
                std::size_t h = std::hash<std::string>{}(a.name() + str(a.model()["system"], "box_id"));
                for (int i = 0; i < 43; ++i) {
                    fp += digits[h % 64];
                    h = h / 64 + (h % 64 + 1) * 0x9E3779B97F4A7C15ull;
                }
                return std::make_pair(ask, fp);
            });
            sendAll(fd, reply({{"ok", true}, {"array", array}, {"host_key_question", question},
                               {"fingerprint", fingerprint}}));
            if (readLine(fd, buf, line, stopping_)) {
                const Json login = parseLine(line);
                const std::string user = str(login, "user");
                loggedIn = str(login, "op") == "login" &&
                           (login.value("trusted", false) ||
                            accepts(static_cast<std::size_t>(array), user, str(login, "password")));
                sendAll(fd, reply(loggedIn ? Json{{"ok", true}} : Json{{"ok", false}, {"error", "Access denied"}}));
            }
        }
    }
    if (loggedIn) {
        CliSession session(state_, static_cast<std::size_t>(array));
        bool open = sendAll(fd, session.greeting());
        if (open && !buf.empty()) open = sendAll(fd, session.feed(buf));
        while (open && !session.finished() && !stopping_) {
            pollfd p{fd, POLLIN, 0};
            const int r = ::poll(&p, 1, 100);
            if (r < 0 && errno != EINTR) break;
            if (r <= 0) continue;
            char chunk[4096];
            const ssize_t n = ::recv(fd, chunk, sizeof chunk, 0);
            if (n <= 0) break;
            open = sendAll(fd, session.feed(std::string(chunk, static_cast<std::size_t>(n))));
        }
    }
    ::shutdown(fd, SHUT_RDWR);
    ::close(fd);
}

}  // namespace arraysim
