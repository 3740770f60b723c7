// Instances of the changed elements, made from the values of change records.

#include "Indication_Sources.h"

#include <cstdio>
#include <string>

#include "Instance_Provider_Frame.h"
#include "VELDARO_AffinityGroupController_Resource.h"
#include "VELDARO_AuthorizedPrivilege_Resource.h"
#include "VELDARO_LUNMappingController_Resource.h"
#include "VELDARO_RemoteStorageVolume_Resource.h"
#include "VELDARO_LayerixPool_Resource.h"
#include "VELDARO_LayerixSubPool_Resource.h"
#include "VELDARO_RAIDStoragePool_Resource.h"
#include "VELDARO_RemoteStorageVolume_Resource.h"
#include "VELDARO_SDPVPool_Resource.h"
#include "VELDARO_StorageComputerSystem_Resource.h"
#include "VELDARO_StorageHardwareID_Resource.h"
#include "VELDARO_StorageVolume_Resource.h"
#include "VELDARO_ThinProvisioningPool_Resource.h"

namespace cimple {

namespace {

// Runs a fill; an exception becomes the failure result.
template <class Fill>
int guarded(Fill fill)
{
    try {
        fill();
        return 0;
    } catch (...) {
        Instance_Provider_Frame::logBuildFailure(__FILE__, __LINE__);
        return 1;
    }
}

// Hands over to an instance builder's set operation: its result, or 1
// when it throws.
template <class Call>
int forwarded(Call call)
{
    int result = 1;
    guarded([&] { result = call(); });
    return result;
}

}  // namespace

// The classes with an instance builder are filled by that builder, so an
// indication carries exactly the keys and values a client enumerates.

int Indication_Sources::setRAIDStoragePool(VELDARO_RAIDStoragePool* p, std::uint8_t raidLevel, std::uint16_t rlun,
                                           int status, std::uint64_t blocks, std::uint64_t remainingBlocks,
                                           std::uint16_t rluStatus, std::uint8_t currentModuleId, std::uint8_t mode,
                                           int diskCount, int hotSpareCount, const char* name)
{
    if (!p)
        return 1;
    return forwarded([&] {
        return VELDARO_RAIDStoragePool_Resource(_storage).setRAIDStoragePool(
            p, raidLevel, rlun, status, blocks, remainingBlocks, rluStatus, currentModuleId, mode, diskCount,
            hotSpareCount, name);
    });
}

int Indication_Sources::setStorageVolume(VELDARO_StorageVolume* p, std::uint8_t raidLevel, std::uint16_t number,
                                         std::uint8_t luType, int operationalStatus, int extentStatus,
                                         std::uint64_t blocks, unsigned parts, const String& storageAddress,
                                         std::uint16_t threshold, const std::uint8_t* nodeWwn, const char* name)
{
    if (!p)
        return 1;
    return forwarded([&] {
        // The builder takes the name as a writable buffer; hand it a copy.
        std::string copy(name ? name : "");
        return VELDARO_StorageVolume_Resource(_storage).setStorageVolume(
            p, raidLevel, number, luType, operationalStatus, extentStatus, blocks, parts, storageAddress, threshold,
            nodeWwn, name ? copy.data() : nullptr);
    });
}

int Indication_Sources::setKeyProperties(VELDARO_StorageVolume* p, std::uint16_t number, std::uint8_t luType,
                                         const String& storageAddress)
{
    if (!p)
        return 1;
    return forwarded([&] {
        return VELDARO_StorageVolume_Resource(_storage).setKeyProperties(p, number, luType, storageAddress);
    });
}

int Indication_Sources::setSDPVPool(VELDARO_SDPVPool* p, std::uint16_t rlun, std::uint16_t olun, int status,
                                    std::uint64_t blocks, unsigned snapDataPoolId, const char* name)
{
    if (!p)
        return 1;
    return forwarded([&] {
        return VELDARO_SDPVPool_Resource(_storage).setSDPVPool(p, rlun, olun, status, blocks, snapDataPoolId, name);
    });
}

int Indication_Sources::setThinProvisioningPool(VELDARO_ThinProvisioningPool* p, std::uint8_t raidLevel,
                                                std::uint16_t poolNumber, int status, std::uint64_t totalBlocks,
                                                std::uint64_t usedBlocks, const char* name, std::uint16_t warning,
                                                std::uint16_t critical)
{
    if (!p)
        return 1;
    return forwarded([&] {
        return VELDARO_ThinProvisioningPool_Resource(_storage).setThinProvisioningPool(
            p, raidLevel, poolNumber, status, totalBlocks, usedBlocks, name, warning, critical);
    });
}

int Indication_Sources::setLayerixPool(VELDARO_LayerixPool* p, std::uint16_t poolNumber, int status,
                                       std::uint64_t totalBlocks, std::uint64_t usedBlocks, const char* name,
                                       std::uint16_t warning, std::uint16_t critical)
{
    if (!p)
        return 1;
    return forwarded([&] {
        return VELDARO_LayerixPool_Resource(_storage).setLayerixPool(p, poolNumber, status, totalBlocks, usedBlocks,
                                                                     name, warning, critical);
    });
}

int Indication_Sources::setLayerixSubPool(VELDARO_LayerixSubPool* p, std::uint8_t raidLevel, std::uint16_t poolNumber,
                                          int status, std::uint64_t totalBlocks, const char* name)
{
    if (!p)
        return 1;
    return forwarded([&] {
        return VELDARO_LayerixSubPool_Resource(_storage).setLayerixSubPool(p, raidLevel, poolNumber, status,
                                                                           totalBlocks, name);
    });
}

int Indication_Sources::setStorageComputerSystem(VELDARO_StorageComputerSystem* p, int firstStatus, int secondStatus,
                                                 const String& productId, const String& serialNumber,
                                                 const String& friendlyName, const String& nodeWwn,
                                                 unsigned updateCount, const String& managerName)
{
    if (!p)
        return 1;
    return forwarded([&] {
        return VELDARO_StorageComputerSystem_Resource(_storage).setStorageComputerSystem(
            p, firstStatus, secondStatus, productId, serialNumber, friendlyName, nodeWwn, updateCount, managerName);
    });
}

// Masking classes: filled by their instance builders as well.

int Indication_Sources::setLUNMappingController(VELDARO_LUNMappingController* p, std::uint8_t moduleId,
                                                std::uint8_t portNo, const char* alias, const char* name,
                                                std::uint16_t nameFormat)
{
    if (!p)
        return 1;
    return guarded([&] {
        VELDARO_LUNMappingController_Resource(_storage).setLUNMappingController(p, moduleId, portNo,
                                                                               alias && *alias ? alias : nullptr,
                                                                               name, nameFormat);
    });
}

int Indication_Sources::setKeyProperties(VELDARO_LUNMappingController* p, std::uint8_t moduleId, std::uint8_t portNo)
{
    if (!p)
        return 1;
    return forwarded([&] { return VELDARO_LUNMappingController_Resource(_storage).setKeyProperties(p, moduleId, portNo); });
}

int Indication_Sources::setAffinityGroupController(VELDARO_AffinityGroupController* p, std::uint8_t moduleId,
                                                   std::uint8_t portNo, std::uint16_t groupNumber, const char* alias,
                                                   const char* groupName, std::uint16_t nameFormat,
                                                   const String& storageAddress)
{
    if (!p)
        return 1;
    return guarded([&] {
        VELDARO_AffinityGroupController_Resource(storageAddress)
            .setAffinityGroupController(p, moduleId, portNo, groupNumber, alias && *alias ? alias : nullptr,
                                        groupName, nameFormat, storageAddress);
    });
}

int Indication_Sources::setKeyProperties(VELDARO_AffinityGroupController* p, std::uint8_t moduleId,
                                         std::uint8_t portNo, std::uint16_t groupNumber, const String& storageAddress)
{
    if (!p)
        return 1;
    return forwarded([&] {
        return VELDARO_AffinityGroupController_Resource(storageAddress).setKeyProperties(p, moduleId, portNo,
                                                                                         groupNumber);
    });
}

int Indication_Sources::setKeyProperties(VELDARO_AuthorizedPrivilege* p, std::uint8_t moduleId, std::uint8_t portNo,
                                         std::uint16_t groupNumber, const char* hostId, const char* ip)
{
    if (!p)
        return 1;
    return forwarded([&] {
        return VELDARO_AuthorizedPrivilege_Resource(_storage).setKeyProperties(p, moduleId, portNo, groupNumber,
                                                                                hostId, ip);
    });
}

int Indication_Sources::setKeyProperties(VELDARO_StorageHardwareID* p, const char* hostId, const char* ip)
{
    if (!p)
        return 1;
    return forwarded([&] {
        return VELDARO_StorageHardwareID_Resource(_storage).setKeyProperties(p, hostId, ip);
    });
}

}  // namespace cimple
