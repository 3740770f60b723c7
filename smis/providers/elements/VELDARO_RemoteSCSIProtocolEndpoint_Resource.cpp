// Endpoints of remote arrays' ports from the remote-copy connection map.

#include "VELDARO_RemoteSCSIProtocolEndpoint_Resource.h"

#include <string>

#include "Instance_Common.h"
#include "Instance_Provider_Frame.h"
#include "RefTable_Text.h"
#include "VELDARO_RefTable.h"

namespace cimple {

namespace {
constexpr std::uint8_t CA_TYPE_ISCSI = 2;
}

VELDARO_RemoteSCSIProtocolEndpoint_Resource::~VELDARO_RemoteSCSIProtocolEndpoint_Resource()
{
    Instance_Provider_Frame::destroyAll(_instances);
}

int VELDARO_RemoteSCSIProtocolEndpoint_Resource::createRemoteSCSIProtocolEndpoint()
{
    try {
        VELDARO_RefTable table(_storage.c_str());
        const int first = Instance_Common::icFirstCommonProcess(&table);
        if (first != 0)
            return first;

        const std::uint16_t count = table.getConnectionMapCount();
        for (std::uint16_t i = 0; i < count; ++i) {
            RefTable_Text boxId(table.getRemotePathBoxID(table.getConnectionMapRemotePathNo(i)));
            if (!boxId) {
                Instance_Provider_Frame::logBuildFailure(__FILE__, __LINE__);
                return 1;
            }
            const std::uint8_t caType = table.getConnectionMapCAType(i);
            VELDARO_RemoteSCSIProtocolEndpoint* made = nullptr;
            if (caType == CA_TYPE_ISCSI) {
                RefTable_Text name(table.getConnectionMapiSCSIName(i));
                RefTable_Text ip(table.getConnectionMapIPAddress(i));
                if (!name || !ip) {
                    Instance_Provider_Frame::logBuildFailure(__FILE__, __LINE__);
                    return 1;
                }
                made = Instance_Provider_Frame::newInstance<VELDARO_RemoteSCSIProtocolEndpoint>();
                if (setRemoteSCSIProtocolEndpoint(made, caType, name.get(), ip.get(), boxId.get()) != 0) {
                    destroy(made);
                    return 1;
                }
            } else {
                RefTable_Text wwn(table.getConnectionMapWWN(i));
                if (!wwn) {
                    Instance_Provider_Frame::logBuildFailure(__FILE__, __LINE__);
                    return 1;
                }
                made = Instance_Provider_Frame::newInstance<VELDARO_RemoteSCSIProtocolEndpoint>();
                if (setRemoteSCSIProtocolEndpoint(made, caType, wwn.get(), "", boxId.get()) != 0) {
                    destroy(made);
                    return 1;
                }
            }
            _instances.append(made);
        }
        return 0;
    } catch (...) {
        Instance_Provider_Frame::logBuildFailure(__FILE__, __LINE__);
        return 1;
    }
}

int VELDARO_RemoteSCSIProtocolEndpoint_Resource::setRemoteSCSIProtocolEndpoint(
    VELDARO_RemoteSCSIProtocolEndpoint* instance, std::uint8_t caType, const char* name, const char* ipAddress,
    const char* boxId)
{
    try {
        const std::string id = name ? name : "";
        const bool iscsi = caType == CA_TYPE_ISCSI;
        instance->Caption.set("Remote SCSI Protocol End Point");
        instance->Description.set("Remote SCSI Protocol End Point");
        if (iscsi) {
            instance->ElementName.set(("Remote iSCSI Port - " + id).c_str());
            instance->Name.set((id + "_" + (ipAddress ? ipAddress : "")).c_str());
            instance->NameFormat.set("iSCSI Name and IP Address");
            instance->ConnectionType.set(7);
        } else {
            instance->ElementName.set(("Remote FC Port - " + id).c_str());
            instance->Name.set(id.c_str());
            instance->NameFormat.set("WWN");
            instance->ConnectionType.set(2);
        }
        instance->SystemCreationClassName.set("VELDARO_StorageComputerSystem");
        instance->SystemName.set((std::string(boxId ? boxId : "") + "_" + _storage.c_str()).c_str());
        instance->CreationClassName.set("VELDARO_RemoteSCSIProtocolEndpoint");
        instance->Status.set("Unknown");
        Array<uint16> operational;
        operational.append(0);
        instance->OperationalStatus.set(operational);
        instance->ProtocolIFType.set(1);
        instance->OtherTypeDescription.set("SCSI");
        instance->Role.set(3);
        return 0;
    } catch (...) {
        Instance_Provider_Frame::logBuildFailure(__FILE__, __LINE__);
        return 1;
    }
}

}  // namespace cimple
