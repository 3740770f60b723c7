// One disk as a physical package: vendor texts, kind, enclosure and speed.

#include "VELDARO_PhysicalDisk_Resource.h"

#include <cstdio>

#include "Disk_Entry.h"
#include "Instance_Provider_Frame.h"
#include "Physical_Element_Values.h"
#include "RefTable_Text.h"
#include "VELDARO_RefTable.h"
#include "VELDARO_ValueConv.h"

namespace cimple {

int VELDARO_PhysicalDisk_Resource::createInstance(VELDARO_PhysicalDisk*& instance, int diskIndex)
{
    using V = Physical_Element_Values;
    instance = nullptr;
    VELDARO_PhysicalDisk* made = nullptr;
    try {
        VELDARO_RefTable table(_storage.c_str());
        Disk_Entry disk;
        const int read = Disk_Entry::read(table, diskIndex, disk);
        if (read != Disk_Entry::PRESENT)
            return read == Disk_Entry::ABSENT ? 0 : 1;
        RefTable_Text vendor(table.getDiskVenderId(diskIndex));
        RefTable_Text product(table.getDiskProductId(diskIndex));
        RefTable_Text serial(table.getDiskSerialNo(diskIndex));
        RefTable_Text revision(table.getDiskRevision(diskIndex));
        if (vendor.missing() || product.missing() || serial.missing() || revision.missing()) {
            Instance_Provider_Frame::logBuildFailure(__FILE__, __LINE__);
            return 1;
        }
        const String type = VELDARO_ValueConv::convDiskKindToString(table.getDiskKind(diskIndex));
        const String chassis = VELDARO_ValueConv::convDeIdToChassisID(static_cast<std::uint8_t>(disk.de));
        const unsigned factor = table.getDiskFactor(diskIndex);
        const std::uint16_t rotation = table.getDiskRotation(diskIndex);

        made = Instance_Provider_Frame::newInstance<VELDARO_PhysicalDisk>();
        const String name = V::format("Physical Disk - DE0x%02x:Disk%02u", disk.de, disk.slot);
        made->Tag.set(V::format("PD0x%04x_%s", static_cast<unsigned>(disk.number), _storage.c_str()));
        made->CreationClassName.set("VELDARO_PhysicalDisk");
        made->Caption.set("Physical Disk");
        made->Description.set("Physical Disk");
        made->ElementName.set(name);
        made->Name.set(name);
        made->OperationalStatus.set(V::statusList(disk.status));
        made->Status.set(VELDARO_ValueConv::convOperationalStatusToStatus(disk.status));
        made->Manufacturer.set(vendor.str());
        made->Model.set(product.str());
        made->SerialNumber.set(serial.str());
        made->Version.set(revision.str());
        made->PartNumber.set(V::format("0x%04x", static_cast<unsigned>(disk.number)));
        made->CanBeFRUed.set(true);
        made->RemovalConditions.set(V::REMOVABLE_WHEN_ON);
        made->DeID.set(disk.de);
        made->Type.set(type);
        made->ChassisID.set(chassis);
        made->Factor.set(V::format("0x%04x", factor));
        made->RPM.set(rotation);
        made->SpindleSpeed.set(rotation);
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

bool VELDARO_PhysicalDisk_Resource::divide_Tag(const char* key, std::uint16_t* diskNumber)
{
    if (!key || !*key || !diskNumber)
        return false;
    unsigned number = 0;
    if (std::sscanf(key, "PD0x%04x", &number) != 1)
        return false;
    *diskNumber = static_cast<std::uint16_t>(number);
    return true;
}

}  // namespace cimple
