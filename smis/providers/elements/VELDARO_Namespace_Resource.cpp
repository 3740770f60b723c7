// The namespace "/root/kestris" of the object manager.

#include "VELDARO_Namespace_Resource.h"

#include "VELDARO_System_Resource.h"

namespace cimple {

int VELDARO_Namespace_Resource::createNamespace()
{
    Auto_Mutex lock(_mutex);
    VELDARO_Namespace* made = Instance_Provider_Frame::newInstance<VELDARO_Namespace>();
    made->Caption.set("Namespace");
    made->Description.set("Namespace");
    made->ElementName.set("/root/kestris");
    made->Name.set("/root/kestris");
    made->CreationClassName.set("VELDARO_Namespace");
    made->SystemCreationClassName.set("VELDARO_System");
    made->SystemName.set(VELDARO_System_Resource::SERVER_NAME);
    made->ObjectManagerCreationClassName.set("VELDARO_ObjectManager");
    made->ObjectManagerName.set(VELDARO_System_Resource::SERVER_NAME);
    made->ClassType.set(2);
    made->ClassTypeVersion.set("2.18.1");
    _list.append(made);
    return 0;
}

}  // namespace cimple
