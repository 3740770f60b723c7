#pragma once
// Waits of the replication methods for copy sessions to reach their
// synchronised phase. Only WaitForCopyState 4 waits. Each pass refreshes the
// sessions from the array, then reads them (a pass whose refresh failed
// reads nothing and is tried again after one interval, asking the array again
// even when an earlier exchange of the request met its silence): status 2 with phase 2 is
// reached, phase 1 still copying, anything else ends the wait with 4. Between
// passes the wait sleeps one interval, ending at once when the request's
// client leaves or the server stops (the cancel event): both end it with 4.
// There is no bound on the passes: a client told "failed" for a copy that
// goes on would start a second one.
//
// A wait holds no lock: the method gives its array's method lock back once
// the array has accepted the command, so other methods of the array run
// meanwhile. The waits in progress at once are bounded (they keep their
// request threads): once a method holds the lock and has settled the WaitForCopyState it will use
// (a snapshot, Fracture or Detach does not wait), it takes a Slot before it
// sends anything; one that gets none is answered BUSY at once. Callers
// queued for one array's lock therefore hold no places that another
// array's copies need.
//
//   std::optional<SMIS_MethodLock> lock(std::in_place, address);
//   ... checks settle waitForCopyState ...
//   Copy_State_Wait::Slot slot(waitForCopyState);
//   if (!slot.granted()) return Copy_State_Wait::BUSY;   // nothing sent yet
//   ... start the copy ...; lock.reset();
//   std::uint32_t rc = Copy_State_Wait(address).waitForCopyState(sessionId, waitForCopyState);

#include <cimple/cimple.h>

#include <chrono>
#include <cstdint>
#include <vector>

namespace cimple {

class SMIS_CopyLib;

class Copy_State_Wait {
public:
    static constexpr std::uint16_t WAIT_SYNCHRONIZED = 4;
    // The answer to a method that would wait while the waits are all taken:
    // the array's own "busy" value, which clients retry.
    static constexpr std::uint32_t BUSY = 0x8013;

    struct Timing {
        std::chrono::milliseconds interval{10000};
        unsigned maxWaits = 32; // waits in progress at once, all arrays together
    };
    // Module-wide timing; tests shorten it.
    static void setTiming(const Timing& timing);
    static Timing timing();

    // A place among the waits in progress, from the method's start until
    // its wait has ended. Only a WaitForCopyState that may wait needs one;
    // any other is granted without taking a place.
    class Slot {
    public:
        explicit Slot(std::uint16_t waitForCopyState);
        ~Slot();
        Slot(const Slot&) = delete;
        Slot& operator=(const Slot&) = delete;
        bool granted() const { return _granted; }

    private:
        bool _granted = true;
        bool _held = false;
    };
    // Waits in progress now.
    static unsigned waitsInProgress();

    explicit Copy_State_Wait(const String& storage) : _storage(storage) {}

    // 0 reached (or nothing to wait for), 4 otherwise.
    std::uint32_t waitForCopyState(std::uint16_t sessionId, std::uint16_t waitForCopyState);
    // The sessions of a list: 0 when every one was reached, else 4 (the
    // cancel event) or 0 with failedWaits counting the sessions that could
    // not be read or left the copy.
    std::uint32_t waitForCopyStateList(const std::vector<std::uint16_t>& sessionIds, std::uint16_t waitForCopyState,
                                       unsigned& failedWaits);

private:
    // Sleeps one interval; true when the client left or the server stops.
    bool cancelled() const;
    // Refreshes the sessions for one pass: READ the table, or (the refresh
    // failed) RETRY after one interval, or STOP when the wait was cancelled.
    enum class Pass { READ, RETRY, STOP };
    Pass refreshForPass(SMIS_CopyLib& copies) const;

    String _storage;
};

}  // namespace cimple
