#pragma once
// Fills a capabilities instance that describes one RAID level (RAID group,
// thin provisioning and tiering sub-pool capabilities): key
// "VELDARO:<code>_<level name>_<storage>", names, and the level's redundancy
// values from the RAID level table.

#include <cimple/cimple.h>

#include <cstdint>

#include "VELDARO_ValueConv.h"

namespace cimple {

// ElementType of every storage pool capabilities instance.
constexpr uint16 CAPABILITIES_ELEMENT_STORAGE_POOL = 5;

template <class Caps>
void setRaidLevelCapabilities(Caps& c, const char* shortCode, std::uint8_t level, const String& storage)
{
    const String name = VELDARO_ValueConv::convRaidLevelToString(level);
    String id("VELDARO:");
    id.append(shortCode);
    id.append("_");
    id.append(name);
    id.append("_");
    id.append(storage);
    c.InstanceID.set(id);
    const String caption = concat(name, "(Capabilities)");
    c.Caption.set(caption);
    c.Description.set(caption);
    c.ElementName.set(name);
    c.RaidLevel.set(name);
    c.ElementType.set(CAPABILITIES_ELEMENT_STORAGE_POOL);
    const bool noSinglePoint = VELDARO_ValueConv::convRaidLevelToNoSinglePoint(level) != 0;
    c.NoSinglePointOfFailure.set(noSinglePoint);
    c.NoSinglePointOfFailureDefault.set(noSinglePoint);
    const auto data = static_cast<uint16>(VELDARO_ValueConv::convRaidLevelToDataRedundancy(level));
    c.DataRedundancyMax.set(data);
    c.DataRedundancyMin.set(data);
    c.DataRedundancyDefault.set(data);
    const auto package = static_cast<uint16>(VELDARO_ValueConv::convRaidLevelToPackageRedundancy(level));
    c.PackageRedundancyMax.set(package);
    c.PackageRedundancyMin.set(package);
    c.PackageRedundancyDefault.set(package);
    c.ParityLayoutDefault.clear();
}

}  // namespace cimple
