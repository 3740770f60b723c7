#include "ServerOptions.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace cimserver {

const char* ServerOptions::usage()
{
    return "usage: cimserver [--address A] [--port N] [--module LIB] [--auth-file FILE]\n"
           "                 [--max-request BYTES] [--no-polling] [--no-indications] [--ready-file FILE]\n"
           "                 [--listener URL]... [--poll-interval SECONDS]\n"
           "                 [--max-pending BYTES] [--max-answer-memory BYTES] [--max-spool BYTES]\n"
           "                 [--max-answer-held BYTES] [--spool-folder DIR] [--spool-reserve BYTES]\n"
           "                 [--min-rate BYTES] [--rate-window SECONDS]\n";
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
        if (a == "--address") {
            if (!value(v))
                return false;
            address = v;
        } else if (a == "--port") {
            if (!value(v))
                return false;
            if (!number(v, 65535, n)) {
                message = std::string("bad port ") + v;
                return false;
            }
            port = static_cast<int>(n);
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
            if (std::strncmp(v, "http://", 7) != 0 || !v[7]) {
                message = std::string("bad listener ") + v + " (http://host[:port][/path])";
                return false;
            }
            listeners.push_back(v);
        } else if (a == "--poll-interval") {
            if (!value(v))
                return false;
            if (!number(v, 86400, n) || n < 1) {
                message = std::string("bad poll interval ") + v + " (1 to 86400)";
                return false;
            }
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
            if (!value(v))
                return false;
            if (!number(v, 3600, n) || n < 1) {
                message = std::string("bad rate window ") + v + " (1 to 3600)";
                return false;
            }
            rate_window = static_cast<unsigned>(n);
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
        } else {
            message = "unknown argument " + a;
            return false;
        }
    }
    return true;
}

} // namespace cimserver
