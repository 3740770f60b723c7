// Live iSCSI connections of one array: one per login its iSCSI ports report.

#include "VELDARO_iSCSIConnection_Resource.h"

#include <string>

#include "CA_Port_Name.h"
#include "Instance_Common.h"
#include "Instance_Provider_Frame.h"
#include "iSCSI_Login_Record.h"
#include "SMIS_Vorpak.h"
#include "VELDARO_RefTable.h"
#include "VELDARO_ValueConv.h"

namespace cimple {

VELDARO_iSCSIConnection_Resource::~VELDARO_iSCSIConnection_Resource()
{
    Instance_Provider_Frame::destroyAll(_instances);
}

int VELDARO_iSCSIConnection_Resource::createiSCSIConnection()
{
    VELDARO_iSCSIConnection* made = nullptr;
    try {
        VELDARO_RefTable table(_storage.c_str());
        const int first = Instance_Common::icFirstCommonProcess(&table);
        if (first != 0)
            return first;
        SMIS_Vorpak vorpak(_storage.c_str());
        const int result = forEachiSCSILogin(
            table, vorpak, [&](int ca, int port, const CMM_RSP_RD_PORT_ISCSI_LOGIN_INFO& login) {
                const CA_Port_Name n = CA_Port_Name::of(table.getCAModuleId(ca), table.getCAPortNo(ca, port));
                made = Instance_Provider_Frame::newInstance<VELDARO_iSCSIConnection>();
                if (setiSCSIConnection(made, n.cm, n.ca, n.port, &login) != 0) {
                    destroy(made);
                    made = nullptr;
                    return 1;
                }
                _instances.append(made);
                made = nullptr;
                return 0;
            });
        if (result == LOGIN_QUERY_FAILED) {
            // The array could not tell its logins: it shows none.
            Instance_Provider_Frame::destroyAll(_instances);
            return 0;
        }
        return result;
    } catch (...) {
        if (made)
            destroy(made);
        Instance_Provider_Frame::logBuildFailure(__FILE__, __LINE__);
        return 1;
    }
}

int VELDARO_iSCSIConnection_Resource::setiSCSIConnection(VELDARO_iSCSIConnection* instance, std::uint16_t cm,
                                                         std::uint16_t ca, std::uint16_t port,
                                                         const CMM_RSP_RD_PORT_ISCSI_LOGIN_INFO* login)
{
    try {
        const iSCSI_Login_Record r(*login);
        const std::string portText = r.portText();
        instance->InstanceID.set(
            ("VELDARO:iSC" + portText + iSCSI_Login_Record::keyTail(cm, ca, _storage.c_str())).c_str());
        instance->Caption.set("iSCSI Connection");
        instance->Description.set("iSCSI Connection");
        instance->ElementName.set("iSCSI Connection");
        instance->HealthState.set(0);
        instance->ConnectionID.set(r.u16(264));
        instance->MaxReceiveDataSegmentLength.set(r.u32(288));
        instance->MaxTransmitDataSegmentLength.set(r.u32(292));
        instance->HeaderDigestMethod.set(static_cast<uint16>(VELDARO_ValueConv::convDigestMethodToSMISValue(r.u8(274))));
        instance->DataDigestMethod.set(static_cast<uint16>(VELDARO_ValueConv::convDigestMethodToSMISValue(r.u8(275))));
        instance->ReceivingMarkers.set(VELDARO_ValueConv::conviSCSISupportToSMISValue(r.u8(317)));
        instance->SendingMarkers.set(VELDARO_ValueConv::conviSCSISupportToSMISValue(r.u8(316)));
        instance->ActiveiSCSIVersion.set(false);
        instance->AuthenticationMethodUsed.set(
            static_cast<uint16>(VELDARO_ValueConv::convAuthenticationToSMISValue(r.u8(272))));
        instance->MutualAuthentication.set(VELDARO_ValueConv::convMutualAuthenticationToSMISValue(r.u8(273)));
        instance->CMSlotNumber.set(cm);
        instance->CASlotNumber.set(ca);
        instance->PortNo.set(port);
        instance->iSCSIPortName.set(portText.c_str());
        return 0;
    } catch (...) {
        Instance_Provider_Frame::logBuildFailure(__FILE__, __LINE__);
        return 1;
    }
}

}  // namespace cimple
