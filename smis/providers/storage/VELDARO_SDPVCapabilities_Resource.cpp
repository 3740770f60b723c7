// Snapshot data pool volume capabilities of a storage.

#include "VELDARO_SDPVCapabilities_Resource.h"

#include "Raid_Level_Capabilities.h"

namespace cimple {

int VELDARO_SDPVCapabilities_Resource::createSDPVCapabilities()
{
    return build(__FILE__, __LINE__, [&](const VELDARO_RefTable&) {
        add([&](VELDARO_SDPVCapabilities& c) {
            c.InstanceID.set(concat("VELDARO:SDPVC_", storage()));
            c.Caption.set("SDPV Capabilities");
            c.Description.set("SDPV Capabilities");
            c.ElementName.set("VELDARO_SDPVCapabilities");
            c.ElementType.set(CAPABILITIES_ELEMENT_STORAGE_POOL);
            c.NoSinglePointOfFailure.set(false);
            c.NoSinglePointOfFailureDefault.set(false);
            c.DataRedundancyMax.set(1);
            c.DataRedundancyMin.set(1);
            c.DataRedundancyDefault.set(1);
            c.PackageRedundancyMax.set(0);
            c.PackageRedundancyMin.set(0);
            c.PackageRedundancyDefault.set(0);
            c.DeltaReservationMax.set(100);
            c.DeltaReservationMin.set(100);
            c.DeltaReservationDefault.set(100);
            c.ParityLayoutDefault.clear();
        });
    });
}

}  // namespace cimple
