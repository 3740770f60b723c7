#include "SlowClient.h"

#include "CimClient.h"
#include "RawHttp.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace cimserver::test {

SlowReader::SlowReader(int port, const std::string& request, std::size_t rate)
{
    _fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    int buffer = 16384;
    ::setsockopt(_fd, SOL_SOCKET, SO_RCVBUF, &buffer, sizeof buffer);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(static_cast<uint16_t>(port));
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::connect(_fd, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0 ||
        ::send(_fd, request.data(), request.size(), MSG_NOSIGNAL) != static_cast<ssize_t>(request.size())) {
        ::close(_fd);
        _fd = -1;
        return;
    }
    _thread = std::thread([this, rate] {
        using Clock = std::chrono::steady_clock;
        const auto tick = std::chrono::milliseconds(100);
        const std::size_t each = std::max<std::size_t>(rate / 10, 1);
        std::string buf(each, '\0');
        for (auto next = Clock::now(); !_stop; next += tick) {
            std::size_t got = 0;
            while (got < each && !_stop) {
                pollfd p{_fd, POLLIN, 0};
                if (::poll(&p, 1, 50) <= 0)
                    continue;
                ssize_t n = ::recv(_fd, buf.data(), each - got, 0);
                if (n <= 0) {
                    _closed = true;
                    return;
                }
                got += static_cast<std::size_t>(n);
            }
            _bytes += got;
            std::this_thread::sleep_until(next + tick);
        }
    });
}

SlowReader::~SlowReader()
{
    _stop = true;
    if (_thread.joinable())
        _thread.join();
    if (_fd >= 0)
        ::close(_fd);
}

ProcessFigures figures_of(pid_t pid)
{
    ProcessFigures f;
    const std::string dir = "/proc/" + std::to_string(pid);
    std::ifstream stat(dir + "/stat");
    std::string text((std::istreambuf_iterator<char>(stat)), {});
    // Fields after the command name (which may hold spaces): utime and stime
    // are the 12th and 13th.
    std::istringstream rest(text.substr(text.rfind(')') + 2));
    std::string field;
    unsigned long long utime = 0, stime = 0;
    for (int i = 1; i <= 13 && rest >> field; i++) {
        if (i == 12)
            utime = std::stoull(field);
        if (i == 13)
            stime = std::stoull(field);
    }
    f.cpu_seconds = static_cast<double>(utime + stime) / static_cast<double>(::sysconf(_SC_CLK_TCK));
    std::error_code ec;
    for (auto it = std::filesystem::directory_iterator(dir + "/fd", ec); it != std::filesystem::directory_iterator();
         it.increment(ec))
        f.fds++;
    std::ifstream status(dir + "/status");
    for (std::string line; std::getline(status, line);) {
        auto value = [&] { return std::atol(line.c_str() + line.find(':') + 1); };
        if (line.rfind("Threads:", 0) == 0)
            f.threads = static_cast<int>(value());
        else if (line.rfind("VmRSS:", 0) == 0)
            f.rss_kib = value();
        else if (line.rfind("VmHWM:", 0) == 0)
            f.peak_rss_kib = value();
    }
    return f;
}

std::string enumeration_request(const std::string& class_name, bool names_only)
{
    const char* op = names_only ? "EnumerateInstanceNames" : "EnumerateInstances";
    return RawHttp::request(op, CimClient::imethod(op, CimClient::class_param("ClassName", class_name)));
}

void without_quarantine()
{
    const char* now = std::getenv("ASAN_OPTIONS");
    std::string options = now ? now : "";
    if (options.find("quarantine_size_mb") == std::string::npos)
        options += (options.empty() ? "" : ":") + std::string("quarantine_size_mb=0");
    ::setenv("ASAN_OPTIONS", options.c_str(), 1);
}

} // namespace cimserver::test
