// The CIM server as the object manager of the provider server.

#include "VELDARO_ObjectManager_Resource.h"

#include <Pegasus/Common/System.h>

#include "VELDARO_System_Resource.h"

namespace cimple {

int VELDARO_ObjectManager_Resource::createObjectManager()
{
    Auto_Mutex lock(_mutex);
    const String host(Pegasus::System::getFullyQualifiedHostName().getCString());
    VELDARO_ObjectManager* made = Instance_Provider_Frame::newInstance<VELDARO_ObjectManager>();
    const char* text = "CIM Object Manager for VELDARO storage system";
    made->Caption.set(text);
    made->Description.set(text);
    made->ElementName.set(text);
    made->Name.set(VELDARO_System_Resource::SERVER_NAME);
    made->CreationClassName.set("VELDARO_ObjectManager");
    made->SystemCreationClassName.set("VELDARO_System");
    made->SystemName.set(host);
    Array<uint16> operational;
    operational.append(2);
    made->OperationalStatus.set(operational);
    made->Started.set(true);
    _list.append(made);
    return 0;
}

}  // namespace cimple
