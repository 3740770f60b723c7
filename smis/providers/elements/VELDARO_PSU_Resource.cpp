// One power supply unit. An item id whose kind byte is 0x73 names a unit of
// the controller enclosure (its number in bits 8-15); any other names a unit
// of the drive enclosure in bits 8-15, with its number in bits 0-7.

#include "VELDARO_PSU_Resource.h"

#include <cstdio>

#include "Instance_Provider_Frame.h"
#include "Physical_Element_Values.h"
#include "RefTable_Text.h"
#include "VELDARO_RefTable.h"
#include "VELDARO_ValueConv.h"

namespace cimple {

int VELDARO_PSU_Resource::createInstance(VELDARO_PSU*& instance, std::uint8_t kind, int index)
{
    instance = nullptr;
    VELDARO_PSU* made = nullptr;
    try {
        VELDARO_RefTable table(_storage.c_str());
        const bool ce = kind == CE_PSU;
        if (!ce && kind != DE_PSU)
            return 0;
        if (index < 0 || index >= (ce ? CE_PSU_TABLE_SIZE : DE_PSU_TABLE_SIZE))
            return 1;
        if ((ce ? table.getCPSUStatus(index) : table.getDPSUStatus(index)) == 0)
            return 0;
        const std::uint32_t itemId = ce ? table.getCPSUItemId(index) : table.getDPSUItemId(index);
        const std::uint16_t factor = ce ? table.getCPSUFactor(index) : table.getDPSUFactor(index);
        RefTable_Text serial(ce ? table.getCPSUSerialNo(index) : table.getDPSUSerialNo(index));
        RefTable_Text revision(ce ? table.getCPSURevision(index) : table.getDPSURevision(index));
        RefTable_Text part(ce ? table.getCPSUPartsNo(index) : table.getDPSUPartsNo(index));
        if (serial.missing() || revision.missing() || part.missing()) {
            Instance_Provider_Frame::logBuildFailure(__FILE__, __LINE__);
            return 1;
        }
        int status = 0;
        if (table.getPSUSMISStatus(itemId, &status) != 0) {
            Instance_Provider_Frame::logBuildFailure(__FILE__, __LINE__);
            return 1;
        }
        made = Instance_Provider_Frame::newInstance<VELDARO_PSU>();
        if (setPSU(made, itemId, status, serial.str(), revision.str(), part.str(), factor) != 0) {
            destroy(made);
            return 1;
        }
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

int VELDARO_PSU_Resource::setPSU(VELDARO_PSU* instance, std::uint32_t itemId, int operationalStatus,
                                 const String& serialNumber, const String& revision, const String& partNumber,
                                 std::uint16_t factor)
{
    using V = Physical_Element_Values;
    if (!instance)
        return 1;
    try {
        const bool inController = ((itemId >> 24) & 0xFF) == CE_PSU;
        const unsigned de = (itemId >> 8) & 0xFF;
        const unsigned number = inController ? de : itemId & 0xFF;
        const String location = inController ? V::format("CE0x%02x", 0u) : V::format("DE0x%02x", de);
        const String name = V::format("Power Supply Unit - %s:PSU%02u", location.c_str(), number);
        instance->Tag.set(V::format("PSU%02u_%s_%s", number, location.c_str(), _storage.c_str()));
        instance->CreationClassName.set("VELDARO_PSU");
        instance->Caption.set("Power Supply Unit");
        instance->Description.set("Power Supply Unit");
        instance->ElementName.set(name);
        instance->Name.set(name);
        instance->Manufacturer.set(V::MANUFACTURER);
        instance->Model.set(V::UNKNOWN_MODEL);
        instance->SerialNumber.set(serialNumber);
        instance->Version.set(revision);
        instance->PartNumber.set(partNumber);
        instance->CanBeFRUed.set(true);
        instance->RemovalConditions.set(V::REMOVABLE_WHEN_ON);
        instance->DeID.set(inController ? V::NO_NUMBER : de);
        instance->ChassisID.set(inController ? String(V::CONTROLLER_ENCLOSURE)
                                             : VELDARO_ValueConv::convDeIdToChassisID(static_cast<std::uint8_t>(de)));
        instance->Factor.set(V::format("0x%04x", static_cast<unsigned>(factor)));
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

bool VELDARO_PSU_Resource::divide_Tag(const char* key, std::uint8_t* kind, std::uint8_t* deId, std::uint8_t* number)
{
    if (!key || !*key || !kind || !deId || !number)
        return false;
    int unit = 0;
    unsigned enclosure = 0;
    if (std::sscanf(key, "PSU%02d_CE0x%02x", &unit, &enclosure) == 2) {
        if (enclosure != 0)
            return false;
        *kind = CE_PSU;
    } else if (std::sscanf(key, "PSU%02d_DE0x%02x", &unit, &enclosure) == 2) {
        *kind = DE_PSU;
    } else {
        return false;
    }
    *number = static_cast<std::uint8_t>(unit);
    *deId = static_cast<std::uint8_t>(enclosure);
    return true;
}

}  // namespace cimple
