// The controller modules of an array as computer systems.

#include "VELDARO_ControllerComputerSystem_Resource.h"

#include <cstdio>

#include "RefTable_Text.h"
#include "VELDARO_RefTable.h"
#include "VELDARO_ValueConv.h"

namespace cimple {

int VELDARO_ControllerComputerSystem_Resource::createControllerModuleComputerSystem()
{
    VELDARO_ControllerComputerSystem* made = nullptr;
    try {
        VELDARO_RefTable table(_storage.c_str());
        const int first = Instance_Common::icFirstCommonProcess(&table);
        if (first != 0)
            return first;

        for (int i = 0; i < CM_DETAIL_COUNT; ++i) {
            // The CM entry of the detail record's master CPU.
            const int m = table.searchCMModuleIdFromCMTable(table.getCMMasterCPUMid(i));
            if (m < 0 || table.getCMStatus(m) == 0)
                continue;
            const std::uint32_t itemId = table.getCMItemId(m);
            const unsigned cm = (itemId >> 8) & 7;

            int status = 0;
            if (table.getCMSMISStatus(itemId, &status) != 0) {
                Instance_Provider_Frame::logBuildFailure(__FILE__, __LINE__);
                return 1;
            }
            RefTable_Text ip(table.getCMIPAddress(m));
            if (ip.missing()) {
                Instance_Provider_Frame::logBuildFailure(__FILE__, __LINE__);
                return 1;
            }
            char buf[64];
            std::snprintf(buf, sizeof buf, "0x%02x", static_cast<unsigned>(table.getCMFactor(m)));
            String factor(buf);
            const int pair = table.searchCMModuleIdFromCMTable(table.getCMPairCMCPUMID(m));
            if (pair >= 0) {
                std::snprintf(buf, sizeof buf, ",0x%02x", static_cast<unsigned>(table.getCMFactor(pair)));
                factor.append(buf);
            }
            RefTable_Text serial(table.getCMSerialNo(i));
            RefTable_Text revision(table.getCMHardRevision(i));
            if (serial.missing() || revision.missing()) {
                Instance_Provider_Frame::logBuildFailure(__FILE__, __LINE__);
                return 1;
            }

            made = Instance_Provider_Frame::newInstance<VELDARO_ControllerComputerSystem>();
            made->Caption.set("Controller");
            made->Description.set("Controller");
            std::snprintf(buf, sizeof buf, "Controller%02u", cm);
            made->ElementName.set(buf);
            std::snprintf(buf, sizeof buf, "_CM%02u", cm);
            made->Name.set(concat(_storage, buf));
            made->NameFormat.set("Other");
            made->CreationClassName.set("VELDARO_ControllerComputerSystem");
            Array<uint16> operational;
            operational.append(static_cast<uint16>(status));
            made->OperationalStatus.set(operational);
            made->Status.set(VELDARO_ValueConv::convOperationalStatusToStatus(status));
            made->HealthState.set(static_cast<uint16>(VELDARO_ValueConv::convOperationalStatusToHealthState(status)));
            Array<uint16> dedicated;
            dedicated.append(3);
            dedicated.append(15);
            made->Dedicated.set(dedicated);
            made->CMSlotNumber.set(cm);
            made->Factor.set(factor);
            made->SerialNumber.set(serial.str());
            made->HardwareRevision.set(revision.str());
            if (*ip.c_str())
                made->IP.set(ip.str());
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
