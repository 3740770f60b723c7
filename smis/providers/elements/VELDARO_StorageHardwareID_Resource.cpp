// Host identifiers of one array from its FC/SAS and iSCSI host tables.

#include "VELDARO_StorageHardwareID_Resource.h"

#include <cstdio>
#include <cstring>
#include <string>

#include "Instance_Provider_Frame.h"
#include "RefTable_Text.h"
#include "VELDARO_RefTable.h"

namespace cimple {

namespace {
constexpr const char* PREFIX = "VELDARO:SHI";
constexpr std::size_t PREFIX_LENGTH = 11;
constexpr std::size_t MAX_KEY_REST = 256;
}  // namespace

int VELDARO_StorageHardwareID_Resource::createInstance(VELDARO_StorageHardwareID*& instance, int idType, int slot)
{
    instance = nullptr;
    VELDARO_StorageHardwareID* made = nullptr;
    try {
        if (slot < 0 || slot >= HOST_TABLE_SIZE)
            return 0;
        VELDARO_RefTable table(_storage.c_str());
        if (idType == ID_TYPE_ISCSI) {
            if (table.getiSCSIHostValidFlag(slot) != 1)
                return 0;
            RefTable_Text name(table.getiSCSIHostiSCSIName(slot));
            if (!name) {
                Instance_Provider_Frame::logBuildFailure(__FILE__, __LINE__);
                return 1;
            }
            char address[ADDRESS_SIZE] = {};
            {
                RefTable_Text ip(table.getiSCSIHostiSCSIIPAddress(slot));
                if (!ip) {
                    Instance_Provider_Frame::logBuildFailure(__FILE__, __LINE__);
                    return 1;
                }
                std::snprintf(address, sizeof address, "%s", ip.get());
            }
            RefTable_Text friendly(table.getiSCSIHostFriendlyName(slot));
            if (!friendly) {
                Instance_Provider_Frame::logBuildFailure(__FILE__, __LINE__);
                return 1;
            }
            made = Instance_Provider_Frame::newInstance<VELDARO_StorageHardwareID>();
            if (setStorageHardwareID(made, name.get(), ID_TYPE_ISCSI, friendly.get(), address) != 0) {
                destroy(made);
                return 1;
            }
        } else if (idType == ID_TYPE_WWN || idType == ID_TYPE_SAS) {
            if (table.getHostValidFlag(slot) != 1)
                return 0;
            RefTable_Text wwn(table.getHostWWN(slot));
            if (!wwn) {
                Instance_Provider_Frame::logBuildFailure(__FILE__, __LINE__);
                return 1;
            }
            RefTable_Text name(table.getHostName(slot));
            if (!name) {
                Instance_Provider_Frame::logBuildFailure(__FILE__, __LINE__);
                return 1;
            }
            made = Instance_Provider_Frame::newInstance<VELDARO_StorageHardwareID>();
            if (setStorageHardwareID(made, wwn.get(), static_cast<std::uint16_t>(idType), name.get(), "") != 0) {
                destroy(made);
                return 1;
            }
        } else {
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

int VELDARO_StorageHardwareID_Resource::setStorageHardwareID(VELDARO_StorageHardwareID* instance,
                                                             const char* storageId, std::uint16_t idType,
                                                             const char* elementName, const char* address)
{
    try {
        std::string key = std::string(PREFIX) + (storageId ? storageId : "");
        if (!address)
            key += "_0.0.0.0";
        else if (*address)
            key += std::string("_") + address;
        key += std::string("_") + _storage.c_str();

        instance->Caption.set("Storage HardwareID");
        instance->Description.set("Storage HardwareID");
        instance->ElementName.set(elementName ? elementName : "");
        instance->StorageID.set(storageId ? storageId : "");
        instance->IDType.set(idType);
        instance->InstanceID.set(key.c_str());
        return 0;
    } catch (...) {
        Instance_Provider_Frame::logBuildFailure(__FILE__, __LINE__);
        return 1;
    }
}

int VELDARO_StorageHardwareID_Resource::setKeyProperties(VELDARO_StorageHardwareID* instance, const char* storageId,
                                                         const char* address)
{
    if (!instance || setStorageHardwareID(instance, storageId, 0, "", address) != 0)
        return 1;
    __set_null_flags(instance, false, true, 1);
    return 0;
}

bool VELDARO_StorageHardwareID_Resource::divide_InstanceID(const char* instanceId, char* identifier, char* address)
{
    if (!instanceId || !*instanceId || !identifier)
        return false;
    if (std::strlen(instanceId) > PREFIX_LENGTH + MAX_KEY_REST)
        return false;
    char rest[MAX_KEY_REST + 1] = {};
    if (std::sscanf(instanceId, "VELDARO:SHI%256s", rest) != 1)
        return false;
    char* cut = std::strrchr(rest, '_');
    if (!cut)
        return false;
    *cut = '\0';  // the storage address is dropped
    const char* hostAddress = "";
    if (char* second = std::strrchr(rest, '_')) {
        *second = '\0';
        hostAddress = second + 1;
        if (std::strlen(hostAddress) >= ADDRESS_SIZE)
            return false;
    }
    if (std::strlen(rest) >= IDENTIFIER_SIZE)
        return false;
    std::memcpy(identifier, rest, std::strlen(rest) + 1);
    if (address)
        std::memcpy(address, hostAddress, std::strlen(hostAddress) + 1);
    return true;
}

}  // namespace cimple
