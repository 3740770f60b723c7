// The syntax of the array's command line: every command the array knows, the
// options each takes, which are required, and the format of each value.
// Parsing is strict: an unknown command or option, an option given twice, a
// missing required option and a malformed value are all refused.
#pragma once

#include <string>
#include <vector>

#include "CliCommand.hpp"

namespace arraysim {

class CliGrammar {
public:
    // Fills `command` and returns true, or fills `refusal` (status 1,
    // message 1, the option and value at fault) and returns false.
    static bool parse(const std::string& line, CliCommand& command, CliOutcome& refusal);

    // Names of every command ("create volume", ...), for the control socket.
    static std::vector<std::string> commandNames();
};

}  // namespace arraysim
