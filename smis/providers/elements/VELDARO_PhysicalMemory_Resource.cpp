// The memory modules of the controller modules.

#include "VELDARO_PhysicalMemory_Resource.h"

#include <cstdio>

#include "RefTable_Text.h"
#include "VELDARO_RefTable.h"
#include "VELDARO_System_Resource.h"

namespace cimple {

int VELDARO_PhysicalMemory_Resource::createPhysicalMemory()
{
    VELDARO_PhysicalMemory* made = nullptr;
    try {
        VELDARO_RefTable table(_storage.c_str());
        const int first = Instance_Common::icFirstCommonProcess(&table);
        if (first != 0)
            return first;
        for (int i = 0; i < CM_DETAIL_COUNT; ++i) {
            if (table.searchCMModuleIdFromCMTable(table.getCMMasterCPUMid(i)) < 0)
                continue;
            for (int j = 0; j < MEMORY_SLOTS; ++j) {
                if (table.getCMMemoryStatus(i, j) == 0)
                    continue;
                RefTable_Text part(table.getCMMemoryPartNo(i, j));
                RefTable_Text serial(table.getCMMemorySerialNo(i, j));
                RefTable_Text revision(table.getCMMemoryRevision(i, j));
                if (part.missing() || serial.missing() || revision.missing()) {
                    Instance_Provider_Frame::logBuildFailure(__FILE__, __LINE__);
                    return 1;
                }
                const std::uint32_t itemId = table.getCMMemoryItemId(i, j);
                const std::uint64_t size = table.getCMMemorySize(i, j);
                const unsigned cm = (itemId >> 8) & 7;
                const unsigned memory = itemId & 0xFF;
                const unsigned tag = itemId & 0x7FF;

                made = Instance_Provider_Frame::newInstance<VELDARO_PhysicalMemory>();
                char buf[128];
                made->Caption.set("Controller Memory");
                made->Description.set("Controller Memory");
                std::snprintf(buf, sizeof buf, "Controller Memory - CM%02uM%02u", cm, memory);
                made->ElementName.set(buf);
                made->Name.set(VELDARO_System_Resource::SERVER_NAME);
                std::snprintf(buf, sizeof buf, "PM0x%04x_", tag);
                made->Tag.set(concat(buf, _storage));
                made->CreationClassName.set("VELDARO_PhysicalMemory");
                made->Manufacturer.set("VELDARO");
                made->Model.set("Unknown");
                made->SerialNumber.set(serial.str());
                made->Version.set(revision.str());
                made->PartNumber.set(part.str());
                made->CanBeFRUed.set(true);
                made->RemovalConditions.set(4);
                made->FormFactor.set(8);
                made->Capacity.set(size);
                made->CMSlotNumber.set(cm);
                _list.append(made);
                made = nullptr;
            }
        }
        return 0;
    } catch (...) {
        if (made)
            destroy(made);
        Instance_Provider_Frame::logBuildFailure(__FILE__, __LINE__);
        return 1;
    }
}

}  // namespace cimple
