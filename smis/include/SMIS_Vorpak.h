#pragma once
// The typed array commands: one method per binary array command, each one
// exchange over SMIS_CommandCom with its reply checked.
//
// Every method clears its outputs first, and on any failure leaves output
// pointers NULL and counts 0. Records handed out are malloc'ed; the caller
// releases them with free. Port link status, iSCSI logins, iSCSI statistics
// and remote paths are served from the array's status table while their
// entry is within its lifetime, and each fresh answer is stored there.
//
//   SMIS_Vorpak vpk("10.0.0.1");
//   CMM_RSP_GET_POOL_INFO* pools = nullptr;
//   unsigned short count = 0;
//   if (vpk.getSnapTirnPoolInfomation(pools, count) == 0) { ...; free(pools); }
//
// Results: 0 success; the array's command status when it refused the
// command; 4 a reply whose length does not match what its counts announce,
// or that lacks data it must carry; 5 the status table refused the answer;
// 32 bad argument; 64 no memory; 132 the array is marked unavailable (with
// no valid cached answer) or a connect time-out; 133 a failed packet step or
// a reply that echoes another command code; the channel results 128-152, 255.

#include <cstdint>

#include <cimple/Array.h>

#include "SMIS_CommandCom.h"
#include "SMIS_VorpakRecords.h"

namespace cimple {

class SMIS_Vorpak : public SMIS_CommandCom {
public:
    enum VorpakResult : unsigned char {
        LENGTH_ERROR = 4,
        STORE_ERROR = 5,
    };

    // Command codes.
    static constexpr std::uint16_t CMD_DEVICE_STATUS = 0x0010;
    static constexpr std::uint16_t CMD_MODEL_INFO = 0x400A;
    static constexpr std::uint16_t CMD_MODEL_SUPPLEMENT = 0x41AE;
    static constexpr std::uint16_t CMD_CE_INFO = 0x4012;
    static constexpr std::uint16_t CMD_DE_LIST = 0x4013;
    static constexpr std::uint16_t CMD_CONFIG_TABLE = 0x4024;
    static constexpr std::uint16_t CMD_PORT_LINK = 0x4021;
    static constexpr std::uint16_t CMD_ISCSI_LOGIN = 0x41AA;
    static constexpr std::uint16_t CMD_ISCSI_STATISTICS = 0x81AB;
    static constexpr std::uint16_t CMD_COPY_SESSIONS = 0x4199;
    static constexpr std::uint16_t CMD_SNAP_POOLS = 0x4108;
    static constexpr std::uint16_t CMD_BOX_LIST = 0x4068;
    static constexpr std::uint16_t CMD_BOX_PATHS = 0x4097;
    static constexpr std::uint16_t CMD_TP_POOL_ALARM = 0x41BD;
    static constexpr std::uint16_t CMD_TP_LU_ALARM = 0x41BE;
    static constexpr std::uint16_t CMD_TP_LU_ALLOCATION = 0x41C8;

    // The remote-path block kept in the status table (kind 8): byte 0 the
    // box count, records of 176 bytes from offset 4, at most 16 boxes.
    static constexpr std::size_t PATH_BLOCK_SIZE = 2820;
    static constexpr std::size_t PATH_BLOCK_RECORDS = 4;
    static constexpr unsigned MAX_REMOTE_BOXES = 16;
    // Layout of the 0x4068 box list.
    static constexpr std::uint32_t BOX_LIST_SIZE = 169552;
    static constexpr std::size_t BOX_COUNT_OFFSET = 81968;
    static constexpr std::size_t BOX_ID_OFFSET = 81984;
    static constexpr std::size_t BOX_ID_STRIDE = 96;

    explicit SMIS_Vorpak(const char* storageAddress);
    virtual ~SMIS_Vorpak();

    // 0x0010: status = the first reply parameter byte; 255 unless accepted.
    unsigned char getDeviceStatus(unsigned char& status);
    // 0x400A: at least 32 bytes.
    unsigned char getModelInformation(CMM_RSP_RD_MODEL_INFO*& info);
    // 0x41AE: 528 bytes.
    unsigned char getModelSupplementInformation(CMM_RSP_MODEL_SUPPLEMENT_INFO*& info);
    // 0x4012: 5400 bytes.
    unsigned char getCEInformation(CMM_RSP_RD_CE_STS*& info, const unsigned char& unit);
    // 0x4013: 8 + count x 1304 bytes.
    unsigned char getDEListStatus(CMM_RSP_RD_DE_STS*& info, const unsigned char& unit);
    // 0x4024: the container reply. The three-argument form also gives its
    // length, which whoever reads the container must check it against.
    unsigned char getConfigManagementTable(const CMM_REQ_RD_CFG_MGMT_TBL& request, CMM_CMT_TABLE_HEADER*& table);
    unsigned char getConfigManagementTable(const CMM_REQ_RD_CFG_MGMT_TBL& request, CMM_CMT_TABLE_HEADER*& table,
                                           std::uint32_t& length);
    // 0x4021, cached as status kind 2 under the port id.
    unsigned char getCAPortLinkStatus(const unsigned long& portId, CMM_RSP_GET_CA_PORT_LINK_STS*& status);
    // 0x41AA, cached as status kind 3 under (a, b).
    unsigned char getiSCSILoginParam(const unsigned char& a, const unsigned char& b,
                                     CMM_RSP_RD_PORT_ISCSI_LOGIN_INFO*& records, unsigned short& count);
    // 0x81AB sending the request; the answer is copied into reply. Cached as
    // status kind 4 under the request.
    unsigned char getiSCSISessionStatistics(const CMM_REQ_GET_PORT_ISCSI_STATISTICS_INFO* request,
                                            CMM_RSP_GET_PORT_ISCSI_STATISTICS_INFO* reply);
    // 0x4199: with a session id the one session (mode 1), else the list
    // from *startId (mode 2); *startId (when given) receives where the next
    // list call starts (0: no more).
    unsigned char getCopySessionList(const unsigned short* sessionId, unsigned short* startId,
                                     CMM_RSP_ADV_SSN_INFO*& records, unsigned short& count);
    // No ids: the list from *startId; one id: that session; several: one
    // query each, at most one record per id, in id order, count = found.
    unsigned char getCopySessionList(const Array<unsigned short>& ids, unsigned short* startId,
                                     CMM_RSP_ADV_SSN_INFO*& records, unsigned short& count);
    // 0x4108: 32 + count x 64 bytes.
    unsigned char getSnapTirnPoolInfomation(CMM_RSP_GET_POOL_INFO*& records, unsigned short& count);
    // 0x4068 then 0x4097 per box, cached as status kind 8. boxId NULL or
    // empty: every box; else exactly 40 characters naming one box (32 when
    // it has another length or no box has that id).
    unsigned char getXmirrexPath(const char* boxId, CMM_RSP_CHECK_FRA_PATH_DATA*& records, unsigned short& count);
    // 0x41BD: 16 + count x 32 bytes.
    unsigned char getTpPoolAlarmInfo(CMM_RD_TP_POOL_ALARM_INFO*& records, unsigned short& count);
    // 0x41BE: a nonzero mode needs bit 7 of byte 17 of the model record.
    unsigned char getTpLuAlarmInfo(CMM_RD_TP_LU_ALARM_INFO*& records, unsigned short& count,
                                   const CMM_RSP_RD_MODEL_INFO& model, const unsigned char& mode);
    // 0x41C8: 8 + count x 8 bytes.
    unsigned char getTpLuAllocationSize(unsigned short number, CMM_RD_TP_LU_ALLOC_SIZE_INFO*& records,
                                        unsigned short& count);
    // No traffic: 255 for an absent unit (id 0xFFFFFFFF), else its status byte.
    unsigned char getDEStatus(const CMM_DESTS_DE_INFO& entry);

protected:
    // 0x4097 for one box (boxId: 40 bytes, not terminated): one zero-filled
    // 176-byte record.
    unsigned char _getXmirrexPath(const char* boxId, CMM_RSP_CHECK_FRA_PATH_DATA*& record, unsigned short& count);

private:
    // Runs the command; 0 when the reply was accepted (status 0, code
    // echoed). Otherwise any received data has been freed.
    unsigned char _command(NTC_packet& ntcp);
    // The same for a command that asks for live status on a reader's behalf:
    // it waits for an exchange that holds the channel, bounded by the time-out,
    // its request and what that exchange meets (SMIS_CommandCom::_takeChannel).
    unsigned char _statusCommand(NTC_packet& ntcp);
    // The last answer the array gave for a status kind, whatever its age
    // (heap copy, count as GetExTableInfo): what a reader answers when the
    // channel stayed busy (CHANNEL_BUSY) and it could not ask. NULL with
    // count -1 when none is kept.
    void* _lastAnswer(unsigned short kind, const void* key, long& count);
    // The remote paths from the last path block for a reader whose status
    // command answered rc: CHANNEL_BUSY with a kept block answers from it;
    // every other rc stays as it is.
    unsigned char _pathsWhenBusy(unsigned char rc, const char* boxId, CMM_RSP_CHECK_FRA_PATH_DATA*& records,
                                 unsigned short& count);
    // A single-record reply of exactly (or, with atLeast, at least) size bytes.
    unsigned char _requireData(NTC_packet& ntcp, std::uint64_t size, bool atLeast);
    // A list reply: count of countWidth bytes at countOffset, records of
    // recordSize from recordOffset; the data must be exactly
    // recordOffset + count x recordSize bytes. Frees the reply.
    unsigned char _takeList(NTC_packet& ntcp, std::size_t countOffset, unsigned countWidth, std::size_t recordOffset,
                            std::size_t recordSize, void*& records, unsigned short& count);
    // Records of the path block: every box, or the first whose 40-byte id
    // equals boxId. False when boxId names no box of the block.
    bool _fromPathBlock(const std::uint8_t* block, const char* boxId, CMM_RSP_CHECK_FRA_PATH_DATA*& records,
                        unsigned short& count, unsigned char& result);
    // One 0x4199 query. refused is set when the array's status ended it.
    unsigned char _copySessions(std::uint16_t mode, std::uint16_t id, unsigned short* startId,
                                CMM_RSP_ADV_SSN_INFO*& records, unsigned short& count, bool& refused);
};

}  // namespace cimple
