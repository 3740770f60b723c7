// The replication service of one array.

#include "VELDARO_ReplicationService_Resource.h"

#include "VELDARO_System_Resource.h"

namespace cimple {

int VELDARO_ReplicationService_Resource::createReplicationService()
{
    return build(__FILE__, __LINE__, [&](const VELDARO_RefTable&) {
        add([&](VELDARO_ReplicationService& s) {
            s.Caption.set("Replication Service");
            s.Description.set("Replication Service");
            s.ElementName.set("Replication Service");
            s.Name.set(VELDARO_System_Resource::SERVER_NAME);
            s.CreationClassName.set("VELDARO_ReplicationService");
            s.SystemCreationClassName.set("VELDARO_StorageComputerSystem");
            s.SystemName.set(_storage);
        });
    });
}

}  // namespace cimple
