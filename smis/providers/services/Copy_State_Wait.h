#pragma once
// Waits of the replication methods for copy sessions to reach their
// synchronised phase. Only WaitForCopyState 4 waits. Each pass refreshes the
// sessions from the array, then reads them: status 2 with phase 2 is
// reached, phase 1 still copying, anything else ends the wait with 4. Between
// passes the wait sleeps one interval on the cancel event (a set event ends
// it with 4; without the event it just sleeps). There is no bound on the
// passes: a client told "failed" for a copy that goes on would start a
// second one. The cancel event, which the polling service also sets when the
// server stops, is what ends a wait that the array does not.
//
//   Copy_State_Wait wait(address);
//   std::uint32_t rc = wait.waitForCopyState(sessionId, waitForCopyState);

#include <cimple/cimple.h>

#include <chrono>
#include <cstdint>
#include <vector>

namespace cimple {

class Copy_State_Wait {
public:
    static constexpr std::uint16_t WAIT_SYNCHRONIZED = 4;

    struct Timing {
        std::chrono::milliseconds interval{10000};
    };
    // Module-wide timing; tests shorten it.
    static void setTiming(const Timing& timing);
    static Timing timing();

    explicit Copy_State_Wait(const String& storage) : _storage(storage) {}

    // 0 reached (or nothing to wait for), 4 otherwise.
    std::uint32_t waitForCopyState(std::uint16_t sessionId, std::uint16_t waitForCopyState);
    // The sessions of a list: 0 when every one was reached, else 4 (the
    // cancel event) or 0 with failedWaits counting the sessions that could
    // not be read or left the copy.
    std::uint32_t waitForCopyStateList(const std::vector<std::uint16_t>& sessionIds, std::uint16_t waitForCopyState,
                                       unsigned& failedWaits);

private:
    // Sleeps one interval; true when the cancel event was set.
    bool cancelled() const;

    String _storage;
};

}  // namespace cimple
