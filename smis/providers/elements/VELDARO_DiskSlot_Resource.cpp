// The drive enclosure slot that holds one disk.

#include "VELDARO_DiskSlot_Resource.h"

#include <cstdio>

#include "Disk_Entry.h"
#include "Instance_Provider_Frame.h"
#include "Physical_Element_Values.h"
#include "VELDARO_RefTable.h"
#include "VELDARO_ValueConv.h"

namespace cimple {

int VELDARO_DiskSlot_Resource::createInstance(VELDARO_DiskSlot*& instance, int diskIndex)
{
    using V = Physical_Element_Values;
    instance = nullptr;
    VELDARO_DiskSlot* made = nullptr;
    try {
        VELDARO_RefTable table(_storage.c_str());
        Disk_Entry disk;
        const int read = Disk_Entry::read(table, diskIndex, disk);
        if (read != Disk_Entry::PRESENT)
            return read == Disk_Entry::ABSENT ? 0 : 1;

        made = Instance_Provider_Frame::newInstance<VELDARO_DiskSlot>();
        made->Tag.set(V::format("DS0x%04x_%s", static_cast<unsigned>(disk.number), _storage.c_str()));
        made->CreationClassName.set("VELDARO_DiskSlot");
        made->Caption.set("Disk Slot");
        made->Description.set("Disk Slot");
        made->ElementName.set(V::format("Disk Slot - DE0x%02x:Disk%02u", disk.de, disk.slot));
        made->Name.set(V::SERVER_NAME);
        made->OperationalStatus.set(V::statusList(disk.status));
        made->Status.set(VELDARO_ValueConv::convOperationalStatusToStatus(disk.status));
        made->Manufacturer.set(V::MANUFACTURER);
        made->Model.set(V::UNKNOWN_MODEL);
        made->CanBeFRUed.set(false);
        made->DeID.set(disk.de);
        made->Number.set(static_cast<uint16>(disk.slot));
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

bool VELDARO_DiskSlot_Resource::divide_Tag(const char* key, std::uint16_t* diskNumber)
{
    if (!key || !*key || !diskNumber)
        return false;
    unsigned number = 0;
    if (std::sscanf(key, "DS0x%04x", &number) != 1)
        return false;
    *diskNumber = static_cast<std::uint16_t>(number);
    return true;
}

}  // namespace cimple
