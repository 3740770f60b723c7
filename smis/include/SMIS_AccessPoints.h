#pragma once
// The addresses at which the running CIM server takes requests, one for each
// protocol that listens, named as clients reach them. The server publishes
// them once it listens; providers that describe the server (its
// communication mechanisms) read them. Empty until published, and in a
// process that serves nothing: under a CIM server that does not publish
// them, the module describes the server as one mechanism named after it.

#include <string>
#include <vector>

namespace cimple {

struct SMIS_AccessPoint {
    std::string scheme; // "http" or "https"
    std::string host;   // a name or address clients reach; an IPv6 address in brackets
    int port = 0;

    // The point of a listener bound to address: a wildcard address (empty,
    // "0.0.0.0", "::") is named by the host's fully qualified name.
    static SMIS_AccessPoint of(const std::string& scheme, const std::string& address, int port);

    std::string authority() const; // "host:port"
    std::string url() const;       // "scheme://host:port"
};

class SMIS_AccessPoints {
public:
    static void publish(std::vector<SMIS_AccessPoint> points);
    static std::vector<SMIS_AccessPoint> listening();
    // The "host:port" the server names itself by outside a client's request
    // (the references of an exported indication): the HTTPS listener when it
    // listens, else the first published; empty when none was published.
    static std::string preferredAuthority();
};

}  // namespace cimple
