// The one place where the server enables the module's indication providers
// and receives the indications they produce: each one is kept (the most
// recent KEPT) and handed to the exporter, which sends it to the static
// listeners and to the destinations of the subscriptions that select it on
// threads of its own, so that a provider's worker never waits for a listener.
#ifndef HOST_CIMSERVER_INDICATION_HOST_H
#define HOST_CIMSERVER_INDICATION_HOST_H

#include "IndicationExporter.h"
#include "ProviderModule.h"

#include <atomic>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace cimserver {

class IndicationHost {
public:
    static constexpr std::size_t KEPT = 1000;

    // listeners: where to export every indication ("http[s]://host[:port][/path]");
    // retry: how deliveries that fail are tried again; failed: told the
    // destination of an indication dropped after every retry; tls: how
    // HTTPS listeners are verified.
    explicit IndicationHost(std::vector<std::string> listeners = {}, DeliveryRetry retry = {},
                            ListenerQueue::Failed failed = {}, std::shared_ptr<const ListenerTls> tls = {});
    ~IndicationHost();
    IndicationHost(const IndicationHost&) = delete;
    IndicationHost& operator=(const IndicationHost&) = delete;

    // Enables every provider whose class is an indication class; returns how
    // many accepted.
    size_t enable(const ProviderModule& module);
    // Disables what enable() enabled, stops the export and releases what was
    // kept (before the module is closed: the instances' classes live there).
    void disable();

    // The routes of the subscriptions (see IndicationExporter::set_routes);
    // not called once disable() has begun.
    void set_routes(std::vector<IndicationRoute> routes);

    unsigned long long received() const { return _received.load(); }
    // Class names of the indications kept, oldest first.
    std::vector<std::string> kept_classes() const;

private:
    static bool receive(cimple::Instance* indication, void* self);

    std::vector<cimple::Pegasus_Adapter*> _enabled;
    std::atomic<unsigned long long> _received{0};
    mutable std::mutex _kept_lock;
    std::deque<cimple::Instance*> _kept;
    std::unique_ptr<IndicationExporter> _exporter;
};

} // namespace cimserver

#endif
