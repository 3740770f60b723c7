#pragma once
// One login an iSCSI port reports (0x41AA record, 320 bytes), the texts
// that name it, and the walk over the logins of every iSCSI port of an
// array that the session, connection and statistics builders share.
//
//   iSCSI_Login_Record login(record);
//   login.initiatorName();   // "iqn.example:h1"
//   login.portText();        // "iqn.example:h1,i,0x400001370000_0x0012"

#include <cstddef>
#include <cstdint>
#include <string>

#include "CA_Port_Walk.h"
#include "Instance_Provider_Frame.h"
#include "Owned_Records.h"
#include "SMIS_Vorpak.h"
#include "SMIS_VorpakRecords.h"
#include "VELDARO_RefTable.h"

namespace cimple {

class iSCSI_Login_Record {
public:
    static constexpr std::size_t NAME_SIZE = 224;

    explicit iSCSI_Login_Record(const CMM_RSP_RD_PORT_ISCSI_LOGIN_INFO& record) : _bytes(record.bytes) {}

    // The initiator name up to its terminator, at most 224 characters.
    std::string initiatorName() const;
    std::uint16_t tsih() const { return u16(256); }
    // The 6 ISID bytes as 12 upper-case hex digits.
    std::string isidText() const;
    // name + ",i," + "0x" + isid + "_" + "0x" + tsih ("%04X").
    std::string portText() const;

    std::uint8_t u8(std::size_t offset) const { return _bytes[offset]; }
    std::uint16_t u16(std::size_t offset) const;
    std::uint32_t u32(std::size_t offset) const;

    // The statistics request for this login on the port: module id, port
    // byte, initiator name, TSIH and ISID; every other byte zero.
    void statisticsRequest(std::uint8_t moduleId, std::uint8_t portNo,
                           CMM_REQ_GET_PORT_ISCSI_STATISTICS_INFO& request) const;

    // "_" + cm + "_" + ca + "_" + storage address (cm, ca "%02u").
    static std::string keyTail(std::uint16_t cm, std::uint16_t ca, const char* storage);

private:
    const std::uint8_t* _bytes;
};

// Walks the logins of the present ports of the present iSCSI CAs:
// visit(caIndex, portIndex, record) -> 0 go on, anything else ends the walk
// and is returned. LOGIN_QUERY_FAILED when a port's login query failed;
// a build failure when the array's channel stayed busy and no earlier answer
// is kept (not "none": the array works).
constexpr int LOGIN_QUERY_FAILED = -1;

template <class Visit>
int forEachiSCSILogin(const VELDARO_RefTable& table, SMIS_Vorpak& vorpak, Visit visit)
{
    return CA_Port_Walk::forEachiSCSIPort(table, [&](int ca, int port) {
        CMM_RSP_RD_PORT_ISCSI_LOGIN_INFO* records = nullptr;
        unsigned short count = 0;
        const unsigned char rc =
            vorpak.getiSCSILoginParam(table.getCAModuleId(ca), table.getCAPortNo(ca, port), records, count);
        Owned_Records<CMM_RSP_RD_PORT_ISCSI_LOGIN_INFO> owned(records);
        if (rc == SMIS_Vorpak::CHANNEL_BUSY)
            return Instance_Provider_Frame::failChannelBusy(__FILE__, __LINE__);
        if (rc != 0)
            return LOGIN_QUERY_FAILED;
        if (!records)
            return 0;
        for (unsigned short i = 0; i < count; ++i)
            if (const int result = visit(ca, port, records[i]))
                return result;
        return 0;
    });
}

}  // namespace cimple
