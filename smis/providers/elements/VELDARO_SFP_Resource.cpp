// The SFP modules of the channel adapter ports.

#include "VELDARO_SFP_Resource.h"

#include <cstdio>

#include "RefTable_Text.h"
#include "VELDARO_RefTable.h"
#include "VELDARO_System_Resource.h"
#include "VELDARO_ValueConv.h"

namespace cimple {

namespace {

// Adapter kinds that carry SFP modules: FC (0x0000, 0x5000) and 0x3000.
bool carriesSfp(std::uint16_t maskedType)
{
    return maskedType == 0x0000 || maskedType == 0x5000 || maskedType == 0x3000;
}

}  // namespace

int VELDARO_SFP_Resource::createSFP()
{
    VELDARO_SFP* made = nullptr;
    try {
        VELDARO_RefTable table(_storage.c_str());
        const int first = Instance_Common::icFirstCommonProcess(&table);
        if (first != 0)
            return first;
        for (int i = 0; i < static_cast<int>(VELDARO_RefTable::getCAMaxCount()); ++i) {
            if (table.getCAStatus(i) == 0 || !carriesSfp(table.getMaskCARealType(i)))
                continue;
            for (int j = 0; j < static_cast<int>(VELDARO_RefTable::getCAPortMaxCount()); ++j) {
                if (table.getCAPortStatus(i, j) == 0)
                    continue;
                RefTable_Text part(table.getSFPPartsNo(i, j));
                RefTable_Text serial(table.getSFPSerialNo(i, j));
                RefTable_Text revision(table.getSFPRevision(i, j));
                if (part.missing() || serial.missing() || revision.missing()) {
                    Instance_Provider_Frame::logBuildFailure(__FILE__, __LINE__);
                    return 1;
                }
                const std::uint8_t portNo = table.getCAPortNo(i, j);
                // The status of this port entry: the ports of a module half
                // are numbered 2 and 3, so the number is no entry index.
                int status = 0;
                if (table.getCAPortSMISStatus(table.getCAItemId(i), j, &status) != 0) {
                    Instance_Provider_Frame::logBuildFailure(__FILE__, __LINE__);
                    return 1;
                }
                made = Instance_Provider_Frame::newInstance<VELDARO_SFP>();
                if (setSFP(made, table.getCAModuleId(i), portNo, serial.str(), revision.str(), part.str(), status) !=
                    0) {
                    destroy(made);
                    return 1;
                }
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

int VELDARO_SFP_Resource::setSFP(VELDARO_SFP* instance, unsigned char caModuleId, unsigned char portNo,
                                 const String& serialNumber, const String& revision, const String& partNumber,
                                 int status)
{
    const unsigned cm = caModuleId & 7;
    const unsigned ca = (caModuleId >> 4) & 3;
    const unsigned port = ((caModuleId & 8u) >> 2) | (portNo & 1u);
    char numbers[32];
    std::snprintf(numbers, sizeof numbers, "CM%02uCA%02uP%02u", cm, ca, port);

    instance->Caption.set("Small Form Factor Pluggable");
    instance->Description.set("Small Form Factor Pluggable");
    instance->ElementName.set(concat("Small Form Factor Pluggable - ", numbers));
    instance->Name.set(VELDARO_System_Resource::SERVER_NAME);
    instance->Tag.set(concat("SFP_", numbers, "_", _storage));
    instance->CreationClassName.set("VELDARO_SFP");
    Array<uint16> operational;
    operational.append(static_cast<uint16>(status));
    instance->OperationalStatus.set(operational);
    instance->Status.set(VELDARO_ValueConv::convOperationalStatusToStatus(status));
    instance->Manufacturer.set("VELDARO");
    instance->Model.set("Unknown");
    instance->SerialNumber.set(serialNumber);
    instance->Version.set(revision);
    instance->PartNumber.set(partNumber);
    instance->CanBeFRUed.set(true);
    instance->RemovalConditions.set(4);
    instance->CMSlotNumber.set(cm);
    instance->CASlotNumber.set(ca);
    instance->PortNo.set(port);
    return 0;
}

}  // namespace cimple
