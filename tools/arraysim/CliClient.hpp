// The client end of the command-line socket (CliServer): the handshake lines
// and the relay of the dialogue between a pair of descriptors and the
// socket. Used by arraysim-plink and by arraysim-cli-relay.
#pragma once

#include <string>

#include "SimArray.hpp"

namespace arraysim {

class CliClient {
public:
    // Connects to the socket; throws std::runtime_error when it cannot.
    explicit CliClient(const std::string& socketPath);
    ~CliClient();
    CliClient(const CliClient&) = delete;
    CliClient& operator=(const CliClient&) = delete;

    // Sends one handshake request and answers the reply (throws when the
    // socket closes or the reply is not JSON).
    Json request(const Json& message);

    // Relays `in` to the socket and the socket to `out` until the socket
    // closes (the end of `in` only ends the sending side).
    void relay(int in, int out);

private:
    int fd_ = -1;
    std::string buf_;  // bytes that came after the last handshake reply
};

}  // namespace arraysim
