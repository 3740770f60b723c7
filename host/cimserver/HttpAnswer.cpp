#include "HttpAnswer.h"

#include <poll.h>
#include <sys/socket.h>
#include <sys/uio.h>

#include <cerrno>
#include <cstdio>
#include <vector>

namespace cimserver {

namespace {

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
    case 405: return "Method Not Allowed";
    case 408: return "Request Timeout";
    case 413: return "Payload Too Large";
    case 417: return "Expectation Failed";
    case 431: return "Request Header Fields Too Large";
    case 500: return "Internal Server Error";
    case 501: return "Not Implemented";
    case 503: return "Service Unavailable";
    case 505: return "HTTP Version Not Supported";
    default: return "Error";
    }
}

bool HttpAnswer::send_all(int fd, std::initializer_list<std::string_view> pieces, std::chrono::milliseconds stall)
{
    std::vector<iovec> iov;
    for (std::string_view p : pieces)
        if (!p.empty())
            iov.push_back({const_cast<char*>(p.data()), p.size()});
    // The whole of it must leave within stall: a client that reads a byte
    // now and then cannot hold a worker for long.
    auto deadline = std::chrono::steady_clock::now() + stall;
    size_t first = 0;
    while (first < iov.size()) {
        msghdr msg{};
        msg.msg_iov = iov.data() + first;
        msg.msg_iovlen = std::min<size_t>(iov.size() - first, IOV_MAX);
        ssize_t n = ::sendmsg(fd, &msg, MSG_NOSIGNAL | MSG_DONTWAIT);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            if (errno != EAGAIN && errno != EWOULDBLOCK)
                return false;
            auto time_left =
                std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
            pollfd p{fd, POLLOUT, 0};
            int r = time_left.count() > 0 ? ::poll(&p, 1, static_cast<int>(time_left.count())) : 0;
            if (r <= 0 || (p.revents & (POLLERR | POLLHUP | POLLNVAL)))
                return false;
            continue;
        }
        auto left = static_cast<size_t>(n);
        while (first < iov.size() && left >= iov[first].iov_len) {
            left -= iov[first].iov_len;
            first++;
        }
        if (first < iov.size()) {
            iov[first].iov_base = static_cast<char*>(iov[first].iov_base) + left;
            iov[first].iov_len -= left;
        }
    }
    return true;
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

void HttpAnswer::queue_chunk()
{
    auto queue = [this](std::string piece) {
        _queued += piece.size();
        _queue.push_back(std::move(piece));
    };
    if (!_started) {
        queue(head(200, "", "", true, 0));
        _started = true;
    }
    char size[24];
    std::snprintf(size, sizeof size, "%zx\r\n", _text.size());
    queue(size);
    queue(std::move(_text));
    queue("\r\n");
    // The writer goes on in the buffer of a part that already left, or in a
    // new one with room for a part, so no part grows by copying itself.
    if (!_spares.empty()) {
        _text.swap(_spares.back());
        _spares.pop_back();
    }
    _text.clear();
    _text.reserve(_options.part + _options.part / 4);
}

ssize_t HttpAnswer::send_some(bool wait_free)
{
    iovec iov[64];
    int n = 0;
    for (auto it = _queue.begin(); it != _queue.end() && n < 64; ++it, ++n) {
        const size_t skip = n == 0 ? _front_sent : 0;
        iov[n] = {const_cast<char*>(it->data() + skip), it->size() - skip};
    }
    msghdr msg{};
    msg.msg_iov = iov;
    msg.msg_iovlen = static_cast<size_t>(n);
    ssize_t sent;
    do
        sent = ::sendmsg(_fd, &msg, MSG_NOSIGNAL | (wait_free ? MSG_DONTWAIT : 0));
    while (sent < 0 && errno == EINTR);
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
        if (front.capacity() >= _options.part && _spares.size() < MAX_SPARES) {
            _spares.push_back(std::move(front));
        }
        _queue.pop_front();
    }
    return sent;
}

void HttpAnswer::lose_connection()
{
    _broken = true;
    _queue.clear();
    _front_sent = 0;
    _queued = 0;
}

void HttpAnswer::push()
{
    while (!_broken && _queued > 0) {
        ssize_t sent = send_some(true);
        if (sent < 0 && (errno == EAGAIN || errno == EWOULDBLOCK))
            return;
        if (sent <= 0)
            lose_connection();
    }
}

bool HttpAnswer::drain(std::size_t keep)
{
    // Each part's worth of bytes must leave within the stall time: a client
    // that reads a byte now and then cannot hold the writer for long.
    auto deadline = std::chrono::steady_clock::now() + _options.stall;
    size_t since_deadline = 0;
    while (!_broken && _queued > keep) {
        ssize_t sent = send_some(true);
        if (sent > 0) {
            since_deadline += static_cast<size_t>(sent);
            if (since_deadline >= _options.part) {
                deadline = std::chrono::steady_clock::now() + _options.stall;
                since_deadline = 0;
            }
            continue;
        }
        if (sent == 0 || (errno != EAGAIN && errno != EWOULDBLOCK)) {
            lose_connection();
            break;
        }
        auto time_left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        pollfd p{_fd, POLLOUT, 0};
        int r = time_left.count() > 0 ? ::poll(&p, 1, static_cast<int>(time_left.count())) : 0;
        if (r <= 0 || (p.revents & (POLLERR | POLLHUP | POLLNVAL)))
            lose_connection();
    }
    return !_broken;
}

void HttpAnswer::offer()
{
    if (!_options.may_stream || _text.size() < _options.part)
        return;
    if (_broken) {
        _text.clear(); // nobody takes it any more
        return;
    }
    queue_chunk();
    push();
    if (_queued > _options.backlog)
        drain(_options.backlog / 2);
}

void HttpAnswer::send_status(int status, const std::string& cim_error, const std::string& extra_header)
{
    std::string h = head(status, cim_error, extra_header, false, 0);
    if (!send_all(_fd, {h}, _options.stall))
        _broken = true;
}

void HttpAnswer::finish(const OperationReply& reply)
{
    if (reply.http_status != 200) {
        _text.clear();
        send_status(reply.http_status, reply.cim_error);
        return;
    }
    if (!_started) {
        std::string h = head(200, "", "", false, _text.size());
        if (!send_all(_fd, {h, _text}, _options.stall))
            _broken = true;
        _text.clear();
        return;
    }
    if (!_text.empty() && !_broken)
        queue_chunk();
    if (reply.late_error && !_options.trailers) {
        drain(0);
        _broken = true; // cut off: the client sees an incomplete answer
        return;
    }
    std::string last = "0\r\n";
    if (reply.late_error) {
        last += "CIMStatusCode: " + std::to_string(reply.error.code) + "\r\n";
        last += "CIMStatusCodeDescription: " + header_text(reply.error.description) + "\r\n";
    }
    last += "\r\n";
    if (!_broken) {
        _queued += last.size();
        _queue.push_back(std::move(last));
    }
    drain(0);
}

} // namespace cimserver
