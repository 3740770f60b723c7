// The controller firmware of each controller module, version form "%s.%s.%s".

#include "VELDARO_ControllerModuleSoftwareIdentity_Resource.h"

#include <cstdio>

#include "RefTable_Text.h"
#include "VELDARO_RefTable.h"
#include "VELDARO_ValueConv.h"

namespace cimple {

int VELDARO_ControllerModuleSoftwareIdentity_Resource::createControllerModuleSoftwareIdentity()
{
    VELDARO_ControllerModuleSoftwareIdentity* made = nullptr;
    try {
        VELDARO_RefTable table(_storage.c_str());
        const int first = Instance_Common::icFirstCommonProcess(&table);
        if (first != 0)
            return first;
        RefTable_Text version(table.getTotalFirmVersion(0));
        if (version.missing()) {
            Instance_Provider_Frame::logBuildFailure(__FILE__, __LINE__);
            return 1;
        }
        for (int i = 0; i < 8; ++i) {
            const int m = table.searchCMModuleIdFromCMTable(table.getCMMasterCPUMid(i));
            if (m < 0)
                continue;
            const std::uint32_t itemId = table.getCMItemId(m);
            const unsigned cm = (itemId >> 8) & 7;
            int status = 0;
            if (table.getCMSMISStatus(itemId, &status) != 0) {
                Instance_Provider_Frame::logBuildFailure(__FILE__, __LINE__);
                return 1;
            }
            made = Instance_Provider_Frame::newInstance<VELDARO_ControllerModuleSoftwareIdentity>();
            char buf[128];
            made->Caption.set("Controller FW");
            made->Description.set("Controller FW");
            std::snprintf(buf, sizeof buf, "Controller FW - CM%02u", cm);
            made->ElementName.set(buf);
            std::snprintf(buf, sizeof buf, "VELDARO:CMSI%02u_", cm);
            made->InstanceID.set(concat(buf, _storage));
            Array<uint16> operational;
            operational.append(static_cast<uint16>(status));
            made->OperationalStatus.set(operational);
            made->Status.set(VELDARO_ValueConv::convOperationalStatusToStatus(status));
            made->VersionString.set(version.str());
            made->Manufacturer.set("VELDARO");
            Array<uint16> classifications;
            classifications.append(10);
            made->Classifications.set(classifications);
            made->CMSlotNumber.set(cm);
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

}  // namespace cimple
