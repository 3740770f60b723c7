// The four replication settings of an array.

#include "VELDARO_ReplicationSettingData_Resource.h"

#include "Replication_Types.h"

namespace cimple {

int VELDARO_ReplicationSettingData_Resource::createReplicationSettingData()
{
    struct Kind {
        const char* name;
        uint32 copyType;
        uint16 methodology;
    };
    static const Kind KINDS[] = {
        {"Mirrex", Replication_Types::COPY_MIRREX, 3},
        {"Xmirrex", Replication_Types::COPY_XMIRREX, 3},
        {"SnapTirn+", Replication_Types::COPY_SNAPTIRN_PLUS, 6},
        {"SnapTirn", Replication_Types::COPY_SNAPTIRN, 6},
    };
    return build(__FILE__, __LINE__, [&](const VELDARO_RefTable&) {
        for (const Kind& kind : KINDS)
            add([&](VELDARO_ReplicationSettingData& s) {
                s.InstanceID.set(concat("VELDARO:RPSD_", kind.name, "_", _storage));
                s.Caption.set("Replication Setting Data");
                s.Description.set("Replication Setting Data");
                s.ElementName.set("Replication Setting Data");
                s.CopyTypeID.set(kind.copyType);
                s.DesiredCopyMethodology.set(kind.methodology);
                s.OnGroupOrListError.set(3);
            });
    });
}

}  // namespace cimple
