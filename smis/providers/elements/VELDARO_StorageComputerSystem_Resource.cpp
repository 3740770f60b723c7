// The array itself as a storage computer system.

#include "VELDARO_StorageComputerSystem_Resource.h"

#include "RefTable_Text.h"
#include "SMIS_CMSLib.h"
#include "VELDARO_RefTable.h"
#include "VELDARO_ValueConv.h"

namespace cimple {

Array<uint16> VELDARO_StorageComputerSystem_Resource::operationalStatusOf(int first, int second)
{
    Array<uint16> status;
    status.append(static_cast<uint16>(first));
    if (second >= 1 && second != first)
        status.append(static_cast<uint16>(second));
    return status;
}

int VELDARO_StorageComputerSystem_Resource::createStorageComputerSystem()
{
    VELDARO_StorageComputerSystem* made = nullptr;
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
        RefTable_Text product(table.getSysProductID());
        RefTable_Text serial(table.getSysSerialNumber());
        RefTable_Text manager(table.getSysManagerName());
        RefTable_Text wwn(table.getSysNodeWWN());
        if (product.missing() || serial.missing() || manager.missing() || wwn.missing()) {
            Instance_Provider_Frame::logBuildFailure(__FILE__, __LINE__);
            return 1;
        }
        const unsigned int updateCount = table.getTableUpdateCount();
        RefTable_Text friendly(table.getSysFriendlyName());
        if (friendly.missing()) {
            Instance_Provider_Frame::logBuildFailure(__FILE__, __LINE__);
            return 1;
        }

        made = Instance_Provider_Frame::newInstance<VELDARO_StorageComputerSystem>();
        if (setStorageComputerSystem(made, status1, status2, product.str(), serial.str(), friendly.str(), wwn.str(),
                                     updateCount, manager.str()) != 0) {
            destroy(made);
            return 1;
        }
        _list.append(made);
        return 0;
    } catch (...) {
        if (made)
            destroy(made);
        Instance_Provider_Frame::logBuildFailure(__FILE__, __LINE__);
        return 1;
    }
}

int VELDARO_StorageComputerSystem_Resource::setStorageComputerSystem(
    VELDARO_StorageComputerSystem* instance, int first, int second, const String& productId,
    const String& serialNumber, const String& friendlyName, const String& nodeWwn, unsigned int updateCount,
    const String& managerName)
{
    instance->Caption.set("Storage Computer System");
    instance->Description.set("Storage Computer System");
    instance->ElementName.set(friendlyName);
    instance->Name.set(_storage);
    instance->NameFormat.set("IP");
    instance->CreationClassName.set("VELDARO_StorageComputerSystem");
    instance->OperationalStatus.set(operationalStatusOf(first, second));
    instance->Status.set(VELDARO_ValueConv::convOperationalStatusToStatus(first));
    int health = VELDARO_ValueConv::convOperationalStatusToHealthState(first);
    if (health == 30)
        health = 25;
    instance->HealthState.set(static_cast<uint16>(health));

    Array<String> identifying;
    identifying.append(concat("VELDARO_", productId, "_", serialNumber));
    identifying.append(nodeWwn);
    instance->OtherIdentifyingInfo.set(identifying);
    Array<String> descriptions;
    descriptions.append("SCSI Vendor Specific Name");
    descriptions.append("Node WWN");
    instance->IdentifyingDescriptions.set(descriptions);
    Array<uint16> dedicated;
    dedicated.append(3);
    dedicated.append(15);
    instance->Dedicated.set(dedicated);
    instance->Contact.set(managerName);
    instance->ConfigurationID.set(updateCount);
    return 0;
}

}  // namespace cimple
