#pragma once
// What the last exchanges with each array of this process met: an answer,
// or silence (time-out, a refused or dropped connection, a packet step that
// never came). A reader that waits for an array's command channel while
// another exchange holds it asks this whether that exchange met silence: if
// so, the array was asked and did not answer during the wait, and the reader
// answers as for a silent array without asking again, so that a request
// waits at most one time-out. Only exchanges that were sent are recorded; a
// channel held by others is never silence.
//
//   const auto began = SMIS_ChannelSilence::Clock::now();
//   ... wait for the channel ...
//   if (SMIS_ChannelSilence::silentSince(address, began))
//       return TIMEOUT_ERROR;            // asked meanwhile, and silent
//
// The record is guarded by one plain mutex held for a few statements.

#include <chrono>
#include <string>

namespace cimple {

class SMIS_ChannelSilence {
public:
    using Clock = std::chrono::steady_clock;

    // An exchange with the array was sent and met silence or refusal.
    static void noteSilent(const std::string& address);
    // An exchange with the array was answered.
    static void noteAnswered(const std::string& address);
    // True when an exchange that ended at or after since met silence and no
    // exchange was answered after it.
    static bool silentSince(const std::string& address, Clock::time_point since);
    // True when an exchange with the array was answered at or after since.
    static bool answeredSince(const std::string& address, Clock::time_point since);
};

}  // namespace cimple
