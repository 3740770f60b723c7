#pragma once
// Fills the properties that the tiering extent and the tiering sub-extent
// share: keys, names, status, size and the RAID level's redundancy values.

#include <cimple/cimple.h>

#include <cstdint>
#include <cstdio>

#include "VELDARO_ValueConv.h"

namespace cimple {

struct Layerix_Extent_Values {
    Layerix_Extent_Values(const char* cls, const char* shortCode, const char* text)
        : creationClassName(cls), code(shortCode), caption(text)
    {
    }

    const char* creationClassName;  // "VELDARO_LayerixExtent" ...
    const char* code;               // DeviceID prefix and Name label: "LXE", "LXSE"
    const char* caption;
    String elementName;
    std::uint16_t poolNumber = 0;
    std::uint8_t level = 0;
    std::uint64_t blocks = 0;
    int stripeLength = 0;
    int firstStatus = 0;
    int secondStatus = 0;

    template <class Extent>
    void fill(Extent& e, const String& storage) const
    {
        char buf[64];
        e.SystemCreationClassName.set("VELDARO_StorageComputerSystem");
        e.SystemName.set(storage);
        e.CreationClassName.set(creationClassName);
        std::snprintf(buf, sizeof buf, "%s%04d", code, poolNumber);
        e.DeviceID.set(buf);
        e.Caption.set(caption);
        e.Description.set(caption);
        e.ElementName.set(elementName);
        std::snprintf(buf, sizeof buf, "%-8s+%-16s+%04X", "VELDARO", code, poolNumber);
        e.Name.set(buf);
        Array<uint16> operational;
        operational.append(static_cast<uint16>(firstStatus));
        e.OperationalStatus.set(operational);
        e.Status.set(VELDARO_ValueConv::convOperationalStatusToStatus(firstStatus));
        e.HealthState.set(static_cast<uint16>(VELDARO_ValueConv::convOperationalStatusToHealthState(firstStatus)));
        Array<uint16> extent;
        extent.append(static_cast<uint16>(secondStatus));
        e.ExtentStatus.set(extent);
        e.DataOrganization.set(2);
        e.Access.set(3);
        e.BlockSize.set(512);
        e.NumberOfBlocks.set(blocks);
        e.ConsumableBlocks.set(blocks);
        e.IsBasedOnUnderlyingRedundancy.set(VELDARO_ValueConv::convRaidLevelToUnderlyingRedundancy(level) != 0);
        e.SequentialAccess.set(false);
        e.NoSinglePointOfFailure.set(VELDARO_ValueConv::convRaidLevelToNoSinglePoint(level) != 0);
        e.DataRedundancy.set(static_cast<uint16>(VELDARO_ValueConv::convRaidLevelToDataRedundancy(level)));
        e.PackageRedundancy.set(static_cast<uint16>(VELDARO_ValueConv::convRaidLevelToPackageRedundancy(level)));
        e.Primordial.set(false);
        e.ExtentStripeLength.set(static_cast<uint64>(static_cast<std::int64_t>(stripeLength)));
        e.IsConcatenated.set(false);
    }
};

}  // namespace cimple
