// The fans of the controller enclosure; a fan's item id holds its number in
// bits 8-15.

#include "VELDARO_FAN_Resource.h"

#include "Instance_Common.h"
#include "Physical_Element_Values.h"
#include "VELDARO_RefTable.h"
#include "VELDARO_ValueConv.h"

namespace cimple {

int VELDARO_FAN_Resource::createFAN()
{
    VELDARO_FAN* made = nullptr;
    try {
        VELDARO_RefTable table(_storage.c_str());
        const int check = Instance_Common::icFirstCommonProcess(&table);
        if (check != 0)
            return check;
        for (int i = 0; i < FAN_TABLE_SIZE; ++i) {
            if (table.getFANStatus(i) == 0)
                continue;
            const std::uint32_t itemId = table.getFANItemId(i);
            int status = 0;
            if (table.getFANSMISStatus(itemId, &status) != 0) {
                Instance_Provider_Frame::logBuildFailure(__FILE__, __LINE__);
                return 1;
            }
            made = Instance_Provider_Frame::newInstance<VELDARO_FAN>();
            if (setFAN(made, itemId, status) != 0) {
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

int VELDARO_FAN_Resource::setFAN(VELDARO_FAN* instance, std::uint32_t itemId, int operationalStatus)
{
    using V = Physical_Element_Values;
    if (!instance)
        return 1;
    try {
        const unsigned number = (itemId >> 8) & 0xFF;
        const String name = V::format("FAN - CE0x00:FAN%02u", number);
        instance->Tag.set(V::format("FAN%02u_CE0x00_%s", number, _storage.c_str()));
        instance->CreationClassName.set("VELDARO_FAN");
        instance->Caption.set("FAN");
        instance->Description.set("FAN");
        instance->ElementName.set(name);
        instance->Name.set(name);
        instance->Manufacturer.set(V::MANUFACTURER);
        instance->Model.set(V::UNKNOWN_MODEL);
        instance->CanBeFRUed.set(true);
        instance->RemovalConditions.set(V::REMOVABLE_WHEN_ON);
        instance->ChassisID.set(V::CONTROLLER_ENCLOSURE);
        instance->CMSlotNumber.set(V::NO_NUMBER);
        instance->PhysicalPosition.set(V::format("%u", number));
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
