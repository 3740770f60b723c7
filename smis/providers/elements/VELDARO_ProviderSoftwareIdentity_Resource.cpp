// The provider software as a software identity.

#include "VELDARO_ProviderSoftwareIdentity_Resource.h"

#include "VELDARO_System_Resource.h"

namespace cimple {

int VELDARO_ProviderSoftwareIdentity_Resource::createProviderSoftwareIdentity()
{
    Auto_Mutex lock(_mutex);
    VELDARO_ProviderSoftwareIdentity* made = Instance_Provider_Frame::newInstance<VELDARO_ProviderSoftwareIdentity>();
    made->Caption.set("Provider Software Identity");
    made->Description.set("Provider Software Identity");
    made->Name.set(VELDARO_System_Resource::SERVER_NAME);
    made->InstanceID.set("VELDARO:PSI");
    made->VersionString.set("V04L00-0000");
    made->Manufacturer.set("VELDARO");
    Array<uint16> classifications;
    classifications.append(5);
    made->Classifications.set(classifications);
    _list.append(made);
    return 0;
}

}  // namespace cimple
