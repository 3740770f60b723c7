// A listener that turns against whoever delivers to it, for the tests of
// indication delivery: on every connection it reads the request's head and
// then, by its kind,
// - trickles: answers "200" with a long body and sends one byte of it
//   every interval, so the answer never ends;
// - never reads: takes the connection and then neither reads nor answers;
// - floods: answers "200" with a huge body sent as fast as the peer takes it;
// - bombs: answers "200" with a gzip body that expands to 512 MiB;
// - trickles its head: sends the answer's head itself one byte an interval;
// - or, as a plain listener, sends a canned answer and closes.
// It serves every connection until it is destroyed, on one thread.
#ifndef HOST_CIMSERVER_TESTS_HOSTILE_LISTENER_H
#define HOST_CIMSERVER_TESTS_HOSTILE_LISTENER_H

#include <atomic>
#include <chrono>
#include <string>
#include <thread>

namespace cimserver::test {

class HostileListener {
public:
    enum class Kind { trickle, never_read, flood, gzip_bomb, trickle_head, canned };

    explicit HostileListener(Kind kind, std::chrono::milliseconds interval = std::chrono::milliseconds(1000));
    // A listener that sends this answer to every request and closes.
    explicit HostileListener(std::string canned);
    ~HostileListener();
    HostileListener(const HostileListener&) = delete;
    HostileListener& operator=(const HostileListener&) = delete;

    std::string url() const { return "http://127.0.0.1:" + std::to_string(_port) + "/indications"; }
    // Connections taken so far.
    unsigned connections() const { return _connections.load(); }
    // Answer bytes the peers took so far.
    unsigned long long sent() const { return _sent.load(); }

private:
    void run();

    void start();

    const Kind _kind;
    const std::chrono::milliseconds _interval;
    const std::string _canned;
    int _listen = -1;
    int _stop[2] = {-1, -1};
    int _port = 0;
    std::atomic<unsigned> _connections{0};
    std::atomic<unsigned long long> _sent{0};
    std::thread _thread;
};

} // namespace cimserver::test

#endif
