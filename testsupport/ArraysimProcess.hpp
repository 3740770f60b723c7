// Starts the array simulator for a test and talks to its control socket.
//
//   testsupport::ArraysimProcess sim("small");
//   connect to sim.address(0):sim.port(0) ...
//   sim.control({{"op", "fault"}, {"array", 0}, {"kind", "drop"}, {"packet", "C639"}});
//
// The simulator runs as a child process in a temporary directory of its own
// and is stopped (shutdown request, then SIGKILL after 5 seconds) when the
// object goes away.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

namespace testsupport {

class ArraysimProcess {
public:
    // scenario: "small", "coverage", "max" or a JSON file path. Throws
    // std::runtime_error when the simulator does not become ready in 60 s.
    explicit ArraysimProcess(const std::string& scenario = "small", const std::vector<std::string>& extraArgs = {});
    ~ArraysimProcess();
    ArraysimProcess(const ArraysimProcess&) = delete;
    ArraysimProcess& operator=(const ArraysimProcess&) = delete;

    // $ARRAYSIM_BIN, else arraysim of the build tree (BuildTree::program;
    // throws when it is missing).
    static std::string binaryPath();
    // arraysim-plink beside the simulator's program.
    static std::string plinkPath();

    // Makes <installDir>/bin/plink the SSH client stand-in for this
    // simulator: a copy of arraysim-plink with "arraysim-plink.socket"
    // beside it naming this simulator's command-line socket.
    void installPlink(const std::string& installDir) const;

    std::size_t arrayCount() const { return ready_["arrays"].size(); }
    std::string address(std::size_t array) const { return ready_["arrays"].at(array)["address"]; }
    // The address of every array, in order.
    std::vector<std::string> addresses() const
    {
        std::vector<std::string> out;
        for (std::size_t i = 0; i < arrayCount(); ++i)
            out.push_back(address(i));
        return out;
    }
    std::uint16_t port(std::size_t array) const { return ready_["arrays"].at(array)["port"]; }
    std::string name(std::size_t array) const { return ready_["arrays"].at(array)["name"]; }
    std::string controlPath() const { return ready_["control"]; }
    // The arrays' command line (the socket arraysim-plink relays to).
    std::string cliPath() const { return ready_.value("cli", std::string{}); }
    std::string caPem() const { return ready_["ca_pem"]; }
    const std::string& directory() const { return dir_; }
    pid_t pid() const { return pid_; }
    // What the simulator printed (complete after stop()).
    std::string output() const;

    // Asks the simulator to stop and waits for it: its exit status (0 for a
    // clean stop, also of the sanitizers), or -1 when it had to be killed.
    // The destructor does the same when this was not called.
    int stop();

    // One request on the control socket; the reply object. Throws
    // std::runtime_error when the socket cannot be used.
    nlohmann::json control(const nlohmann::json& request) const;

    // Shorthands; each answers the reply's "ok".
    bool reset() const { return control({{"op", "reset"}})["ok"]; }
    bool fault(std::size_t array, nlohmann::json fault) const;
    bool clearFaults(std::size_t array) const { return control({{"op", "clear_faults"}, {"array", array}})["ok"]; }
    nlohmann::json requests(std::uint64_t after = 0) const { return control({{"op", "log"}, {"after", after}})["requests"]; }
    nlohmann::json model(std::size_t array) const { return control({{"op", "dump"}, {"array", array}})["model"]; }

private:
    std::string dir_;
    pid_t pid_ = -1;
    nlohmann::json ready_;
};

}  // namespace testsupport
