// Exports indications to CIM-XML listeners: each indication becomes one
// ExportIndication request (a SIMPLEEXPREQ message), written once on the
// exporter's own thread and handed to the queue of every destination that
// takes it: the static listeners take every indication, a route's
// destination those its filter query selects. Each destination's queue
// delivers on its own thread with bounded retry (ListenerQueue), so neither
// the thread that submits nor any other destination waits for a listener.
#ifndef HOST_CIMSERVER_INDICATION_EXPORTER_H
#define HOST_CIMSERVER_INDICATION_EXPORTER_H

#include "IndicationQuery.h"
#include "ListenerQueue.h"

#include <cimple/cimple.h>

#include <condition_variable>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace cimserver {

// One enabled subscription as delivery sees it.
struct IndicationRoute {
    IndicationQuery query;
    std::string destination; // listener URL
};

class IndicationExporter {
public:
    // The most indications waiting to be written; beyond it the oldest
    // waiting one is dropped (and counted).
    static constexpr std::size_t MAX_PENDING = 10000;

    // listeners: static destinations ("http[s]://host[:port][/path]", path
    // "/" when none). failed: told the destination URL of an indication
    // dropped after every retry (on that destination's thread, no lock held).
    // tls: how HTTPS listeners are verified (none: against the system's
    // trust store).
    explicit IndicationExporter(std::vector<std::string> listeners, DeliveryRetry retry = {},
                                ListenerQueue::Failed failed = {}, std::shared_ptr<const ListenerTls> tls = {});
    // Stops the threads; indications still waiting are dropped.
    ~IndicationExporter();
    IndicationExporter(const IndicationExporter&) = delete;
    IndicationExporter& operator=(const IndicationExporter&) = delete;

    // Queues a copy of the indication; returns at once.
    void submit(const cimple::Instance* indication);

    // Replaces the routes of the subscriptions. What waits for a destination
    // that neither a route nor a static listener names any more is forgotten.
    void set_routes(std::vector<IndicationRoute> routes);

    // The request body that exports the indication (message id as given).
    static std::string export_request(const cimple::Instance* indication, unsigned long long id);

    unsigned long long exported() const { return _counts.delivered.load(); } // listener answers without error
    unsigned long long dropped() const { return _counts.dropped.load(); }    // lost to full queues or failed retries

private:
    void run();
    // Destinations of the indication, each once. Called with _lock held.
    std::vector<std::string> destinations_of(const cimple::Instance* indication) const;
    ListenerQueue& queue_of(const std::string& url); // _lock held
    void reap();                                     // _lock held: frees retired queues that ended

    const std::vector<std::string> _listeners;
    const DeliveryRetry _retry;
    const ListenerQueue::Failed _failed;
    const std::shared_ptr<const ListenerTls> _tls;
    DeliveryCounts _counts;
    std::mutex _lock;
    std::condition_variable _wake;
    std::deque<cimple::Instance*> _pending;
    std::vector<IndicationRoute> _routes;
    std::map<std::string, std::unique_ptr<ListenerQueue>> _queues;
    std::vector<std::unique_ptr<ListenerQueue>> _retired;
    bool _stopping = false;
    unsigned long long _unwritten = 0; // dropped before they were written
    unsigned long long _next_id = 1;
    std::thread _thread;
};

} // namespace cimserver

#endif
