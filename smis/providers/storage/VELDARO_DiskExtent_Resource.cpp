// One disk of the disk table as a primordial storage extent.

#include "VELDARO_DiskExtent_Resource.h"

#include <cstdio>
#include <string>

#include "Instance_Provider_Frame.h"
#include "RefTable_Text.h"
#include "VELDARO_RefTable.h"
#include "VELDARO_ValueConv.h"

namespace cimple {

int VELDARO_DiskExtent_Resource::createInstance(VELDARO_DiskExtent*& instance, int diskIndex)
{
    instance = nullptr;
    VELDARO_DiskExtent* made = nullptr;
    try {
        VELDARO_RefTable table(_storage.c_str());
        if (diskIndex < 0 || diskIndex >= DISK_TABLE_SIZE)
            return 1;
        if ((table.getDiskStatus(diskIndex) & 0xFF) == 2)
            return 0;  // slot without a disk
        const std::uint32_t itemId = table.getDiskItemId(diskIndex);
        const unsigned enclosure = (itemId >> 8) & 0xFF;
        const unsigned slot = itemId & 0xFF;
        const std::uint16_t plun = table.getDiskPlun(diskIndex);
        const std::uint8_t usage = table.getDiskUsage(diskIndex);

        // The status is found by disk number, which the item id only
        // matches when its low 16 bits happen to equal it.
        int first = 0, second = 0;
        if (table.getDiskExtentSMISStatus(plun, &first, &second) != 0) {
            Instance_Provider_Frame::logBuildFailure(__FILE__, __LINE__);
            return 1;
        }
        const std::uint64_t whole = table.getDiskWholeBlockCount(diskIndex);
        const std::uint64_t usable = (usage & 0x02) ? whole : table.getDiskBlockCount(diskIndex);

        RefTable_Text vendor(table.getDiskVenderId(diskIndex));
        RefTable_Text product(table.getDiskProductId(diskIndex));
        RefTable_Text serial(table.getDiskSerialNo(diskIndex));
        if (!vendor || !product || !serial) {
            Instance_Provider_Frame::logBuildFailure(__FILE__, __LINE__);
            return 1;
        }

        made = Instance_Provider_Frame::newInstance<VELDARO_DiskExtent>();
        char buf[160];
        made->Caption.set("Disk Extent");
        made->Description.set("Disk Extent");
        std::snprintf(buf, sizeof buf, "Disk Drive - DE0x%02x:Disk%02u", enclosure, slot);
        made->ElementName.set(buf);
        std::snprintf(buf, sizeof buf, "%-8s+%-16s+%s", vendor.get(), product.get(), serial.get());
        made->Name.set(buf);
        Array<uint16> operational;
        operational.append(static_cast<uint16>(first));
        made->OperationalStatus.set(operational);
        made->Status.set(VELDARO_ValueConv::convOperationalStatusToStatus(first));
        made->HealthState.set(static_cast<uint16>(VELDARO_ValueConv::convOperationalStatusToHealthState(first)));
        Array<uint16> extent;
        extent.append(static_cast<uint16>(second));
        made->ExtentStatus.set(extent);
        made->SystemCreationClassName.set("VELDARO_StorageComputerSystem");
        made->SystemName.set(_storage);
        made->CreationClassName.set("VELDARO_DiskExtent");
        std::snprintf(buf, sizeof buf, "DE0x%04x", plun);
        made->DeviceID.set(buf);
        made->DataOrganization.set(2);
        made->Access.set(3);
        made->BlockSize.set(512);
        made->NumberOfBlocks.set(usable);
        made->ConsumableBlocks.set(usable);
        made->BlockCount.set(whole);
        made->Primordial.set(true);
        made->Usage.set(VELDARO_ValueConv::convDiskUsageToSMISValue(usage));
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

bool VELDARO_DiskExtent_Resource::divide_DeviceID(const char* key, std::uint16_t* plun)
{
    if (!key || !*key || !plun)
        return false;
    unsigned number = 0;
    if (std::sscanf(key, "DE0x%04x", &number) != 1)
        return false;
    *plun = static_cast<std::uint16_t>(number);
    return true;
}

}  // namespace cimple
