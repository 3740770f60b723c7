// Default privileges: one per port in default LUN-mapping view.

#include "VELDARO_DefaultAuthorizedPrivilege_Resource.h"

#include <string>

#include "CA_Port_Name.h"
#include "Masking_Port_Map.h"

namespace cimple {

int VELDARO_DefaultAuthorizedPrivilege_Resource::createDefaultAuthorizedPrivilege()
{
    return build(__FILE__, __LINE__, [&](const VELDARO_RefTable& table) {
        Masking_Port_Map::eachDefaultPort(table, [&](int ca, int port, const CA_Port_Name&) {
            add([&](VELDARO_DefaultAuthorizedPrivilege& p) {
                setDefaultAuthorizedPrivilege(&p, table.getCAModuleId(ca), table.getCAPortNo(ca, port));
            });
            return true;
        });
    });
}

void VELDARO_DefaultAuthorizedPrivilege_Resource::setDefaultAuthorizedPrivilege(
    VELDARO_DefaultAuthorizedPrivilege* instance, std::uint8_t moduleId, std::uint8_t portNo)
{
    const CA_Port_Name n = CA_Port_Name::of(moduleId, portNo);
    instance->Caption.set("Default Authorized Privilege");
    instance->Description.set("Default Authorized Privilege");
    instance->ElementName.set("Default Authorized Privilege");
    instance->InstanceID.set(String(("VELDARO:DAP_" + n.text() + "_" + _storage.c_str()).c_str()));
    Array<uint16> activities;
    activities.append(5);
    activities.append(6);
    instance->Activities.set(activities);
    instance->CMSlotNumber.set(n.cm);
    instance->CASlotNumber.set(n.ca);
    instance->PortNo.set(n.port);
}

}  // namespace cimple
