// The provider module served by the real OpenPegasus server, for the tests
// that compare it with cimserver: a server home of its own (a repository
// made by scripts/openpegasus-repository.sh from the build's MOF files, the
// third-party build's programs and libraries), HTTP on 127.0.0.1 at a free
// port, no authentication, the server's own providers and the module
// (libarrayprov.so of the OpenPegasus build variant) from their provider
// folders, and SMIS_INSTALL_DIR for the module.
//
// The server's pid file and start lock are fixed per third-party build, so
// one such server runs at a time per cache: the object holds an exclusive
// lock on <cache>/.server.lock (scripts/run-openpegasus.sh takes the same)
// from before the start until the server has stopped.
#ifndef HOST_CIMSERVER_TESTS_OPENPEGASUS_OPENPEGASUS_SERVER_H
#define HOST_CIMSERVER_TESTS_OPENPEGASUS_OPENPEGASUS_SERVER_H

#include <sys/types.h>

#include <string>

namespace cimserver::test {

class OpenPegasusServer {
public:
    // Throws std::runtime_error, naming what is missing and how to make it,
    // without the third-party build, the module's build or the MOF files,
    // and with the server's output when it does not start.
    // in_process: the module runs in the server's process instead of a
    // provider agent.
    explicit OpenPegasusServer(const std::string& install_dir, bool in_process = false);
    ~OpenPegasusServer();
    OpenPegasusServer(const OpenPegasusServer&) = delete;
    OpenPegasusServer& operator=(const OpenPegasusServer&) = delete;

    // The third-party cache: SMIS_THIRD_PARTY_CACHE, else
    // $XDG_CACHE_HOME/smis-third-party, else ~/.cache/smis-third-party.
    static std::string cache();
    // The folder holding the module built against the real libraries:
    // SMIS_OPENPEGASUS_LIB_DIR, else <source>/build/openpegasus/lib.
    static std::string module_dir();
    // Throws, as the constructor does, when the third-party build or the
    // module is missing.
    static void require_builds();

    int port() const { return _port; }
    // The server's home (its repository, bin/ and lib/).
    const std::string& home() const { return _home; }
    pid_t pid() const { return _pid; }
    // SIGTERM, then the exit status; -1 when it had to be killed.
    int stop();
    // What the server printed.
    std::string output() const;

private:
    void prepare(bool in_process);
    void start(bool in_process);
    // Stops the server, unlocks and removes the home.
    void release();

    std::string _home;
    std::string _install;
    int _lock = -1;
    pid_t _pid = -1;
    int _port = -1;
};

} // namespace cimserver::test

#endif
