// The storage hardware ID management service of one array, with the array's status.

#include "VELDARO_StorageHardwareIDManagementService_Resource.h"

namespace cimple {

int VELDARO_StorageHardwareIDManagementService_Resource::createStorageHardwareIDManagementService()
{
    return buildService("Storage HardwareID Management Service");
}

}  // namespace cimple
