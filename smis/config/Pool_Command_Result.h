#pragma once
// The pool commands of the array's command line and the method codes their
// result letters become. run() guards one command: it logs its start and
// code, and an exception becomes 0x8030 with the command's own record.

#include <cimple/cimple.h>

#include <cstdint>
#include <functional>

namespace cimple {

class SMIS_CLI;

class Pool_Command_Result {
public:
    enum Command { DELETE_RLU, ADD_RLU, DELETE_TPP, CREATE_TPP, EXPAND_TPP };

    // A creating command whose answer was lost (the session failed once the
    // command could have reached the array): whether the array made the pool
    // is unknown. Never answered as such: the creation stops trying (no
    // second creating command) and answers 4.
    static constexpr std::uint32_t OUTCOME_UNKNOWN = 0x10004;

    // The method code of a command's result byte (0: success).
    static std::uint32_t codeOf(Command command, unsigned char result);

    // Runs the command on a new session on the storage and maps its result.
    static std::uint32_t run(Command command, const String& storage,
                             const std::function<unsigned char(SMIS_CLI&)>& body);
};

}  // namespace cimple
