// Reads HTTP/1.x requests from the bytes a connection has received, one at
// a time, within fixed bounds: the header section's line count and size, the
// body's size in either framing (Content-Length or chunked). Whatever breaks
// a bound or the message syntax ends the reading with the status to answer;
// the connection cannot be read further after that.
#ifndef HOST_CIMSERVER_HTTP_REQUEST_READER_H
#define HOST_CIMSERVER_HTTP_REQUEST_READER_H

#include <cstddef>
#include <string>
#include <utility>
#include <vector>

namespace cimserver {

struct HttpLimits {
    std::size_t max_body = 4u << 20;       // bytes of body, in every framing
    std::size_t max_header_bytes = 32768;  // bytes of the request line and header lines together
    std::size_t max_header_lines = 100;    // header lines (chunked trailers included)
    std::size_t max_target = 8192;         // bytes of the request-target
};

struct HttpRequest {
    std::string method;
    std::string target;
    int minor_version = 1; // HTTP/1.<minor>
    std::vector<std::pair<std::string, std::string>> headers;
    std::string body;

    // The first header of that name (without regard to case), or nullptr.
    const std::string* header(const char* name) const;
    std::string header_value(const char* name) const;
    // Whether the connection stays open after the answer.
    bool keep_alive() const;
};

class HttpRequestReader {
public:
    enum class State {
        NeedMore, // the bytes so far are the start of a request
        Complete, // request() holds a whole request
        Refused,  // the request cannot be taken: answer status() and close
    };

    // Body room taken when the headers end; the rest grows as bytes come.
    static constexpr std::size_t INITIAL_BODY_ROOM = 65536;

    explicit HttpRequestReader(HttpLimits limits) : _limits(limits) {}

    // Reads from the front of input, consuming what it takes; call again with
    // more bytes while NeedMore. After Complete, take() the request; the
    // rest of input is the start of the next one.
    State read(std::string& input);

    HttpRequest take();

    // After Refused: the HTTP status (400, 413, 414, 431, 501, 505) and why.
    int status() const { return _status; }
    const std::string& reason() const { return _reason; }

    // True once the header section is complete (the body may be pending).
    bool headers_done() const { return _phase != Phase::Head; }
    // True while a received "Expect: 100-continue" still waits for its interim answer.
    bool wants_continue() const { return _wants_continue; }
    void continue_sent() { _wants_continue = false; }
    // True when no byte of a request has been read yet.
    bool idle() const { return _phase == Phase::Head && _header_bytes == 0; }
    // Body bytes of the request being read received so far.
    std::size_t held() const { return _request.body.size(); }
    // The request being read: its request line and headers once headers_done().
    const HttpRequest& request() const { return _request; }
    // Memory its body will hold at most, as far as the headers tell: the
    // announced length, the bound for a chunked one, 0 before the headers.
    std::size_t expected() const
    {
        switch (_phase) {
        case Phase::Head: return 0;
        case Phase::Body: return _request.body.size() + _remaining;
        case Phase::Done: return _request.body.size();
        default: return _limits.max_body;
        }
    }

private:
    enum class Phase { Head, Body, ChunkSize, ChunkData, ChunkEnd, Trailer, Done };

    State refuse(int status, std::string reason);
    State read_head(std::string& input);
    State start_body();
    // Complete with a line taken from input; NeedMore without a whole line.
    State read_line(std::string& input, std::string& line);
    // Moves body bytes from input; true once the expected ones are all in.
    bool take_body(std::string& input);
    bool parse_request_line(const std::string& line);

    HttpLimits _limits;
    Phase _phase = Phase::Head;
    HttpRequest _request;
    std::size_t _header_bytes = 0;
    std::size_t _header_lines = 0;
    std::size_t _remaining = 0; // body or chunk bytes still to come
    bool _wants_continue = false;
    int _status = 0;
    std::string _reason;
};

} // namespace cimserver

#endif
