// Tiering pool capabilities of a storage.

#include "VELDARO_LayerixCapabilities_Resource.h"

#include "Raid_Level_Capabilities.h"

namespace cimple {

int VELDARO_LayerixCapabilities_Resource::createLayerixCapabilities()
{
    return build(__FILE__, __LINE__, [&](const VELDARO_RefTable&) {
        add([&](VELDARO_LayerixCapabilities& c) {
            c.InstanceID.set(concat("VELDARO:LXC_", storage()));
            c.Caption.set("Layerix Capabilities");
            c.Description.set("Layerix Capabilities");
            c.ElementName.set("VELDARO_LayerixCapabilities");
            c.ElementType.set(CAPABILITIES_ELEMENT_STORAGE_POOL);
            c.NoSinglePointOfFailure.set(false);
            c.NoSinglePointOfFailureDefault.set(false);
            c.DataRedundancyMax.set(2);
            c.DataRedundancyMin.set(1);
            c.DataRedundancyDefault.set(2);
            c.PackageRedundancyMax.set(2);
            c.PackageRedundancyMin.set(0);
            c.PackageRedundancyDefault.set(1);
            c.ParityLayoutDefault.clear();
        });
    });
}

}  // namespace cimple
