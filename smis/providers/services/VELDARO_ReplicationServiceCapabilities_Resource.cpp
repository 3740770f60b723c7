// The replication service capabilities of an array.

#include "VELDARO_ReplicationServiceCapabilities_Resource.h"

namespace cimple {

namespace {

Array<uint16> values(std::initializer_list<uint16> list)
{
    Array<uint16> out;
    for (uint16 v : list)
        out.append(v);
    return out;
}

}  // namespace

int VELDARO_ReplicationServiceCapabilities_Resource::createReplicationServiceCapabilities()
{
    return build(__FILE__, __LINE__, [&](const VELDARO_RefTable&) {
        add([&](VELDARO_ReplicationServiceCapabilities& c) {
            c.InstanceID.set(concat("VELDARO:RPSC_", _storage));
            c.Caption.set("Replication Service Capabilities");
            c.Description.set("Replication Service Capabilities");
            c.ElementName.set("VELDARO_ReplicationServiceCapabilities");
            c.SupportedReplicationTypes.set(values({2, 4, 6, 32768}));
            c.SupportedStorageObjects.set(values({2}));
            c.SupportedSynchronousActions.set(values({2, 5, 6, 10}));
        });
    });
}

}  // namespace cimple
