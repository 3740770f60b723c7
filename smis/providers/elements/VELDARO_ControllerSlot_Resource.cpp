// The controller module slots of an array: the module number from bits 8-10
// of the module entry's item id.

#include "VELDARO_ControllerSlot_Resource.h"

#include "Instance_Common.h"
#include "Physical_Element_Values.h"
#include "VELDARO_RefTable.h"
#include "VELDARO_ValueConv.h"

namespace cimple {

int VELDARO_ControllerSlot_Resource::createControllerModuleSlot()
{
    VELDARO_ControllerSlot* made = nullptr;
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
            int status = 0;
            if (table.getCMSMISStatus(itemId, &status) != 0) {
                Instance_Provider_Frame::logBuildFailure(__FILE__, __LINE__);
                return 1;
            }
            made = Instance_Provider_Frame::newInstance<VELDARO_ControllerSlot>();
            if (setControllerModuleSlot(made, itemId, _storage, status) != 0) {
                destroy(made);
                return 1;
            }
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

int VELDARO_ControllerSlot_Resource::setControllerModuleSlot(VELDARO_ControllerSlot* instance, std::uint32_t itemId,
                                                             const String& storage, int operationalStatus)
{
    using V = Physical_Element_Values;
    if (!instance)
        return 1;
    try {
        const unsigned cm = (itemId >> 8) & 0x07;
        instance->Tag.set(V::format("CS%02u_%s", cm, storage.c_str()));
        instance->CreationClassName.set("VELDARO_ControllerSlot");
        instance->Caption.set("Controller Slot");
        instance->Description.set("Controller Slot");
        instance->ElementName.set(V::format("Controller Slot - CM%02u", cm));
        instance->Name.set(storage);
        instance->Manufacturer.set(V::MANUFACTURER);
        instance->Model.set(V::UNKNOWN_MODEL);
        instance->CanBeFRUed.set(false);
        instance->CMSlotNumber.set(cm);
        instance->Number.set(static_cast<uint16>(cm));
        instance->OperationalStatus.set(V::statusList(operationalStatus));
        instance->Status.set(VELDARO_ValueConv::convOperationalStatusToStatus(operationalStatus));
        return 0;
    } catch (...) {
        Instance_Provider_Frame::logBuildFailure(__FILE__, __LINE__);
        return 1;
    }
}

}  // namespace cimple
