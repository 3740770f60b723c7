// The storage configuration service of one array, with the array's status.

#include "VELDARO_StorageConfigurationService_Resource.h"

#include "SMIS_CMSLib.h"
#include "VELDARO_RefTable.h"
#include "VELDARO_StorageComputerSystem_Resource.h"
#include "VELDARO_System_Resource.h"
#include "VELDARO_ValueConv.h"

namespace cimple {

int VELDARO_StorageConfigurationService_Resource::createStorageConfigurationService()
{
    VELDARO_StorageConfigurationService* made = nullptr;
    try {
        VELDARO_RefTable table(_storage.c_str());
        const int first = Instance_Common::icFirstCommonProcess(&table);
        if (first != 0)
            return first;
        int status1 = 0, status2 = 0;
        SMIS_CMSLib cms(_storage);
        if (cms.getSysSMISStatus(&status1, &status2) != 0) {
            Instance_Provider_Frame::logBuildFailure(__FILE__, __LINE__);
            return 1;
        }
        made = Instance_Provider_Frame::newInstance<VELDARO_StorageConfigurationService>();
        made->Caption.set("Storage Configuration Service");
        made->Description.set("Storage Configuration Service");
        made->ElementName.set("VELDARO_StorageConfigurationService");
        made->Name.set(VELDARO_System_Resource::SERVER_NAME);
        made->CreationClassName.set("VELDARO_StorageConfigurationService");
        made->SystemCreationClassName.set("VELDARO_StorageComputerSystem");
        made->SystemName.set(_storage);
        made->OperationalStatus.set(VELDARO_StorageComputerSystem_Resource::operationalStatusOf(status1, status2));
        made->Status.set(VELDARO_ValueConv::convOperationalStatusToStatus(status1));
        _list.append(made);
        return 0;
    } catch (...) {
        if (made)
            destroy(made);
        Instance_Provider_Frame::logBuildFailure(__FILE__, __LINE__);
        return 1;
    }
}

}  // namespace cimple
