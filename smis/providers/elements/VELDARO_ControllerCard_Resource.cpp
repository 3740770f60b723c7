// The controller module cards of an array: the module number from the item
// id of the module entry, the texts from the controller module record.

#include "VELDARO_ControllerCard_Resource.h"

#include <cstdint>

#include "Instance_Common.h"
#include "Physical_Element_Values.h"
#include "RefTable_Text.h"
#include "VELDARO_RefTable.h"
#include "VELDARO_ValueConv.h"

namespace cimple {

int VELDARO_ControllerCard_Resource::createControllerModuleCard()
{
    using V = Physical_Element_Values;
    VELDARO_ControllerCard* made = nullptr;
    try {
        VELDARO_RefTable table(_storage.c_str());
        const int check = Instance_Common::icFirstCommonProcess(&table);
        if (check != 0)
            return check;

        for (int record = 0; record < CM_RECORD_COUNT; ++record) {
            const int entry = table.searchCMModuleIdFromCMTable(table.getCMMasterCPUMid(record));
            if (entry < 0)
                continue;
            const std::uint32_t itemId = table.getCMItemId(entry);
            const unsigned cm = (itemId >> 8) & 0x07;

            RefTable_Text part(table.getCMPartsNo(record));
            RefTable_Text serial(table.getCMSerialNo(record));
            RefTable_Text revision(table.getCMHardRevision(record));
            if (part.missing() || serial.missing() || revision.missing()) {
                Instance_Provider_Frame::logBuildFailure(__FILE__, __LINE__);
                return 1;
            }
            int status = 0;
            if (table.getCMSMISStatus(itemId, &status) != 0) {
                Instance_Provider_Frame::logBuildFailure(__FILE__, __LINE__);
                return 1;
            }

            made = Instance_Provider_Frame::newInstance<VELDARO_ControllerCard>();
            made->Tag.set(V::format("CC%02u_%s", cm, _storage.c_str()));
            made->CreationClassName.set("VELDARO_ControllerCard");
            made->Caption.set("Controller Card");
            made->Description.set("Controller Card");
            made->Name.set(V::SERVER_NAME);
            made->ElementName.set(V::format("Controller Card - CM%02u", cm));
            made->Manufacturer.set(V::MANUFACTURER);
            made->Model.set(V::UNKNOWN_MODEL);
            made->SerialNumber.set(serial.str());
            made->Version.set(revision.str());
            made->PartNumber.set(part.str());
            made->CanBeFRUed.set(true);
            made->RemovalConditions.set(V::REMOVABLE_WHEN_ON);
            made->PhysicalPosition.set(V::format("%u", cm));
            made->CMSlotNumber.set(cm);
            made->ChassisID.set(V::CONTROLLER_ENCLOSURE);
            made->OperationalStatus.set(V::statusList(status));
            made->Status.set(VELDARO_ValueConv::convOperationalStatusToStatus(status));
            _list.append(made);
            made = nullptr;
        }
        return 0;
    } catch (...) {
        if (made)
            destroy(made);
        Instance_Provider_Frame::logBuildFailure(__FILE__, __LINE__);
        return 1;
    }
}

}  // namespace cimple
