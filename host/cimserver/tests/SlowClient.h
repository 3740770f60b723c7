// Clients that cost the server what a careless or hostile one would: a
// reader that takes its answer at a set rate, and a look at the server's
// process (CPU time, descriptors, threads, peak memory) for the tests that
// check what such clients leave behind.
#ifndef HOST_CIMSERVER_TESTS_SLOW_CLIENT_H
#define HOST_CIMSERVER_TESTS_SLOW_CLIENT_H

#include <atomic>
#include <cstddef>
#include <string>
#include <thread>

#include <sys/types.h>

namespace cimserver::test {

// Sends one request and reads its answer at about rate bytes a second, with
// a small receive buffer, until stopped or the server closes.
class SlowReader {
public:
    SlowReader(int port, const std::string& request, std::size_t rate);
    ~SlowReader();
    SlowReader(const SlowReader&) = delete;
    SlowReader& operator=(const SlowReader&) = delete;

    bool connected() const { return _fd >= 0; }
    std::size_t bytes() const { return _bytes; }
    bool closed() const { return _closed; }

private:
    int _fd = -1;
    std::atomic<bool> _stop{false};
    std::atomic<std::size_t> _bytes{0};
    std::atomic<bool> _closed{false};
    std::thread _thread;
};

struct ProcessFigures {
    double cpu_seconds = 0; // user and system
    int fds = 0;
    int threads = 0;
    long rss_kib = 0;
    long peak_rss_kib = 0;  // VmHWM
};
ProcessFigures figures_of(pid_t pid);

// The request of an enumeration of the class, as RawHttp sends it.
std::string enumeration_request(const std::string& class_name, bool names_only = false);

// Without the sanitizer's quarantine (for the server processes started after
// the call), so that memory the server frees is given back and its RSS shows
// what it holds.
void without_quarantine();

} // namespace cimserver::test

#endif
