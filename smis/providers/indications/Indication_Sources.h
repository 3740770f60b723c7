// The instances that change indications describe, made from the values of a
// change record rather than from a table lookup.
//
// One set operation per class, named like the set operation of that class's
// instance builder. Where the builder exists (pools, volumes, the storage
// system, hardware IDs) the operation hands over to it, so an indication's
// keys and values are those of the enumerated instance; the masking, remote
// volume and copy relationship classes are still filled here. The key-only
// variants (setKeyProperties) leave every non-key property null. 0 on
// success, 1 after a failure (logged "Generation of Instance went wrong.").
#ifndef SMIS_PROVIDERS_INDICATION_SOURCES_H
#define SMIS_PROVIDERS_INDICATION_SOURCES_H

#include <cimple/cimple.h>

#include <cstdint>

#include "CIM_ManagedElement.h"
#include "VELDARO_AffinityGroupController.h"
#include "VELDARO_AuthorizedPrivilege.h"
#include "VELDARO_LUNMappingController.h"
#include "VELDARO_LayerixPool.h"
#include "VELDARO_LayerixSubPool.h"
#include "VELDARO_RAIDStoragePool.h"
#include "VELDARO_SDPVPool.h"
#include "VELDARO_StorageComputerSystem.h"
#include "VELDARO_StorageHardwareID.h"
#include "VELDARO_StorageVolume.h"
#include "VELDARO_ThinProvisioningPool.h"

namespace cimple {

class Indication_Sources {
public:
    explicit Indication_Sources(const String& storageAddress) : _storage(storageAddress) {}

    int setRAIDStoragePool(VELDARO_RAIDStoragePool* instance, std::uint8_t raidLevel, std::uint16_t rlun,
                           int status, std::uint64_t blocks, std::uint64_t remainingBlocks, std::uint16_t rluStatus,
                           std::uint8_t currentModuleId, std::uint8_t mode, int diskCount, int hotSpareCount,
                           const char* name);
    int setStorageVolume(VELDARO_StorageVolume* instance, std::uint8_t raidLevel, std::uint16_t number,
                         std::uint8_t luType, int operationalStatus, int extentStatus, std::uint64_t blocks,
                         unsigned parts, const String& storageAddress, std::uint16_t threshold,
                         const std::uint8_t* nodeWwn, const char* name);
    int setKeyProperties(VELDARO_StorageVolume* instance, std::uint16_t number, std::uint8_t luType,
                         const String& storageAddress);
    int setSDPVPool(VELDARO_SDPVPool* instance, std::uint16_t rlun, std::uint16_t olun, int status,
                    std::uint64_t blocks, unsigned snapDataPoolId, const char* name);
    int setThinProvisioningPool(VELDARO_ThinProvisioningPool* instance, std::uint8_t raidLevel,
                                std::uint16_t poolNumber, int status, std::uint64_t totalBlocks,
                                std::uint64_t usedBlocks, const char* name, std::uint16_t warning,
                                std::uint16_t critical);
    int setLayerixPool(VELDARO_LayerixPool* instance, std::uint16_t poolNumber, int status,
                       std::uint64_t totalBlocks, std::uint64_t usedBlocks, const char* name,
                       std::uint16_t warning, std::uint16_t critical);
    int setLayerixSubPool(VELDARO_LayerixSubPool* instance, std::uint8_t raidLevel, std::uint16_t poolNumber,
                          int status, std::uint64_t totalBlocks, const char* name);
    int setStorageComputerSystem(VELDARO_StorageComputerSystem* instance, int firstStatus, int secondStatus,
                                 const String& productId, const String& serialNumber, const String& friendlyName,
                                 const String& nodeWwn, unsigned updateCount, const String& managerName);
    int setLUNMappingController(VELDARO_LUNMappingController* instance, std::uint8_t moduleId,
                                std::uint8_t portNo, const char* alias, const char* name,
                                std::uint16_t nameFormat);
    int setKeyProperties(VELDARO_LUNMappingController* instance, std::uint8_t moduleId, std::uint8_t portNo);
    int setAffinityGroupController(VELDARO_AffinityGroupController* instance, std::uint8_t moduleId,
                                   std::uint8_t portNo, std::uint16_t groupNumber, const char* alias,
                                   const char* groupName, std::uint16_t nameFormat, const String& storageAddress);
    int setKeyProperties(VELDARO_AffinityGroupController* instance, std::uint8_t moduleId, std::uint8_t portNo,
                         std::uint16_t groupNumber, const String& storageAddress);
    // ip: the host's IPv4 text, empty for FC and SAS hosts.
    int setKeyProperties(VELDARO_AuthorizedPrivilege* instance, std::uint8_t moduleId, std::uint8_t portNo,
                         std::uint16_t groupNumber, const char* hostId, const char* ip);
    int setKeyProperties(VELDARO_StorageHardwareID* instance, const char* hostId, const char* ip);

    // The published slot numbers of a channel-adapter port.
    static unsigned cmSlot(std::uint8_t moduleId) { return moduleId & 7u; }
    static unsigned caSlot(std::uint8_t moduleId) { return (moduleId >> 4) & 3u; }
    static unsigned portSlot(std::uint8_t moduleId, std::uint8_t portNo) { return ((moduleId >> 2) & 2u) | (portNo & 1u); }

private:
    String _storage;
};

}  // namespace cimple

#endif
