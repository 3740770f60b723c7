// The HTTP side of the server: CIM-XML operation requests over HTTP/1.1
// with keep-alive, optional Basic authentication and the CIM header checks,
// on plain and HTTPS listeners alike (a connection's transport carries its
// bytes; the bounds, accounting and spool below are the same for both).
//
// One thread polls every connection and reads requests within their bounds
// (header size and count, body size in every framing, a deadline for the
// whole request, a minimum rate for a body, a total for the bodies of all
// requests waiting and a share of it for each client address), each
// connection a bounded share of it per round; only complete requests go to
// the worker threads, which make their answers. The login is checked as soon
// as the headers are in, before any body is read or counted; once an address
// has failed a few times its attempts wait for their turns before the check
// (LoginThrottle), and failures are logged. Small requests are always read,
// so no amount of large bodies waiting for memory queues a small call. A
// worker does not wait for a client: what the client has not taken when the
// answer is made stays with the connection (in memory or spooled), and the
// same thread that reads requests sends it at the client's pace; only a walk
// whose answer reaches its bound of bytes waiting pauses in its worker until
// the client reads. So a connection that is idle, still sending or slow to
// read holds no worker, and slow clients cannot starve the others. A client that leaves (closes
// or resets its connection) ends its request: a queued one is dropped, one
// a worker is about to start is not started, one being answered stops at
// its next piece. A client that only ends its sending side after its
// request still gets its answer. Requests on one connection are answered
// one after the other, in order.
#ifndef HOST_CIMSERVER_HTTP_FRONT_END_H
#define HOST_CIMSERVER_HTTP_FRONT_END_H

#include "AllocatorPolicy.h"
#include "AnswerBudget.h"
#include "CimOperations.h"
#include "HttpRequestReader.h"
#include "LoginThrottle.h"
#include "TlsContext.h"

#include <SMIS_AccessPoints.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
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
    // A request that has waited worker_patience while no worker finished
    // anything (they wait on a silent array, or for copies) gets a new one,
    // up to max_workers in all; the extra ones end after idle_worker_time
    // unused. Workers that keep finishing are only busy: none is added.
    std::size_t max_workers = 256;
    std::chrono::milliseconds worker_patience{200};
    std::chrono::milliseconds idle_worker_time{10000};
    std::size_t max_connections = 512;            // the excess is answered 503 at once
    std::chrono::milliseconds request_time{30000}; // from a request's first byte to its last
    std::chrono::milliseconds idle_time{15000};    // a kept-alive connection without a request
    std::chrono::milliseconds stall_time{30000};   // a client taking nothing of its answer
    std::size_t min_rate = 0;                      // bytes a second a client takes of its answer, at least (0: none)
    std::chrono::milliseconds rate_window{30000};  // ... measured over each window of this length
    std::size_t backlog = 32u << 20;               // bytes of one answer waiting in memory
    std::size_t max_answer_held = 64u << 20;       // bytes of one answer waiting, memory and spool (0: no cap)
    AnswerLimits answers;                          // memory and spool of all answers waiting
    std::size_t max_pending = 64u << 20;           // request bytes held in memory, all connections together
    std::size_t min_body_rate = 8192;              // bytes a second a request body brings at least ...
    std::chrono::milliseconds body_window{5000};   // ... measured over each window of this length
    std::chrono::milliseconds login_delay{100};    // between login checks of one address, past its first few failures
    std::size_t max_target = 8192;                 // bytes of a request-target
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

    // Binds a listener, HTTPS when tls is given (it outlives the front
    // end); port 0 takes a free port. The bound port, or -1.
    int bind(const std::string& address, int port, TlsContext* tls = nullptr);
    // The listeners bound, in order, as clients reach them.
    std::vector<cimple::SMIS_AccessPoint> access_points() const;
    // Serves until stop(); false when the server failed.
    bool serve();
    // Ends serve() from any thread: open connections are closed.
    void stop();

    // True when an Authorization header value grants access.
    static bool authorized(const Credentials& credentials, const std::string& authorization);

private:
    using Clock = std::chrono::steady_clock;
    struct Connection;
    struct Listener {
        int fd;
        TlsContext* tls; // null: plain HTTP
        cimple::SMIS_AccessPoint point; // how clients reach it; references name it
    };

    void accept_all(const Listener& listener);
    void receive(Connection& c);
    void advance(Connection& c);
    // The headers are in: checks the login (at once, or at the address's
    // turn) and counts the body's memory. False when the request is not
    // read on now.
    bool headers_in(Connection& c, bool complete);
    // Checks the login; false when it is wrong (counted and answered 401).
    bool check_login(Connection& c, bool complete);
    // The login's turn came: checked, the request goes on or is answered 401.
    void login_turn(Connection& c);
    // Answers 401: the connection closes or reads on.
    void unauthorized(Connection& c, bool complete);
    // Counts an announced body that may now be read, when memory allows.
    void admit(Connection& c);
    // Answers status, closes the sending side and drains what still comes.
    void refuse(Connection& c, int status);
    void close_connection(int fd);
    // Counts the connection's request bytes in the total held.
    void account(Connection& c);
    // A peer that left while its request waits or is answered.
    void peer_left(Connection& c);
    // True when a peer that ended its sending side is known to have left.
    bool shut_peer_left(Connection& c);
    // Asked by the worker before it answers: false when the client is gone.
    bool client_still_there(Connection& c);
    // Sends on an answer left to this thread.
    void send_on(Connection& c, Clock::time_point now);
    // The answer is done: the connection closes or reads on.
    void answered(Connection& c);
    void expire(Clock::time_point now);
    int poll_timeout(Clock::time_point now) const;
    // extra: a worker added while all were busy, which ends when unused.
    void work(bool extra);
    // Workers for the requests that have waited too long for one, as far
    // as the bound allows; true while requests wait for a worker.
    bool add_workers_if_needed(Clock::time_point now);
    // Joins the extra workers that ended while idle.
    void reap_workers();
    void answer(Connection& c);
    bool reading_allowed() const { return _held_total < _tuning.max_pending; }
    // A connection is read while the total allows, or while what it holds
    // is small; one whose body is counted (admitted) or that is being
    // refused is read on in any case, so every request begun can end.
    bool may_read(const Connection& c) const;
    void wake();

    const CimOperations& _operations;
    Credentials _credentials;
    HttpLimits _limits;
    FrontEndTuning _tuning;
    std::vector<Listener> _listeners;
    Clock::time_point _accept_resume; // the listeners are not polled before
    int _wake_fd = -1;
    std::atomic<bool> _stopping{false};
    std::map<int, std::unique_ptr<Connection>> _connections; // by socket; the poll thread's own
    std::uint64_t _serials = 0;                               // connections accepted so far
    std::size_t _held_total = 0;                              // request bytes in memory
    std::map<std::string, std::size_t> _held_by_address;      // the same, for each client address
    LoginThrottle _throttle;                                  // when logins may be checked
    Clock::time_point _login_log_next;                        // failed logins are logged no more often
    unsigned _login_unlogged = 0;                             // failures since the last line
    std::size_t _turn = 0;                                    // where the next round of reading starts
    AllocatorPolicy _allocator;                               // gives memory back once idle
    AnswerBudget _budget;

    std::mutex _mutex;
    std::condition_variable _work_ready;
    std::condition_variable _worker_ended;
    std::deque<Connection*> _work;     // complete requests waiting for a worker
    std::vector<Connection*> _answered; // connections back from the workers
    std::vector<std::thread> _workers; // the poll thread's own
    std::size_t _idle_workers = 0;     // waiting for work (under _mutex)
    std::size_t _live_workers = 0;     // started and not ended (under _mutex)
    Clock::time_point _last_finish;    // a worker last finished a request (under _mutex)
    std::vector<std::thread::id> _ended_workers; // extra workers that ended (under _mutex)
};

} // namespace cimserver

#endif
