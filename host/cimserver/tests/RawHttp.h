// A bare HTTP/1.1 client for the tests: sends exactly the bytes given on one
// connection and reads answers (Content-Length or chunked, with trailers).
#ifndef HOST_CIMSERVER_TESTS_RAW_HTTP_H
#define HOST_CIMSERVER_TESTS_RAW_HTTP_H

#include <chrono>
#include <functional>
#include <map>
#include <string>
#include <string_view>

namespace cimserver::test {

struct HttpResponse {
    int status = 0;
    std::map<std::string, std::string> headers;  // lower-case names
    std::map<std::string, std::string> trailers; // lower-case names
    std::string body;
    bool chunked = false;

    std::string header(const std::string& lower_name) const;
};

class RawHttp {
public:
    // Connects to 127.0.0.1:port; connected() tells whether it did.
    explicit RawHttp(int port);
    // Takes a connected socket.
    explicit RawHttp(int fd, bool) : _fd(fd) {}
    ~RawHttp();
    RawHttp(const RawHttp&) = delete;
    RawHttp& operator=(const RawHttp&) = delete;

    bool connected() const { return _fd >= 0; }
    int fd() const { return _fd; }

    // False when the peer stopped taking bytes (closed, or nothing taken for 5 s).
    bool send(std::string_view bytes);
    // One answer; false when none came whole within limit.
    bool read(HttpResponse& response, std::chrono::milliseconds limit = std::chrono::seconds(30));
    // The same, with the body handed to body_piece as it arrives instead of
    // being kept in the response (a piece may end inside an element).
    bool read(HttpResponse& response, std::chrono::milliseconds limit,
              const std::function<void(std::string_view)>& body_piece);
    // True when bytes (or the end) wait to be read.
    bool readable() const;
    // True when the peer closes the connection within limit.
    bool closed_within(std::chrono::milliseconds limit);

    // A POST with the CIM headers, the tests' login and a Content-Length.
    static std::string request(const std::string& cim_method, const std::string& body,
                               const std::string& extra_headers = "");

private:
    bool fill(std::chrono::steady_clock::time_point deadline);
    bool line(std::string& out, std::chrono::steady_clock::time_point deadline);
    bool bytes(std::size_t n, std::string& out, std::chrono::steady_clock::time_point deadline);
    bool body_bytes(std::size_t n, HttpResponse& r, std::chrono::steady_clock::time_point deadline);

    const std::function<void(std::string_view)>* _body_piece = nullptr;

    int _fd = -1;
    std::string _buffer;
};

} // namespace cimserver::test

#endif
