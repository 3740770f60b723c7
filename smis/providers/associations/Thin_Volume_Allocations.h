#pragma once
// The allocation records of an array's thin and tiering pool volumes, read
// once from the status cache: the size of each volume's allocation (table
// 10, 32-byte records: volume number at 0, MiB at 8) and the space it
// consumes (table 7, 8-byte records: volume number at 0, MiB at 4).
//
//   const Thin_Volume_Allocations allocations(frame.storage());
//   if (const auto a = allocations.of(number)) ... a->consumed, a->volume

#include <cstdint>
#include <optional>
#include <unordered_map>

#include <cimple/String.h>

namespace cimple {

class Thin_Volume_Allocations {
public:
    struct Allocation {
        std::uint64_t consumed;  // bytes taken from the pool (0 without a table-7 record)
        std::uint64_t volume;    // bytes of the volume's allocation
    };

    explicit Thin_Volume_Allocations(const String& storage);

    // No allocation record at all (no cache, no table 10, or no records):
    // no pool volume is paired.
    bool empty() const { return _volumes.empty(); }
    // The volume's allocation; none when table 10 holds no record of it.
    std::optional<Allocation> of(std::uint16_t volumeNumber) const;

    // The records of one table as (volume number -> MiB) for record size
    // `size` with the MiB at `at`; a count of 0 or less (or no block) gives
    // none, and only the first record of a number counts.
    static std::unordered_map<std::uint16_t, std::uint32_t> sizes(const void* block, long count, std::size_t size,
                                                                  std::size_t at);

private:
    std::unordered_map<std::uint16_t, std::uint32_t> _volumes;
    std::unordered_map<std::uint16_t, std::uint32_t> _consumed;
};

}  // namespace cimple
