// RAID group capabilities: one instance per supported RAID level code.

#include "VELDARO_RAIDStorageCapabilities_Resource.h"

#include <cstdint>

#include "Raid_Level_Capabilities.h"

namespace cimple {

namespace {

constexpr std::uint8_t LEVELS[] = {8, 4, 12, 1, 9, 3};

}  // namespace

int VELDARO_RAIDStorageCapabilities_Resource::createRAIDStorageCapabilities()
{
    return build(__FILE__, __LINE__, [&](const VELDARO_RefTable&) {
        for (std::uint8_t level : LEVELS)
            add([&](VELDARO_RAIDStorageCapabilities& c) { setRaidLevelCapabilities(c, "RSC", level, storage()); });
    });
}

}  // namespace cimple
