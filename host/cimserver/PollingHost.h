// Hosts the polling service of the provider module's arrays for the life of
// the server: started once the providers are loaded, stopped before they are
// unloaded, and its singleton destroyed after that.
//
// It also owns the server's hold on the cancel event, so the event exists
// for every exchange with an array whether polling runs or not; the server's
// stop sets it first, so every wait on an array ends before the server waits
// for its workers.
#ifndef HOST_CIMSERVER_POLLING_HOST_H
#define HOST_CIMSERVER_POLLING_HOST_H

#include <memory>

namespace smis::platform {
class NamedEvent;
}

namespace cimserver {

class PollingHost {
public:
    PollingHost();
    ~PollingHost();
    PollingHost(const PollingHost&) = delete;
    PollingHost& operator=(const PollingHost&) = delete;

    // Starts the service (runService, then setSSLEnvironmentInitialized);
    // false (logged) when it does not start. interval, when not 0, replaces
    // the configured seconds between polls of every task.
    bool start(unsigned interval = 0);
    // Stops the service and waits for it (stopService); nothing when it is
    // not running.
    void stop();
    // Releases the service's singleton and the cache it owns (destroy); once
    // the providers are unloaded.
    static void release();
    bool running() const { return _running; }
    // Sets the cancel event: exchanges with arrays, command-line commands and
    // the requests' waits give up at once. Any thread; the server is stopping.
    void cancel();

private:
    bool _running = false;
    std::unique_ptr<smis::platform::NamedEvent> _cancel;
};

} // namespace cimserver

#endif
