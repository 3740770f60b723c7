// iSCSI target endpoints of the iSCSI ports of one array.

#include "VELDARO_iSCSIProtocolEndpoint_Resource.h"

#include <cstdio>
#include <string>

#include "CA_Port_Name.h"
#include "CA_Port_Walk.h"
#include "Instance_Common.h"
#include "Instance_Provider_Frame.h"
#include "RefTable_Text.h"
#include "VELDARO_RefTable.h"
#include "VELDARO_ValueConv.h"

namespace cimple {

VELDARO_iSCSIProtocolEndpoint_Resource::~VELDARO_iSCSIProtocolEndpoint_Resource()
{
    Instance_Provider_Frame::destroyAll(_instances);
}

int VELDARO_iSCSIProtocolEndpoint_Resource::createiSCSIProtocolEndpoint()
{
    VELDARO_iSCSIProtocolEndpoint* made = nullptr;
    try {
        VELDARO_RefTable table(_storage.c_str());
        const int first = Instance_Common::icFirstCommonProcess(&table);
        if (first != 0)
            return first;
        return CA_Port_Walk::forEachiSCSIPort(table, [&](int ca, int port) {
            RefTable_Text name(table.getCAPortiSCSIName(ca, port));
            if (!name) {
                Instance_Provider_Frame::logBuildFailure(__FILE__, __LINE__);
                return 1;
            }
            const std::uint8_t moduleId = table.getCAModuleId(ca);
            const std::uint8_t portNo = table.getCAPortNo(ca, port);
            // Target portal group tag: the port's ordinal over all module ids, from 1.
            const auto tag = static_cast<std::uint16_t>((moduleId & 0x3F) * 2 + (portNo & 1) + 1);
            const CA_Port_Name n = CA_Port_Name::of(moduleId, portNo);
            made = Instance_Provider_Frame::newInstance<VELDARO_iSCSIProtocolEndpoint>();
            if (setiSCSIProtocolEndpoint(made, n.cm, n.ca, n.port, name.get(), tag, _storage.c_str(),
                                         table.getCAPortRAMode(ca, port)) != 0) {
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

int VELDARO_iSCSIProtocolEndpoint_Resource::setiSCSIProtocolEndpoint(VELDARO_iSCSIProtocolEndpoint* instance,
                                                                     std::uint16_t cm, std::uint16_t ca,
                                                                     std::uint16_t port, const char* iscsiName,
                                                                     std::uint16_t tag, const char* storage,
                                                                     std::uint16_t raMode)
{
    try {
        char identifier[16];
        std::snprintf(identifier, sizeof identifier, "%012X", static_cast<unsigned>(tag));
        instance->Caption.set("iSCSI Protocol End Point");
        instance->Description.set("iSCSI Protocol End Point");
        instance->ElementName.set(("iSP_" + CA_Port_Name{cm, ca, port}.text()).c_str());
        instance->Name.set(VELDARO_ValueConv::makeiSCSITargetPortName(String(iscsiName), tag));
        instance->SystemCreationClassName.set("VELDARO_StorageComputerSystem");
        instance->SystemName.set(storage);
        instance->CreationClassName.set("VELDARO_iSCSIProtocolEndpoint");
        instance->Identifier.set(identifier);
        instance->NameFormat.set("iSCSI Port Name");
        instance->ProtocolIFType.set(1);
        instance->OtherTypeDescription.set("SCSI");
        instance->ConnectionType.set(7);
        instance->Role.set(3);
        instance->HealthState.set(0);
        instance->RAMode.set(raMode);
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
