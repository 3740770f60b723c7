// Faults the control socket can arm on one array. Each fault names where it
// strikes (a packet of the exchange, optionally only for one command code) and
// how often (a count, or until cleared).
#pragma once

#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "SimArray.hpp"

namespace arraysim {

enum class FaultKind {
    Refuse,          // connections are refused (the port stops listening)
    NoTls,           // the peer answers in plain text instead of a handshake
    SelfSigned,      // leaf certificate signed by itself
    ChainWithRoot,   // the chain sent carries its root
    WrongName,       // common name that does not start with "KESTRIS_VORPAK"
    NoName,          // certificate without a common name
    Drop,            // connection closed at the packet
    Stall,           // nothing more happens at the packet for `seconds`
    Truncate,        // the packet body ends early and the connection closes
    WrongLength,     // the header announces a body length that is not sent
    WrongPacketId,   // the packet carries another id
    CommStatus,      // the packet carries a non-zero communication status
    Oversize,        // the packet announces a huge body (or >64 reply parameters)
    CorruptContainer,// the configuration table reply has inconsistent offsets
    Busy,            // the command is answered with a non-zero command status
    Slow,            // every packet of the array is delayed by `millis`
};

struct Fault {
    FaultKind kind = FaultKind::Drop;
    std::string packet;          // "CA35", "DA00", "DE00", "C639", "CE31" or "" = first packet the kind applies to
    std::optional<std::uint16_t> command;  // only this command code
    int remaining = -1;          // how many exchanges it strikes; -1 = until cleared
    std::uint32_t seconds = 30;  // stall length
    std::uint32_t millis = 500;  // slow delay
    std::uint32_t status = 0x01; // command status for busy, communication status for comm_status
    std::uint32_t length = 0;    // announced length for oversize (0 = a default)
    bool afterCli = false;       // dormant until a command-line command of the array succeeds
    std::uint64_t epoch = 0;     // set by take: how many clears the plan had seen

    Json toJson() const;
    static Fault fromJson(const Json& j);  // throws std::invalid_argument
};

const char* faultName(FaultKind k);

class FaultPlan {
public:
    void add(const Fault& f);
    // Removes every fault; a stall or delay in progress ends (see cleared).
    void clear();
    // Whether the plan was cleared since the fault was taken.
    bool cleared(const Fault& taken) const;
    std::vector<Fault> list() const;

    // The fault of one of the given kinds armed for this command and packet,
    // consuming one strike. `packet` may be empty for faults that are not tied
    // to a packet (connection-level and certificate faults).
    // With `exact`, only faults naming exactly this packet strike.
    std::optional<Fault> take(std::initializer_list<FaultKind> kinds, std::uint16_t command,
                              const std::string& packet, bool exact = false);
    // Like take but without consuming (for state that lasts, like Refuse).
    bool armed(FaultKind kind) const;
    // A command-line command succeeded: faults armed to follow one strike
    // from now on.
    void wake();

private:
    mutable std::mutex mu_;
    std::vector<Fault> faults_;
    std::uint64_t clears_ = 0;
};

}  // namespace arraysim
