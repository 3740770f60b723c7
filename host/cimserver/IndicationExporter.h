// Exports indications to CIM-XML listeners: each indication becomes one
// ExportIndication request (a SIMPLEEXPREQ message) posted to every
// listener URL in turn, on the exporter's own thread, so that the thread
// that submits never waits for a listener. A listener that does not answer
// or refuses the request is reported on standard error; the indication is
// not retried.
#ifndef HOST_CIMSERVER_INDICATION_EXPORTER_H
#define HOST_CIMSERVER_INDICATION_EXPORTER_H

#include <cimple/cimple.h>

#include <atomic>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace cimserver {

class IndicationExporter {
public:
    // The most indications waiting for export; beyond it the oldest waiting
    // one is dropped (and counted).
    static constexpr std::size_t MAX_PENDING = 10000;

    // listeners: "http://host[:port][/path]" (path "/" when none).
    explicit IndicationExporter(std::vector<std::string> listeners);
    // Stops the thread; indications still waiting are dropped.
    ~IndicationExporter();
    IndicationExporter(const IndicationExporter&) = delete;
    IndicationExporter& operator=(const IndicationExporter&) = delete;

    // Queues a copy of the indication; returns at once.
    void submit(const cimple::Instance* indication);

    // The request body that exports the indication (message id as given).
    static std::string export_request(const cimple::Instance* indication, unsigned long long id);

    unsigned long long exported() const { return _exported.load(); }  // listener answers without error
    unsigned long long failed() const { return _failed.load(); }      // listener answers missing or with error
    unsigned long long dropped() const { return _dropped.load(); }    // lost to a full queue

private:
    void run();
    bool post(const std::string& listener, const std::string& body);

    std::vector<std::string> _listeners;
    std::mutex _lock;
    std::condition_variable _wake;
    std::deque<cimple::Instance*> _pending;
    bool _stopping = false;
    std::atomic<unsigned long long> _exported{0}, _failed{0}, _dropped{0};
    unsigned long long _next_id = 1;
    std::thread _thread;
};

} // namespace cimserver

#endif
