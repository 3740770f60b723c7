// The battery backup units; a battery's item id holds its number in bits 8-15.

#include "VELDARO_BBU_Resource.h"

#include "Instance_Common.h"
#include "Physical_Element_Values.h"
#include "RefTable_Text.h"
#include "VELDARO_RefTable.h"
#include "VELDARO_ValueConv.h"

namespace cimple {

int VELDARO_BBU_Resource::createBBU()
{
    VELDARO_BBU* made = nullptr;
    try {
        VELDARO_RefTable table(_storage.c_str());
        const int check = Instance_Common::icFirstCommonProcess(&table);
        if (check != 0)
            return check;
        for (int i = 0; i < BBU_TABLE_SIZE; ++i) {
            if (table.getBBUStatus(i) == 0)
                continue;
            const std::uint32_t itemId = table.getBBUItemId(i);
            int status = 0;
            if (table.getBBUSMISStatus(itemId, &status) != 0) {
                Instance_Provider_Frame::logBuildFailure(__FILE__, __LINE__);
                return 1;
            }
            const std::uint8_t charge = table.getBBUCapacity(i);
            const std::uint16_t factor = table.getBBUFactor(i);
            RefTable_Text serial(table.getBBUSerialNo(i));
            RefTable_Text revision(table.getBBURevision(i));
            RefTable_Text part(table.getBBUPartsNo(i));
            if (serial.missing() || revision.missing() || part.missing()) {
                Instance_Provider_Frame::logBuildFailure(__FILE__, __LINE__);
                return 1;
            }
            made = Instance_Provider_Frame::newInstance<VELDARO_BBU>();
            if (setBBU(made, itemId, status, charge, factor, serial.str(), revision.str(), part.str()) != 0) {
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

int VELDARO_BBU_Resource::setBBU(VELDARO_BBU* instance, std::uint32_t itemId, int operationalStatus,
                                 std::uint8_t charge, std::uint16_t factor, const String& serialNumber,
                                 const String& revision, const String& partNumber)
{
    using V = Physical_Element_Values;
    if (!instance)
        return 1;
    try {
        const unsigned number = (itemId >> 8) & 0xFF;
        const String name = V::format("Battery Backup Unit - %02u", number);
        instance->Tag.set(V::format("BBU%02u_%s", number, _storage.c_str()));
        instance->CreationClassName.set("VELDARO_BBU");
        instance->Caption.set("Battery Backup Unit");
        instance->Description.set("Battery Backup Unit");
        instance->ElementName.set(name);
        instance->Name.set(name);
        instance->Manufacturer.set(V::MANUFACTURER);
        instance->Model.set(V::UNKNOWN_MODEL);
        instance->SerialNumber.set(serialNumber);
        instance->Version.set(revision);
        instance->PartNumber.set(partNumber);
        instance->CanBeFRUed.set(true);
        instance->RemovalConditions.set(V::REMOVABLE_WHEN_ON);
        instance->Factor.set(V::format("0x%04x", static_cast<unsigned>(factor)));
        instance->PhysicalPosition.set(V::format("%u", number));
        instance->BatteryCharge.set(charge);
        instance->OperationalStatus.set(V::statusList(operationalStatus));
        instance->Status.set(VELDARO_ValueConv::convOperationalStatusToStatus(operationalStatus));
        instance->HealthState.set(
            static_cast<uint16>(VELDARO_ValueConv::convOperationalStatusToHealthState(operationalStatus)));
        return 0;
    } catch (...) {
        Instance_Provider_Frame::logBuildFailure(__FILE__, __LINE__);
        return 1;
    }
}

}  // namespace cimple
