// The arrays' command line, served on one Unix-domain stream socket. The SSH
// stand-ins (arraysim-plink, and the forced command of a real sshd) connect
// and speak two JSON lines before the dialogue begins:
//
//   {"op":"connect","address":A,"port":P}    (or {"op":"connect","array":i})
//   <- {"ok":true,"array":i,"host_key_question":bool,"fingerprint":text}
//   {"op":"login","user":U,"password":W}     (or {"op":"login","user":U,"trusted":true}
//                                             when sshd has already authenticated)
//   <- {"ok":true}  or  {"ok":false,"error":"Access denied"}
//
// after which the bytes are those of the command-line dialogue (CliSession).
// An array's login is "cli": {"user", "password"} of its model (default
// "admin" / "admin").
#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "SimulatorState.hpp"

namespace arraysim {

class CliServer {
public:
    using PortsFn = std::function<Json()>;
    CliServer(SimulatorState& state, std::string path, PortsFn ports);
    ~CliServer();
    CliServer(const CliServer&) = delete;
    CliServer& operator=(const CliServer&) = delete;

    const std::string& path() const { return path_; }
    void stop();

    // The array a connect request names, or -1.
    long resolve(const Json& connect) const;
    // Whether user and password are the array's login.
    bool accepts(std::size_t array, const std::string& user, const std::string& password) const;

private:
    void loop();
    void serve(int fd);

    SimulatorState& state_;
    std::string path_;
    PortsFn ports_;
    int fd_ = -1;
    std::atomic<bool> stopping_{false};
    std::thread thread_;
    struct Client {
        std::thread thread;
        std::shared_ptr<std::atomic<bool>> done;
    };
    std::mutex mu_;
    std::vector<Client> clients_;
};

}  // namespace arraysim
