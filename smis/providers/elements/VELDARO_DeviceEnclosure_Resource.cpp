// One drive enclosure: texts from its table entry, status from the drive
// enclosure status data.

#include "VELDARO_DeviceEnclosure_Resource.h"

#include <cstdio>

#include "Instance_Provider_Frame.h"
#include "Physical_Element_Values.h"
#include "RefTable_Text.h"
#include "SMIS_CMSLib.h"
#include "VELDARO_RefTable.h"
#include "VELDARO_ValueConv.h"

namespace cimple {

int VELDARO_DeviceEnclosure_Resource::createInstance(VELDARO_DeviceEnclosure*& instance, int index)
{
    using V = Physical_Element_Values;
    instance = nullptr;
    VELDARO_DeviceEnclosure* made = nullptr;
    try {
        VELDARO_RefTable table(_storage.c_str());
        if (index < 0 || index >= DE_TABLE_SIZE)
            return 1;
        if (table.getDEStatus(index) == 0)
            return 0;
        const std::uint8_t de = table.getDEDeId(index);
        RefTable_Text serial(table.getDESerialNo(index));
        RefTable_Text revision(table.getDERevision(index));
        RefTable_Text part(table.getDEPartsNo(index));
        if (serial.missing() || revision.missing() || part.missing()) {
            Instance_Provider_Frame::logBuildFailure(__FILE__, __LINE__);
            return 1;
        }
        int first = -1, second = -1;
        SMIS_CMSLib status(_storage);
        if (status.getDESMISStatus(de, &first, &second) != 0) {
            Instance_Provider_Frame::logBuildFailure(__FILE__, __LINE__);
            return 1;
        }
        const String model = VELDARO_ValueConv::convSystemModelToSMISValue(table.getSysModelTypeFull());
        const String chassis = VELDARO_ValueConv::convDeIdToChassisID(de);
        const unsigned inlet = table.getDEInletFactor(index);
        const unsigned outlet = table.getDEOutletFactor(index);

        made = Instance_Provider_Frame::newInstance<VELDARO_DeviceEnclosure>();
        made->Tag.set(V::format("DE0x%02x_%s", de, _storage.c_str()));
        made->CreationClassName.set("VELDARO_DeviceEnclosure");
        made->Caption.set("Device Enclosure");
        made->Description.set("Device Enclosure");
        made->Name.set(V::SERVER_NAME);
        made->ElementName.set(chassis);
        made->Manufacturer.set(V::MANUFACTURER);
        made->Model.set(model);
        made->SerialNumber.set(serial.str());
        made->Version.set(revision.str());
        made->PartNumber.set(part.str());
        made->CanBeFRUed.set(true);
        made->RemovalConditions.set(V::REMOVABLE_WHEN_ON);
        made->LockPresent.set(true);
        made->VisibleAlarm.set(true);
        made->ChassisPackageType.set(22);
        made->Inlet.set(V::format("0x%04x", inlet));
        made->Outlet.set(V::format("0x%04x", outlet));
        made->OperationalStatus.set(V::statusList(first, second));
        made->Status.set(VELDARO_ValueConv::convOperationalStatusToStatus(first));
        instance = made;
        return 0;
    } catch (...) {
        if (made)
            destroy(made);
        instance = nullptr;
        Instance_Provider_Frame::logBuildFailure(__FILE__, __LINE__);
        return 1;
    }
}

bool VELDARO_DeviceEnclosure_Resource::divide_Tag(const char* key, std::uint8_t* deId)
{
    if (!key || !*key || !deId)
        return false;
    unsigned de = 0;
    if (std::sscanf(key, "DE0x%02x", &de) != 1)
        return false;
    *deId = static_cast<std::uint8_t>(de);
    return true;
}

}  // namespace cimple
