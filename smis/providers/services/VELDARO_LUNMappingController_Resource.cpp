// LUN mapping controllers: the default view of each active port in
// LUN-mapping mode.

#include "VELDARO_LUNMappingController_Resource.h"

#include <cstdio>
#include <cstring>

#include "CA_Port_Name.h"
#include "Instance_Common.h"
#include "RefTable_Text.h"
#include "VELDARO_RefTable.h"
#include "Key_Pattern.h"

namespace cimple {

int VELDARO_LUNMappingController_Resource::createLUNMappingController()
{
    return build(nullptr);
}

int VELDARO_LUNMappingController_Resource::createLUNMappingControllerOn(const CA_Port_Name& port)
{
    return build(&port);
}

int VELDARO_LUNMappingController_Resource::build(const CA_Port_Name* only)
{
    VELDARO_LUNMappingController* made = nullptr;
    try {
        VELDARO_RefTable table(_storage.c_str());
        if (!table.isValidCMT())
            return 2;
        for (std::uint32_t ca = 0; ca < VELDARO_RefTable::getCAMaxCount(); ++ca) {
            if (table.getCAStatus(int(ca)) == 0)
                continue;
            const std::uint16_t type = table.getMaskCARealType(int(ca));
            const bool iscsi = type == 0x2000 || type == 0x3000;
            if (!iscsi && type != 0x0000 && type != 0x5000 && type != 0xA000)
                continue;
            const std::uint8_t moduleId = table.getCAModuleId(int(ca));
            if (only && !only->onModule(moduleId))
                continue;
            for (std::uint32_t p = 0; p < VELDARO_RefTable::getCAPortMaxCount(); ++p) {
                if (table.getCAPortStatus(int(ca), int(p)) == 0 ||
                    table.getCAPortSecurityMode(int(ca), int(p)) == 0x80)
                    continue;
                const std::uint8_t ra = table.getCAPortRAMode(int(ca), int(p));
                if (ra != 0 && ra != 4)
                    continue;
                const std::uint8_t portNo = table.getCAPortNo(int(ca), int(p));
                if (only && CA_Port_Name::of(moduleId, portNo) != *only)
                    continue;
                made = Instance_Provider_Frame::newInstance<VELDARO_LUNMappingController>();
                if (iscsi) {
                    RefTable_Text alias(table.getCAPortAliasName(int(ca), int(p)));
                    RefTable_Text name(table.getCAPortiSCSIName(int(ca), int(p)));
                    if (alias.missing() || name.missing())
                        throw 1;
                    setLUNMappingController(made, moduleId, portNo, alias.c_str(), name.c_str(), 3);
                } else {
                    RefTable_Text wwn(table.getCAPortWwn(int(ca), int(p)));
                    if (wwn.missing())
                        throw 1;
                    setLUNMappingController(made, moduleId, portNo, nullptr, wwn.c_str(), 2);
                }
                _list.append(made);
                made = nullptr;
            }
        }
        return 0;
    } catch (...) {
        if (made)
            destroy(made);
        Instance_Provider_Frame::logBuildFailure(__FILE__, __LINE__);
        return 1;
    }
}

void VELDARO_LUNMappingController_Resource::setLUNMappingController(VELDARO_LUNMappingController* instance,
                                                                    std::uint8_t moduleId, std::uint8_t portNo,
                                                                    const char* alias, const char* name,
                                                                    std::uint16_t nameFormat)
{
    const CA_Port_Name n = CA_Port_Name::of(moduleId, portNo);
    instance->Caption.set("LUN Mapping");
    instance->Description.set("LUN Mapping");
    instance->ElementName.set(alias ? alias : "LUN Mapping");
    instance->Name.set(name ? name : "");
    instance->HealthState.set(0);
    instance->SystemCreationClassName.set("VELDARO_StorageComputerSystem");
    instance->SystemName.set(_storage);
    instance->CreationClassName.set("VELDARO_LUNMappingController");
    instance->DeviceID.set(String(("LM_" + n.text()).c_str()));
    instance->MaxUnitsControlled.set(256);
    instance->NameFormat.set(nameFormat);
    instance->CMSlotNumber.set(n.cm);
    instance->CASlotNumber.set(n.ca);
    instance->PortNo.set(n.port);
}

int VELDARO_LUNMappingController_Resource::setKeyProperties(VELDARO_LUNMappingController* instance,
                                                            std::uint8_t moduleId, std::uint8_t portNo)
{
    try {
        if (!instance)
            return 1;
        setLUNMappingController(instance, moduleId, portNo, nullptr, "", 0);
        __set_null_flags(instance, false, true, 1);
        return 0;
    } catch (...) {
        Instance_Provider_Frame::logBuildFailure(__FILE__, __LINE__);
        return 1;
    }
}

bool VELDARO_LUNMappingController_Resource::divide_DeviceID(const char* key, std::uint16_t* cm, std::uint16_t* ca,
                                                            std::uint16_t* port)
{
    if (!key || !*key || std::strlen(key) > 64)
        return false;
    unsigned m = 0, a = 0, p = 0;
    if (!Key_Pattern::read(key, "LM_CM%2dCA%2dP%2d", Key_Pattern::END, {&m, &a, &p}))
        return false;
    if (cm) *cm = std::uint16_t(m);
    if (ca) *ca = std::uint16_t(a);
    if (port) *port = std::uint16_t(p);
    return true;
}

}  // namespace cimple
