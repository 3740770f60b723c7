// Tiering sub-pool capabilities: one instance per supported RAID level.

#include "VELDARO_LayerixSubCapabilities_Resource.h"

#include <cstdint>

#include "Raid_Level_Capabilities.h"

namespace cimple {

namespace {

constexpr std::uint8_t LEVELS[] = {8, 4, 12, 1, 3};

}  // namespace

int VELDARO_LayerixSubCapabilities_Resource::createLayerixSubCapabilities()
{
    return build(__FILE__, __LINE__, [&](const VELDARO_RefTable&) {
        for (std::uint8_t level : LEVELS)
            add([&](VELDARO_LayerixSubCapabilities& c) { setRaidLevelCapabilities(c, "LXSC", level, storage()); });
    });
}

}  // namespace cimple
