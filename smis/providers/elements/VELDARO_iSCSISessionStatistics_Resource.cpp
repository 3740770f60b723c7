// Counters of the live iSCSI sessions of one array: one per login for which
// the array returns statistics.

#include "VELDARO_iSCSISessionStatistics_Resource.h"

#include <cstring>
#include <string>

#include "ByteOrder.h"
#include "CA_Port_Name.h"
#include "Instance_Common.h"
#include "Instance_Provider_Frame.h"
#include "iSCSI_Login_Record.h"
#include "SMIS_Vorpak.h"
#include "VELDARO_RefTable.h"

namespace cimple {

namespace {
// The array keeps no counters for that login.
constexpr unsigned char NO_STATISTICS = 0x70;
constexpr int STATISTICS_QUERY_FAILED = -2;
}  // namespace

VELDARO_iSCSISessionStatistics_Resource::~VELDARO_iSCSISessionStatistics_Resource()
{
    Instance_Provider_Frame::destroyAll(_instances);
}

int VELDARO_iSCSISessionStatistics_Resource::createiSCSISessionStatistics()
{
    VELDARO_iSCSISessionStatistics* made = nullptr;
    try {
        VELDARO_RefTable table(_storage.c_str());
        const int first = Instance_Common::icFirstCommonProcess(&table);
        if (first != 0)
            return first;
        SMIS_Vorpak vorpak(_storage.c_str());
        const int result = forEachiSCSILogin(
            table, vorpak, [&](int ca, int port, const CMM_RSP_RD_PORT_ISCSI_LOGIN_INFO& login) {
                const std::uint8_t moduleId = table.getCAModuleId(ca);
                const std::uint8_t portNo = table.getCAPortNo(ca, port);
                CMM_REQ_GET_PORT_ISCSI_STATISTICS_INFO request;
                iSCSI_Login_Record(login).statisticsRequest(moduleId, portNo, request);
                CMM_RSP_GET_PORT_ISCSI_STATISTICS_INFO reply;
                std::memset(reply.bytes, 0, sizeof reply.bytes);
                const unsigned char rc = vorpak.getiSCSISessionStatistics(&request, &reply);
                if (rc == NO_STATISTICS)
                    return 0;
                if (rc == SMIS_Vorpak::CHANNEL_BUSY)
                    return Instance_Provider_Frame::failChannelBusy(__FILE__, __LINE__);
                if (rc != 0)
                    return STATISTICS_QUERY_FAILED;
                const CA_Port_Name n = CA_Port_Name::of(moduleId, portNo);
                made = Instance_Provider_Frame::newInstance<VELDARO_iSCSISessionStatistics>();
                if (setiSCSISessionStatistics(made, n.cm, n.ca, n.port, &login, &reply) != 0) {
                    destroy(made);
                    made = nullptr;
                    return 1;
                }
                _instances.append(made);
                made = nullptr;
                return 0;
            });
        if (result == LOGIN_QUERY_FAILED || result == STATISTICS_QUERY_FAILED) {
            // The array could not tell its sessions' counters: it shows none.
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

int VELDARO_iSCSISessionStatistics_Resource::setiSCSISessionStatistics(
    VELDARO_iSCSISessionStatistics* instance, std::uint16_t cm, std::uint16_t ca, std::uint16_t port,
    const CMM_RSP_RD_PORT_ISCSI_LOGIN_INFO* login, const CMM_RSP_GET_PORT_ISCSI_STATISTICS_INFO* statistics)
{
    try {
        const iSCSI_Login_Record r(*login);
        const std::string portText = r.portText();
        const std::uint8_t* s = statistics->bytes;
        instance->InstanceID.set(
            ("VELDARO:iSSSTATS_" + portText + iSCSI_Login_Record::keyTail(cm, ca, _storage.c_str())).c_str());
        instance->Caption.set("iSCSI Session Statistics");
        instance->Description.set("iSCSI Session Statistics");
        instance->ElementName.set("iSCSI Session Statistics");
        instance->CommandPDUsTransferred.set(smis::loadLE32(s + 0));
        instance->ResponsePDUsTransferred.set(smis::loadLE32(s + 4));
        instance->BytesTransmitted.set(smis::loadLE64(s + 8));
        instance->BytesReceived.set(smis::loadLE64(s + 16));
        instance->DigestErrors.set(smis::loadLE32(s + 24));
        instance->ConnectionTimeoutErrors.set(smis::loadLE32(s + 28));
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
