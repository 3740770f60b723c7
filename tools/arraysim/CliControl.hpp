// What tests steer and read on the arrays' command line: replies armed per
// command from the control socket (an error with its message number, or busy
// a given number of times before the command goes through) and the journal of
// every command line each array received with the status it answered.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "CliCommand.hpp"
#include "SimArray.hpp"

namespace arraysim {

struct CliFault {
    std::size_t array = 0;
    std::string command;   // "create volume"; empty: every command
    CliOutcome reply;      // status and message (option and parameter for status 1)
    int remaining = 1;     // strikes left; -1 = until cleared
    std::uint32_t stallSeconds = 0;  // > 0: the line goes silent that long (or until cleared), then runs

    Json toJson() const;
    // {"array", "command", "status", "message", "option", "parameter", "count"}
    // or {"array", "command", "busy": N} (status 2, message 0x60, N times)
    // or {"array", "command", "stall": seconds[, "count"]} (silent, then the command runs).
    static CliFault fromJson(const Json& j);  // throws std::invalid_argument
};

class CliControl {
public:
    void arm(const CliFault& fault);
    void clear(std::size_t array);
    std::vector<CliFault> faults(std::size_t array) const;
    // The armed reply for this command, consuming one strike.
    std::optional<CliOutcome> take(std::size_t array, const std::string& command);
    // Waits while an armed stall for this command holds (consuming one
    // strike): until its seconds pass or the array's faults are cleared.
    void stall(std::size_t array, const std::string& command);

    void record(std::size_t array, const std::string& line, const CliOutcome& outcome);
    Json journal(std::size_t array) const;
    void clearJournal();

private:
    static constexpr std::size_t kKeep = 10000;
    mutable std::mutex mu_;
    std::vector<CliFault> faults_;
    std::condition_variable cleared_;
    std::uint64_t clears_ = 0;
    std::deque<Json> journal_;
    std::uint64_t next_ = 1;
};

}  // namespace arraysim
