// The indications waiting for one listener destination, delivered in order
// by a thread of the queue's own, so that a listener that is slow or down
// holds up nothing but its own queue. Each delivery is one bounded exchange
// (ListenerExchange) that retire() ends at once. A delivery that fails is
// tried again after the retry interval, up to the retry count; then the
// indication is dropped. The first failure of a destination is logged with
// its reason (an untrusted certificate included). The queue holds at most
// MAX_QUEUED indications and MAX_BYTES of them; beyond that the oldest
// waiting one is dropped. Every drop is counted and logged.
#ifndef HOST_CIMSERVER_LISTENER_QUEUE_H
#define HOST_CIMSERVER_LISTENER_QUEUE_H

#include "ListenerTls.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

namespace cimserver {

// Deliveries and drops, shared by the queues of one exporter.
struct DeliveryCounts {
    std::atomic<unsigned long long> delivered{0};
    std::atomic<unsigned long long> dropped{0};
};

// How often and how far apart a failed delivery is tried again, and how
// long one delivery may take, from connecting to the end of the answer.
struct DeliveryRetry {
    unsigned attempts = 3;                     // further tries after the first
    std::chrono::milliseconds interval{30000}; // between two tries
    std::chrono::milliseconds limit{30000};    // of one delivery
};

class ListenerQueue {
public:
    static constexpr std::size_t MAX_QUEUED = 10000;
    static constexpr std::size_t MAX_BYTES = 16u << 20;

    using Body = std::shared_ptr<const std::string>;
    // Called (on the queue's thread, holding no lock) when an indication is
    // dropped because the listener could not take it after every retry.
    using Failed = std::function<void(const std::string& url)>;

    // url: "http[s]://host[:port][/path]"; tls: how an HTTPS listener is
    // verified (an https URL is never reached without it).
    ListenerQueue(std::string url, DeliveryRetry retry, DeliveryCounts& counts, Failed failed = {},
                  std::shared_ptr<const ListenerTls> tls = {});
    // Ends the delivery in progress and the thread; what waits is dropped.
    ~ListenerQueue();
    ListenerQueue(const ListenerQueue&) = delete;
    ListenerQueue& operator=(const ListenerQueue&) = delete;

    const std::string& url() const { return _url; }

    // Queues an export request body; returns at once.
    void push(Body body);
    // Forgets what waits (nothing leads here any more); not counted as dropped.
    void clear();
    // Ends the delivery in progress and asks the thread to end; finished()
    // tells when it has.
    void retire();
    bool finished() const { return _finished.load(); }

    std::size_t waiting() const;

private:
    void run();
    void drop(const char* why);

    const std::string _url;
    const DeliveryRetry _retry;
    DeliveryCounts& _counts;
    const Failed _failed;
    const std::shared_ptr<const ListenerTls> _tls;
    const int _abort; // an eventfd, signalled by retire(): the delivery in progress ends
    mutable std::mutex _lock;
    std::condition_variable _wake;
    std::deque<Body> _queue;
    std::size_t _bytes = 0;
    unsigned long long _generation = 0; // counts clear(): the head in delivery may be gone
    bool _stopping = false;
    std::atomic<bool> _finished{false};
    unsigned long long _dropped = 0; // here; counted in _counts too
    bool _failure_logged = false;    // the first failure of the destination was logged
    std::thread _thread;
};

} // namespace cimserver

#endif
