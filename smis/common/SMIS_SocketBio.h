#pragma once
// A TLS socket I/O object over a non-blocking socket that never raises
// SIGPIPE: writes go through send() with MSG_NOSIGNAL, so an array that
// closes its end makes the write fail instead of ending the process.

#include <openssl/bio.h>

namespace cimple {

class SMIS_SocketBio {
public:
    // A new I/O object on the socket (the socket stays the caller's to
    // close); NULL when it cannot be made.
    static BIO* create(int socket);
};

}  // namespace cimple
