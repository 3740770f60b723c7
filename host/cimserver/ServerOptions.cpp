#include "ServerOptions.h"

#include "ListenerExchange.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace cimserver {

const char* ServerOptions::usage()
{
    return "usage: cimserver [--help] [--address A] [--port N] [--module LIB] [--auth-file FILE]\n"
           "                 [--https-port N --cert FILE --key FILE] [--allow-plain-auth]\n"
           "                 [--max-request BYTES] [--no-polling] [--no-indications] [--ready-file FILE]\n"
           "                 [--listener URL]... [--export-ssl-trust-store PATH] [--poll-interval SECONDS]\n"
           "                 [--max-pending BYTES] [--max-answer-memory BYTES] [--max-spool BYTES]\n"
           "                 [--max-answer-held BYTES] [--spool-folder DIR] [--spool-reserve BYTES]\n"
           "                 [--min-rate BYTES] [--rate-window SECONDS]\n"
           "                 [--delivery-retry-attempts N] [--delivery-retry-interval SECONDS]\n"
           "                 [--log-level warning|information] [--log-max-size BYTES] [--log-files N]\n";
}

static bool number(const char* text, unsigned long long max, unsigned long long& out)
{
    if (!text || !*text)
        return false;
    errno = 0;
    char* end = nullptr;
    unsigned long long v = std::strtoull(text, &end, 10);
    if (errno || *end || text[0] == '-' || v > max)
        return false;
    out = v;
    return true;
}

bool ServerOptions::parse(int argc, char** argv, std::string& message)
{
    for (int i = 1; i < argc; i++) {
        std::string a = argv[i];
        auto value = [&](const char*& v) {
            if (i + 1 >= argc) {
                message = a + " needs a value";
                return false;
            }
            v = argv[++i];
            return true;
        };
        const char* v = nullptr;
        unsigned long long n = 0;
        // A number from low to high into n; false with a message naming what.
        auto ranged = [&](const char* what, unsigned long long low, unsigned long long high) {
            if (!value(v))
                return false;
            if (!number(v, high, n) || n < low) {
                message = std::string("bad ") + what + " " + v + " (" + std::to_string(low) + " to " +
                          std::to_string(high) + ")";
                return false;
            }
            return true;
        };
        if (a == "--address") {
            if (!value(v))
                return false;
            address = v;
        } else if (a == "--port" || a == "--https-port") {
            if (!value(v))
                return false;
            if (!number(v, 65535, n)) {
                message = std::string("bad port ") + v;
                return false;
            }
            (a == "--port" ? port : https_port) = static_cast<int>(n);
        } else if (a == "--cert" || a == "--key") {
            if (!value(v))
                return false;
            (a == "--cert" ? cert_file : key_file) = v;
        } else if (a == "--allow-plain-auth") {
            allow_plain_auth = true;
        } else if (a == "--module") {
            if (!value(v))
                return false;
            module_path = v;
        } else if (a == "--auth-file") {
            if (!value(v))
                return false;
            auth_file = v;
        } else if (a == "--max-request") {
            if (!value(v))
                return false;
            if (!number(v, 1ull << 30, n) || n < 1024) {
                message = std::string("bad request size ") + v + " (1024 to 1073741824)";
                return false;
            }
            max_request = static_cast<std::size_t>(n);
        } else if (a == "--no-polling") {
            polling = false;
        } else if (a == "--no-indications") {
            indications = false;
        } else if (a == "--listener") {
            if (!value(v))
                return false;
            ListenerExchange::Address address;
            if (!ListenerExchange::Address::parse(v, address)) {
                message = std::string("bad listener ") + v + " (http[s]://host[:port][/path])";
                return false;
            }
            listeners.push_back(v);
        } else if (a == "--export-ssl-trust-store") {
            if (!value(v))
                return false;
            if (!*v) {
                message = "--export-ssl-trust-store needs a file or folder";
                return false;
            }
            export_trust_store = v;
        } else if (a == "--poll-interval") {
            if (!ranged("poll interval", 1, 86400))
                return false;
            poll_interval = static_cast<unsigned>(n);
        } else if (a == "--max-pending" || a == "--max-answer-memory" || a == "--max-spool" ||
                   a == "--min-rate" || a == "--max-answer-held" || a == "--spool-reserve") {
            if (!value(v))
                return false;
            const unsigned long long low =
                a == "--min-rate" || a == "--max-spool" || a == "--max-answer-held" || a == "--spool-reserve" ? 0
                                                                                                               : 1ull << 20;
            if (!number(v, 1ull << 40, n) || n < low) {
                message = "bad " + a.substr(2) + " " + v + " (" + std::to_string(low) + " to 1099511627776)";
                return false;
            }
            if (a == "--max-pending")
                max_pending = static_cast<std::size_t>(n);
            else if (a == "--max-answer-memory")
                max_answer_memory = static_cast<std::size_t>(n);
            else if (a == "--max-spool")
                max_spool = n;
            else if (a == "--max-answer-held")
                max_answer_held = static_cast<std::size_t>(n);
            else if (a == "--spool-reserve")
                spool_reserve = n;
            else
                min_rate = static_cast<std::size_t>(n);
        } else if (a == "--rate-window") {
            if (!ranged("rate window", 1, 3600))
                return false;
            rate_window = static_cast<unsigned>(n);
        } else if (a == "--delivery-retry-attempts") {
            if (!ranged("delivery retry attempts", 0, 1000))
                return false;
            delivery_retry.attempts = static_cast<unsigned>(n);
        } else if (a == "--delivery-retry-interval") {
            if (!ranged("delivery retry interval", 1, 3600))
                return false;
            delivery_retry.interval = std::chrono::seconds(n);
        } else if (a == "--log-level") {
            if (!value(v))
                return false;
            if (std::strcmp(v, "information") != 0 && std::strcmp(v, "warning") != 0) {
                message = std::string("bad log level ") + v + " (warning or information)";
                return false;
            }
            log_information = std::strcmp(v, "information") == 0;
        } else if (a == "--log-max-size") {
            if (!ranged("log size", 65536, 1ull << 40))
                return false;
            log_max_size = n;
        } else if (a == "--log-files") {
            if (!ranged("log file count", 0, 100))
                return false;
            log_files = static_cast<unsigned>(n);
        } else if (a == "--spool-folder") {
            if (!value(v))
                return false;
            if (v[0] != '/') {
                message = std::string("bad spool folder ") + v + " (an absolute path)";
                return false;
            }
            spool_folder = v;
        } else if (a == "--ready-file") {
            if (!value(v))
                return false;
            ready_file = v;
        } else if (a == "--help" || a == "-h") {
            help = true;
        } else {
            message = "unknown argument " + a;
            return false;
        }
    }
    const bool https = https_port >= 0;
    if (https && (cert_file.empty() || key_file.empty())) {
        message = "--https-port needs --cert and --key";
        return false;
    }
    if (!https && (!cert_file.empty() || !key_file.empty())) {
        message = "--cert and --key serve HTTPS: give --https-port too";
        return false;
    }
    if (!auth_file.empty() && !allow_plain_auth && !https) {
        message = "--auth-file would have the login travel in clear over plain HTTP: serve HTTPS "
                  "(--https-port, --cert, --key) or give --allow-plain-auth";
        return false;
    }
    return true;
}

} // namespace cimserver
