// One disk as a logical device of the array's system.

#include "VELDARO_DiskDrive_Resource.h"

#include <cstdio>

#include "Disk_Entry.h"
#include "Instance_Provider_Frame.h"
#include "Physical_Element_Values.h"
#include "VELDARO_RefTable.h"
#include "VELDARO_ValueConv.h"

namespace cimple {

int VELDARO_DiskDrive_Resource::createInstance(VELDARO_DiskDrive*& instance, int diskIndex)
{
    using V = Physical_Element_Values;
    instance = nullptr;
    VELDARO_DiskDrive* made = nullptr;
    try {
        VELDARO_RefTable table(_storage.c_str());
        Disk_Entry disk;
        const int read = Disk_Entry::read(table, diskIndex, disk);
        if (read != Disk_Entry::PRESENT)
            return read == Disk_Entry::ABSENT ? 0 : 1;
        const int health = VELDARO_ValueConv::convOperationalStatusToHealthState(disk.status);
        const std::uint64_t blocks = Disk_Entry::blockCount(table, diskIndex);

        made = Instance_Provider_Frame::newInstance<VELDARO_DiskDrive>();
        const String name = V::format("Disk Drive - DE0x%02x:Disk%02u", disk.de, disk.slot);
        made->SystemCreationClassName.set("VELDARO_StorageComputerSystem");
        made->SystemName.set(_storage);
        made->CreationClassName.set("VELDARO_DiskDrive");
        made->DeviceID.set(V::format("DD0x%04x", static_cast<unsigned>(disk.number)));
        made->Caption.set("Disk Drive");
        made->Description.set("Disk Drive");
        made->ElementName.set(name);
        made->Name.set(name);
        made->OperationalStatus.set(V::statusList(disk.status));
        made->Status.set(VELDARO_ValueConv::convOperationalStatusToStatus(disk.status));
        made->HealthState.set(static_cast<uint16>(health));
        made->MaxMediaSize.set(Disk_Entry::kilobytes(blocks));
        made->DefaultBlockSize.set(Disk_Entry::BLOCK_SIZE);
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

bool VELDARO_DiskDrive_Resource::divide_DeviceID(const char* key, std::uint16_t* diskNumber)
{
    if (!key || !*key || !diskNumber)
        return false;
    unsigned number = 0;
    if (std::sscanf(key, "DD0x%04x", &number) != 1)
        return false;
    *diskNumber = static_cast<std::uint16_t>(number);
    return true;
}

}  // namespace cimple
