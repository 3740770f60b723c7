// Hosts the polling service of the provider module's arrays for the life of
// the server: started once the providers are loaded, stopped before they are
// unloaded.
#ifndef HOST_CIMSERVER_POLLING_HOST_H
#define HOST_CIMSERVER_POLLING_HOST_H

namespace cimserver {

class PollingHost {
public:
    PollingHost() = default;
    ~PollingHost() { stop(); }
    PollingHost(const PollingHost&) = delete;
    PollingHost& operator=(const PollingHost&) = delete;

    // Starts the service; false (logged) when it does not start.
    bool start();
    // Stops the service and waits for it; nothing when it is not running.
    void stop();
    bool running() const { return _running; }

private:
    bool _running = false;
};

} // namespace cimserver

#endif
