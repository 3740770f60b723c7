#include "ChildProcess.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <ctime>
#include <fcntl.h>
#include <poll.h>
#include <pthread.h>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace smis::platform {

namespace {

// Lowest number used for the parent's copies handed to the child, so that no
// source descriptor can be overwritten by an earlier dup2 of the child's set-up.
constexpr int HIGH_FD = 64;

void closeFd(int& fd)
{
    if (fd >= 0) {
        ::close(fd);
        fd = -1;
    }
}

// Owns the descriptors made for one start; closes whatever is left.
struct FdList {
    std::vector<int> fds;
    ~FdList()
    {
        for (int& fd : fds) closeFd(fd);
    }
    int add(int fd)
    {
        fds.push_back(fd);
        return fd;
    }
};

struct SpawnActions {
    posix_spawn_file_actions_t actions;
    posix_spawnattr_t attr;
    bool actionsReady = false;
    bool attrReady = false;
    ~SpawnActions()
    {
        if (actionsReady) posix_spawn_file_actions_destroy(&actions);
        if (attrReady) posix_spawnattr_destroy(&attr);
    }
};

}  // namespace

ChildProcess::~ChildProcess()
{
    kill();
    _closeAll();
}

void ChildProcess::_closeAll()
{
    closeFd(_inputFd);
    closeFd(_outputFd);
}

int ChildProcess::start(const std::vector<std::string>& argv, const std::vector<InheritedFd>& inherited)
{
    _stage = Stage::NONE;
    if (started() || argv.empty() || argv[0].empty() || argv[0][0] != '/') {
        _stage = Stage::SPAWN;
        return started() ? EBUSY : EINVAL;
    }
    int highest = 2;
    for (const InheritedFd& fd : inherited) {
        if (fd.childFd < 3 || fd.childFd >= HIGH_FD || fd.parentFd < 0) {
            _stage = Stage::SPAWN;
            return EINVAL;
        }
        if (fd.childFd > highest) highest = fd.childFd;
    }

    FdList parentOnly;   // the parent's ends, kept on success
    FdList childOnly;    // the child's ends, always closed here
    int inPipe[2];
    int outPipe[2];
    if (::pipe2(inPipe, O_CLOEXEC) != 0) {
        _stage = Stage::PIPE;
        return errno;
    }
    childOnly.add(inPipe[0]);
    parentOnly.add(inPipe[1]);
    if (::pipe2(outPipe, O_CLOEXEC) != 0) {
        _stage = Stage::PIPE;
        return errno;
    }
    parentOnly.add(outPipe[0]);
    childOnly.add(outPipe[1]);

    // Copies above every target number, so the order of the dup2 steps cannot matter.
    auto highCopy = [&](int fd) -> int {
        int copy = ::fcntl(fd, F_DUPFD_CLOEXEC, HIGH_FD);
        return copy < 0 ? -1 : childOnly.add(copy);
    };
    int childIn = highCopy(inPipe[0]);
    int childOut = highCopy(outPipe[1]);
    std::vector<InheritedFd> extra;
    for (const InheritedFd& fd : inherited) {
        int copy = highCopy(fd.parentFd);
        if (copy < 0) break;
        extra.push_back({copy, fd.childFd});
    }
    if (childIn < 0 || childOut < 0 || extra.size() != inherited.size()) {
        _stage = Stage::PIPE;
        return errno ? errno : EMFILE;
    }

    SpawnActions spawn;
    int rc = posix_spawn_file_actions_init(&spawn.actions);
    if (rc == 0) {
        spawn.actionsReady = true;
        rc = posix_spawnattr_init(&spawn.attr);
    }
    if (rc == 0) {
        spawn.attrReady = true;
        rc = posix_spawn_file_actions_adddup2(&spawn.actions, childIn, 0);
    }
    if (rc == 0) rc = posix_spawn_file_actions_adddup2(&spawn.actions, childOut, 1);
    if (rc == 0) rc = posix_spawn_file_actions_adddup2(&spawn.actions, childOut, 2);
    for (const InheritedFd& fd : extra) {
        if (rc == 0) rc = posix_spawn_file_actions_adddup2(&spawn.actions, fd.parentFd, fd.childFd);
    }
    // Descriptors that some other code opened without close-on-exec stay out of the child.
    if (rc == 0) rc = posix_spawn_file_actions_addclosefrom_np(&spawn.actions, highest + 1);

    // The child starts with no blocked signals and the default SIGPIPE action,
    // whatever this thread has set.
    sigset_t none;
    sigset_t defaults;
    sigemptyset(&none);
    sigemptyset(&defaults);
    sigaddset(&defaults, SIGPIPE);
    if (rc == 0) rc = posix_spawnattr_setsigmask(&spawn.attr, &none);
    if (rc == 0) rc = posix_spawnattr_setsigdefault(&spawn.attr, &defaults);
    if (rc == 0) rc = posix_spawnattr_setflags(&spawn.attr, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
    if (rc != 0) {
        _stage = Stage::SPAWN;
        return rc;
    }

    std::vector<char*> args;
    args.reserve(argv.size() + 1);
    for (const std::string& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
    args.push_back(nullptr);

    pid_t pid = -1;
    rc = posix_spawn(&pid, argv[0].c_str(), &spawn.actions, &spawn.attr, args.data(), environ);
    if (rc != 0) {
        _stage = Stage::SPAWN;
        return rc;
    }
    _pid = pid;
    _inputFd = inPipe[1];
    _outputFd = outPipe[0];
    parentOnly.fds.clear();
    return 0;
}

int ChildProcess::writeInput(const void* data, std::size_t length)
{
    if (_inputFd < 0) return EBADF;

    // SIGPIPE is held back for this thread while writing; one raised by a
    // closed pipe is taken off again before the mask is restored.
    sigset_t pipeSet;
    sigset_t previous;
    sigemptyset(&pipeSet);
    sigaddset(&pipeSet, SIGPIPE);
    pthread_sigmask(SIG_BLOCK, &pipeSet, &previous);
    sigset_t pendingBefore;
    sigpending(&pendingBefore);
    bool wasPending = sigismember(&pendingBefore, SIGPIPE) == 1;

    int result = 0;
    const char* p = static_cast<const char*>(data);
    std::size_t left = length;
    while (left > 0) {
        ssize_t n = ::write(_inputFd, p, left);
        if (n < 0) {
            if (errno == EINTR) continue;
            result = errno;
            break;
        }
        p += n;
        left -= static_cast<std::size_t>(n);
    }

    if (result == EPIPE && !wasPending) {
        struct timespec zero = {0, 0};
        while (sigtimedwait(&pipeSet, nullptr, &zero) < 0 && errno == EINTR) {
        }
    }
    pthread_sigmask(SIG_SETMASK, &previous, nullptr);
    return result;
}

long ChildProcess::readOutput(void* buffer, std::size_t size, int timeoutMs)
{
    if (_outputFd < 0) {
        errno = EBADF;
        return READ_ERROR;
    }
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs < 0 ? 0 : timeoutMs);
    for (;;) {
        int waitMs = -1;
        if (timeoutMs >= 0) {
            auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
            waitMs = left > 0 ? static_cast<int>(left) : 0;
        }
        struct pollfd pfd = {_outputFd, POLLIN, 0};
        int ready = ::poll(&pfd, 1, waitMs);
        if (ready < 0) {
            if (errno == EINTR) continue;
            return READ_ERROR;
        }
        if (ready == 0) return READ_TIMEOUT;
        ssize_t n = ::read(_outputFd, buffer, size);
        if (n < 0) {
            if (errno == EINTR || errno == EAGAIN) continue;
            return READ_ERROR;
        }
        return static_cast<long>(n);
    }
}

void ChildProcess::closeInput()
{
    closeFd(_inputFd);
}

void ChildProcess::closeOutput()
{
    closeFd(_outputFd);
}

bool ChildProcess::waitExit(int timeoutMs, int& status)
{
    if (_pid <= 0) return true;
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs < 0 ? 0 : timeoutMs);
    for (;;) {
        int st = 0;
        pid_t r = ::waitpid(_pid, &st, WNOHANG);
        if (r == _pid) {
            status = st;
            _pid = -1;
            return true;
        }
        if (r < 0 && errno != EINTR) {
            // Not our child any more (reaped elsewhere): nothing left to wait for.
            status = 0;
            _pid = -1;
            return true;
        }
        if (timeoutMs >= 0 && Clock::now() >= deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}

void ChildProcess::kill()
{
    if (_pid <= 0) return;
    ::kill(_pid, SIGKILL);
    int st = 0;
    while (::waitpid(_pid, &st, 0) < 0 && errno == EINTR) {
    }
    _pid = -1;
}

}  // namespace smis::platform
