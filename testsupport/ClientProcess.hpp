// A client program run the way the system runs its SSH client: standard
// input and output on pipes (standard error joins the output), the password
// readable on descriptor 3, extra environment entries on top of the test's.
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

namespace testsupport {

class ClientProcess {
public:
    ClientProcess(const std::vector<std::string>& argv, const std::string& password,
                  const std::vector<std::string>& extraEnv = {});
    ~ClientProcess();
    ClientProcess(const ClientProcess&) = delete;
    ClientProcess& operator=(const ClientProcess&) = delete;

    void send(const std::string& text);
    void closeInput();
    // Output read until it ends with `suffix` (or the output ends, or the
    // time-out passes); answers everything read since the previous call.
    std::string readUntil(const std::string& suffix, int timeoutMs = 10000);
    // Exit status, or -1 when the program has not ended within the time-out.
    int wait(int timeoutMs = 10000);

private:
    pid_t pid_ = -1;
    int in_ = -1;
    int out_ = -1;
    int status_ = -1;
};

}  // namespace testsupport
