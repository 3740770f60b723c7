// Paced waits for copy sessions, ended by the copy's phase, the client's
// leaving or the server's stop.

#include "Copy_State_Wait.h"

#include <mutex>

#include "Replication_Log.h"
#include "SMIS_CopyLib.h"
#include "SMIS_PollingService.h"
#include "SMIS_RequestContext.h"

namespace cimple {

namespace {

constexpr std::uint8_t STATUS_ACTIVE = 2;
constexpr std::uint8_t PHASE_COPYING = 1;
constexpr std::uint8_t PHASE_REACHED = 2;
constexpr std::uint32_t FAILED = 4;

std::mutex timingMutex;
Copy_State_Wait::Timing currentTiming;
unsigned waiting = 0; // places taken, under timingMutex

enum class Phase { REACHED, COPYING, UNEXPECTED, UNREADABLE };

Phase phaseOf(SMIS_CopyLib& copies, std::uint16_t sessionId)
{
    SMIS_COPY_SESSION_INFO r{};
    if (copies.getSessionInfo(sessionId, r) != 0)
        return Phase::UNREADABLE;
    if (r.SessionState != STATUS_ACTIVE)
        return Phase::UNEXPECTED;
    if (r.SessionPhase == PHASE_REACHED)
        return Phase::REACHED;
    return r.SessionPhase == PHASE_COPYING ? Phase::COPYING : Phase::UNEXPECTED;
}

}  // namespace

void Copy_State_Wait::setTiming(const Timing& timing)
{
    std::lock_guard<std::mutex> lock(timingMutex);
    currentTiming = timing;
}

Copy_State_Wait::Timing Copy_State_Wait::timing()
{
    std::lock_guard<std::mutex> lock(timingMutex);
    return currentTiming;
}

unsigned Copy_State_Wait::waitsInProgress()
{
    std::lock_guard<std::mutex> lock(timingMutex);
    return waiting;
}

Copy_State_Wait::Slot::Slot(std::uint16_t waitForCopyState)
{
    if (waitForCopyState != WAIT_SYNCHRONIZED)
        return;
    std::lock_guard<std::mutex> lock(timingMutex);
    if (waiting >= currentTiming.maxWaits) {
        Replication_Log::failure(__FILE__, __LINE__, "Too many copy waits in progress (%u); try again later",
                                 waiting);
        _granted = false;
        return;
    }
    ++waiting;
    _held = true;
}

Copy_State_Wait::Slot::~Slot()
{
    if (!_held)
        return;
    std::lock_guard<std::mutex> lock(timingMutex);
    --waiting;
}

bool Copy_State_Wait::cancelled() const
{
    return SMIS_RequestContext::waitCurrent(timing().interval);
}

Copy_State_Wait::Pass Copy_State_Wait::refreshForPass(SMIS_CopyLib& copies) const
{
    // A pass reads only a table refreshed for it: after a failed refresh
    // the table may still hold the session as it was before the command
    // (not yet started, or suspended), which is no answer about the copy.
    // Each pass asks the array again even when an earlier exchange of this
    // request met its silence: the client asked to wait for the copy, which
    // goes on on the array, and only its leaving ends the wait.
    SMIS_RequestContext::forgetCurrentTimedOut(_storage.c_str());
    if (copies.updateSessionInfo() == 0)
        return Pass::READ;
    Replication_Log::progress(__FILE__, __LINE__, "The copy sessions could not be refreshed on wait: asked again");
    return cancelled() ? Pass::STOP : Pass::RETRY;
}

std::uint32_t Copy_State_Wait::waitForCopyState(std::uint16_t sessionId, std::uint16_t waitForCopyState)
{
    if (waitForCopyState != WAIT_SYNCHRONIZED)
        return 0;
    if (!SMIS_PollingService::getInstance()) {
        Replication_Log::failure(__FILE__, __LINE__, "Failed to get instance of PollingService on wait");
        return FAILED;
    }
    SMIS_CopyLib copies(_storage.c_str());
    for (;;) {
        const Pass pass = refreshForPass(copies);
        if (pass == Pass::STOP) {
            Replication_Log::failure(__FILE__, __LINE__, "Detected signal state on wait");
            return FAILED;
        }
        if (pass == Pass::RETRY)
            continue;
        switch (phaseOf(copies, sessionId)) {
        case Phase::REACHED: return 0;
        case Phase::COPYING: break;
        case Phase::UNREADABLE:
            Replication_Log::failure(__FILE__, __LINE__, "Failed to reference the session info by Vor-pak on wait");
            return FAILED;
        case Phase::UNEXPECTED:
            Replication_Log::failure(__FILE__, __LINE__, "Detected unexpected state on wait");
            return FAILED;
        }
        if (cancelled()) {
            Replication_Log::failure(__FILE__, __LINE__, "Detected signal state on wait");
            return FAILED;
        }
    }
}

std::uint32_t Copy_State_Wait::waitForCopyStateList(const std::vector<std::uint16_t>& sessionIds,
                                                    std::uint16_t waitForCopyState, unsigned& failedWaits)
{
    if (waitForCopyState != WAIT_SYNCHRONIZED || sessionIds.empty())
        return 0;
    if (!SMIS_PollingService::getInstance()) {
        Replication_Log::failure(__FILE__, __LINE__, "Failed to get instance of PollingService on multiple wait");
        return FAILED;
    }
    SMIS_CopyLib copies(_storage.c_str());
    std::vector<std::uint16_t> pending = sessionIds;
    for (;;) {
        const Pass pass = refreshForPass(copies);
        if (pass == Pass::STOP) {
            Replication_Log::failure(__FILE__, __LINE__, "Detected signal state on multiple wait");
            return FAILED;
        }
        if (pass == Pass::RETRY)
            continue;
        std::vector<std::uint16_t> still;
        for (std::uint16_t id : pending) {
            switch (phaseOf(copies, id)) {
            case Phase::REACHED: break;
            case Phase::COPYING: still.push_back(id); break;
            case Phase::UNREADABLE:
                Replication_Log::failure(__FILE__, __LINE__,
                                         "Failed to reference the session info by Vor-pak on multiple wait");
                ++failedWaits;
                break;
            case Phase::UNEXPECTED:
                Replication_Log::failure(__FILE__, __LINE__, "Detected unexpected state on multiple wait");
                ++failedWaits;
                break;
            }
        }
        pending.swap(still);
        if (pending.empty())
            return 0;
        if (cancelled()) {
            Replication_Log::failure(__FILE__, __LINE__, "Detected signal state on multiple wait");
            return FAILED;
        }
    }
}

}  // namespace cimple
