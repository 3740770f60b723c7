// What the simulated arrays were asked, in order, for tests to read back.
#pragma once

#include <cstdint>
#include <deque>
#include <mutex>
#include <string>

#include "SimArray.hpp"

namespace arraysim {

struct RequestRecord {
    std::uint64_t seq = 0;
    std::size_t array = 0;
    std::uint16_t command = 0;
    std::string params;          // hex
    std::size_t dataIn = 0;
    std::uint8_t status = 0;
    std::size_t dataOut = 0;
    std::string outcome;         // "ok", or where the exchange ended
};

class RequestLog {
public:
    void add(RequestRecord r);
    // Records with a sequence number above `after`, as JSON.
    Json since(std::uint64_t after) const;
    void clear();

private:
    static constexpr std::size_t kKeep = 10000;
    mutable std::mutex mu_;
    std::deque<RequestRecord> records_;
    std::uint64_t next_ = 1;
};

}  // namespace arraysim
