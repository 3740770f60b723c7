#pragma once
// What the extent and volume builders share: the four device keys, the
// status properties from a status query's pair, and the release of the text
// buffers that the table view's text getters hand out.

#include <cimple/cimple.h>

#include "VELDARO_RefTable.h"
#include "VELDARO_ValueConv.h"

namespace cimple {

class Extent_Common {
public:
    // SystemCreationClassName, SystemName, CreationClassName, DeviceID.
    template <class Model>
    static void setDeviceKeys(Model* made, const String& storage, const char* className, const String& deviceId)
    {
        made->SystemCreationClassName.set("VELDARO_StorageComputerSystem");
        made->SystemName.set(storage);
        made->CreationClassName.set(className);
        made->DeviceID.set(deviceId);
    }

    // OperationalStatus, Status and HealthState from the first value,
    // ExtentStatus from the second.
    template <class Model>
    static void setStatusPair(Model* made, int first, int second)
    {
        Array<uint16> operational;
        operational.append(static_cast<uint16>(first));
        made->OperationalStatus.set(operational);
        made->Status.set(VELDARO_ValueConv::convOperationalStatusToStatus(first));
        made->HealthState.set(static_cast<uint16>(VELDARO_ValueConv::convOperationalStatusToHealthState(first)));
        Array<uint16> extent;
        extent.append(static_cast<uint16>(second));
        made->ExtentStatus.set(extent);
    }

    // DataRedundancy, PackageRedundancy, NoSinglePointOfFailure and
    // IsBasedOnUnderlyingRedundancy of a RAID level code.
    template <class Model>
    static void setRedundancy(Model* made, std::uint8_t level)
    {
        made->IsBasedOnUnderlyingRedundancy.set(VELDARO_ValueConv::convRaidLevelToUnderlyingRedundancy(level) != 0);
        made->NoSinglePointOfFailure.set(VELDARO_ValueConv::convRaidLevelToNoSinglePoint(level) != 0);
        made->DataRedundancy.set(static_cast<uint16>(VELDARO_ValueConv::convRaidLevelToDataRedundancy(level)));
        made->PackageRedundancy.set(static_cast<uint16>(VELDARO_ValueConv::convRaidLevelToPackageRedundancy(level)));
    }
};

}  // namespace cimple
