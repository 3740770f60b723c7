// The command line of cimserver.
#ifndef HOST_CIMSERVER_SERVER_OPTIONS_H
#define HOST_CIMSERVER_SERVER_OPTIONS_H

#include <cstddef>
#include <string>
#include <vector>

namespace cimserver {

struct ServerOptions {
    std::string address = "127.0.0.1";
    int port = 5988;                     // 0: any free port (see ready_file)
    std::string module_path;             // empty: <install>/lib/libarrayprov.so
    std::string auth_file;               // "user:password" on its first line; empty: no authentication
    std::size_t max_request = 4u << 20;  // largest request body accepted, bytes
    bool polling = true;                 // run the polling service
    bool indications = true;             // enable the indication providers
    std::string ready_file;              // written with the port once the server listens
    std::vector<std::string> listeners;  // "http://host[:port][/path]" receiving exported indications
    unsigned poll_interval = 0;          // seconds between polls of every task; 0: the configuration's
    std::size_t max_pending = 64u << 20;              // request bytes in memory, all connections together
    std::size_t max_answer_memory = 256u << 20;       // answer bytes waiting in memory, all answers together
    unsigned long long max_spool = 2ull << 30;        // answer bytes waiting in spool files, all together
    std::size_t max_answer_held = 64u << 20;          // answer bytes one connection may have waiting, memory and spool
    std::string spool_folder;                         // empty: <install>/spool
    unsigned long long spool_reserve = 256ull << 20;  // bytes the spool leaves free on its file system
    std::size_t min_rate = 0;                         // bytes a second a client takes of its answer, at least
    unsigned rate_window = 30;                        // seconds over which min_rate is measured

    // Reads argv; false with a message for anything it does not know.
    bool parse(int argc, char** argv, std::string& message);

    static const char* usage();
};

} // namespace cimserver

#endif
