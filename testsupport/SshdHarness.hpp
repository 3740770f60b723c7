// A private sshd on 127.0.0.1 for tests that run the real plink: its own
// configuration, a host key made for the run, a free port, password login for
// a test account that the harness creates (and removes) itself, no terminal,
// and a forced command that relays every login to one array's command line
// on the simulator. It needs root (for the account and for password logins);
// `skipReason` says why it cannot run otherwise, and `missingProgram` names
// a program it needs that is not installed (a failure, never a skip). A
// system sshd is never touched: its configuration and host keys are not
// used, and the harness ends only the sshd it started.
#pragma once

#include <sys/types.h>

#include <string>

#include "ArraysimProcess.hpp"

namespace testsupport {

class SshdHarness {
public:
    // Empty when the harness can run as this user.
    static std::string skipReason();
    // Empty when every program the harness starts is installed.
    static std::string missingProgram();

    SshdHarness(const ArraysimProcess& sim, std::size_t array);  // throws on failure
    ~SshdHarness();
    SshdHarness(const SshdHarness&) = delete;
    SshdHarness& operator=(const SshdHarness&) = delete;

    // The test account, made for this run ("arraysim" and the process id).
    const std::string& user() const { return user_; }
    std::uint16_t port() const { return port_; }
    const std::string& password() const { return password_; }
    // A home directory for the client (plink keeps its host keys there).
    std::string clientHome() const { return dir_ + "/client"; }
    std::string log() const;

private:
    void cleanup();

    std::string dir_;
    std::string user_;
    std::string password_;
    std::uint16_t port_ = 0;
    pid_t pid_ = -1;
    bool createdUser_ = false;
};

}  // namespace testsupport
