// Live iSCSI sessions of one array: one per login its iSCSI ports report.

#include "VELDARO_iSCSISession_Resource.h"

#include <string>

#include "CA_Port_Name.h"
#include "Instance_Common.h"
#include "Instance_Provider_Frame.h"
#include "iSCSI_Login_Record.h"
#include "SMIS_Vorpak.h"
#include "VELDARO_RefTable.h"
#include "VELDARO_ValueConv.h"

namespace cimple {

VELDARO_iSCSISession_Resource::~VELDARO_iSCSISession_Resource()
{
    Instance_Provider_Frame::destroyAll(_instances);
}

int VELDARO_iSCSISession_Resource::createiSCSISession()
{
    VELDARO_iSCSISession* made = nullptr;
    try {
        VELDARO_RefTable table(_storage.c_str());
        const int first = Instance_Common::icFirstCommonProcess(&table);
        if (first != 0)
            return first;
        SMIS_Vorpak vorpak(_storage.c_str());
        const int result = forEachiSCSILogin(
            table, vorpak, [&](int ca, int port, const CMM_RSP_RD_PORT_ISCSI_LOGIN_INFO& login) {
                const CA_Port_Name n = CA_Port_Name::of(table.getCAModuleId(ca), table.getCAPortNo(ca, port));
                made = Instance_Provider_Frame::newInstance<VELDARO_iSCSISession>();
                if (setiSCSISession(made, n.cm, n.ca, n.port, &login) != 0) {
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

int VELDARO_iSCSISession_Resource::setiSCSISession(VELDARO_iSCSISession* instance, std::uint16_t cm, std::uint16_t ca,
                                                   std::uint16_t port, const CMM_RSP_RD_PORT_ISCSI_LOGIN_INFO* login)
{
    try {
        const iSCSI_Login_Record r(*login);
        const std::string portText = r.portText();
        instance->InstanceID.set(
            ("VELDARO:iSS_" + portText + iSCSI_Login_Record::keyTail(cm, ca, _storage.c_str())).c_str());
        instance->Caption.set("iSCSI Session");
        instance->Description.set("iSCSI Session");
        instance->ElementName.set("iSCSI Session");
        instance->HealthState.set(0);
        instance->Directionality.set(2);
        instance->SessionType.set(static_cast<uint16>(VELDARO_ValueConv::convSessionTypeToSMISValue(r.u8(266))));
        instance->TSIH.set(r.tsih());
        instance->EndPointName.set(r.initiatorName().c_str());
        instance->CurrentConnections.set(r.u8(306));
        instance->InitialR2T.set(VELDARO_ValueConv::conviSCSISupportToSMISValue(r.u8(276)));
        instance->ImmediateData.set(VELDARO_ValueConv::conviSCSISupportToSMISValue(r.u8(277)));
        instance->DataSequenceInOrder.set(VELDARO_ValueConv::conviSCSISupportToSMISValue(r.u8(309)));
        instance->DataPDUInOrder.set(VELDARO_ValueConv::conviSCSISupportToSMISValue(r.u8(308)));
        instance->MaxOutstandingR2T.set(r.u16(280));
        instance->MaxUnsolicitedFirstDataBurstLength.set(r.u32(300));
        instance->MaxDataBurstLength.set(r.u32(296));
        instance->ErrorRecoveryLevel.set(r.u8(278));
        instance->MaxConnectionsPerSession.set(r.u16(304));
        instance->DefaultTimeToWait.set(r.u16(312));
        instance->DefaultTimeToRetain.set(r.u16(314));
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
