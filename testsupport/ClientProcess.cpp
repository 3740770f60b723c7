#include "ClientProcess.hpp"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <stdexcept>
#include <thread>

extern char** environ;

namespace testsupport {

namespace {

// A pipe whose descriptors lie above the three standard ones and 3.
void highPipe(int fds[2]) {
    int raw[2];
    if (::pipe2(raw, O_CLOEXEC) != 0) throw std::runtime_error("pipe failed");
    for (int i = 0; i < 2; ++i) {
        fds[i] = ::fcntl(raw[i], F_DUPFD_CLOEXEC, 10);
        ::close(raw[i]);
    }
}

}  // namespace

ClientProcess::ClientProcess(const std::vector<std::string>& args, const std::string& password,
                             const std::vector<std::string>& extraEnv) {
    int in[2], out[2], pw[2];
    highPipe(in);
    highPipe(out);
    highPipe(pw);
    // The password is in the pipe before the client starts: a client that
    // ends at once (a refused command line) cannot leave the write to a pipe
    // without a reader, which would end this process with SIGPIPE.
    const std::string line = password + "\n";
    (void)!::write(pw[1], line.data(), line.size());
    ::close(pw[1]);
    posix_spawn_file_actions_t fa;
    posix_spawn_file_actions_init(&fa);
    posix_spawn_file_actions_adddup2(&fa, in[0], 0);
    posix_spawn_file_actions_adddup2(&fa, out[1], 1);
    posix_spawn_file_actions_adddup2(&fa, out[1], 2);
    posix_spawn_file_actions_adddup2(&fa, pw[0], 3);
    std::vector<std::string> argStore = args;
    std::vector<char*> argv;
    for (auto& a : argStore) argv.push_back(a.data());
    argv.push_back(nullptr);
    std::vector<std::string> envStore;
    for (char** e = environ; *e; ++e) envStore.push_back(*e);
    envStore.insert(envStore.end(), extraEnv.begin(), extraEnv.end());
    std::vector<char*> envp;
    for (auto& e : envStore) envp.push_back(e.data());
    envp.push_back(nullptr);
    const int rc = posix_spawn(&pid_, argv[0], &fa, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&fa);
    ::close(in[0]);
    ::close(out[1]);
    ::close(pw[0]);
    if (rc != 0) {
        ::close(in[1]);
        ::close(out[0]);
        throw std::runtime_error("cannot start " + args[0] + ": " + std::strerror(rc));
    }
    in_ = in[1];
    out_ = out[0];
}

ClientProcess::~ClientProcess() {
    closeInput();
    if (pid_ > 0 && wait(5000) == -1) {
        ::kill(pid_, SIGKILL);
        ::waitpid(pid_, nullptr, 0);
    }
    if (out_ >= 0) ::close(out_);
}

void ClientProcess::send(const std::string& text) {
    std::size_t done = 0;
    while (in_ >= 0 && done < text.size()) {
        const ssize_t w = ::write(in_, text.data() + done, text.size() - done);
        if (w <= 0) break;
        done += static_cast<std::size_t>(w);
    }
}

void ClientProcess::closeInput() {
    if (in_ >= 0) ::close(in_);
    in_ = -1;
}

std::string ClientProcess::readUntil(const std::string& suffix, int timeoutMs) {
    std::string got;
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (out_ >= 0) {
        if (!suffix.empty() && got.size() >= suffix.size() &&
            got.compare(got.size() - suffix.size(), suffix.size(), suffix) == 0)
            break;
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - std::chrono::steady_clock::now());
        if (left.count() <= 0) break;
        pollfd p{out_, POLLIN, 0};
        if (::poll(&p, 1, static_cast<int>(left.count())) <= 0) continue;
        char chunk[4096];
        const ssize_t n = ::read(out_, chunk, sizeof chunk);
        if (n <= 0) break;
        got.append(chunk, static_cast<std::size_t>(n));
    }
    return got;
}

int ClientProcess::wait(int timeoutMs) {
    if (pid_ <= 0) return status_;
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        int st = 0;
        const pid_t r = ::waitpid(pid_, &st, WNOHANG);
        if (r == pid_) {
            pid_ = -1;
            status_ = WIFEXITED(st) ? WEXITSTATUS(st) : 128 + WTERMSIG(st);
            return status_;
        }
        if (std::chrono::steady_clock::now() >= end) return -1;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

}  // namespace testsupport
