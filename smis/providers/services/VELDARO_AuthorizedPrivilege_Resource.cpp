// Privileges of hosts to affinity groups on ports of the map table.

#include "VELDARO_AuthorizedPrivilege_Resource.h"

#include <cstdio>
#include <cstring>
#include <string>

#include "CA_Port_Name.h"
#include "Instance_Provider_Frame.h"
#include "Masking_Port_Map.h"
#include "RefTable_Text.h"
#include "VELDARO_RefTable.h"
#include "VELDARO_StorageHardwareID_Resource.h"

namespace cimple {

namespace {

constexpr std::size_t MAX_MIDDLE = 240;

}  // namespace

int VELDARO_AuthorizedPrivilege_Resource::createInstance(VELDARO_AuthorizedPrivilege*& instance, int affinityIndex,
                                                         std::uint16_t cm, std::uint16_t ca, std::uint16_t port,
                                                         int hostIndex)
{
    instance = nullptr;
    VELDARO_AuthorizedPrivilege* made = nullptr;
    try {
        const CA_Port_Name fields = CA_Port_Name::fields(cm, ca, port);
        if (hostIndex < 0 || hostIndex >= VELDARO_StorageHardwareID_Resource::HOST_TABLE_SIZE)
            return 0;
        VELDARO_RefTable table(_storage.c_str());
        const int caIndex = Masking_Port_Map::boundCA(table, fields, affinityIndex, hostIndex);
        if (caIndex < 0)
            return 0;
        const std::uint8_t moduleId = fields.moduleId();
        const std::uint8_t portNo = fields.portNumber();
        const std::uint16_t group = table.getAffinityGroupNumber(affinityIndex);
        const int idType = Masking_Port_Map::idTypeOf(table, caIndex);
        std::string hostId;
        std::string address;
        if (idType == VELDARO_StorageHardwareID_Resource::ID_TYPE_ISCSI) {
            RefTable_Text name(table.getiSCSIHostiSCSIName(hostIndex));
            RefTable_Text ip(table.getiSCSIHostiSCSIIPAddress(hostIndex));
            if (name.missing() || ip.missing()) {
                Instance_Provider_Frame::logBuildFailure(__FILE__, __LINE__);
                return 1;
            }
            hostId = name.c_str();
            address = ip.c_str();
        } else if (idType != 0) {
            RefTable_Text wwn(table.getHostWWN(hostIndex));
            if (wwn.missing()) {
                Instance_Provider_Frame::logBuildFailure(__FILE__, __LINE__);
                return 1;
            }
            hostId = wwn.c_str();
        } else {
            return 0;
        }
        made = Instance_Provider_Frame::newInstance<VELDARO_AuthorizedPrivilege>();
        setAuthorizedPrivilege(made, moduleId, portNo, group, hostId.c_str(), address.c_str());
        instance = made;
        return 0;
    } catch (...) {
        if (made)
            destroy(made);
        Instance_Provider_Frame::logBuildFailure(__FILE__, __LINE__);
        return 1;
    }
}

void VELDARO_AuthorizedPrivilege_Resource::setAuthorizedPrivilege(VELDARO_AuthorizedPrivilege* instance,
                                                                  std::uint8_t moduleId, std::uint8_t portNo,
                                                                  std::uint16_t group, const char* hostId,
                                                                  const char* address)
{
    const CA_Port_Name n = CA_Port_Name::of(moduleId, portNo);
    const std::string host = hostId ? hostId : "";
    char number[8];
    std::snprintf(number, sizeof number, "%04u", unsigned(group));
    std::string key = std::string("VELDARO:AP") + number + "_" + host;
    if (!address)
        key += "_0.0.0.0";
    else if (*address)
        key += std::string("_") + address;
    key += n.text() + "_" + _storage.c_str();

    instance->Caption.set("Authorized Privilege");
    instance->Description.set("Authorized Privilege");
    instance->ElementName.set(String(("Affinity Group - " + std::string(number) + host + "_AP").c_str()));
    instance->InstanceID.set(String(key.c_str()));
    Array<uint16> activities;
    activities.append(5);
    activities.append(6);
    instance->Activities.set(activities);
    instance->StorageID.set(String(host.c_str()));
    instance->AffinityGroupNumber.set(group);
    instance->CMSlotNumber.set(n.cm);
    instance->CASlotNumber.set(n.ca);
    instance->PortNo.set(n.port);
}

int VELDARO_AuthorizedPrivilege_Resource::setKeyProperties(VELDARO_AuthorizedPrivilege* instance,
                                                           std::uint8_t moduleId, std::uint8_t portNo,
                                                           std::uint16_t group, const char* hostId,
                                                           const char* address)
{
    try {
        if (!instance)
            return 1;
        setAuthorizedPrivilege(instance, moduleId, portNo, group, hostId, address);
        __set_null_flags(instance, false, true, 1);
        return 0;
    } catch (...) {
        Instance_Provider_Frame::logBuildFailure(__FILE__, __LINE__);
        return 1;
    }
}

bool VELDARO_AuthorizedPrivilege_Resource::divide_InstanceID(const char* instanceId, std::uint16_t* group,
                                                             std::uint16_t* cm, std::uint16_t* ca,
                                                             std::uint16_t* port, char* identifier, char* address)
{
    if (!instanceId || !*instanceId)
        return false;
    const std::string text = instanceId;
    const std::size_t first = text.find('_');
    const std::size_t tailAt = text.rfind("CM");
    if (first == std::string::npos || tailAt == std::string::npos || tailAt <= first)
        return false;
    const std::string prefix = text.substr(0, first);
    const std::string middle = text.substr(first + 1, tailAt - first - 1);
    std::string tail = text.substr(tailAt);
    const std::size_t storageCut = tail.rfind('_');
    if (storageCut == std::string::npos)
        return false;
    tail.erase(storageCut);
    if (middle.size() > MAX_MIDDLE)
        return false;
    std::string hostId = middle;
    std::string hostAddress;
    if (const std::size_t cut = middle.rfind('_'); cut != std::string::npos) {
        hostId = middle.substr(0, cut);
        hostAddress = middle.substr(cut + 1);
    }
    if (hostAddress.size() >= ADDRESS_SIZE || hostId.size() >= IDENTIFIER_SIZE)
        return false;
    unsigned g = 0, m = 0, a = 0, p = 0;
    char end = 0;
    if (std::sscanf(prefix.c_str(), "VELDARO:AP%4u%c", &g, &end) != 1)
        return false;
    if (std::sscanf(tail.c_str(), "CM%2uCA%2uP%2u%c", &m, &a, &p, &end) != 3)
        return false;
    if (group) *group = std::uint16_t(g);
    if (cm) *cm = std::uint16_t(m);
    if (ca) *ca = std::uint16_t(a);
    if (port) *port = std::uint16_t(p);
    if (identifier)
        std::memcpy(identifier, hostId.c_str(), hostId.size() + 1);
    if (address)
        std::memcpy(address, hostAddress.c_str(), hostAddress.size() + 1);
    return true;
}

}  // namespace cimple
