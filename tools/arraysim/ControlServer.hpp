// The control socket of a running simulator: a Unix-domain stream socket
// speaking one JSON object per line each way. Requests carry "op":
//   ping, ports, reset, dump [array], log [after], clear_log,
//   set {array, path, value}            - JSON pointer into the array model
//   patch {array, patch}                - JSON patch (RFC 6902) on the model
//   set_status {array, element, key, status[, port]}
//   advance_copy {array[, ids][, seconds][, percent][, state][, phase]}
//   fault {array, kind[, packet][, command][, count][, seconds][, millis][, status][, length]}
//   clear_faults {array}, faults {array}, shutdown
//   cli_fault {array, command, status, message[, option][, parameter][, count]}
//   cli_fault {array, command, busy}    - busy that many times, then the command runs
//   cli_faults {array}, cli_clear_faults {array}, cli_log {array}, cli_clear_log
// Replies are {"ok":true,...} or {"ok":false,"error":text}.
#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "SimulatorState.hpp"

namespace arraysim {

class ControlServer {
public:
    using PortsFn = std::function<Json()>;
    ControlServer(SimulatorState& state, std::string path, PortsFn ports, std::function<void()> onShutdown);
    ~ControlServer();
    ControlServer(const ControlServer&) = delete;
    ControlServer& operator=(const ControlServer&) = delete;

    const std::string& path() const { return path_; }
    void stop();

    // One request, answered (also used by tests without a socket).
    Json handle(const Json& request);

private:
    void loop();
    void serveClient(int fd);
    Json setStatus(const Json& req);
    Json advanceCopy(const Json& req);

    SimulatorState& state_;
    std::string path_;
    PortsFn ports_;
    std::function<void()> onShutdown_;
    int fd_ = -1;
    std::atomic<bool> stopping_{false};
    std::thread thread_;
    struct Client {
        std::thread thread;
        std::atomic<bool> done{false};
    };
    std::vector<std::unique_ptr<Client>> clients_;
};

}  // namespace arraysim
