// Affinity group controllers: a group bound on a port in the map table.

#include "VELDARO_AffinityGroupController_Resource.h"

#include <cstdio>
#include <cstring>
#include <string>

#include "CA_Port_Name.h"
#include "Instance_Provider_Frame.h"
#include "Masking_Port_Map.h"
#include "RefTable_Text.h"
#include "VELDARO_RefTable.h"
#include "Key_Pattern.h"

namespace cimple {

int VELDARO_AffinityGroupController_Resource::createInstance(VELDARO_AffinityGroupController*& instance,
                                                             int affinityIndex, std::uint16_t cm, std::uint16_t ca,
                                                             std::uint16_t port)
{
    instance = nullptr;
    VELDARO_AffinityGroupController* made = nullptr;
    try {
        const CA_Port_Name fields = CA_Port_Name::fields(cm, ca, port);
        const std::uint8_t moduleId = fields.moduleId();
        const std::uint8_t portNo = fields.portNumber();
        VELDARO_RefTable table(_storage.c_str());
        const int caIndex = Masking_Port_Map::boundCA(table, fields, affinityIndex, Masking_Port_Map::NONE);
        const int portIndex = caIndex < 0 ? -1 : table.searchCAPortNoFromPortTable(caIndex, portNo);
        if (portIndex < 0)
            return 0;
        const std::uint16_t realType = table.getMaskCARealType(caIndex);
        const std::uint16_t group = table.getAffinityGroupNumber(affinityIndex);
        RefTable_Text groupName(table.getAffinityGroupName(affinityIndex));
        if (groupName.missing()) {
            Instance_Provider_Frame::logBuildFailure(__FILE__, __LINE__);
            return 1;
        }
        made = Instance_Provider_Frame::newInstance<VELDARO_AffinityGroupController>();
        if (realType == 0x2000 || realType == 0x3000) {
            RefTable_Text alias(table.getCAPortAliasName(caIndex, portIndex));
            if (alias.missing()) {
                destroy(made);
                Instance_Provider_Frame::logBuildFailure(__FILE__, __LINE__);
                return 1;
            }
            setAffinityGroupController(made, moduleId, portNo, group, alias.c_str(), groupName.c_str(), 3, _storage);
        } else if (realType == 0x0000 || realType == 0x5000 || realType == 0xA000) {
            setAffinityGroupController(made, moduleId, portNo, group, nullptr, groupName.c_str(), 1, _storage);
        } else {
            destroy(made);
            return 0;
        }
        instance = made;
        return 0;
    } catch (...) {
        if (made)
            destroy(made);
        Instance_Provider_Frame::logBuildFailure(__FILE__, __LINE__);
        return 1;
    }
}

void VELDARO_AffinityGroupController_Resource::setAffinityGroupController(
    VELDARO_AffinityGroupController* instance, std::uint8_t moduleId, std::uint8_t portNo, std::uint16_t group,
    const char* alias, const char* groupName, std::uint16_t nameFormat, const String& storage)
{
    const CA_Port_Name n = CA_Port_Name::of(moduleId, portNo);
    char key[64];
    std::snprintf(key, sizeof key, "AFG%04u_%s", unsigned(group), n.text().c_str());
    const std::string name = groupName ? groupName : "";
    instance->Caption.set("Affinity Group");
    instance->Description.set("Affinity Group");
    if (alias) {
        instance->ElementName.set(alias);
    } else {
        char number[8];
        std::snprintf(number, sizeof number, "%04u", unsigned(group));
        instance->ElementName.set(String(("Affinity Group" + std::string(number) + "(" + name + ")").c_str()));
        instance->OtherNameFormat.set("AffinityGroupName");
    }
    instance->Name.set(name.c_str());
    instance->HealthState.set(0);
    instance->SystemCreationClassName.set("VELDARO_StorageComputerSystem");
    instance->SystemName.set(storage);
    instance->CreationClassName.set("VELDARO_AffinityGroupController");
    instance->DeviceID.set(key);
    instance->MaxUnitsControlled.set(256);
    instance->NameFormat.set(nameFormat);
    instance->AffinityGroupNumber.set(group);
    instance->CMSlotNumber.set(n.cm);
    instance->CASlotNumber.set(n.ca);
    instance->PortNo.set(n.port);
}

int VELDARO_AffinityGroupController_Resource::setKeyProperties(VELDARO_AffinityGroupController* instance,
                                                               std::uint8_t moduleId, std::uint8_t portNo,
                                                               std::uint16_t group)
{
    try {
        if (!instance)
            return 1;
        setAffinityGroupController(instance, moduleId, portNo, group, "", "", 0, _storage);
        __set_null_flags(instance, false, true, 1);
        return 0;
    } catch (...) {
        Instance_Provider_Frame::logBuildFailure(__FILE__, __LINE__);
        return 1;
    }
}

bool VELDARO_AffinityGroupController_Resource::divide_DeviceID(const char* key, std::uint16_t* group,
                                                               std::uint16_t* cm, std::uint16_t* ca,
                                                               std::uint16_t* port)
{
    if (!key || !*key || std::strlen(key) > 64)
        return false;
    unsigned g = 0, m = 0, a = 0, p = 0;
    if (!Key_Pattern::read(key, "AFG%4d_CM%2dCA%2dP%2d", Key_Pattern::END, {&g, &m, &a, &p}))
        return false;
    if (group) *group = std::uint16_t(g);
    if (cm) *cm = std::uint16_t(m);
    if (ca) *ca = std::uint16_t(a);
    if (port) *port = std::uint16_t(p);
    return true;
}

}  // namespace cimple
