// How a connection's bytes travel: as they are on its socket. TlsTransport
// puts TLS in between. Every call returns at once: what cannot move now
// answers -1 with errno EAGAIN, and the front end's poll loop calls again
// when the socket is ready for what events() asks. The transport never
// owns the socket: whoever accepted it closes it.
#ifndef HOST_CIMSERVER_TRANSPORT_H
#define HOST_CIMSERVER_TRANSPORT_H

#include <cstddef>
#include <string_view>

#include <sys/types.h>
#include <sys/uio.h>

namespace cimserver {

class Transport {
public:
    explicit Transport(int fd) : _fd(fd) {}
    virtual ~Transport() = default;
    Transport(const Transport&) = delete;
    Transport& operator=(const Transport&) = delete;

    int fd() const { return _fd; }

    // As recv: the bytes read, 0 at the end of the stream, or -1 with errno.
    virtual ssize_t receive(void* buffer, std::size_t size);
    // As sendmsg: bytes of the pieces, in order, sent now; or -1 with errno.
    virtual ssize_t send(const iovec* pieces, int count);
    // Sends up to size bytes of the file from offset, which moves on by what
    // was sent; the bytes sent, or -1 with errno.
    virtual ssize_t send_file(int file, off_t& offset, std::size_t size);
    // Ends the sending side; the peer may still send.
    virtual void shutdown_send();
    // Received bytes waiting inside the transport, which poll cannot see.
    virtual bool buffered() const { return false; }
    // The poll events to wait for, given those the caller wants: a TLS
    // handshake or record may need the other direction first.
    virtual short events(short wanted) const { return wanted; }

    // Sends what the socket takes now of a short text; the rest is dropped
    // (the connection is being refused or closed anyway).
    void send_now(std::string_view text);

private:
    int _fd;
};

} // namespace cimserver

#endif
