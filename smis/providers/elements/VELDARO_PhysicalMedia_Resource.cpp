// One disk as a medium: vendor texts and the capacity in bytes.

#include "VELDARO_PhysicalMedia_Resource.h"

#include <cstdio>

#include "Disk_Entry.h"
#include "Instance_Provider_Frame.h"
#include "Physical_Element_Values.h"
#include "RefTable_Text.h"
#include "VELDARO_RefTable.h"
#include "VELDARO_ValueConv.h"

namespace cimple {

int VELDARO_PhysicalMedia_Resource::createInstance(VELDARO_PhysicalMedia*& instance, int diskIndex)
{
    using V = Physical_Element_Values;
    instance = nullptr;
    VELDARO_PhysicalMedia* made = nullptr;
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
        const std::uint64_t blocks = Disk_Entry::blockCount(table, diskIndex);

        made = Instance_Provider_Frame::newInstance<VELDARO_PhysicalMedia>();
        // The medium is named like the disk drive that holds it.
        const String name = V::format("Disk Drive - DE0x%02x:Disk%02u", disk.de, disk.slot);
        made->Tag.set(V::format("PM0x%04x_%s", static_cast<unsigned>(disk.number), _storage.c_str()));
        made->CreationClassName.set("VELDARO_PhysicalMedia");
        made->Caption.set("Physical Media");
        made->Description.set("Physical Media");
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
        made->Capacity.set(Disk_Entry::bytes(blocks));
        made->MediaType.set(29);
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

bool VELDARO_PhysicalMedia_Resource::divide_Tag(const char* key, std::uint16_t* diskNumber)
{
    if (!key || !*key || !diskNumber)
        return false;
    unsigned number = 0;
    if (std::sscanf(key, "PM0x%04x", &number) != 1)
        return false;
    *diskNumber = static_cast<std::uint16_t>(number);
    return true;
}

}  // namespace cimple
