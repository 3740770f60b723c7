#include "SshdHarness.hpp"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <pwd.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>
#include <thread>

extern char** environ;

namespace testsupport {

namespace {

constexpr const char* kSshd = "/usr/sbin/sshd";
constexpr const char* kComment = "arraysim test account";

// Runs a program (argument vector, no shell) with `input` on its standard
// input; answers its exit status.
int run(const std::vector<std::string>& args, const std::string& input = {}) {
    int in[2];
    if (::pipe2(in, O_CLOEXEC) != 0) return -1;
    posix_spawn_file_actions_t fa;
    posix_spawn_file_actions_init(&fa);
    posix_spawn_file_actions_adddup2(&fa, in[0], 0);
    posix_spawn_file_actions_addopen(&fa, 1, "/dev/null", O_WRONLY, 0);
    std::vector<std::string> store = args;
    std::vector<char*> argv;
    for (auto& a : store) argv.push_back(a.data());
    argv.push_back(nullptr);
    pid_t pid = -1;
    const int rc = posix_spawn(&pid, argv[0], &fa, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&fa);
    ::close(in[0]);
    if (rc == 0) (void)!::write(in[1], input.data(), input.size());
    ::close(in[1]);
    if (rc != 0) return -1;
    int st = 0;
    ::waitpid(pid, &st, 0);
    return WIFEXITED(st) ? WEXITSTATUS(st) : -1;
}

std::uint16_t freeLoopbackPort() {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof a;
    if (fd < 0 || ::bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0 ||
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&a), &len) != 0) {
        if (fd >= 0) ::close(fd);
        throw std::runtime_error("no free loopback port");
    }
    ::close(fd);
    return ntohs(a.sin_port);
}

bool accepts(std::uint16_t port) {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(port);
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    const bool ok = fd >= 0 && ::connect(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0;
    if (fd >= 0) ::close(fd);
    return ok;
}

std::string randomPassword() {
    std::random_device rd;
    std::ostringstream s;
    for (int i = 0; i < 4; ++i) s << std::hex << rd();
    return "Sim" + s.str();
}

bool ourAccount(const std::string& user) {
    const passwd* pw = ::getpwnam(user.c_str());
    return pw && pw->pw_gecos && std::strcmp(pw->pw_gecos, kComment) == 0;
}

// Removes the test accounts of runs that died before their clean-up: each is
// named after its run's process id, so one whose process is gone is stale.
void removeStaleAccounts() {
    std::vector<std::string> stale;
    ::setpwent();
    while (const passwd* pw = ::getpwent()) {
        if (!pw->pw_gecos || std::strcmp(pw->pw_gecos, kComment) != 0) continue;
        const std::string name = pw->pw_name;
        if (name.rfind("arraysim", 0) != 0) continue;
        const std::string digits = name.substr(8);
        if (digits.empty() || digits.find_first_not_of("0123456789") != std::string::npos) continue;
        const pid_t pid = static_cast<pid_t>(std::stol(digits));
        if (::kill(pid, 0) != 0 && errno == ESRCH) stale.push_back(name);
    }
    ::endpwent();
    for (const std::string& name : stale) run({"/usr/sbin/userdel", name});
}

}  // namespace

std::string SshdHarness::skipReason() {
    if (::geteuid() != 0) return "the sshd harness needs root (test account and password logins)";
    return {};
}

std::string SshdHarness::missingProgram() {
    for (const char* p : {kSshd, "/usr/bin/plink", "/usr/bin/ssh-keygen", "/usr/sbin/useradd", "/usr/sbin/chpasswd"})
        if (::access(p, X_OK) != 0) return std::string(p) + " is not installed (scripts/deps.sh)";
    return {};
}

SshdHarness::SshdHarness(const ArraysimProcess& sim, std::size_t array) {
    char tmpl[] = "/tmp/arraysim-sshd-XXXXXX";
    if (!::mkdtemp(tmpl)) throw std::runtime_error("mkdtemp failed");
    dir_ = tmpl;
    namespace fs = std::filesystem;
    try {
        ::chmod(dir_.c_str(), 0755);
        fs::create_directories(clientHome());
        // The forced command runs as the test account: it needs the relay and
        // the simulator's command-line socket within its reach.
        const std::string relay = dir_ + "/arraysim-cli-relay";
        const std::string built = fs::path(ArraysimProcess::binaryPath()).parent_path() / "arraysim-cli-relay";
        fs::copy_file(built, relay);
        ::chmod(relay.c_str(), 0755);
        ::chmod(sim.directory().c_str(), 0711);
        ::chmod(sim.cliPath().c_str(), 0666);

        if (run({"/usr/bin/ssh-keygen", "-q", "-t", "ed25519", "-N", "", "-f", dir_ + "/host_key"}) != 0)
            throw std::runtime_error("ssh-keygen failed");
        removeStaleAccounts();
        user_ = "arraysim" + std::to_string(::getpid());
        if (::getpwnam(user_.c_str())) throw std::runtime_error("an account " + user_ + " exists already");
        if (run({"/usr/sbin/useradd", "-M", "-d", dir_, "-s", "/bin/sh", "-c", kComment, user_}) != 0)
            throw std::runtime_error("useradd failed");
        createdUser_ = true;
        password_ = randomPassword();
        if (run({"/usr/sbin/chpasswd"}, user_ + ":" + password_ + "\n") != 0)
            throw std::runtime_error("chpasswd failed");
        // sshd's privilege separation directory.
        fs::create_directories("/run/sshd");

        port_ = freeLoopbackPort();
        {
            std::ofstream c(dir_ + "/sshd_config");
            c << "Port " << port_ << "\n"
              << "ListenAddress 127.0.0.1\n"
              << "HostKey " << dir_ << "/host_key\n"
              << "PidFile " << dir_ << "/sshd.pid\n"
              << "UsePAM no\n"
              << "PasswordAuthentication yes\n"
              << "KbdInteractiveAuthentication no\n"
              << "PubkeyAuthentication no\n"
              << "AuthorizedKeysFile none\n"
              << "PermitRootLogin no\n"
              << "AllowUsers " << user_ << "\n"
              << "PermitTTY no\n"
              << "X11Forwarding no\n"
              << "AllowTcpForwarding no\n"
              << "AllowAgentForwarding no\n"
              << "PermitTunnel no\n"
              << "StrictModes no\n"
              << "UseDNS no\n"
              << "PrintMotd no\n"
              << "PrintLastLog no\n"
              << "MaxAuthTries 3\n"
              << "ForceCommand " << relay << " " << sim.cliPath() << " " << array << "\n";
        }
        std::vector<std::string> args{kSshd, "-D", "-e", "-f", dir_ + "/sshd_config"};
        std::vector<char*> argv;
        for (auto& a : args) argv.push_back(a.data());
        argv.push_back(nullptr);
        posix_spawn_file_actions_t fa;
        posix_spawn_file_actions_init(&fa);
        const std::string logPath = dir_ + "/sshd.log";
        posix_spawn_file_actions_addopen(&fa, 2, logPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        posix_spawn_file_actions_addopen(&fa, 0, "/dev/null", O_RDONLY, 0);
        const int rc = posix_spawn(&pid_, argv[0], &fa, nullptr, argv.data(), environ);
        posix_spawn_file_actions_destroy(&fa);
        if (rc != 0) throw std::runtime_error(std::string("cannot start sshd: ") + std::strerror(rc));
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (!accepts(port_)) {
            int st = 0;
            if (::waitpid(pid_, &st, WNOHANG) == pid_) {
                pid_ = -1;
                throw std::runtime_error("sshd ended: " + log());
            }
            if (std::chrono::steady_clock::now() >= end) throw std::runtime_error("sshd does not listen: " + log());
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
    } catch (...) {
        cleanup();
        throw;
    }
}

SshdHarness::~SshdHarness() { cleanup(); }

void SshdHarness::cleanup() {
    if (pid_ > 0) {
        ::kill(pid_, SIGTERM);
        ::waitpid(pid_, nullptr, 0);
        pid_ = -1;
    }
    if (createdUser_ && ourAccount(user_)) run({"/usr/sbin/userdel", user_});
    createdUser_ = false;
    if (!dir_.empty()) {
        std::error_code ec;
        std::filesystem::remove_all(dir_, ec);
        dir_.clear();
    }
}

std::string SshdHarness::log() const {
    std::ifstream in(dir_ + "/sshd.log");
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

}  // namespace testsupport
