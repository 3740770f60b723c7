// A connection's bytes through TLS, without ever waiting: the handshake is
// driven by the first receive or send and goes on each time the socket is
// ready for what it last needed (events() asks for it), so a client that
// stalls its handshake holds nothing but its connection. Reads and writes
// that cannot go on now answer -1 with errno EAGAIN, as the socket does.
// A write that could not go on is retried with the same bytes first (an
// answer's queue keeps them), as TLS requires. A failed handshake closes
// the connection (the caller sees ECONNRESET) and is reported through the
// context. Records go through the socket with MSG_NOSIGNAL: a peer that
// has left never raises SIGPIPE.
#ifndef HOST_CIMSERVER_TLS_TRANSPORT_H
#define HOST_CIMSERVER_TLS_TRANSPORT_H

#include "TlsContext.h"
#include "Transport.h"

#include <openssl/ssl.h>

#include <string>

namespace cimserver {

class TlsTransport : public Transport {
public:
    TlsTransport(int fd, TlsContext& context);
    ~TlsTransport() override;

    ssize_t receive(void* buffer, std::size_t size) override;
    ssize_t send(const iovec* pieces, int count) override;
    ssize_t send_file(int file, off_t& offset, std::size_t size) override;
    void shutdown_send() override;
    bool buffered() const override;
    short events(short wanted) const override;

    bool established() const { return _established; }

private:
    // Goes on with the handshake: 1 once it is over, else as receive.
    ssize_t handshake();
    // The outcome of an OpenSSL call as recv or send would give it.
    ssize_t outcome(int result, bool in_handshake);
    ssize_t write(const char* data, std::size_t size);
    void close_notify();

    TlsContext& _context;
    SSL* _ssl = nullptr;
    bool _established = false;
    bool _failed = false;   // a fatal error: no more TLS on this connection
    bool _notified = false; // close_notify sent
    short _want = 0;        // the direction the handshake waits for
    std::string _staging;   // short pieces gathered into one record, or file bytes
};

} // namespace cimserver

#endif
