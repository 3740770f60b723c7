// The registered sub-profiles, in advertised order.

#include "VELDARO_RegisteredSubProfile_Resource.h"

namespace cimple {

namespace {

struct SubProfile_Row {
    const char* name;
    const char* version;
};

const SubProfile_Row SUB_PROFILES[] = {
    {"Profile Registration", "1.0.0"},
    {"Access Points", "1.3.0"},
    {"Disk Drive Lite", "1.4.0"},
    {"Extent Composition", "1.2.0"},
    {"FC Target Ports", "1.4.0"},
    {"Multiple Computer System", "1.2.0"},
    {"Masking and Mapping", "1.4.0"},
    {"iSCSI Target Ports", "1.2.0"},
    {"Software", "1.4.0"},
    {"Generic Target Ports", "1.0.0"},
    {"Copy Services", "1.4.0"},
    {"Replication Services", "1.4.0"},
    {"Thin Provisioning", "1.4.0"},
};

}  // namespace

int VELDARO_RegisteredSubProfile_Resource::createRegisteredSubProfile()
{
    Auto_Mutex lock(_mutex);
    for (const SubProfile_Row& row : SUB_PROFILES) {
        VELDARO_RegisteredSubProfile* made = Instance_Provider_Frame::newInstance<VELDARO_RegisteredSubProfile>();
        const String name(row.name);
        made->Caption.set(name);
        made->Description.set(name);
        made->InstanceID.set(concat("VELDARO:", name));
        made->RegisteredOrganization.set(11);
        made->RegisteredName.set(name);
        made->RegisteredVersion.set(row.version);
        Array<uint16> advertise;
        advertise.append(2);
        made->AdvertiseTypes.set(advertise);
        _list.append(made);
    }
    return 0;
}

}  // namespace cimple
