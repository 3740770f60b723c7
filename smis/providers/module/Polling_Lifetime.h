// Keeps the polling service of the module's arrays running while any of the
// module's providers is loaded: started when the first one loads, stopped
// when the last one unloads, however many load and in whatever order. For a
// host that loads the module and starts nothing itself (OpenPegasus's
// provider agent, see Module_Lifetime); the embedded server drives the
// service from its own PollingHost instead.
#ifndef SMIS_PROVIDERS_POLLING_LIFETIME_H
#define SMIS_PROVIDERS_POLLING_LIFETIME_H

#include <functional>
#include <mutex>

namespace cimple {

class Polling_Lifetime {
public:
    // What starting and stopping does. start answers whether the service
    // runs; stop is told so (a service that did not start is released all
    // the same).
    struct Service {
        std::function<bool()> start;
        std::function<void(bool running)> stop;
    };

    explicit Polling_Lifetime(Service service);
    Polling_Lifetime(const Polling_Lifetime&) = delete;
    Polling_Lifetime& operator=(const Polling_Lifetime&) = delete;

    // The module's own, over SMIS_PollingService: the first start holds the
    // cancel event, runs the service and marks the TLS environment ready;
    // the last stop sets the cancel event (exchanges in flight give up),
    // stops the service, destroys its singleton and lets the event go.
    static Polling_Lifetime& module();

    // One provider loaded: the first starts the service. Never throws.
    void acquire();
    // One provider unloaded: the last stops the service; a release without
    // an acquire changes nothing. Never throws.
    void release();

    unsigned holders() const;

private:
    Service _service;
    mutable std::mutex _mutex; // held across start and stop, so they never overlap
    unsigned _holders = 0;
    bool _running = false;
};

} // namespace cimple

#endif
