// The storage configuration service of one array, with the array's status.

#include "VELDARO_StorageConfigurationService_Resource.h"

namespace cimple {

int VELDARO_StorageConfigurationService_Resource::createStorageConfigurationService()
{
    return buildService("Storage Configuration Service");
}

}  // namespace cimple
