// Hosts the polling service of the provider module's arrays for the life of
// the server: started once the providers are loaded, stopped before they are
// unloaded, and its singleton destroyed after that.
#ifndef HOST_CIMSERVER_POLLING_HOST_H
#define HOST_CIMSERVER_POLLING_HOST_H

namespace cimserver {

class PollingHost {
public:
    PollingHost() = default;
    ~PollingHost() { stop(); }
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

private:
    bool _running = false;
};

} // namespace cimserver

#endif
