// One command line of the array's command line, once parsed: the command
// (verb and object, "create volume") and its options in the order given,
// each with its value already checked against the option's format.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace arraysim {

struct CliCommand {
    std::string name;                              // "create volume"
    std::map<std::string, std::string> options;    // "-volume-number" -> "5"

    bool has(const std::string& option) const { return options.count(option) != 0; }
    const std::string& text(const std::string& option) const;
    // Values of the numeric formats (already checked by the grammar).
    std::uint64_t number(const std::string& option) const;
    std::vector<std::uint64_t> numbers(const std::string& option) const;
};

// What the array answers to one command line: status 0 with result lines, or
// an error status with its message number and, for status 1, the option and
// parameter at fault.
struct CliOutcome {
    std::uint32_t status = 0;
    std::uint32_t message = 0;
    std::string option;
    std::string parameter;
    bool hasParameter = false;
    std::vector<std::string> results;

    static CliOutcome ok(std::vector<std::string> results = {}) {
        CliOutcome o;
        o.results = std::move(results);
        return o;
    }
    // Status 1: the option (and value) the array refuses.
    static CliOutcome refuse(std::uint32_t message, std::string option, std::string parameter = {}) {
        CliOutcome o;
        o.status = 1;
        o.message = message;
        o.option = std::move(option);
                o.parameter = std::move(parameter);
        o.hasParameter = !o.parameter.empty();
        return o;
    }
    // Status 2: a refusal that no single option explains (state, busy).
    static CliOutcome error(std::uint32_t message) {
        CliOutcome o;
        o.status = 2;
        o.message = message;
        return o;
    }
};

// Message numbers the simulated array answers with.
namespace cli_msg {
constexpr std::uint32_t kSyntax = 0x0001;      // unknown, duplicate, missing or malformed option
constexpr std::uint32_t kBadDisks = 0x0005;    // disks that cannot form the RAID group
constexpr std::uint32_t kCopyVolume = 0x0006;  // copy between a volume and itself or a busy volume
constexpr std::uint32_t kBusy = 0x0060;        // the array is busy
constexpr std::uint32_t kInUse = 0x0071;       // the object is still in use
constexpr std::uint32_t kExists = 0x0080;      // the number is already in use, or the table is full
constexpr std::uint32_t kNoSpace = 0x0100;     // not enough free space
constexpr std::uint32_t kNotFound = 0x0110;    // no such object
constexpr std::uint32_t kNameUsed = 0x0120;    // the name or identifier is already registered
constexpr std::uint32_t kLunUnmapped = 0x0131; // the LUN is not mapped
constexpr std::uint32_t kSessionState = 0x5201;// the copy session is not in a state for the action
constexpr std::uint32_t kInternal = 0x5100;    // the change would break the array's configuration
}  // namespace cli_msg

}  // namespace arraysim
