#include "HttpRequestReader.h"

#include <strings.h>

#include <algorithm>
#include <cstring>

namespace cimserver {

namespace {

constexpr std::size_t MAX_CHUNK_LINE = 1024;

bool token_char(unsigned char c)
{
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
           std::strchr("!#$%&'*+-.^_`|~", c) != nullptr;
}

std::string trim(const std::string& s)
{
    size_t b = s.find_first_not_of(" \t");
    if (b == std::string::npos)
        return "";
    size_t e = s.find_last_not_of(" \t");
    return s.substr(b, e - b + 1);
}

bool contains_token(const std::string& list, const char* token)
{
    size_t start = 0;
    while (start <= list.size()) {
        size_t comma = list.find(',', start);
        std::string item = trim(list.substr(start, comma == std::string::npos ? std::string::npos : comma - start));
        if (strcasecmp(item.c_str(), token) == 0)
            return true;
        if (comma == std::string::npos)
            break;
        start = comma + 1;
    }
    return false;
}

} // namespace

const std::string* HttpRequest::header(const char* name) const
{
    for (const auto& h : headers)
        if (strcasecmp(h.first.c_str(), name) == 0)
            return &h.second;
    return nullptr;
}

std::string HttpRequest::header_value(const char* name) const
{
    const std::string* v = header(name);
    return v ? *v : std::string();
}

bool HttpRequest::keep_alive() const
{
    for (const auto& h : headers) {
        if (strcasecmp(h.first.c_str(), "Connection") != 0)
            continue;
        if (contains_token(h.second, "close"))
            return false;
        if (contains_token(h.second, "keep-alive"))
            return true;
    }
    return minor_version >= 1;
}

HttpRequestReader::State HttpRequestReader::refuse(int status, std::string reason)
{
    _status = status;
    _reason = std::move(reason);
    return State::Refused;
}

HttpRequestReader::State HttpRequestReader::read_line(std::string& input, std::string& line)
{
    size_t nl = input.find('\n');
    bool in_head = _phase == Phase::Head || _phase == Phase::Trailer;
    if (_phase == Phase::Head && _request.method.empty()) {
        // The request-target is refused as soon as it is longer than served,
        // before the rest of the line arrives.
        size_t sp = input.find(' ');
        if (sp != std::string::npos && sp < std::min(nl, input.size())) {
            size_t end = std::min(input.find_first_of(" \r\n", sp + 1), input.size());
            if (end - sp - 1 > _limits.max_target)
                return refuse(414, "the request-target is too long");
        }
    }
    size_t bound = in_head ? _limits.max_header_bytes - std::min(_header_bytes, _limits.max_header_bytes)
                           : MAX_CHUNK_LINE;
    if (nl == std::string::npos) {
        if (input.size() > bound)
            return in_head ? refuse(431, "the request's header section is too large")
                           : refuse(400, "a chunk size line is too long");
        return State::NeedMore;
    }
    if (nl + 1 > bound)
        return in_head ? refuse(431, "the request's header section is too large")
                       : refuse(400, "a chunk size line is too long");
    line.assign(input, 0, nl);
    input.erase(0, nl + 1);
    if (!line.empty() && line.back() == '\r')
        line.pop_back();
    if (in_head)
        _header_bytes += nl + 1;
    return State::Complete;
}

bool HttpRequestReader::take_body(std::string& input)
{
    size_t n = std::min(_remaining, input.size());
    _request.body.append(input, 0, n);
    input.erase(0, n);
    _remaining -= n;
    return _remaining == 0;
}

bool HttpRequestReader::parse_request_line(const std::string& line)
{
    size_t sp1 = line.find(' ');
    size_t sp2 = sp1 == std::string::npos ? std::string::npos : line.find(' ', sp1 + 1);
    if (sp2 == std::string::npos || line.find(' ', sp2 + 1) != std::string::npos)
        return false;
    _request.method = line.substr(0, sp1);
    _request.target = line.substr(sp1 + 1, sp2 - sp1 - 1);
    std::string version = line.substr(sp2 + 1);
    if (_request.method.empty() || _request.target.empty())
        return false;
    for (unsigned char c : _request.method)
        if (!token_char(c))
            return false;
    for (unsigned char c : _request.target)
        if (c <= 0x20 || c >= 0x7f)
            return false;
    if (version.size() != 8 || version.compare(0, 5, "HTTP/") != 0 || version[6] != '.' ||
        !std::isdigit(static_cast<unsigned char>(version[5])) || !std::isdigit(static_cast<unsigned char>(version[7])))
        return false;
    if (version[5] != '1') {
        _status = 505;
        return false;
    }
    _request.minor_version = version[7] - '0';
    return true;
}

// True when the start of a request line cannot begin a request: its method
// holds a character no method has (a TLS handshake, binary noise).
static bool bad_method_start(const std::string& input)
{
    size_t i = input.find_first_not_of("\r\n");
    for (; i < input.size() && input[i] != ' '; i++)
        if (input[i] != '\r' && input[i] != '\n' && !token_char(static_cast<unsigned char>(input[i])))
            return true;
    return false;
}

HttpRequestReader::State HttpRequestReader::read_head(std::string& input)
{
    if (_request.method.empty() && bad_method_start(input))
        return refuse(400, "the request line is not valid");
    for (;;) {
        std::string line;
        if (State s = read_line(input, line); s != State::Complete)
            return s;
        if (_request.method.empty()) {
            if (line.empty() && _header_lines == 0 && _request.target.empty()) {
                // Blank lines before a request line are tolerated.
                _header_bytes = 0;
                continue;
            }
            if (!parse_request_line(line))
                return _status == 505 ? refuse(505, "only HTTP/1.x is served")
                                      : refuse(400, "the request line is not valid");
            continue;
        }
        if (line.empty())
            return start_body();
        if (++_header_lines > _limits.max_header_lines)
            return refuse(431, "the request has too many header lines");
        if (line[0] == ' ' || line[0] == '\t')
            return refuse(400, "folded header lines are not accepted");
        size_t colon = line.find(':');
        if (colon == 0 || colon == std::string::npos)
            return refuse(400, "a header line has no name");
        for (size_t i = 0; i < colon; i++)
            if (!token_char(static_cast<unsigned char>(line[i])))
                return refuse(400, "a header name is not valid");
        std::string value = trim(line.substr(colon + 1));
        for (unsigned char c : value)
            if ((c < 0x20 && c != '\t') || c == 0x7f)
                return refuse(400, "a header value holds a control character");
        _request.headers.emplace_back(line.substr(0, colon), std::move(value));
    }
}

HttpRequestReader::State HttpRequestReader::start_body()
{
    const std::string* length = nullptr;
    bool chunked = false;
    for (const auto& h : _request.headers) {
        if (strcasecmp(h.first.c_str(), "Content-Length") == 0) {
            if (h.second.empty() || h.second.find_first_not_of("0123456789") != std::string::npos)
                return refuse(400, "Content-Length is not a number");
            if (length && *length != h.second)
                return refuse(400, "Content-Length is given twice with different values");
            length = &h.second;
        } else if (strcasecmp(h.first.c_str(), "Transfer-Encoding") == 0) {
            if (chunked || strcasecmp(h.second.c_str(), "chunked") != 0)
                return refuse(501, "only the chunked transfer coding is supported");
            chunked = true;
        }
    }
    if (chunked && length)
        return refuse(400, "Content-Length and Transfer-Encoding are both given");
    if (const std::string* expect = _request.header("Expect")) {
        if (strcasecmp(expect->c_str(), "100-continue") != 0)
            return refuse(417, "only 100-continue is expected");
        _wants_continue = _request.minor_version >= 1;
    }
    if (chunked) {
        _phase = Phase::ChunkSize;
        return State::NeedMore;
    }
    _remaining = 0;
    if (length) {
        std::string digits = length->substr(std::min(length->find_first_not_of('0'), length->size()));
        if (digits.size() > 12 || (digits.empty() ? 0 : std::stoull(digits)) > _limits.max_body)
            return refuse(413, "the request body is too large");
        _remaining = digits.empty() ? 0 : std::stoull(digits);
    }
    // Room for the body grows as its bytes come: a client's announced
    // length alone takes no memory (a body may wait in its socket a while).
    _request.body.reserve(std::min<std::size_t>(_remaining, INITIAL_BODY_ROOM));
    _phase = _remaining ? Phase::Body : Phase::Done;
    return _remaining ? State::NeedMore : State::Complete;
}

HttpRequestReader::State HttpRequestReader::read(std::string& input)
{
    for (;;) {
        switch (_phase) {
        case Phase::Head: {
            State s = read_head(input);
            if (s != State::NeedMore || _phase == Phase::Head)
                return s;
            break;
        }
        case Phase::Body:
            if (!take_body(input))
                return State::NeedMore;
            _phase = Phase::Done;
            return State::Complete;
        case Phase::ChunkSize: {
            std::string line;
            if (State s = read_line(input, line); s != State::Complete)
                return s;
            std::string size = trim(line.substr(0, line.find(';')));
            if (size.empty() || size.size() > 8 ||
                size.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos)
                return refuse(400, "a chunk size is not valid");
            _remaining = std::stoull(size, nullptr, 16);
            if (_remaining > _limits.max_body - std::min(_request.body.size(), _limits.max_body))
                return refuse(413, "the request body is too large");
            _phase = _remaining ? Phase::ChunkData : Phase::Trailer;
            break;
        }
        case Phase::ChunkData:
            if (!take_body(input))
                return State::NeedMore;
            _phase = Phase::ChunkEnd;
            break;
        case Phase::ChunkEnd: {
            if (input.size() < 1 || (input[0] == '\r' && input.size() < 2))
                return State::NeedMore;
            size_t n = input[0] == '\r' ? 2 : 1;
            if (input[n - 1] != '\n')
                return refuse(400, "a chunk does not end with a line end");
            input.erase(0, n);
            _phase = Phase::ChunkSize;
            break;
        }
        case Phase::Trailer: {
            std::string line;
            if (State s = read_line(input, line); s != State::Complete)
                return s;
            if (line.empty()) {
                _phase = Phase::Done;
                return State::Complete;
            }
            if (++_header_lines > _limits.max_header_lines)
                return refuse(431, "the request has too many header lines");
            break; // trailer fields are read and left out
        }
        case Phase::Done:
            return State::Complete;
        }
    }
}

HttpRequest HttpRequestReader::take()
{
    HttpRequest r = std::move(_request);
    _request = HttpRequest();
    _phase = Phase::Head;
    _header_bytes = 0;
    _header_lines = 0;
    _remaining = 0;
    _wants_continue = false;
    return r;
}

} // namespace cimserver
