// The HTTP side of the server: CIM-XML operation requests over HTTP/1.1
// with keep-alive, optional Basic authentication, a bounded body size and
// the CIM header checks; everything else answers an HTTP error.
#ifndef HOST_CIMSERVER_HTTP_FRONT_END_H
#define HOST_CIMSERVER_HTTP_FRONT_END_H

#include "CimOperations.h"

#include <memory>
#include <string>

namespace httplib {
class Server;
}

namespace cimserver {

struct Credentials {
    bool required = false;
    std::string user;
    std::string password;
};

class HttpFrontEnd {
public:
    HttpFrontEnd(const CimOperations& operations, Credentials credentials, std::size_t max_request);
    ~HttpFrontEnd();
    HttpFrontEnd(const HttpFrontEnd&) = delete;
    HttpFrontEnd& operator=(const HttpFrontEnd&) = delete;

    // Binds; port 0 takes a free port. The bound port, or -1.
    int bind(const std::string& address, int port);
    // Serves until stop(); false when the server failed.
    bool serve();
    // Ends serve() from any thread.
    void stop();

    // True when an Authorization header value grants access.
    static bool authorized(const Credentials& credentials, const std::string& authorization);

private:
    const CimOperations& _operations;
    Credentials _credentials;
    std::unique_ptr<httplib::Server> _server;
};

} // namespace cimserver

#endif
