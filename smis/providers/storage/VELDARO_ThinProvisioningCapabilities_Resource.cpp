// Thin provisioning pool capabilities: one instance per supported RAID level.

#include "VELDARO_ThinProvisioningCapabilities_Resource.h"

#include <cstdint>

#include "Raid_Level_Capabilities.h"

namespace cimple {

namespace {

// No RAID5+0: a thin provisioning pool cannot use it.
constexpr std::uint8_t LEVELS[] = {8, 4, 12, 1, 3};

}  // namespace

int VELDARO_ThinProvisioningCapabilities_Resource::createThinProvisioningCapabilities()
{
    return build(__FILE__, __LINE__, [&](const VELDARO_RefTable&) {
        for (std::uint8_t level : LEVELS)
            add([&](VELDARO_ThinProvisioningCapabilities& c) {
                setRaidLevelCapabilities(c, "TPC", level, storage());
                c.SupportedDataOrganizations.set(Array<uint16>());
            });
    });
}

}  // namespace cimple
