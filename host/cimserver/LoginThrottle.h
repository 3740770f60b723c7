// When the login of an attempt may be checked, so that guessing passwords is
// slow whatever the guesser does. The first few failures of a client address
// (within a minute of each other) cost nothing; from then on every attempt
// of that address, right or wrong, waits for its turn before its login is
// checked, one turn per delay for the address, so neither the timing nor the
// content of an answer tells anything before the turn. While many failures
// come from everywhere (past a total within a minute), addresses that have
// failed at all also share one schedule, a turn per tenth of the delay in
// all. An attempt whose turn would come later than the longest wait is not
// checked at all (the caller refuses it as busy). Addresses that never
// failed are never held back. The table of addresses is bounded: past it,
// further addresses share one entry.
#ifndef HOST_CIMSERVER_LOGIN_THROTTLE_H
#define HOST_CIMSERVER_LOGIN_THROTTLE_H

#include <chrono>
#include <cstddef>
#include <map>
#include <string>

namespace cimserver {

class LoginThrottle {
public:
    using Clock = std::chrono::steady_clock;

    static constexpr unsigned FREE_FAILURES = 3;        // of one address, answered at once
    static constexpr unsigned FREE_FAILURES_IN_ALL = 64; // of all addresses within a minute
    static constexpr std::chrono::seconds MEMORY{60};   // an address is forgotten after a quiet minute
    static constexpr std::chrono::seconds LONGEST_WAIT{10};
    static constexpr std::size_t ADDRESSES = 4096;

    explicit LoginThrottle(std::chrono::milliseconds delay) : _delay(delay) {}

    // An attempt of the address is in: when its login may be checked (now
    // when it is not held back), or Clock::time_point::max() when it is not
    // to be checked at all. The turn is taken whatever the login holds.
    Clock::time_point turn(const std::string& address, Clock::time_point now);
    // The login checked at now was wrong.
    void failed(const std::string& address, Clock::time_point now);

private:
    struct Failures {
        unsigned count = 0;
        Clock::time_point next_turn; // the next held-back attempt is checked no sooner
        Clock::time_point last;      // the last failure

        // After a quiet minute the failures are forgotten.
        void forget_if_quiet(Clock::time_point now)
        {
            if (count > 0 && now - last > MEMORY)
                count = 0;
        }
    };
    // The address's entry; null when it has none and none is made.
    Failures* entry(const std::string& address, Clock::time_point now, bool make);
    bool crowded(Clock::time_point now) const;

    std::chrono::milliseconds _delay;
    std::map<std::string, Failures> _addresses;
    Failures _overflow; // the addresses past the table
    Failures _all;      // every failure, for the shared schedule
};

} // namespace cimserver

#endif
