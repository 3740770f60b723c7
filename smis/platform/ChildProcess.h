#pragma once
// A child process started from an argument vector (never through a shell),
// with its standard input fed from a pipe and its standard output and error
// collected in one pipe. Every pipe end held here is close-on-exec; reads and
// waits are bounded; a child still running when the object is destroyed is
// killed and reaped.
//
//   ChildProcess child;
//   if (child.start({"/usr/bin/tool", "-x", "arg"}) == 0) {
//       child.writeInput("line\r\n", 6);
//       char buf[256];
//       long n = child.readOutput(buf, sizeof buf, 5000);
//       ...
//       if (!child.waitExit(1000, status)) child.kill();
//   }

#include <sys/types.h>

#include <cstddef>
#include <string>
#include <vector>

namespace smis::platform {

class ChildProcess {
public:
    // A descriptor of this process that the child receives under another number.
    struct InheritedFd {
        int parentFd;
        int childFd;  // 3 or above
    };

    // Results of readOutput besides a byte count.
    static constexpr long READ_END = 0;        // the child closed its output
    static constexpr long READ_TIMEOUT = -1;   // nothing arrived within the time given
    static constexpr long READ_ERROR = -2;     // the pipe read failed (errno kept)

    ChildProcess() = default;
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // Starts argv[0] (an absolute path) with argv as its arguments and the
    // environment of this process. Descriptors other than 0, 1, 2 and the
    // inherited ones are closed in the child. 0 on success, else the errno
    // value of the failed step; stage() then names it.
    enum class Stage { NONE, PIPE, SPAWN };
    int start(const std::vector<std::string>& argv, const std::vector<InheritedFd>& inherited = {});
    Stage stage() const { return _stage; }

    pid_t pid() const { return _pid; }
    bool started() const { return _pid > 0; }

    // Writes all bytes to the child's input. 0, or the errno value (EPIPE when
    // the child no longer reads); never raises SIGPIPE.
    int writeInput(const void* data, std::size_t length);

    // Reads what the child's output holds, up to size bytes, waiting at most
    // timeoutMs milliseconds (negative: without limit). A byte count, or
    // READ_END, READ_TIMEOUT or READ_ERROR.
    long readOutput(void* buffer, std::size_t size, int timeoutMs);

    void closeInput();
    void closeOutput();

    // Waits at most timeoutMs milliseconds for the child to end. True when it
    // has ended (it is then reaped and status holds its wait status).
    bool waitExit(int timeoutMs, int& status);

    // Sends SIGKILL and reaps the child; nothing when no child runs.
    void kill();

private:
    void _closeAll();

    pid_t _pid = -1;
    int _inputFd = -1;   // write end of the child's standard input
    int _outputFd = -1;  // read end of the child's standard output and error
    Stage _stage = Stage::NONE;
};

}  // namespace smis::platform
