// The two storage replication capabilities of an array. Only the values
// below are published; every other property is null.

#include "VELDARO_StorageReplicationCapabilities_Resource.h"

namespace cimple {

namespace {

VELDARO_StorageReplicationCapabilities* makeCapabilities(const char* name, const String& storage, uint16 syncType,
                                                        uint16 hostAccessible)
{
    VELDARO_StorageReplicationCapabilities* c = VELDARO_StorageReplicationCapabilities::create(true);
    __set_null_flags(c, true, true, 1);
    try {
        c->InstanceID.set(concat("VELDARO:SRC_", name, "_", storage));
        c->Caption.set("Storage Replication Capabilities");
        c->Description.set("Storage Replication Capabilities");
        c->ElementName.set("VELDARO_StorageReplicationCapabilities");
        c->SupportedSynchronizationType.set(syncType);
        Array<uint16> accessible;
        accessible.append(hostAccessible);
        c->HostAccessibleState.set(accessible);
        c->InitialReplicationState.set(2);
        c->ReplicaHostAccessibility.set(3);
        c->MaximumReplicasPerSource.set(32);
        c->MaximumLocalReplicationDepth.set(1);
    } catch (...) {
        destroy(c);
        throw;
    }
    return c;
}

}  // namespace

int VELDARO_StorageReplicationCapabilities_Resource::createStorageReplicationCapabilities()
{
    return build(__FILE__, __LINE__, [&](const VELDARO_RefTable&) {
        VELDARO_StorageReplicationCapabilities* sync = makeCapabilities("Sync", _storage, 3, 13);
        sync->LocalMirrorSnapshotSupported.set(false);
        _list.append(sync);
        VELDARO_StorageReplicationCapabilities* delta = makeCapabilities("UnSyncAssoc-Delta", _storage, 5, 11);
        delta->DeltaReplicaPoolAccess.set(4);
        _list.append(delta);
    });
}

}  // namespace cimple
