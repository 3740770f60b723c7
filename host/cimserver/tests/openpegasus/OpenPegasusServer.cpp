#include "OpenPegasusServer.h"

#include "BuildTree.h"
#include "CimClient.h"
#include "CimserverProcess.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <thread>
#include <vector>

namespace cimserver::test {

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

std::string env_or(const char* name, const std::string& otherwise)
{
    const char* v = std::getenv(name);
    return v && *v ? v : otherwise;
}

// A port nobody listens on now (the server is told it; another program may
// take it first, which the start then reports).
int free_port()
{
    int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof a;
    if (fd < 0 || bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0 ||
        getsockname(fd, reinterpret_cast<sockaddr*>(&a), &len) != 0) {
        if (fd >= 0)
            close(fd);
        throw std::runtime_error("no free port");
    }
    close(fd);
    return ntohs(a.sin_port);
}

} // namespace

std::string OpenPegasusServer::cache()
{
    const char* home = std::getenv("HOME");
    return env_or("SMIS_THIRD_PARTY_CACHE",
                  env_or("XDG_CACHE_HOME", std::string(home ? home : "") + "/.cache") + "/smis-third-party");
}

std::string OpenPegasusServer::module_dir()
{
    return env_or("SMIS_OPENPEGASUS_LIB_DIR", std::string(SMIS_SOURCE_DIR) + "/build/openpegasus/lib");
}

void OpenPegasusServer::require_builds()
{
    const std::string c = cache();
    if (!fs::exists(c + "/stamp") || !fs::exists(c + "/pegasus/bin/cimserver"))
        throw std::runtime_error("no finished OpenPegasus/CIMPLE build in " + c + " (missing " + c +
                                 "/stamp): build it with scripts/third-party.sh or point SMIS_THIRD_PARTY_CACHE at one");
    const std::string module = module_dir() + "/libarrayprov.so";
    if (!fs::exists(module))
        throw std::runtime_error("the provider module built against the real CIMPLE is missing (" + module +
                                 "): build it with `cmake --preset openpegasus && cmake --build --preset openpegasus`"
                                 " or point SMIS_OPENPEGASUS_LIB_DIR at its folder");
    for (const char* mof : {"arrayprov-classes.mof", "arrayprov-registration.mof"})
        if (!fs::exists(testsupport::BuildTree::directory() + "/mof/" + mof))
            throw std::runtime_error("missing " + testsupport::BuildTree::directory() + "/mof/" + mof +
                                     " (build the project first)");
}

OpenPegasusServer::OpenPegasusServer(const std::string& install_dir, bool in_process) : _install(install_dir)
{
    try {
        prepare(in_process);
    } catch (...) {
        release();
        throw;
    }
}

void OpenPegasusServer::prepare(bool in_process)
{
    require_builds();
    const std::string c = cache();
    char tmpl[] = "/tmp/openpegasus-test-XXXXXX";
    if (!mkdtemp(tmpl))
        throw std::runtime_error("mkdtemp failed");
    _home = tmpl;
    const std::string mof = testsupport::BuildTree::directory() + "/mof/";
    CommandResult made = CimserverProcess::run({"/bin/bash", std::string(SMIS_SOURCE_DIR) + "/scripts/openpegasus-repository.sh",
                                                mof + "arrayprov-classes.mof", mof + "arrayprov-registration.mof", _home});
    if (made.status != 0)
        throw std::runtime_error("scripts/openpegasus-repository.sh failed:\n" + made.out + made.err);

    _lock = open((c + "/.server.lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (_lock < 0)
        throw std::runtime_error("cannot open " + c + "/.server.lock");
    // Another test run or scripts/run-openpegasus.sh may have its server up.
    const auto lock_end = Clock::now() + std::chrono::minutes(5);
    while (flock(_lock, LOCK_EX | LOCK_NB) != 0) {
        if (Clock::now() >= lock_end)
            throw std::runtime_error("another OpenPegasus server of " + c +
                                     " ran for 5 minutes (it holds .server.lock; is scripts/run-openpegasus.sh running?)");
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
    }
    // The port may be taken between choosing and binding: try again then.
    for (int attempt = 0;; ++attempt) {
        try {
            start(in_process);
            return;
        } catch (const std::runtime_error&) {
            if (attempt == 2)
                throw;
        }
    }
}

void OpenPegasusServer::start(bool in_process)
{
    const std::string c = cache();
    _port = free_port();
    std::vector<std::string> args = {c + "/pegasus/bin/cimserver",
                                     "-D",
                                     _home,
                                     "daemon=false",
                                     "enableHttpConnection=true",
                                     "httpPort=" + std::to_string(_port),
                                     "enableHttpsConnection=false",
                                     "enableAuthentication=false",
                                     "listenAddress=127.0.0.1",
                                     "repositoryDir=" + _home + "/repository",
                                     // The server's own providers (in <home>/lib, linked to the
                                     // build's) beside the module: the value replaces the default.
                                     "providerDir=" + _home + "/lib:" + module_dir(),
                                     std::string("forceProviderProcesses=") + (in_process ? "false" : "true")};
    const std::string c_lib = c + "/pegasus/lib:" + c + "/cimple/lib";
    _pid = CimserverProcess::spawn_server(
        args, {"SMIS_INSTALL_DIR=" + _install, "PEGASUS_HOME=" + _home, "LD_LIBRARY_PATH=" + c_lib},
        _home + "/cimserver.out");
    // Ready once it answers a request.
    const auto end = Clock::now() + std::chrono::seconds(60);
    CimClient client(_port);
    while (Clock::now() < end) {
        if (CimserverProcess::exit_status(_pid, 0) != -2) {
            _pid = -1;
            throw std::runtime_error("OpenPegasus ended before it was ready:\n" + output());
        }
        CimReply r;
        client.call("EnumerateClassNames", CimClient::imethod("EnumerateClassNames", "", "interop"), r);
        if (r.http_status == 200)
            return;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    stop();
    throw std::runtime_error("OpenPegasus did not answer within 60 s:\n" + output());
}

OpenPegasusServer::~OpenPegasusServer()
{
    release();
}

void OpenPegasusServer::release()
{
    stop();
    if (_lock >= 0)
        close(_lock);
    _lock = -1;
    std::error_code ec;
    if (!_home.empty())
        fs::remove_all(_home, ec);
    _home.clear();
}

int OpenPegasusServer::stop()
{
    if (_pid <= 0)
        return -1;
    const int rc = CimserverProcess::terminate(_pid, 30);
    _pid = -1;
    return rc;
}

std::string OpenPegasusServer::output() const
{
    return CimserverProcess::file_text(_home + "/cimserver.out");
}

} // namespace cimserver::test
