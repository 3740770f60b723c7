#include "CliClient.hpp"

#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <stdexcept>

namespace arraysim {

namespace {

bool writeAll(int fd, const char* data, std::size_t size, bool socket) {
    std::size_t done = 0;
    while (done < size) {
        const ssize_t w = socket ? ::send(fd, data + done, size - done, MSG_NOSIGNAL) : ::write(fd, data + done, size - done);
        if (w < 0 && errno == EINTR) continue;
        if (w <= 0) return false;
        done += static_cast<std::size_t>(w);
    }
    return true;
}

}  // namespace

CliClient::CliClient(const std::string& path) {
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    if (path.empty() || path.size() >= sizeof addr.sun_path) throw std::runtime_error("bad command-line socket path");
    std::memcpy(addr.sun_path, path.c_str(), path.size() + 1);
    fd_ = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd_ < 0 || ::connect(fd_, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0) {
        const std::string why = std::strerror(errno);
        if (fd_ >= 0) ::close(fd_);
        fd_ = -1;
        throw std::runtime_error("Network error: " + why);
    }
}

CliClient::~CliClient() {
    if (fd_ >= 0) ::close(fd_);
}

Json CliClient::request(const Json& message) {
    const std::string line = message.dump() + "\n";
    if (!writeAll(fd_, line.data(), line.size(), true)) throw std::runtime_error("Network error: Connection closed");
    for (;;) {
        const auto nl = buf_.find('\n');
        if (nl != std::string::npos) {
            const std::string reply = buf_.substr(0, nl);
            buf_.erase(0, nl + 1);
            return Json::parse(reply);
        }
        char chunk[1024];
        const ssize_t n = ::recv(fd_, chunk, sizeof chunk, 0);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) throw std::runtime_error("Network error: Connection closed by remote host");
        buf_.append(chunk, static_cast<std::size_t>(n));
    }
}

void CliClient::relay(int in, int out) {
    if (!buf_.empty() && !writeAll(out, buf_.data(), buf_.size(), false)) return;
    buf_.clear();
    bool inOpen = true;
    for (;;) {
        pollfd p[2] = {{fd_, POLLIN, 0}, {inOpen ? in : -1, POLLIN, 0}};
        const int r = ::poll(p, 2, -1);
        if (r < 0) {
            if (errno == EINTR) continue;
            return;
        }
        char chunk[4096];
        if (p[0].revents & (POLLIN | POLLHUP | POLLERR)) {
            const ssize_t n = ::recv(fd_, chunk, sizeof chunk, 0);
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) return;
            if (!writeAll(out, chunk, static_cast<std::size_t>(n), false)) return;
        }
        if (inOpen && (p[1].revents & (POLLIN | POLLHUP | POLLERR))) {
            const ssize_t n = ::read(in, chunk, sizeof chunk);
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) {
                inOpen = false;
                ::shutdown(fd_, SHUT_WR);
            } else if (!writeAll(fd_, chunk, static_cast<std::size_t>(n), true)) {
                return;
            }
        }
    }
}

}  // namespace arraysim
