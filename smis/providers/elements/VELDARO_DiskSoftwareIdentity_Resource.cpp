// The firmware of one disk as a software identity.

#include "VELDARO_DiskSoftwareIdentity_Resource.h"

#include <cstdio>

#include "Instance_Provider_Frame.h"
#include "RefTable_Text.h"
#include "VELDARO_RefTable.h"
#include "VELDARO_ValueConv.h"

namespace cimple {

int VELDARO_DiskSoftwareIdentity_Resource::createInstance(VELDARO_DiskSoftwareIdentity*& instance, int diskIndex)
{
    instance = nullptr;
    VELDARO_DiskSoftwareIdentity* made = nullptr;
    try {
        if (diskIndex < 0 || diskIndex >= DISK_TABLE_SIZE)
            return 1;
        VELDARO_RefTable table(_storage.c_str());
        if ((table.getDiskStatus(diskIndex) & 0xFF) == 2)
            return 0;  // the slot holds no disk
        const std::uint32_t itemId = table.getDiskItemId(diskIndex);
        const std::uint16_t plun = table.getDiskPlun(diskIndex);
        // Looked up by disk number, not by item id (see Disk_Entry).
        int status = 0;
        if (table.getDiskSMISStatus(plun, &status) != 0) {
            Instance_Provider_Frame::logBuildFailure(__FILE__, __LINE__);
            return 1;
        }
        RefTable_Text revision(table.getDiskRevision(diskIndex));
        RefTable_Text vendor(table.getDiskVenderId(diskIndex));
        if (revision.missing() || vendor.missing()) {
            Instance_Provider_Frame::logBuildFailure(__FILE__, __LINE__);
            return 1;
        }

        made = Instance_Provider_Frame::newInstance<VELDARO_DiskSoftwareIdentity>();
        char buf[128];
        made->Caption.set("Disk FW");
        made->Description.set("Disk FW");
        std::snprintf(buf, sizeof buf, "Disk FW - DE0x%02x:Disk%02u", static_cast<unsigned>((itemId >> 8) & 0xFF),
                      static_cast<unsigned>(itemId & 0xFF));
        made->ElementName.set(buf);
        std::snprintf(buf, sizeof buf, "VELDARO:DSI0x%04x_", static_cast<unsigned>(plun));
        made->InstanceID.set(concat(buf, _storage));
        Array<uint16> operational;
        operational.append(static_cast<uint16>(status));
        made->OperationalStatus.set(operational);
        made->Status.set(VELDARO_ValueConv::convOperationalStatusToStatus(status));
        made->VersionString.set(revision.str());
        made->Manufacturer.set(vendor.str());
        Array<uint16> classifications;
        classifications.append(10);
        made->Classifications.set(classifications);
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

bool VELDARO_DiskSoftwareIdentity_Resource::divide_InstanceID(const char* key, std::uint16_t* plun)
{
    if (!key || !plun)
        return false;
    unsigned number = 0;
    if (std::sscanf(key, "VELDARO:DSI0x%04x", &number) != 1)
        return false;
    *plun = static_cast<std::uint16_t>(number);
    return true;
}

}  // namespace cimple
