#include "Pool_Command_Result.h"

#include "Pool_Log.h"
#include "SMIS_CLI.h"

namespace cimple {

namespace {

struct Command_Row {
    const char* name;
    const char* abnormal;
    // Codes of 'A', 'B', 'D', 'F', 'G', '[' and of any other letter.
    std::uint32_t a, b, d, f, g, bracket, other;
};

const Command_Row ROWS[] = {
    {"deleteRLU", "Abnormalities occur in deletion of StoragePool", 5, 0x8013, 0x8011, 4, 4, 4, 4},
    {"addRLU", "Abnormalities occur in creation of StoragePool", 5, 0x8013, 4, 0x8014, 4, 4, 4},
    {"deleteTPP", "Abnormalities occur in deletion of TPP", 5, 0x8013, 0x8011, 4, 4, 0x8028, 4},
    {"createTPP", "Abnormalities occur in creation of TPP", 5, 0x8013, 4, 0x8014, 4097, 0x8028, 4},
    {"expandTPP", "Abnormalities occur in expandThinproPool", 5, 0x8013, 4, 4, 4097, 0x8028, 4},
};

}  // namespace

std::uint32_t Pool_Command_Result::codeOf(Command command, unsigned char result)
{
    const Command_Row& row = ROWS[command];
    switch (result) {
    case 0: return 0;
    case 'A': return row.a;
    case 'B': return row.b;
    case 'D': return row.d;
    case 'F': return row.f;
    case 'G': return row.g;
    case '[': return row.bracket;
    default: return row.other;
    }
}

std::uint32_t Pool_Command_Result::run(Command command, const String& storage,
                                       const std::function<unsigned char(SMIS_CLI&)>& body)
{
    const Command_Row& row = ROWS[command];
    POOL_INFO("%s start", row.name);
    std::uint32_t code = 0;
    try {
        SMIS_CLI cli(storage);
        const unsigned char result = body(cli);
        code = codeOf(command, result);
        const bool creating = command == ADD_RLU || command == CREATE_TPP || command == EXPAND_TPP;
        if (creating && (result == SMIS_CLI::CLI_ERR_SEND || result == SMIS_CLI::CLI_ERR_RECV ||
                         result == SMIS_CLI::CLI_ERR_UNEXPECTED))
            code = OUTCOME_UNKNOWN;
    } catch (...) {
        POOL_SEVERE("%s", row.abnormal);
        code = 0x8030;
    }
    POOL_INFO("0x%x = %s end", code, row.name);
    return code;
}

}  // namespace cimple
