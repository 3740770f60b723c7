// One I/O module of a drive enclosure; its item id names the enclosure
// (bits 8-15) and the module within it (bits 0-7).

#include "VELDARO_IOM_Resource.h"

#include <cstdio>

#include "Instance_Provider_Frame.h"
#include "Physical_Element_Values.h"
#include "RefTable_Text.h"
#include "VELDARO_RefTable.h"
#include "VELDARO_ValueConv.h"

namespace cimple {

int VELDARO_IOM_Resource::createInstance(VELDARO_IOM*& instance, int index)
{
    instance = nullptr;
    VELDARO_IOM* made = nullptr;
    try {
        VELDARO_RefTable table(_storage.c_str());
        if (index < 0 || index >= EXP_TABLE_SIZE)
            return 1;
        if (table.getEXPStatus(index) == 0)
            return 0;
        const std::uint32_t itemId = table.getEXPItemId(index);
        RefTable_Text part(table.getEXPPartsNo(index));
        RefTable_Text serial(table.getEXPSerialNo(index));
        RefTable_Text revision(table.getEXPRevision(index));
        if (part.missing() || serial.missing() || revision.missing()) {
            Instance_Provider_Frame::logBuildFailure(__FILE__, __LINE__);
            return 1;
        }
        int status = 0;
        if (table.getEXPSMISStatus(itemId, &status) != 0) {
            Instance_Provider_Frame::logBuildFailure(__FILE__, __LINE__);
            return 1;
        }
        const std::uint16_t factor = table.getEXPFactor(index);
        made = Instance_Provider_Frame::newInstance<VELDARO_IOM>();
        if (setIOM(made, itemId, part.str(), serial.str(), revision.str(), status, factor) != 0) {
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

int VELDARO_IOM_Resource::setIOM(VELDARO_IOM* instance, std::uint32_t itemId, const String& partNumber,
                                 const String& serialNumber, const String& revision, int operationalStatus,
                                 std::uint16_t factor)
{
    using V = Physical_Element_Values;
    if (!instance)
        return 1;
    try {
        const unsigned de = (itemId >> 8) & 0xFF;
        const unsigned io = itemId & 0xFF;
        const String name = V::format("I/O Module - DE0x%02x:IOM%02u", de, io);
        instance->Tag.set(V::format("IOM%02u_DE0x%02x_%s", io, de, _storage.c_str()));
        instance->CreationClassName.set("VELDARO_IOM");
        instance->Caption.set("I/O Module");
        instance->Description.set("I/O Module");
        instance->Name.set(name);
        instance->ElementName.set(name);
        instance->Manufacturer.set(V::MANUFACTURER);
        instance->Model.set(V::UNKNOWN_MODEL);
        instance->SerialNumber.set(serialNumber);
        instance->Version.set(revision);
        instance->PartNumber.set(partNumber);
        instance->CanBeFRUed.set(true);
        instance->RemovalConditions.set(V::REMOVABLE_WHEN_ON);
        instance->PhysicalPosition.set(V::format("%u", io));
        instance->ChassisID.set(VELDARO_ValueConv::convDeIdToChassisID(static_cast<std::uint8_t>(de)));
        instance->Factor.set(V::format("0x%04x", static_cast<unsigned>(factor)));
        instance->OperationalStatus.set(V::statusList(operationalStatus));
        instance->Status.set(VELDARO_ValueConv::convOperationalStatusToStatus(operationalStatus));
        return 0;
    } catch (...) {
        Instance_Provider_Frame::logBuildFailure(__FILE__, __LINE__);
        return 1;
    }
}

bool VELDARO_IOM_Resource::divide_Tag(const char* key, std::uint8_t* iomNumber, std::uint8_t* deId)
{
    if (!key || !*key || !iomNumber || !deId)
        return false;
    int io = 0;
    unsigned de = 0;
    if (std::sscanf(key, "IOM%02d_DE0x%02x", &io, &de) != 2)
        return false;
    *iomNumber = static_cast<std::uint8_t>(io);
    *deId = static_cast<std::uint8_t>(de);
    return true;
}

}  // namespace cimple
