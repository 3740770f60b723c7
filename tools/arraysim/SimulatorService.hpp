// A running simulator: the scenario's arrays each on a TLS command port, the
// control socket, and the ready file that tells tests where everything is.
#pragma once

#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "ArrayEndpoint.hpp"
#include "CertificateFactory.hpp"
#include "CliServer.hpp"
#include "ControlServer.hpp"
#include "SimulatorState.hpp"

namespace arraysim {

struct ServiceOptions {
    std::string scenario = "small";
    std::string address = "127.0.0.1";
    bool distinctAddresses = false;  // array i on 127.0.0.(i+1)
    std::uint16_t firstPort = 0;     // 0 = free ports; else consecutive from here
    std::string controlPath;         // default: beside the ready file
    std::string cliPath;             // command-line socket; default: beside the ready file
    std::string readyFile;
};

class SimulatorService {
public:
    explicit SimulatorService(const ServiceOptions& options);  // throws on failure
    ~SimulatorService();

    // Blocks until shutdown is asked for (control socket or requestStop).
    void wait();
    void requestStop();

    Json ports() const;
    SimulatorState& state() { return *state_; }
    const std::string& controlPath() const { return control_->path(); }
    const std::string& cliPath() const { return cli_->path(); }

private:
    void writeReadyFile(const std::string& path) const;

    std::unique_ptr<SimulatorState> state_;
    CertificateFactory certs_;
    std::vector<std::unique_ptr<ArrayEndpoint>> endpoints_;
    std::unique_ptr<ControlServer> control_;
    std::unique_ptr<CliServer> cli_;
    std::mutex mu_;
    std::condition_variable cv_;
    bool stop_ = false;
};

}  // namespace arraysim
