#pragma once
// Builds VELDARO_StorageHardwareID instances: one per registered host
// identifier of one array (FC WWN or SAS address of the host table, iSCSI
// name of the iSCSI host table), keyed by InstanceID
// "VELDARO:SHI" + identifier [+ "_" + host address] + "_" + storage address.
// Also used by the association providers, the hardware identifier
// management service (createInstance, divide_InstanceID) and the indication
// delivery (setKeyProperties).

#include <cimple/cimple.h>

#include <cstdint>

#include "VELDARO_StorageHardwareID.h"
#include "Table_Entries.h"

namespace cimple {

class VELDARO_StorageHardwareID_Resource {
public:
    // Slots of each host table.
    static constexpr int HOST_TABLE_SIZE = tableEntriesOf(CMT_Table::Host);
    // Identifier kinds (IDType).
    static constexpr int ID_TYPE_WWN = 2;
    static constexpr int ID_TYPE_ISCSI = 5;
    static constexpr int ID_TYPE_SAS = 6;
    // Buffer sizes for divide_InstanceID, terminator included.
    static constexpr std::size_t IDENTIFIER_SIZE = 225;
    static constexpr std::size_t ADDRESS_SIZE = 16;

    explicit VELDARO_StorageHardwareID_Resource(const String& storage) : _storage(storage) {}

    // The host of slot in the table of idType (5: iSCSI hosts; 2, 6: FC/SAS
    // hosts): 0 with the instance, 0 without one (slot not in use, or
    // another idType), 1 error (logged).
    int createInstance(VELDARO_StorageHardwareID*& instance, int idType, int slot);

    // Fills the properties; address NULL gives the address part "_0.0.0.0",
    // an empty address none. 0, or 1 after an exception (logged).
    int setStorageHardwareID(VELDARO_StorageHardwareID* instance, const char* storageId, std::uint16_t idType,
                             const char* elementName, const char* address);

    // Leaves only the key (InstanceID) present. 0, or 1 on failure.
    int setKeyProperties(VELDARO_StorageHardwareID* instance, const char* storageId, const char* address);

    // Splits an InstanceID into the identifier (IDENTIFIER_SIZE bytes) and
    // the host address (ADDRESS_SIZE bytes, empty when the key has none;
    // address may be NULL); the storage address is dropped. True when the
    // text is well formed.
    static bool divide_InstanceID(const char* instanceId, char* identifier, char* address);

private:
    String _storage;
};

}  // namespace cimple
