// The HTTP side of the server: CIM-XML operation requests over HTTP/1.1
// with keep-alive, optional Basic authentication and the CIM header checks.
//
// One thread polls every connection and reads requests within their bounds
// (header size and count, body size in every framing, a deadline for the
// whole request); only complete requests go to the worker threads, which
// answer them and stream long answers. A connection that is idle or still
// sending holds no worker, so slow clients cannot starve the others.
// Requests on one connection are answered one after the other, in order.
#ifndef HOST_CIMSERVER_HTTP_FRONT_END_H
#define HOST_CIMSERVER_HTTP_FRONT_END_H

#include "CimOperations.h"
#include "HttpRequestReader.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace cimserver {

struct Credentials {
    bool required = false;
    std::string user;
    std::string password;
};

struct FrontEndTuning {
    std::size_t workers = 16;
    std::size_t max_connections = 512;            // the excess is answered 503 at once
    std::chrono::milliseconds request_time{30000}; // from a request's first byte to its last
    std::chrono::milliseconds idle_time{15000};    // a kept-alive connection without a request
    std::chrono::milliseconds stall_time{30000};   // a client not taking a part of its answer
    std::size_t max_header_bytes = 32768;
    std::size_t max_header_lines = 100;
};

class HttpFrontEnd {
public:
    HttpFrontEnd(const CimOperations& operations, Credentials credentials, std::size_t max_request,
                 FrontEndTuning tuning = {});
    ~HttpFrontEnd();
    HttpFrontEnd(const HttpFrontEnd&) = delete;
    HttpFrontEnd& operator=(const HttpFrontEnd&) = delete;

    // Binds; port 0 takes a free port. The bound port, or -1.
    int bind(const std::string& address, int port);
    // Serves until stop(); false when the server failed.
    bool serve();
    // Ends serve() from any thread: open connections are closed.
    void stop();

    // True when an Authorization header value grants access.
    static bool authorized(const Credentials& credentials, const std::string& authorization);

private:
    using Clock = std::chrono::steady_clock;
    struct Connection;

    void accept_all();
    void receive(Connection& c);
    void advance(Connection& c);
    // Answers status, closes the sending side and drains what still comes.
    void refuse(Connection& c, int status);
    void close_connection(int fd);
    void expire(Clock::time_point now);
    int poll_timeout(Clock::time_point now) const;
    void work();
    void answer(Connection& c);
    void wake();

    const CimOperations& _operations;
    Credentials _credentials;
    HttpLimits _limits;
    FrontEndTuning _tuning;
    int _listen_fd = -1;
    Clock::time_point _accept_resume; // the listener is not polled before
    int _wake_fd = -1;
    std::atomic<bool> _stopping{false};
    std::map<int, std::unique_ptr<Connection>> _connections; // by socket; the poll thread's own

    std::mutex _mutex;
    std::condition_variable _work_ready;
    std::deque<Connection*> _work;     // complete requests waiting for a worker
    std::vector<Connection*> _answered; // connections back from the workers
    std::vector<std::thread> _workers;
};

} // namespace cimserver

#endif
