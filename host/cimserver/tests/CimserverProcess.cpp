#include "CimserverProcess.h"

#include "BuildTree.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <thread>

extern char** environ;

namespace cimserver::test {

namespace {

std::string read_file(const std::string& path)
{
    std::ifstream in(path);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// The exit status within limit; -2 when the process still runs.
int wait_exit(pid_t pid, std::chrono::milliseconds limit)
{
    auto end = std::chrono::steady_clock::now() + limit;
    for (;;) {
        int st = 0;
        pid_t r = waitpid(pid, &st, WNOHANG);
        if (r == pid)
            return WIFEXITED(st) ? WEXITSTATUS(st) : 128 + WTERMSIG(st);
        if (r < 0)
            return -1;
        if (std::chrono::steady_clock::now() >= end)
            return -2;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

} // namespace

void CimserverProcess::wait_for_tables(const std::string& install_dir, const std::vector<std::string>& addresses,
                                       std::initializer_list<const char*> files)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::minutes(3);
    for (const std::string& address : addresses)
        for (const char* ext : files)
            while (!std::filesystem::exists(install_dir + "/data/" + address + ext) &&
                   std::chrono::steady_clock::now() < deadline)
                std::this_thread::sleep_for(std::chrono::milliseconds(200));
}

CimserverProcess::CimserverProcess(const std::string& install_dir, const std::vector<std::string>& extra,
                                   const std::string& program)
{
    char tmpl[] = "/tmp/cimserver-test-XXXXXX";
    if (!mkdtemp(tmpl))
        throw std::runtime_error("mkdtemp failed");
    _dir = tmpl;
    {
        std::ofstream auth(_dir + "/auth");
        auth << user() << ":" << password() << "\n";
    }
    const std::string server = program.empty() ? testsupport::BuildTree::program("cimserver") : program;
    std::vector<std::string> args = {server, "--port", "0", "--ready-file", _dir + "/ready", "--auth-file",
                                     _dir + "/auth"};
    // Another build may be older than the option (it then takes a plain
    // login without it): its usage text tells.
    const auto knows_plain_auth = [&] {
        const CommandResult usage = run({server, "--help"});
        return (usage.out + usage.err).find("--allow-plain-auth") != std::string::npos;
    };
    if (std::find(extra.begin(), extra.end(), "--https-port") == extra.end() && (program.empty() || knows_plain_auth()))
        args.push_back("--allow-plain-auth");
    // CIMSERVER_TEST_MODULE runs the suite on another build of the module.
    if (const char* module = std::getenv("CIMSERVER_TEST_MODULE"); module && *module) {
        args.push_back("--module");
        args.push_back(module);
    }
    args.insert(args.end(), extra.begin(), extra.end());
    _pid = spawn_server(args, {"SMIS_INSTALL_DIR=" + install_dir}, _dir + "/cimserver.out");
    auto end = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (std::chrono::steady_clock::now() < end) {
        int st = 0;
        if (waitpid(_pid, &st, WNOHANG) == _pid) {
            _pid = -1;
            throw std::runtime_error("cimserver ended before it was ready: " + output());
        }
        // Written whole at once: its ports are those that listen.
        std::string ready = read_file(_dir + "/ready");
        if (!ready.empty()) {
            auto port_of = [&](const std::string& key) {
                size_t at = ready.find("\"" + key + "\": ");
                return at == std::string::npos ? -1 : std::atoi(ready.c_str() + at + key.size() + 4);
            };
            _port = port_of("port");
            _https_port = port_of("https_port");
            return;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    stop();
    throw std::runtime_error("cimserver did not become ready");
}

CimserverProcess::~CimserverProcess()
{
    stop();
    std::error_code ec;
    std::filesystem::remove_all(_dir, ec);
}

bool CimserverProcess::running() const
{
    return _pid > 0 && kill(_pid, 0) == 0 && waitpid(_pid, nullptr, WNOHANG) == 0;
}

long CimserverProcess::rss_kib() const
{
    std::ifstream status("/proc/" + std::to_string(_pid) + "/status");
    std::string line;
    while (std::getline(status, line))
        if (line.compare(0, 6, "VmRSS:") == 0)
            return std::stol(line.substr(6));
    return 0;
}

int CimserverProcess::stop()
{
    if (_pid <= 0)
        return -1;
    const int rc = terminate(_pid, 60);
    _pid = -1;
    return rc;
}

int CimserverProcess::terminate(pid_t pid, int limit_seconds)
{
    kill(pid, SIGTERM);
    int rc = wait_exit(pid, std::chrono::seconds(limit_seconds));
    if (rc == -2) {
        kill(pid, SIGKILL);
        wait_exit(pid, std::chrono::seconds(5));
        rc = -1;
    }
    return rc;
}

int CimserverProcess::exit_status(pid_t pid, int limit_ms)
{
    return wait_exit(pid, std::chrono::milliseconds(limit_ms));
}

std::string CimserverProcess::file_text(const std::string& path)
{
    return read_file(path);
}

pid_t CimserverProcess::spawn_server(std::vector<std::string> args, const std::vector<std::string>& env,
                                     const std::string& out_file)
{
    std::vector<char*> argv;
    for (auto& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    std::vector<std::string> env_text;
    for (char** e = environ; *e; e++) {
        const std::string entry = *e;
        const std::string name = entry.substr(0, entry.find('=') + 1);
        if (std::none_of(env.begin(), env.end(), [&](const std::string& v) { return v.rfind(name, 0) == 0; }))
            env_text.push_back(entry);
    }
    env_text.insert(env_text.end(), env.begin(), env.end());
    std::vector<char*> envp;
    for (auto& e : env_text)
        envp.push_back(e.data());
    envp.push_back(nullptr);

    posix_spawn_file_actions_t fa;
    posix_spawn_file_actions_init(&fa);
    posix_spawn_file_actions_addopen(&fa, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&fa, 1, out_file.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
    posix_spawn_file_actions_adddup2(&fa, 1, 2);
    pid_t pid = -1;
    int rc = posix_spawn(&pid, argv[0], &fa, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&fa);
    if (rc != 0)
        throw std::runtime_error("cannot start " + args[0] + ": " + std::strerror(rc));
    return pid;
}

std::string CimserverProcess::output() const
{
    return read_file(_dir + "/cimserver.out");
}

std::string CimserverProcess::url(const std::string& suffix, const std::string& name_space, bool with_login) const
{
    std::string login = with_login ? std::string(user()) + ":" + password() + "@" : "";
    return "http://" + login + "127.0.0.1:" + std::to_string(_port) + "/" + name_space + suffix;
}

CommandResult CimserverProcess::wbemcli(const std::vector<std::string>& args)
{
    std::vector<std::string> all = {"/usr/bin/wbemcli"};
    all.insert(all.end(), args.begin(), args.end());
    return run(all);
}

CommandResult CimserverProcess::run(std::vector<std::string> all)
{
    char tmpl[] = "/tmp/wbemcli-out-XXXXXX";
    if (!mkdtemp(tmpl))
        return {};
    std::string dir = tmpl;
    std::vector<char*> argv;
    for (auto& a : all)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t fa;
    posix_spawn_file_actions_init(&fa);
    std::string out = dir + "/out", err = dir + "/err";
    posix_spawn_file_actions_addopen(&fa, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&fa, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&fa, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    pid_t pid = -1;
    CommandResult r;
    if (posix_spawn(&pid, argv[0], &fa, nullptr, argv.data(), environ) == 0) {
        r.status = wait_exit(pid, std::chrono::seconds(60));
        if (r.status == -2) {
            kill(pid, SIGKILL);
            wait_exit(pid, std::chrono::seconds(5));
            r.status = -1;
        }
    }
    posix_spawn_file_actions_destroy(&fa);
    r.out = read_file(out);
    r.err = read_file(err);
    std::error_code ec;
    std::filesystem::remove_all(dir, ec);
    return r;
}

} // namespace cimserver::test
