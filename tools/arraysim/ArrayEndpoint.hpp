// One simulated array's command port: a TLS listener on 127.0.0.1 that runs
// the packet sequence of one command per connection and answers it from the
// model, with the faults armed for the array applied on the way.
#pragma once

#include <atomic>
#include <cstdint>
#include <list>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "CertificateFactory.hpp"
#include "PacketHeader.hpp"
#include "SimulatorState.hpp"
#include "WireBytes.hpp"

namespace arraysim {

class ArrayEndpoint {
public:
    // port 0 picks a free port; address is a dotted IPv4 loopback address.
    ArrayEndpoint(SimulatorState& state, std::size_t array, const CertificateFactory& certs,
                  const std::string& address, std::uint16_t port);
    ~ArrayEndpoint();
    ArrayEndpoint(const ArrayEndpoint&) = delete;
    ArrayEndpoint& operator=(const ArrayEndpoint&) = delete;

    std::uint16_t port() const { return port_; }
    const std::string& address() const { return address_; }
    void stop();

private:
    struct Conn;
    void acceptLoop();
    bool listen();
    void serve(int fd);
    bool exchange(Conn& c);
    bool sendPacket(Conn& c, std::uint16_t id, const Bytes& body, std::uint32_t value, std::uint8_t status);
    bool receivePacket(Conn& c, std::uint16_t id, Bytes& body, PacketHeader* header = nullptr);
    bool silentAt(Conn& c, const char* packet);
    // Waits millis, or less once the fault is cleared; false when stopping.
    bool sleepFor(std::uint32_t millis, const Fault& during) const;

    SimulatorState& state_;
    std::size_t array_;
    std::string address_;
    std::uint16_t port_ = 0;
    int listenFd_ = -1;
    std::atomic<bool> stopping_{false};
    CtxPtr contexts_[5];
    std::thread acceptor_;
    std::mutex connMu_;
    struct Worker {
        std::thread thread;
        std::atomic<bool> done{false};
        int fd = -1;
    };
    std::list<std::unique_ptr<Worker>> workers_;
};

}  // namespace arraysim
