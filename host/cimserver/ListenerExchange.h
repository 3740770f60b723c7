// One export request to a CIM-XML listener and its answer, with every wait
// bounded, so that no listener, slow, silent or hostile, can hold the thread
// that delivers: the whole exchange (name look-up aside) ends within its
// limit, each address is given at most CONNECT_LIMIT to connect, and a
// readable abort descriptor ends it at once (the server's stop). What is
// read of the answer is bounded too: a listener owes a status and, at most,
// a short CIM-XML message, so no more than MAX_ANSWER bytes are read and
// the rest is left unread; no compression is asked for and none is ever
// expanded. HTTPS listeners are verified through ListenerTls: an untrusted
// certificate fails the exchange and says why.
#ifndef HOST_CIMSERVER_LISTENER_EXCHANGE_H
#define HOST_CIMSERVER_LISTENER_EXCHANGE_H

#include "ListenerTls.h"

#include <chrono>
#include <cstddef>
#include <string>

namespace cimserver {

class ListenerExchange {
public:
    static constexpr std::size_t MAX_ANSWER = 64u << 10;
    static constexpr std::chrono::seconds CONNECT_LIMIT{5};

    struct Outcome {
        bool delivered = false; // answered 200 without a CIM error
        bool untrusted = false; // an HTTPS listener whose certificate is not trusted
        bool aborted = false;   // ended by the abort descriptor
        std::string why;        // what went wrong, when not delivered
    };

    // A listener URL "http[s]://host[:port][/path]" taken apart.
    struct Address {
        bool tls = false;
        std::string host;      // an IPv6 address without its brackets
        std::string port;      // 80 or 443 when the URL gives none
        std::string path;      // "/" when the URL gives none
        std::string authority; // as the Host header gives it
        // False for anything else, also for a URL with spaces or controls.
        static bool parse(const std::string& url, Address& out);
    };

    // POSTs the export request body to the listener at url. tls: how HTTPS
    // listeners are verified (an https URL fails without it); abort_fd: -1
    // or a descriptor that becomes readable when the exchange must end.
    static Outcome post(const std::string& url, const std::string& body, const ListenerTls* tls, int abort_fd,
                        std::chrono::milliseconds limit);
};

} // namespace cimserver

#endif
