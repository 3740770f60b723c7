// The registered profiles, in advertised order.

#include "VELDARO_RegisteredProfile_Resource.h"

namespace cimple {

namespace {

struct Profile_Row {
    const char* name;
    const char* version;
};

const Profile_Row PROFILES[] = {
    {"Server", "1.4.0"},
    {"Array", "1.4.0"},
    {"SMI-S", "1.4.0"},
};

}  // namespace

int VELDARO_RegisteredProfile_Resource::createRegisteredProfile()
{
    Auto_Mutex lock(_mutex);
    for (const Profile_Row& row : PROFILES) {
        VELDARO_RegisteredProfile* made = Instance_Provider_Frame::newInstance<VELDARO_RegisteredProfile>();
        const String name(row.name);
        made->Caption.set(concat(name, " Profile"));
        made->Description.set(concat(name, " Profile"));
        made->InstanceID.set(concat("VELDARO:", name));
        made->RegisteredOrganization.set(11);
        made->RegisteredName.set(name);
        made->RegisteredVersion.set(row.version);
        Array<uint16> advertise;
        advertise.append(name == "SMI-S" ? 2 : 3);
        made->AdvertiseTypes.set(advertise);
        _list.append(made);
    }
    return 0;
}

}  // namespace cimple
