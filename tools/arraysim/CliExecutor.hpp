// Carries out one parsed command line on an array's model, as the array
// would: it checks the command against the configuration, places new
// volumes, numbers new pools and copy sessions, and changes the model. A
// refused command leaves the model as it was given.
#pragma once

#include "CliCommand.hpp"
#include "SimArray.hpp"

namespace arraysim {

class CliExecutor {
public:
    // `model` is the array's description; it is changed only when the
    // outcome is a success. `now` is the time stamp "YYYYMMDDhhmmss" for new
    // copy sessions.
    static CliOutcome run(const CliCommand& command, Json& model, const std::string& now);
};

}  // namespace arraysim
