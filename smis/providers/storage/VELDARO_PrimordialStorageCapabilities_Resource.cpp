// The primordial capabilities of a storage: fixed values, keyed by address.

#include "VELDARO_PrimordialStorageCapabilities_Resource.h"

#include "Raid_Level_Capabilities.h"

namespace cimple {

int VELDARO_PrimordialStorageCapabilities_Resource::createPrimordialStorageCapabilities()
{
    return build(__FILE__, __LINE__, [&](const VELDARO_RefTable&) {
        add([&](VELDARO_PrimordialStorageCapabilities& c) {
            c.InstanceID.set(concat("VELDARO:PSC_", storage()));
            const String text("Primordial Storage capabilities for VELDARO storage system");
            c.Caption.set(text);
            c.Description.set(text);
            c.ElementName.set(text);
            c.ElementType.set(CAPABILITIES_ELEMENT_STORAGE_POOL);
            c.NoSinglePointOfFailure.set(true);
            c.NoSinglePointOfFailureDefault.set(true);
            c.DataRedundancyMax.set(2);
            c.DataRedundancyMin.set(1);
            c.DataRedundancyDefault.set(2);
            c.PackageRedundancyMax.set(1);
            c.PackageRedundancyMin.set(0);
            c.PackageRedundancyDefault.set(1);
            c.DeltaReservationMax.set(0);
            c.DeltaReservationMin.set(0);
            c.DeltaReservationDefault.set(0);
            c.ParityLayoutDefault.clear();
        });
    });
}

}  // namespace cimple
