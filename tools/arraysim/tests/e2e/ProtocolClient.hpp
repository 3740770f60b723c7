// A minimal client of the binary command channel for the simulator's own
// end-to-end tests: one command per connection, the packet sequence of the
// system, and a report of where an exchange ended.
#pragma once

#include <cstdint>
#include <string>

#include "WireBytes.hpp"

namespace arraysim::test {

struct Exchange {
    std::string failure;   // empty when the exchange completed
    long verifyResult = -1;
    std::string commonName;
    std::uint8_t status = 0;
    std::uint16_t echoed = 0;
    Bytes params;
    Bytes data;
};

class ProtocolClient {
public:
    ProtocolClient(std::string address, std::uint16_t port, int timeoutSeconds = 5)
        : address_(std::move(address)), port_(port), timeout_(timeoutSeconds) {}

    Exchange run(std::uint16_t code, const Bytes& params = {}, const Bytes& dataOut = {}) const;

    // Module id put into the packets (the protocol's is 0xF9).
    std::uint8_t moduleId = 0xF9;

private:
    std::string address_;
    std::uint16_t port_;
    int timeout_;
};

}  // namespace arraysim::test
