#pragma once
// Capacity arithmetic the pool builders share: block counts to bytes, the
// space left, the usage percentage and the usage alarm text, and the
// capacity records of the thin pools in the status table.
//
// Counts come from the array and are not trusted: products saturate at the
// largest 64-bit value instead of wrapping, and a used count above the total
// leaves no space rather than a huge one.

#include <cstdint>

#include <cimple/cimple.h>

namespace cimple {

class Pool_Capacity {
public:
    static constexpr std::uint64_t BLOCK_SIZE = 512;
    static constexpr std::uint64_t MIB = 0x100000;
    // 2^47 bytes: the space limit the thin and tiering pools publish.
    static constexpr std::uint64_t THIN_SPACE_LIMIT = std::uint64_t{0x8000} << 32;

    // blocks x 512, saturated.
    static std::uint64_t bytesOf(std::uint64_t blocks);
    // MiB as 512-byte blocks, saturated.
    static std::uint64_t blocksOfMiB(std::uint64_t mib);
    // total - used, or 0 when used is the larger.
    static std::uint64_t remaining(std::uint64_t total, std::uint64_t used);
    // a + b, saturated.
    static std::uint64_t sum(std::uint64_t a, std::uint64_t b);
    // used x 100 / total (truncated); 0 for a total of 0.
    static std::uint64_t usagePercent(std::uint64_t used, std::uint64_t total);

    // The usage alarm of a pool with up to three thresholds in percent (0:
    // not set): "" when none is set; else "Critical" at exactly 100 %, then
    // "Severe", "Warning", "Attention" for the first set threshold, from the
    // highest level down, that the usage reaches; else "Normal".
    static const char* alarmStatus(std::uint64_t usage, unsigned attention, unsigned warning, unsigned severe = 0);

    // One thin pool's capacity record of the status table (kind 11): total
    // and used MiB of the first record with that pool number. False when the
    // cache has none for the array or no record has the number.
    struct Record {
        std::uint32_t totalMiB = 0;
        std::uint32_t usedMiB = 0;
    };
    static constexpr unsigned RECORD_SIZE = 32;
    static bool findRecord(const std::uint8_t* records, long count, std::uint16_t pool, Record& out);

    // The array's kind 11 records (release with std::free); NULL with count
    // below 1 when there are none.
    static std::uint8_t* readRecords(const String& storage, long& count);
};

}  // namespace cimple
