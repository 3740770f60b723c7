#include "TlsTransport.h"

#include <openssl/err.h>

#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdint>
#include <memory>

namespace cimserver {

namespace {

// Bytes of one TLS record: short pieces are gathered up to this, so an
// answer's head, chunk lines and a short body leave in one record.
constexpr std::size_t RECORD = 16384;
// Bytes of a spool file read for one write.
constexpr std::size_t FILE_STEP = 4 * RECORD;

// TLS records travel over the socket with send(MSG_NOSIGNAL) and recv, so a
// peer that has gone never raises SIGPIPE, whatever the process does with
// that signal; a socket that cannot move now asks OpenSSL to retry.
int socket_fd(BIO* bio)
{
    return static_cast<int>(reinterpret_cast<intptr_t>(BIO_get_data(bio)));
}

int socket_write(BIO* bio, const char* data, int size)
{
    BIO_clear_retry_flags(bio);
    ssize_t n;
    do
        n = ::send(socket_fd(bio), data, static_cast<std::size_t>(size), MSG_NOSIGNAL | MSG_DONTWAIT);
    while (n < 0 && errno == EINTR);
    if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK))
        BIO_set_retry_write(bio);
    return static_cast<int>(n);
}

int socket_read(BIO* bio, char* data, int size)
{
    BIO_clear_retry_flags(bio);
    ssize_t n;
    do
        n = ::recv(socket_fd(bio), data, static_cast<std::size_t>(size), MSG_DONTWAIT);
    while (n < 0 && errno == EINTR);
    if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK))
        BIO_set_retry_read(bio);
    if (n == 0)
        BIO_set_flags(bio, BIO_FLAGS_IN_EOF); // the peer's end: TLS tells it from a failure
    return static_cast<int>(n);
}

long socket_ctrl(BIO* bio, int command, long, void*)
{
    switch (command) {
    case BIO_CTRL_FLUSH:
        return 1; // nothing is buffered here
    case BIO_CTRL_EOF:
        return BIO_test_flags(bio, BIO_FLAGS_IN_EOF) != 0;
    default:
        return 0;
    }
}

const BIO_METHOD* socket_method()
{
    static const std::unique_ptr<BIO_METHOD, decltype(&BIO_meth_free)> method = [] {
        std::unique_ptr<BIO_METHOD, decltype(&BIO_meth_free)> m(
            BIO_meth_new(BIO_get_new_index() | BIO_TYPE_SOURCE_SINK | BIO_TYPE_DESCRIPTOR, "cimserver socket"),
            &BIO_meth_free);
        if (m) {
            BIO_meth_set_write(m.get(), socket_write);
            BIO_meth_set_read(m.get(), socket_read);
            BIO_meth_set_ctrl(m.get(), socket_ctrl);
        }
        return m;
    }();
    return method.get();
}

// A BIO over the socket, which it does not close; null when none is made.
BIO* socket_bio(int fd)
{
    const BIO_METHOD* method = socket_method();
    BIO* bio = method ? BIO_new(method) : nullptr;
    if (bio) {
        BIO_set_data(bio, reinterpret_cast<void*>(static_cast<intptr_t>(fd)));
        BIO_set_init(bio, 1);
    }
    return bio;
}

} // namespace

TlsTransport::TlsTransport(int fd, TlsContext& context) : Transport(fd), _context(context)
{
    _ssl = context.get() ? SSL_new(context.get()) : nullptr;
    BIO* bio = _ssl ? socket_bio(fd) : nullptr;
    if (!bio) {
        _failed = true;
        return;
    }
    SSL_set_bio(_ssl, bio, bio); // the connection owns it now
    SSL_set_accept_state(_ssl);
}

TlsTransport::~TlsTransport()
{
    close_notify();
    SSL_free(_ssl);
}

void TlsTransport::close_notify()
{
    if (_established && !_failed && !_notified) {
        _notified = true;
        ERR_clear_error();
        (void)SSL_shutdown(_ssl); // one try: the connection does not wait for it
        ERR_clear_error();
    }
}

ssize_t TlsTransport::outcome(int result, bool in_handshake)
{
    if (result > 0) {
        _want = 0;
        return result;
    }
    const int error = SSL_get_error(_ssl, result);
    switch (error) {
    case SSL_ERROR_WANT_READ:
        _want = POLLIN;
        errno = EAGAIN;
        return -1;
    case SSL_ERROR_WANT_WRITE:
        _want = POLLOUT;
        errno = EAGAIN;
        return -1;
    case SSL_ERROR_ZERO_RETURN:
        _notified = true; // the peer ended TLS: nothing more is sent
        ERR_clear_error();
        return 0;
    case SSL_ERROR_SYSCALL:
        // The socket's own error, or its end (errno untouched).
        _failed = true;
        ERR_clear_error();
        return errno == 0 ? 0 : -1;
    default: {
        _failed = true;
        const unsigned long e = ERR_peek_last_error();
        const char* reason = e ? ERR_reason_error_string(e) : nullptr;
        if (in_handshake)
            _context.handshake_failed(fd(), reason ? reason : "protocol error");
        ERR_clear_error();
        errno = ECONNRESET;
        return -1;
    }
    }
}

ssize_t TlsTransport::handshake()
{
    if (_failed) {
        errno = ECONNRESET;
        return -1;
    }
    ERR_clear_error();
    errno = 0;
    const int r = SSL_do_handshake(_ssl);
    if (r == 1) {
        _established = true;
        _want = 0;
        return 1;
    }
    return outcome(r, true);
}

ssize_t TlsTransport::receive(void* buffer, std::size_t size)
{
    if (!_established) {
        const ssize_t h = handshake();
        if (h <= 0)
            return h;
    }
    if (_failed) {
        errno = ECONNRESET;
        return -1;
    }
    ERR_clear_error();
    errno = 0;
    return outcome(SSL_read(_ssl, buffer, static_cast<int>(std::min<std::size_t>(size, INT_MAX))), false);
}

ssize_t TlsTransport::write(const char* data, std::size_t size)
{
    if (!_established) {
        const ssize_t h = handshake();
        if (h <= 0) {
            if (h == 0)
                errno = EPIPE;
            return -1;
        }
    }
    if (_failed || _notified) {
        errno = EPIPE;
        return -1;
    }
    ERR_clear_error();
    errno = 0;
    const ssize_t n = outcome(SSL_write(_ssl, data, static_cast<int>(std::min<std::size_t>(size, INT_MAX))), false);
    if (n == 0) {
        errno = EPIPE;
        return -1;
    }
    return n;
}

ssize_t TlsTransport::send(const iovec* pieces, int count)
{
    if (count <= 0)
        return 0;
    if (pieces[0].iov_len >= RECORD)
        return write(static_cast<const char*>(pieces[0].iov_base), pieces[0].iov_len);
    // Short pieces together: a retry after EAGAIN gathers the same bytes
    // first (perhaps more after them), which TLS allows.
    _staging.clear();
    for (int i = 0; i < count && _staging.size() < RECORD; i++)
        _staging.append(static_cast<const char*>(pieces[i].iov_base),
                        std::min(pieces[i].iov_len, RECORD - _staging.size()));
    return write(_staging.data(), _staging.size());
}

ssize_t TlsTransport::send_file(int file, off_t& offset, std::size_t size)
{
    _staging.resize(std::min(size, FILE_STEP));
    ssize_t got;
    do
        got = ::pread(file, _staging.data(), _staging.size(), offset);
    while (got < 0 && errno == EINTR);
    if (got <= 0) {
        if (got == 0)
            errno = EIO; // the file is shorter than it should be
        return -1;
    }
    const ssize_t n = write(_staging.data(), static_cast<std::size_t>(got));
    if (n > 0)
        offset += n;
    return n;
}

void TlsTransport::shutdown_send()
{
    close_notify();
    Transport::shutdown_send();
}

bool TlsTransport::buffered() const
{
    return _established && !_failed && SSL_has_pending(_ssl) == 1;
}

short TlsTransport::events(short wanted) const
{
    // While the handshake runs, it may need to write before it reads on.
    return !_established && _want ? static_cast<short>(wanted | _want) : wanted;
}

} // namespace cimserver
