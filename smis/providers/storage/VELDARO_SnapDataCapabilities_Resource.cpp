// Snapshot data pool capabilities of a storage.

#include "VELDARO_SnapDataCapabilities_Resource.h"

#include "Raid_Level_Capabilities.h"

namespace cimple {

int VELDARO_SnapDataCapabilities_Resource::createSnapDataCapabilities()
{
    return build(__FILE__, __LINE__, [&](const VELDARO_RefTable&) {
        add([&](VELDARO_SnapDataCapabilities& c) {
            c.InstanceID.set(concat("VELDARO:SDC_", storage()));
            c.Caption.set("Snap Data Capabilities");
            c.Description.set("Snap Data Capabilities");
            c.ElementName.set("VELDARO_SnapDataCapabilities");
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
            c.DeltaReservationMin.set(0);
            c.DeltaReservationDefault.set(0);
            c.ParityLayoutDefault.clear();
        });
    });
}

}  // namespace cimple
