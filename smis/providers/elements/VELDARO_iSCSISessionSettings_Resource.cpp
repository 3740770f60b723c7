// Configured session settings of the iSCSI ports of one array.

#include "VELDARO_iSCSISessionSettings_Resource.h"

#include <string>

#include "CA_Port_Name.h"
#include "CA_Port_Walk.h"
#include "Instance_Common.h"
#include "Instance_Provider_Frame.h"
#include "VELDARO_RefTable.h"

namespace cimple {

VELDARO_iSCSISessionSettings_Resource::~VELDARO_iSCSISessionSettings_Resource()
{
    Instance_Provider_Frame::destroyAll(_instances);
}

int VELDARO_iSCSISessionSettings_Resource::createiSCSISessionSettings()
{
    VELDARO_iSCSISessionSettings* made = nullptr;
    try {
        VELDARO_RefTable table(_storage.c_str());
        const int first = Instance_Common::icFirstCommonProcess(&table);
        if (first != 0)
            return first;
        return CA_Port_Walk::forEachiSCSIPort(table, [&](int ca, int port) {
            const CA_Port_Name n = CA_Port_Name::of(table.getCAModuleId(ca), table.getCAPortNo(ca, port));
            made = Instance_Provider_Frame::newInstance<VELDARO_iSCSISessionSettings>();
            if (setiSCSISessionSettings(made, n.cm, n.ca, n.port, table.getCAPortMaxConnections(ca, port),
                                        table.getCAPortMaxBurstLength(ca, port),
                                        table.getCAPortReconnectionWaitTime(ca, port),
                                        table.getCAPortTaskRetainTime(ca, port),
                                        table.getCAPortErrorRecoveryLevel(ca, port)) != 0) {
                destroy(made);
                made = nullptr;
                return 1;
            }
            _instances.append(made);
            made = nullptr;
            return 0;
        });
    } catch (...) {
        if (made)
            destroy(made);
        Instance_Provider_Frame::logBuildFailure(__FILE__, __LINE__);
        return 1;
    }
}

int VELDARO_iSCSISessionSettings_Resource::setiSCSISessionSettings(VELDARO_iSCSISessionSettings* instance,
                                                                   std::uint16_t cm, std::uint16_t ca,
                                                                   std::uint16_t port, std::uint32_t maxConnections,
                                                                   std::uint32_t maxBurstLength,
                                                                   std::uint32_t reconnectionWaitTime,
                                                                   std::uint32_t taskRetainTime,
                                                                   std::uint32_t errorRecoveryLevel)
{
    try {
        const std::string id = "VELDARO:iSSS_" + CA_Port_Name{cm, ca, port}.text() + "_" + _storage.c_str();
        instance->InstanceID.set(id.c_str());
        instance->Caption.set("iSCSI Session Settings");
        instance->Description.set("iSCSI Session Settings");
        instance->ElementName.set("iSCSI Session Settings");
        instance->MaxConnectionsPerSession.set(maxConnections);
        instance->InitialR2TPreference.set(true);
        instance->ImmediateDataPreference.set(false);
        instance->MaxOutstandingR2T.set(1);
        instance->MaxUnsolicitedFirstDataBurstLength.set(65536);
        instance->MaxDataBurstLength.set(maxBurstLength);
        instance->DataSequenceInOrderPreference.set(true);
        instance->DataPDUInOrderPreference.set(true);
        instance->DefaultTimeToWaitPreference.set(reconnectionWaitTime);
        instance->DefaultTimeToRetainPreference.set(taskRetainTime);
        instance->ErrorRecoveryLevelPreference.set(errorRecoveryLevel);
        instance->CMSlotNumber.set(cm);
        instance->CASlotNumber.set(ca);
        instance->PortNo.set(port);
        return 0;
    } catch (...) {
        Instance_Provider_Frame::logBuildFailure(__FILE__, __LINE__);
        return 1;
    }
}

}  // namespace cimple
