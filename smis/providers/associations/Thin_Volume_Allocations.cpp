// Reads the thin and tiering pool volumes' allocation records once per
// request.

#include "Thin_Volume_Allocations.h"

#include <cstdlib>
#include <memory>

#include "ByteOrder.h"
#include "SMIS_CMTAccess.h"

namespace cimple {

namespace {

constexpr std::uint64_t MiB = 0x100000;
constexpr std::size_t VOLUME_RECORD_SIZE = 32;
constexpr std::size_t VOLUME_MIB_AT = 8;
constexpr std::size_t CONSUMED_RECORD_SIZE = 8;
constexpr std::size_t CONSUMED_MIB_AT = 4;

std::unordered_map<std::uint16_t, std::uint32_t> read(SMIS_CMTAccess& cache, const String& storage,
                                                      unsigned short kind, std::size_t size, std::size_t at)
{
    long count = 0;
    std::unique_ptr<void, decltype(&std::free)> block(cache.GetExTableInfo(storage.c_str(), kind, nullptr, count),
                                                      &std::free);
    return Thin_Volume_Allocations::sizes(block.get(), count, size, at);
}

}  // namespace

std::unordered_map<std::uint16_t, std::uint32_t> Thin_Volume_Allocations::sizes(const void* block, long count,
                                                                                 std::size_t size, std::size_t at)
{
    std::unordered_map<std::uint16_t, std::uint32_t> out;
    const auto* bytes = static_cast<const std::uint8_t*>(block);
    for (long i = 0; bytes && i < count; ++i) {
        const std::uint8_t* record = bytes + static_cast<std::size_t>(i) * size;
        out.emplace(smis::loadLE16(record), smis::loadLE32(record + at));
    }
    return out;
}

Thin_Volume_Allocations::Thin_Volume_Allocations(const String& storage)
{
    SMIS_CMTAccess* cache = SMIS_CMTAccess::getInstance();
    if (!cache)
        return;
    _volumes = read(*cache, storage, SMIS_CMTAccess::EX_THIN_VOLUME_ALARM, VOLUME_RECORD_SIZE, VOLUME_MIB_AT);
    if (!_volumes.empty())
        _consumed = read(*cache, storage, SMIS_CMTAccess::EX_THIN_VOLUME_ALLOCATION, CONSUMED_RECORD_SIZE,
                         CONSUMED_MIB_AT);
}

std::optional<Thin_Volume_Allocations::Allocation> Thin_Volume_Allocations::of(std::uint16_t volumeNumber) const
{
    const auto volume = _volumes.find(volumeNumber);
    if (volume == _volumes.end())
        return std::nullopt;
    const auto consumed = _consumed.find(volumeNumber);
    return Allocation{consumed == _consumed.end() ? 0 : consumed->second * MiB, volume->second * MiB};
}

}  // namespace cimple
