// The controller firmware of each controller module, version form
// "V%sL%s-%s".

#include "VELDARO_StorageComputerSystemSoftwareIdentity_Resource.h"

#include <cstdio>

#include "RefTable_Text.h"
#include "VELDARO_RefTable.h"
#include "VELDARO_ValueConv.h"

namespace cimple {

int VELDARO_StorageComputerSystemSoftwareIdentity_Resource::createStorageComputerSystemSoftwareIdentity()
{
    VELDARO_StorageComputerSystemSoftwareIdentity* made = nullptr;
    try {
        VELDARO_RefTable table(_storage.c_str());
        const int first = Instance_Common::icFirstCommonProcess(&table);
        if (first != 0)
            return first;
        RefTable_Text version(table.getTotalFirmVersion(2));
        if (version.missing()) {
            Instance_Provider_Frame::logBuildFailure(__FILE__, __LINE__);
            return 1;
        }
        for (int i = 0; i < 8; ++i) {
            const int m = table.searchCMModuleIdFromCMTable(table.getCMMasterCPUMid(i));
            if (m < 0)
                continue;
            const std::uint32_t itemId = table.getCMItemId(m);
            int status = 0;
            if (table.getCMSMISStatus(itemId, &status) != 0) {
                Instance_Provider_Frame::logBuildFailure(__FILE__, __LINE__);
                return 1;
            }
            made = Instance_Provider_Frame::newInstance<VELDARO_StorageComputerSystemSoftwareIdentity>();
            if (setStorageComputerSystemSoftwareIdentity(made, version.str(), itemId, status) != 0) {
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

int VELDARO_StorageComputerSystemSoftwareIdentity_Resource::setStorageComputerSystemSoftwareIdentity(
    VELDARO_StorageComputerSystemSoftwareIdentity* instance, const String& version, unsigned long cmItemId, int status)
{
    const unsigned cm = (cmItemId >> 8) & 7;
    char buf[128];
    instance->Caption.set("Controller FW");
    instance->Description.set("Controller FW");
    std::snprintf(buf, sizeof buf, "Controller FW - CM%02u", cm);
    instance->ElementName.set(buf);
    std::snprintf(buf, sizeof buf, "VELDARO:SCSSI%02u_", cm);
    instance->InstanceID.set(concat(buf, _storage));
    Array<uint16> operational;
    operational.append(static_cast<uint16>(status));
    instance->OperationalStatus.set(operational);
    instance->Status.set(VELDARO_ValueConv::convOperationalStatusToStatus(status));
    instance->VersionString.set(version);
    instance->Manufacturer.set("VELDARO");
    Array<uint16> classifications;
    classifications.append(10);
    instance->Classifications.set(classifications);
    instance->CMSlotNumber.set(cm);
    return 0;
}

}  // namespace cimple
