// Storage configuration capabilities of a storage. The list values are codes
// of the value maps the CIM schema gives these properties.

#include "VELDARO_StorageConfigurationCapabilities_Resource.h"

#include <initializer_list>

namespace cimple {

namespace {

Array<uint16> codes(std::initializer_list<uint16> values)
{
    Array<uint16> out;
    for (uint16 v : values)
        out.append(v);
    return out;
}

}  // namespace

int VELDARO_StorageConfigurationCapabilities_Resource::createStorageConfigurationCapabilities()
{
    return build(__FILE__, __LINE__, [&](const VELDARO_RefTable&) {
        add([&](VELDARO_StorageConfigurationCapabilities& c) {
            c.InstanceID.set(concat("VELDARO:SCC_", storage()));
            c.Caption.set("Storage Configuration Capabilities");
            c.Description.set("Storage Configuration Capabilities");
            c.ElementName.set("VELDARO_StorageConfigurationCapabilities");
            c.SupportedAsynchronousActions.set(Array<uint16>());
            // Pool creation, deletion, modification; element creation, return, modification.
            c.SupportedSynchronousActions.set(codes({2, 3, 4, 5, 6, 7}));
            // Storage volume, thinly provisioned volume, thinly provisioned quota pool.
            c.SupportedStorageElementTypes.set(codes({2, 5, 8}));
            // Pools from InExtents.
            c.SupportedStoragePoolFeatures.set(codes({2}));
            // Storage volume creation.
            c.SupportedStorageElementFeatures.set(codes({3}));
            // Synchronous, unsynchronised associated.
            c.SupportedCopyTypes.set(codes({3, 4}));
            // Initialized.
            c.InitialReplicationState.set(2);
            c.ThinProvisionedClientSettableReserve.set(false);
            c.ThinProvisionedDefaultReserve.set(0);
        });
    });
}

}  // namespace cimple
