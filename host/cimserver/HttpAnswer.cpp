#include "HttpAnswer.h"

#include "ServerLog.h"

#include <poll.h>
#include <sys/uio.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <vector>

namespace cimserver {

namespace {

// Memory a piece holds (its buffer, not only its text).
std::size_t held(const std::string& piece)
{
    return piece.capacity() + sizeof(std::string);
}

// A paused walk looks again at its client this often.
constexpr std::chrono::milliseconds PAUSE_SLICE{100};

constexpr const char* XML_TYPE = "application/xml; charset=\"utf-8\"";

// A header value from free text: printable ASCII stays, the rest is
// percent-encoded, so nothing can end the header line.
std::string header_text(const std::string& text)
{
    std::string out;
    for (unsigned char c : text) {
        if (c >= 0x20 && c < 0x7f && c != '%') {
            out += static_cast<char>(c);
        } else {
            char buf[4];
            std::snprintf(buf, sizeof buf, "%%%02X", c);
            out += buf;
        }
    }
    return out;
}

} // namespace

const char* HttpAnswer::reason_phrase(int status)
{
    switch (status) {
    case 100: return "Continue";
    case 200: return "OK";
    case 400: return "Bad Request";
    case 401: return "Unauthorized";
    case 403: return "Forbidden";
    case 404: return "Not Found";
    case 405: return "Method Not Allowed";
    case 408: return "Request Timeout";
    case 413: return "Payload Too Large";
    case 414: return "URI Too Long";
    case 417: return "Expectation Failed";
    case 431: return "Request Header Fields Too Large";
    case 500: return "Internal Server Error";
    case 501: return "Not Implemented";
    case 503: return "Service Unavailable";
    case 505: return "HTTP Version Not Supported";
    default: return "Error";
    }
}

std::string HttpAnswer::head(int status, const std::string& cim_error, const std::string& extra_header, bool chunked,
                             std::size_t length) const
{
    std::string h = "HTTP/1.1 " + std::to_string(status) + " " + reason_phrase(status) + "\r\n";
    if (status == 200) {
        h += "Content-Type: ";
        h += XML_TYPE;
        h += "\r\nCIMOperation: MethodResponse\r\n";
    }
    if (!cim_error.empty())
        h += "CIMError: " + cim_error + "\r\n";
    if (!extra_header.empty())
        h += extra_header + "\r\n";
    if (chunked) {
        h += "Transfer-Encoding: chunked\r\n";
        if (_options.trailers)
            h += "Trailer: CIMStatusCode, CIMStatusCodeDescription\r\n";
    } else {
        h += "Content-Length: " + std::to_string(length) + "\r\n";
    }
    h += _options.keep_alive ? "Connection: keep-alive\r\n\r\n" : "Connection: close\r\n\r\n";
    return h;
}

HttpAnswer::HttpAnswer(int fd, Options options, AnswerBudget* budget, const std::atomic<bool>* peer_gone)
    : HttpAnswer(std::make_unique<Transport>(fd), nullptr, options, budget, peer_gone)
{
}

HttpAnswer::HttpAnswer(Transport& transport, Options options, AnswerBudget* budget,
                       const std::atomic<bool>* peer_gone)
    : HttpAnswer(nullptr, &transport, options, budget, peer_gone)
{
}

HttpAnswer::HttpAnswer(std::unique_ptr<Transport> own, Transport* transport, Options options, AnswerBudget* budget,
                       const std::atomic<bool>* peer_gone)
    : _own_transport(std::move(own)), _transport(transport ? *transport : *_own_transport), _options(options),
      _budget(budget), _peer_gone(peer_gone), _pool(AnswerBufferPool::server())
{
    if (!_budget) {
        _own_budget = std::make_unique<AnswerBudget>(AnswerLimits{});
        _budget = _own_budget.get();
    }
    _last_take = _window_start = Clock::now();
}

HttpAnswer::~HttpAnswer()
{
    _pool.give(_text, _options.part);
    _budget->give_memory(_memory_held);
    if (_claim)
        _budget->release(*_claim);
}

bool HttpAnswer::abandoned() const
{
    return _broken || (_claim && _claim->lost) || (_peer_gone && _peer_gone->load(std::memory_order_relaxed));
}

const char* HttpAnswer::spool(std::string_view a, std::string_view b, std::string_view c)
{
    const std::size_t n = a.size() + b.size() + c.size();
    if (!_spool) {
        _spool = std::make_unique<SpoolFile>();
        if (!_budget->limits().spool_folder)
            return "answer memory full and no spool";
        if (!_spool->open(_budget->limits().spool_folder))
            return "spool error: cannot create a spool file";
        _claim = _budget->claim();
    }
    if (!_spool->is_open())
        return "spool error: no spool file";
    if (!_budget->take_spool(*_claim, n))
        return "spool total reached";
    switch (_spool->append(a, b, c)) {
    case SpoolFile::Append::Done: return nullptr;
    case SpoolFile::Append::Full: return "spool file system full";
    case SpoolFile::Append::Failed: break;
    }
    return "spool error: write failed";
}

bool HttpAnswer::make_room(std::size_t n)
{
    for (;;) {
        switch (AnswerBudget::room(waiting(), n, _options.max_held)) {
        case AnswerBudget::Room::Now:
            return true;
        case AnswerBudget::Room::Never:
            lose_connection("the answer's part is larger than one connection may hold");
            return false;
        case AnswerBudget::Room::AfterClientReads:
            if (!await_client())
                return false;
        }
    }
}

bool HttpAnswer::await_client()
{
    if (abandoned()) {
        give_up();
        return false;
    }
    // Short waits, so a client that leaves or a server that stops (both
    // seen by the front end's thread) ends the pause promptly.
    pollfd p{_transport.fd(), _transport.events(POLLOUT), 0};
    (void)::poll(&p, 1, static_cast<int>(PAUSE_SLICE.count()));
    push();
    if (!_broken)
        if (const char* fault = pace_fault(Clock::now()))
            lose_connection(fault);
    return !_broken;
}

void HttpAnswer::queue(std::string piece)
{
    if (_broken || piece.empty() || !make_room(piece.size()))
        return;
    const bool spool_empty = !_spool || _spool->pending() == 0;
    const std::size_t memory = held(piece);
    if (spool_empty && _queued + piece.size() <= _options.backlog && _budget->take_memory(memory)) {
        _memory_held += memory;
        _queued += piece.size();
        _queue.push_back(std::move(piece));
        return;
    }
    if (const char* fault = spool(piece))
        lose_connection(fault);
}

void HttpAnswer::queue_chunk_pieces(std::string size_line, std::string text)
{
    const bool spool_empty = !_spool || _spool->pending() == 0;
    const std::size_t bytes = size_line.size() + text.size() + 2;
    const std::size_t memory = held(size_line) + held(text) + held(std::string("\r\n"));
    if (!make_room(bytes))
        return;
    if (spool_empty && _queued + bytes <= _options.backlog && _budget->take_memory(memory)) {
        _memory_held += memory;
        _queued += bytes;
        _queue.push_back(std::move(size_line));
        _queue.push_back(std::move(text));
        _queue.push_back("\r\n");
        return;
    }
    if (const char* fault = spool(size_line, text, "\r\n")) {
        lose_connection(fault);
        return;
    }
    // The text's buffer serves the next part.
    _pool.give(text, _options.part);
}

void HttpAnswer::queue_chunk()
{
    if (!_started) {
        queue(head(200, "", "", true, 0));
        _started = true;
    }
    char size[24];
    std::snprintf(size, sizeof size, "%zx\r\n", _text.size());
    queue_chunk_pieces(size, std::move(_text));
    // The writer goes on in the buffer of a part that already left, or in a
    // new one with room for a part, so no part grows by copying itself.
    _text = _pool.take(part_capacity());
}

std::size_t HttpAnswer::part_capacity() const
{
    return _options.part + _options.part / 4;
}

void HttpAnswer::to_part_buffer()
{
    std::string buffer = _pool.take(part_capacity());
    buffer.append(_text);
    _text.swap(buffer);
}

ssize_t HttpAnswer::send_some()
{
    iovec iov[64];
    int n = 0;
    for (auto it = _queue.begin(); it != _queue.end() && n < 64; ++it, ++n) {
        const size_t skip = n == 0 ? _front_sent : 0;
        iov[n] = {const_cast<char*>(it->data() + skip), it->size() - skip};
    }
    const ssize_t sent = _transport.send(iov, n);
    if (sent <= 0)
        return sent;
    auto left = static_cast<size_t>(sent);
    _queued -= left;
    while (left > 0) {
        std::string& front = _queue.front();
        const size_t rest = front.size() - _front_sent;
        if (left < rest) {
            _front_sent += left;
            break;
        }
        left -= rest;
        _front_sent = 0;
        const std::size_t memory = held(front);
        _budget->give_memory(memory);
        _memory_held -= memory;
        _pool.give(front, _options.part);
        _queue.pop_front();
    }
    return sent;
}

void HttpAnswer::sent(std::size_t n, Clock::time_point now)
{
    _window_bytes += n;
    _last_take = now;
}

void HttpAnswer::lose_connection(const char* reason)
{
    if (reason && !_broken)
        server_log("answer to " + (_options.client.empty() ? std::string("a client") : _options.client) +
                   " cut: " + reason);
    _broken = true;
    _queue.clear();
    _front_sent = 0;
    _queued = 0;
    _budget->give_memory(_memory_held);
    _memory_held = 0;
    _spool.reset(); // removes the file
    if (_claim)
        _budget->release(*_claim);
}

std::size_t HttpAnswer::waiting() const
{
    return _queued + (_spool ? _spool->pending() : 0);
}

void HttpAnswer::push()
{
    const auto now = Clock::now();
    if (!_leaving && !_broken && waiting() > 0) {
        _leaving = true;
        if (_options.before_first_byte)
            _options.before_first_byte();
    }
    while (!_broken && waiting() > 0) {
        ssize_t n;
        if (_queued > 0) {
            n = send_some();
        } else {
            n = _spool->send_to(_transport);
            if (n > 0)
                _budget->give_spool(*_claim, static_cast<std::size_t>(n));
        }
        if (n > 0) {
            sent(static_cast<std::size_t>(n), now);
            continue;
        }
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK))
            return;
        lose_connection();
    }
    if (!_broken) {
        // The client has caught up: its pace is measured afresh from here.
        _last_take = _window_start = now;
        _window_bytes = 0;
        if (_finished && _spool) {
            _spool.reset(); // all sent: the file goes
            _budget->release(*_claim);
        }
    }
}

const char* HttpAnswer::pace_fault(Clock::time_point now)
{
    if (waiting() == 0)
        return nullptr;
    if (now - _last_take >= _options.stall)
        return "stall: the client took nothing of its answer in time";
    if (_options.min_rate > 0 && now - _window_start >= _options.window) {
        const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(now - _window_start).count();
        if (_window_bytes < _options.min_rate * static_cast<std::size_t>(ms) / 1000)
            return "rate: the client took its answer below the minimum rate";
        _window_start = now;
        _window_bytes = 0;
    }
    return nullptr;
}

void HttpAnswer::give_up()
{
    if (!_broken)
        lose_connection(_claim && _claim->lost ? "spool total reached" : nullptr);
}

void HttpAnswer::offer()
{
    if (!_options.may_stream)
        return;
    if (_text.size() >= std::min(GROWN, _options.part / 4) && _text.capacity() < _options.part)
        to_part_buffer();
    if (_text.size() < _options.part)
        return;
    if (abandoned()) {
        give_up();
        _text.clear(); // nobody takes it any more
        return;
    }
    queue_chunk();
    push();
    if (!_broken)
        if (const char* fault = pace_fault(Clock::now()))
            lose_connection(fault);
}

HttpAnswer::Progress HttpAnswer::send_on(Clock::time_point now)
{
    if (abandoned())
        give_up();
    if (!_broken)
        push();
    if (!_broken)
        if (const char* fault = pace_fault(now))
            lose_connection(fault);
    if (_broken)
        return Progress::Lost;
    return waiting() > 0 ? Progress::Pending : Progress::Done;
}

void HttpAnswer::send_status(int status, const std::string& cim_error, const std::string& extra_header)
{
    queue(head(status, cim_error, extra_header, false, 0));
    push();
}

void HttpAnswer::finish(const OperationReply& reply)
{
    if (abandoned())
        give_up();
    if (reply.http_status != 200) {
        _text = std::string();
        send_status(reply.http_status, reply.cim_error);
    } else if (!_started) {
        // Head and body in one write when the socket takes them.
        queue(head(200, "", "", false, _text.size()));
        queue(std::move(_text));
        push();
    } else {
        if (!_text.empty() && !_broken)
            queue_chunk();
        if (reply.late_error && !_options.trailers) {
            _cut = true; // cut off: the client sees an incomplete answer
        } else {
            std::string last = "0\r\n";
            if (reply.late_error) {
                last += "CIMStatusCode: " + std::to_string(reply.error.code) + "\r\n";
                last += "CIMStatusCodeDescription: " + header_text(reply.error.description) + "\r\n";
            }
            last += "\r\n";
            queue(std::move(last));
        }
        push();
    }
    _finished = true;
    // What waits now leaves at the client's pace: the writer's buffers go.
    _pool.give(_text, _options.part);
    if (!_broken && waiting() == 0)
        push();
}

} // namespace cimserver
