// The command line of cimserver.
#ifndef HOST_CIMSERVER_SERVER_OPTIONS_H
#define HOST_CIMSERVER_SERVER_OPTIONS_H

#include "ListenerQueue.h"

#include <cstddef>
#include <string>
#include <vector>

namespace cimserver {

struct ServerOptions {
    std::string address = "127.0.0.1";
    int port = 5988;                     // 0: any free port (see ready_file)
    int https_port = -1;                 // -1: no HTTPS; 0: any free port
    std::string cert_file;               // PEM certificate chain for HTTPS
    std::string key_file;                // PEM private key for HTTPS
    bool allow_plain_auth = false;       // the login may travel over plain HTTP
    std::string module_path;             // empty: <install>/lib/libarrayprov.so
    std::string auth_file;               // "user:password" on its first line; empty: no authentication
    std::size_t max_request = 4u << 20;  // largest request body accepted, bytes
    bool polling = true;                 // run the polling service
    bool indications = true;             // enable the indication providers
    std::string ready_file;              // written with the port once the server listens
    std::vector<std::string> listeners;  // "http[s]://host[:port][/path]" receiving exported indications
    std::string export_trust_store;      // PEM file or folder of the listener certificates trusted; empty: the system's
    unsigned poll_interval = 0;          // seconds between polls of every task; 0: the configuration's
    std::size_t max_pending = 64u << 20;              // request bytes in memory, all connections together
    std::size_t max_answer_memory = 256u << 20;       // answer bytes waiting in memory, all answers together
    unsigned long long max_spool = 2ull << 30;        // answer bytes waiting in spool files, all together
    std::size_t max_answer_held = 64u << 20;          // answer bytes one connection may have waiting, memory and spool
    std::string spool_folder;                         // empty: <install>/spool
    unsigned long long spool_reserve = 256ull << 20;  // bytes the spool leaves free on its file system
    std::size_t min_rate = 0;                         // bytes a second a client takes of its answer, at least
    unsigned rate_window = 30;                        // seconds over which min_rate is measured
    bool log_information = false;                     // log INFORMATION records too (--log-level information)
    unsigned long long log_max_size = 10ull << 20;    // bytes a log file holds before it is rotated
    unsigned log_files = 5;                           // rotated log files kept
    DeliveryRetry delivery_retry;                     // how failed indication deliveries are tried again
    bool help = false;                                // print the usage and exit

    // Reads argv; false with a message for anything it does not know and
    // for options that do not go together.
    bool parse(int argc, char** argv, std::string& message);

    // Whether the plain HTTP port listens: always without a login; with one
    // only when --allow-plain-auth says the login may travel in clear (else
    // the server serves HTTPS only).
    bool plain_http() const { return auth_file.empty() || allow_plain_auth; }

    static const char* usage();
};

} // namespace cimserver

#endif
