// The text dialogue of one login on an array's command line: a greeting that
// ends in the prompt "CLI> ", then per command line received the echo of the
// line, the status line, and either the result lines (status 0) or the
// message number with, for status 1, the option, a flag and the parameter
// at fault; then the prompt again. "exit" ends the login. Lines end in CR LF.
#pragma once

#include <string>

#include "CliCommand.hpp"
#include "SimulatorState.hpp"

namespace arraysim {

class CliSession {
public:
    static constexpr const char* kPrompt = "CLI> ";

    CliSession(SimulatorState& state, std::size_t array);

    std::string greeting() const;
    // Takes bytes as received; answers the bytes to send back.
    std::string feed(const std::string& bytes);
    // One command line (without its line end); answers the whole reply with
    // the prompt, or only the echo for "exit".
    std::string handleLine(const std::string& line);
    bool finished() const { return finished_; }

    // Runs one command line on the array (armed replies first); records it.
    CliOutcome execute(const std::string& line);

private:
    std::string echo(const std::string& line) const;
    // A remote copy lives on both arrays: the other array of the scenario
    // that carries the remote box id follows the local session.
    void followOnRemoteArray(const CliCommand& command, const CliOutcome& outcome, const Json& before);

    SimulatorState& state_;
    std::size_t array_;
    std::string pending_;
    bool finished_ = false;
};

}  // namespace arraysim
