#include "ArraysimProcess.hpp"

#include "BuildTree.h"

#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>

#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <thread>

extern char** environ;

namespace testsupport {

namespace {

// Waits for the child; its exit status, -2 while it still runs after the limit.
int waitExit(pid_t pid, std::chrono::milliseconds limit) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (std::chrono::steady_clock::now() < end) {
        int st = 0;
        const pid_t r = ::waitpid(pid, &st, WNOHANG);
        if (r < 0) return -1;
        if (r == pid) return WIFEXITED(st) ? WEXITSTATUS(st) : -1;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return -2;
}

}  // namespace

std::string ArraysimProcess::binaryPath() {
    if (const char* b = std::getenv("ARRAYSIM_BIN"); b && *b) return b;
    return BuildTree::program("arraysim");
}

std::string ArraysimProcess::plinkPath() {
    const std::string sim = binaryPath();
    const auto slash = sim.rfind('/');
    return (slash == std::string::npos ? std::string() : sim.substr(0, slash + 1)) + "arraysim-plink";
}

void ArraysimProcess::installPlink(const std::string& installDir) const {
    const std::filesystem::path bin = std::filesystem::path(installDir) / "bin";
    std::filesystem::create_directories(bin);
    std::filesystem::copy_file(plinkPath(), bin / "plink", std::filesystem::copy_options::overwrite_existing);
    std::ofstream(bin / "arraysim-plink.socket", std::ios::trunc) << cliPath() << "\n";
}

ArraysimProcess::ArraysimProcess(const std::string& scenario, const std::vector<std::string>& extraArgs) {
    char tmpl[] = "/tmp/arraysim-test-XXXXXX";
    if (!::mkdtemp(tmpl)) throw std::runtime_error("mkdtemp failed");
    dir_ = tmpl;
    const std::string ready = dir_ + "/ready.json";
    std::vector<std::string> args{binaryPath(), "--scenario",  scenario, "--ready-file", ready, "--control",
                                  dir_ + "/control.sock", "--parent-pid", std::to_string(::getpid())};
    args.insert(args.end(), extraArgs.begin(), extraArgs.end());
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t fa;
    posix_spawn_file_actions_init(&fa);
    const std::string out = dir_ + "/arraysim.out";
    posix_spawn_file_actions_addopen(&fa, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_adddup2(&fa, 1, 2);
    const int rc = posix_spawn(&pid_, argv[0], &fa, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&fa);
    if (rc != 0) {
        std::filesystem::remove_all(dir_);
        throw std::runtime_error("cannot start " + args[0] + ": " + std::strerror(rc));
    }
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(180);
    while (std::chrono::steady_clock::now() < end) {
        int st = 0;
        if (::waitpid(pid_, &st, WNOHANG) == pid_) {
            pid_ = -1;
            std::ifstream log(out);
            std::string text((std::istreambuf_iterator<char>(log)), std::istreambuf_iterator<char>());
            std::filesystem::remove_all(dir_);
            throw std::runtime_error("arraysim ended before it was ready: " + text);
        }
        std::ifstream in(ready);
        if (in) {
            ready_ = nlohmann::json::parse(in, nullptr, false);
            if (!ready_.is_discarded()) return;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    ::kill(pid_, SIGKILL);
    waitExit(pid_, std::chrono::seconds(5));
    pid_ = -1;
    std::filesystem::remove_all(dir_);
    throw std::runtime_error("arraysim did not become ready");
}

int ArraysimProcess::stop() {
    if (pid_ <= 0) return -1;
    try {
        control({{"op", "shutdown"}});
    } catch (...) {
    }
    int rc = waitExit(pid_, std::chrono::seconds(10));
    if (rc == -2) {
        ::kill(pid_, SIGKILL);
        waitExit(pid_, std::chrono::seconds(5));
        rc = -1;
    }
    pid_ = -1;
    return rc;
}

std::string ArraysimProcess::output() const {
    std::ifstream in(dir_ + "/arraysim.out");
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

ArraysimProcess::~ArraysimProcess() {
    stop();
    std::error_code ec;
    std::filesystem::remove_all(dir_, ec);
}

nlohmann::json ArraysimProcess::control(const nlohmann::json& request) const {
    const std::string path = controlPath();
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    if (path.size() >= sizeof addr.sun_path) throw std::runtime_error("control path too long");
    std::memcpy(addr.sun_path, path.c_str(), path.size() + 1);
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) throw std::runtime_error("socket failed");
    if (::connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0) {
        ::close(fd);
        throw std::runtime_error("cannot reach the control socket " + path);
    }
    const std::string line = request.dump() + "\n";
    std::size_t sent = 0;
    while (sent < line.size()) {
        const ssize_t n = ::send(fd, line.data() + sent, line.size() - sent, MSG_NOSIGNAL);
        if (n <= 0) {
            ::close(fd);
            throw std::runtime_error("control request not sent");
        }
        sent += static_cast<std::size_t>(n);
    }
    std::string reply;
    char buf[65536];
    while (reply.find('\n') == std::string::npos) {
        pollfd p{fd, POLLIN, 0};
        if (::poll(&p, 1, 60000) <= 0) break;
        const ssize_t n = ::recv(fd, buf, sizeof buf, 0);
        if (n <= 0) break;
        reply.append(buf, static_cast<std::size_t>(n));
    }
    ::close(fd);
    if (reply.find('\n') == std::string::npos) throw std::runtime_error("no reply on the control socket");
    return nlohmann::json::parse(reply.substr(0, reply.find('\n')));
}

bool ArraysimProcess::fault(std::size_t array, nlohmann::json fault) const {
    fault["op"] = "fault";
    fault["array"] = array;
    return control(fault)["ok"];
}

}  // namespace testsupport
