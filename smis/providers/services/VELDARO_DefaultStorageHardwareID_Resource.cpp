// The default identifier: one per array with a port in default view.

#include "VELDARO_DefaultStorageHardwareID_Resource.h"

#include <string>

#include "CA_Port_Name.h"
#include "Masking_Port_Map.h"

namespace cimple {

int VELDARO_DefaultStorageHardwareID_Resource::createDefaultStorageHardwareID()
{
    return build(__FILE__, __LINE__, [&](const VELDARO_RefTable& table) {
        Masking_Port_Map::eachDefaultPort(table, [&](int, int, const CA_Port_Name&) {
            add([&](VELDARO_DefaultStorageHardwareID& id) { setDefaultStorageHardwareID(&id); });
            return false;  // one for the array
        });
    });
}

void VELDARO_DefaultStorageHardwareID_Resource::setDefaultStorageHardwareID(VELDARO_DefaultStorageHardwareID* instance)
{
    instance->Caption.set("Default Storage HardwareID");
    instance->Description.set("Default Storage HardwareID");
    instance->ElementName.set("Default Storage HardwareID");
    instance->InstanceID.set(String((std::string("VELDARO:DSHI_") + _storage.c_str()).c_str()));
    instance->StorageID.set("");
    instance->IDType.set(1);
    instance->OtherIDType.set("Default StorageHardwareID");
}

}  // namespace cimple
