// The channel adapter slots of an array: the same entries as the channel
// adapter cards (module id bits 0-2 the controller module, bits 4-5 the
// adapter; bit 3 set: not an adapter card).

#include "VELDARO_ChannelAdapterSlot_Resource.h"

#include "Instance_Common.h"
#include "Physical_Element_Values.h"
#include "VELDARO_RefTable.h"
#include "VELDARO_ValueConv.h"

namespace cimple {

int VELDARO_ChannelAdapterSlot_Resource::createChannelAdapterSlot()
{
    VELDARO_ChannelAdapterSlot* made = nullptr;
    try {
        VELDARO_RefTable table(_storage.c_str());
        const int check = Instance_Common::icFirstCommonProcess(&table);
        if (check != 0)
            return check;
        const int count = static_cast<int>(VELDARO_RefTable::getCAMaxCount());
        for (int i = 0; i < count; ++i) {
            if (table.getCAStatus(i) == 0)
                continue;
            const std::uint32_t itemId = table.getCAItemId(i);
            const std::uint8_t moduleId = table.getCAModuleId(i);
            if (moduleId & 0x08)
                continue;
            int status = 0;
            if ((table.getCASMISStatus(itemId, &status) & 0xFF) != 0) {
                Instance_Provider_Frame::logBuildFailure(__FILE__, __LINE__);
                return 1;
            }
            made = Instance_Provider_Frame::newInstance<VELDARO_ChannelAdapterSlot>();
            if (setChannelAdapterSlot(made, moduleId, _storage, status) != 0) {
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

int VELDARO_ChannelAdapterSlot_Resource::setChannelAdapterSlot(VELDARO_ChannelAdapterSlot* instance,
                                                               std::uint8_t moduleId, const String& storage,
                                                               int operationalStatus)
{
    using V = Physical_Element_Values;
    if (!instance)
        return 1;
    try {
        const unsigned cm = moduleId & 0x07;
        const unsigned ca = (moduleId >> 4) & 0x03;
        instance->Tag.set(V::format("CAS0x%02x_%s", moduleId, storage.c_str()));
        instance->CreationClassName.set("VELDARO_ChannelAdapterSlot");
        instance->Caption.set("Channel Adapter Slot");
        instance->Description.set("Channel Adapter Slot");
        instance->ElementName.set(V::format("Channel Adapter Slot - CM%02uCA%02u", cm, ca));
        instance->Name.set(storage);
        instance->Manufacturer.set(V::MANUFACTURER);
        instance->Model.set(V::UNKNOWN_MODEL);
        instance->CanBeFRUed.set(false);
        instance->CMSlotNumber.set(cm);
        instance->CASlotNumber.set(ca);
        instance->Number.set(static_cast<uint16>(ca));
        instance->OperationalStatus.set(V::statusList(operationalStatus));
        instance->Status.set(VELDARO_ValueConv::convOperationalStatusToStatus(operationalStatus));
        return 0;
    } catch (...) {
        Instance_Provider_Frame::logBuildFailure(__FILE__, __LINE__);
        return 1;
    }
}

}  // namespace cimple
