// The provider server as a CIM system.

#include "VELDARO_System_Resource.h"

namespace cimple {

int VELDARO_System_Resource::createSystem()
{
    Auto_Mutex lock(_mutex);
    VELDARO_System* made = Instance_Provider_Frame::newInstance<VELDARO_System>();
    made->Caption.set("CIM Server for VELDARO storage system");
    made->Description.set("CIM Server for VELDARO storage system");
    made->ElementName.set("CIM Server for VELDARO storage system");
    made->Name.set(SERVER_NAME);
    made->CreationClassName.set("VELDARO_System");
    made->NameFormat.set("Other");
    Array<uint16> operational;
    operational.append(2);
    made->OperationalStatus.set(operational);
    _list.append(made);
    return 0;
}

}  // namespace cimple
