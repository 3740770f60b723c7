// The channel adapter cards of an array, from the channel adapter entries
// and the adapter board texts.

#include "VELDARO_ChannelAdapterCard_Resource.h"

#include "Instance_Common.h"
#include "Physical_Element_Values.h"
#include "RefTable_Text.h"
#include "VELDARO_RefTable.h"
#include "VELDARO_ValueConv.h"

namespace cimple {

int VELDARO_ChannelAdapterCard_Resource::createChannelAdapterCard()
{
    VELDARO_ChannelAdapterCard* made = nullptr;
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
                continue;  // not an adapter card
            int status = 0;
            if ((table.getCASMISStatus(itemId, &status) & 0xFF) != 0) {
                Instance_Provider_Frame::logBuildFailure(__FILE__, __LINE__);
                return 1;
            }
            RefTable_Text part(table.getCABOARDPartsNo(i));
            RefTable_Text serial(table.getCABOARDSerialNo(i));
            RefTable_Text revision(table.getCABOARDRevision(i));
            if (part.missing() || serial.missing() || revision.missing()) {
                Instance_Provider_Frame::logBuildFailure(__FILE__, __LINE__);
                return 1;
            }
            made = Instance_Provider_Frame::newInstance<VELDARO_ChannelAdapterCard>();
            if (setChannelAdapterCard(made, moduleId, _storage, status, serial.str(), revision.str(), part.str()) !=
                0) {
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

int VELDARO_ChannelAdapterCard_Resource::setChannelAdapterCard(VELDARO_ChannelAdapterCard* instance,
                                                               std::uint8_t moduleId, const String& storage,
                                                               int operationalStatus, const String& serialNumber,
                                                               const String& revision, const String& partNumber)
{
    using V = Physical_Element_Values;
    if (!instance)
        return 1;
    try {
        const unsigned cm = moduleId & 0x07;
        const unsigned ca = (moduleId >> 4) & 0x03;
        instance->Tag.set(V::format("CAC0x%02x_%s", moduleId, storage.c_str()));
        instance->CreationClassName.set("VELDARO_ChannelAdapterCard");
        instance->Caption.set("Channel Adapter Card");
        instance->Description.set("Channel Adapter Card");
        instance->Name.set(storage);
        instance->ElementName.set(V::format("Channel Adapter Card - CM%02uCA%02u", cm, ca));
        instance->Manufacturer.set(V::MANUFACTURER);
        instance->Model.set(V::UNKNOWN_MODEL);
        instance->SerialNumber.set(serialNumber);
        instance->Version.set(revision);
        instance->PartNumber.set(partNumber);
        instance->CanBeFRUed.set(true);
        instance->RemovalConditions.set(V::REMOVABLE_WHEN_ON);
        instance->CMSlotNumber.set(cm);
        instance->CASlotNumber.set(ca);
        instance->OperationalStatus.set(V::statusList(operationalStatus));
        instance->Status.set(VELDARO_ValueConv::convOperationalStatusToStatus(operationalStatus));
        return 0;
    } catch (...) {
        Instance_Provider_Frame::logBuildFailure(__FILE__, __LINE__);
        return 1;
    }
}

}  // namespace cimple
