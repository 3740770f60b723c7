#include "SMIS_Vorpak.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "ByteOrder.h"
#include "SMIS_CMT.h"
#include "SMIS_TraceLog.h"

namespace cimple {

namespace {

// Count of width 2 or 4 at an offset (the caller checked the length).
std::uint64_t loadCount(const std::uint8_t* p, unsigned width)
{
    return width == 2 ? smis::loadLE16(p) : smis::loadLE32(p);
}

}  // namespace

SMIS_Vorpak::SMIS_Vorpak(const char* storageAddress) : SMIS_CommandCom(storageAddress) {}

SMIS_Vorpak::~SMIS_Vorpak() = default;

// ---------------------------------------------------------------- common reply rules

unsigned char SMIS_Vorpak::_command(NTC_packet& ntcp)
{
    const std::uint16_t code = ntcp.cmdCode;
    const unsigned char rc = accessVorpakCmd(&ntcp);
    if (rc != RESULT_OK) {
        // A busy channel is no fault of the array: its readers answer the
        // last value it gave.
        peg_log(__FILE__, __LINE__, rc == CHANNEL_BUSY ? Logger::INFORMATION : Logger::SEVERE,
                "accessVorpakCmd NG = %x", rc);
        ntcp.dataBuf = nullptr;
        return rc;
    }
    if (ntcp.cmdStatus != 0 || ntcp.cmdCode != code) {
        peg_log(__FILE__, __LINE__, Logger::SEVERE, "cmdStatus Error cmdStatus = 0x%x, cmdCode = 0x%x", ntcp.cmdStatus,
                ntcp.cmdCode);
        if (code & 0x4000)
            freeBuffer(&ntcp);
        ntcp.dataBuf = nullptr;
        // A reply to another command is no answer to this one.
        return ntcp.cmdStatus != 0 ? ntcp.cmdStatus : static_cast<unsigned char>(PACKET_ERROR);
    }
    return RESULT_OK;
}

unsigned char SMIS_Vorpak::_statusCommand(NTC_packet& ntcp)
{
    // A reader waits for the exchange that holds the channel, bounded by the
    // time-out and its request (SMIS_CommandCom::_takeChannel).
    _boundedChannelWait = true;
    const unsigned char rc = _command(ntcp);
    _boundedChannelWait = false;
    return rc;
}

void* SMIS_Vorpak::_lastAnswer(unsigned short kind, const void* key, long& count)
{
    count = -1;
    SMIS_CMTAccess* cache = SMIS_CMTAccess::getInstance();
    void* kept = cache ? cache->GetExTableInfo(_storageAddress.c_str(), kind, key, count, true) : nullptr;
    peg_log(__FILE__, __LINE__, Logger::INFORMATION, "The channel stayed busy: %s",
            count >= 0 ? "the last answer of the array is used" : "no answer of the array is kept");
    return kept;
}

unsigned char SMIS_Vorpak::_requireData(NTC_packet& ntcp, std::uint64_t size, bool atLeast)
{
    const std::uint64_t got = ntcp.dataBuf ? ntcp.dataLen : 0;
    if (got == 0 || (atLeast ? got < size : got != size)) {
        peg_log(__FILE__, __LINE__, Logger::SEVERE, "Version Error(ntcp.dataLen = %d, %d)", static_cast<int>(got),
                static_cast<int>(size));
        freeBuffer(&ntcp);
        return LENGTH_ERROR;
    }
    return RESULT_OK;
}

unsigned char SMIS_Vorpak::_takeList(NTC_packet& ntcp, std::size_t countOffset, unsigned countWidth,
                                     std::size_t recordOffset, std::size_t recordSize, void*& records,
                                     unsigned short& count)
{
    records = nullptr;
    count = 0;
    if (!ntcp.dataBuf || ntcp.dataLen == 0) {
        freeBuffer(&ntcp);
        return RESULT_OK;
    }
    const auto* data = static_cast<const std::uint8_t*>(ntcp.dataBuf);
    const std::uint64_t got = ntcp.dataLen;
    if (got < countOffset + countWidth) {
        peg_log(__FILE__, __LINE__, Logger::SEVERE, "Version Error(ntcp.dataLen = %d, %d)", static_cast<int>(got),
                static_cast<int>(recordOffset));
        freeBuffer(&ntcp);
        return LENGTH_ERROR;
    }
    const std::uint64_t n = loadCount(data + countOffset, countWidth);
    const std::uint64_t expected = recordOffset + n * recordSize;
    if (got != expected || n > 0xFFFF) {
        peg_log(__FILE__, __LINE__, Logger::SEVERE, "Version Error(ntcp.dataLen = %d, %llu)", static_cast<int>(got),
                static_cast<unsigned long long>(expected));
        freeBuffer(&ntcp);
        return LENGTH_ERROR;
    }
    if (n > 0) {
        records = std::malloc(static_cast<std::size_t>(n * recordSize));
        if (!records) {
            peg_log(__FILE__, __LINE__, Logger::SEVERE, "Memory acquisition Error");
            freeBuffer(&ntcp);
            return NO_MEMORY;
        }
        std::memcpy(records, data + recordOffset, static_cast<std::size_t>(n * recordSize));
        count = static_cast<unsigned short>(n);
    }
    freeBuffer(&ntcp);
    return RESULT_OK;
}

// ---------------------------------------------------------------- single records

unsigned char SMIS_Vorpak::getDeviceStatus(unsigned char& status)
{
    status = 255;
    NTC_packet ntcp;
    init_NTCP(&ntcp);
    ntcp.cmdCode = CMD_DEVICE_STATUS;
    unsigned char rc = _command(ntcp);
    if (rc == RESULT_OK) {
        if (ntcp.paramLen == 0) {
            peg_log(__FILE__, __LINE__, Logger::SEVERE, "Version Error(ntcp.paramLen = %d, %d)", 0, 1);
            rc = LENGTH_ERROR;
        } else {
            status = ntcp.param[0];
        }
    }
    peg_log(__FILE__, __LINE__, Logger::INFORMATION, "0x%x = getDeviceStatus(0x%x) end", rc, status);
    return rc;
}

unsigned char SMIS_Vorpak::getModelInformation(CMM_RSP_RD_MODEL_INFO*& info)
{
    info = nullptr;
    NTC_packet ntcp;
    init_NTCP(&ntcp);
    ntcp.cmdCode = CMD_MODEL_INFO;
    unsigned char rc = _command(ntcp);
    if (rc == RESULT_OK)
        rc = _requireData(ntcp, sizeof(CMM_RSP_RD_MODEL_INFO), true);
    if (rc == RESULT_OK)
        info = static_cast<CMM_RSP_RD_MODEL_INFO*>(ntcp.dataBuf);
    peg_log(__FILE__, __LINE__, Logger::INFORMATION, "0x%x = getModelInformation(Model Type = 0x%x) end", rc,
            info ? info->bytes[4] : 0);
    return rc;
}

unsigned char SMIS_Vorpak::getModelSupplementInformation(CMM_RSP_MODEL_SUPPLEMENT_INFO*& info)
{
    info = nullptr;
    NTC_packet ntcp;
    init_NTCP(&ntcp);
    ntcp.cmdCode = CMD_MODEL_SUPPLEMENT;
    unsigned char rc = _command(ntcp);
    if (rc == RESULT_OK)
        rc = _requireData(ntcp, sizeof(CMM_RSP_MODEL_SUPPLEMENT_INFO), false);
    if (rc == RESULT_OK)
        info = static_cast<CMM_RSP_MODEL_SUPPLEMENT_INFO*>(ntcp.dataBuf);
    peg_log(__FILE__, __LINE__, Logger::INFORMATION, "0x%x = getModelSupplementInformation end", rc);
    return rc;
}

unsigned char SMIS_Vorpak::getCEInformation(CMM_RSP_RD_CE_STS*& info, const unsigned char& unit)
{
    info = nullptr;
    NTC_packet ntcp;
    init_NTCP(&ntcp);
    ntcp.cmdCode = CMD_CE_INFO;
    ntcp.paramLen = 4;
    ntcp.param[0] = unit;
    unsigned char rc = _command(ntcp);
    if (rc == RESULT_OK)
        rc = _requireData(ntcp, sizeof(CMM_RSP_RD_CE_STS), false);
    if (rc == RESULT_OK)
        info = static_cast<CMM_RSP_RD_CE_STS*>(ntcp.dataBuf);
    peg_log(__FILE__, __LINE__, Logger::INFORMATION, "0x%x = getCEInformation end", rc);
    return rc;
}

unsigned char SMIS_Vorpak::getDEListStatus(CMM_RSP_RD_DE_STS*& info, const unsigned char& unit)
{
    info = nullptr;
    NTC_packet ntcp;
    init_NTCP(&ntcp);
    ntcp.cmdCode = CMD_DE_LIST;
    ntcp.paramLen = 20;
    ntcp.param[0] = unit;
    unsigned char rc = _command(ntcp);
    if (rc == RESULT_OK)
        rc = _requireData(ntcp, 4, true);
    if (rc == RESULT_OK) {
        const std::uint64_t n = smis::loadLE32(static_cast<const std::uint8_t*>(ntcp.dataBuf));
        rc = _requireData(ntcp, CMM_RSP_RD_DE_STS::ENTRY_OFFSET + n * sizeof(CMM_DESTS_DE_INFO), false);
    }
    if (rc == RESULT_OK)
        info = static_cast<CMM_RSP_RD_DE_STS*>(ntcp.dataBuf);
    peg_log(__FILE__, __LINE__, Logger::INFORMATION, "0x%x = getDEListStatus end", rc);
    return rc;
}

unsigned char SMIS_Vorpak::getConfigManagementTable(const CMM_REQ_RD_CFG_MGMT_TBL& request,
                                                    CMM_CMT_TABLE_HEADER*& table)
{
    std::uint32_t length = 0;
    return getConfigManagementTable(request, table, length);
}

unsigned char SMIS_Vorpak::getConfigManagementTable(const CMM_REQ_RD_CFG_MGMT_TBL& request,
                                                    CMM_CMT_TABLE_HEADER*& table, std::uint32_t& length)
{
    table = nullptr;
    length = 0;
    NTC_packet ntcp;
    init_NTCP(&ntcp);
    ntcp.cmdCode = CMD_CONFIG_TABLE;
    ntcp.paramLen = sizeof request.bytes;
    std::memcpy(ntcp.param, request.bytes, sizeof request.bytes);
    unsigned char rc = _command(ntcp);
    if (rc == RESULT_OK)
        rc = _requireData(ntcp, 1, true);
    unsigned tables = 0;
    if (rc == RESULT_OK) {
        const auto* data = static_cast<const std::uint8_t*>(ntcp.dataBuf);
        const std::uint64_t got = ntcp.dataLen;
        if (got >= SMIS_CMT::HEADER_SIZE) {
            tables = data[1];
            // Only the index entries that arrived are traced.
            const std::uint64_t present = (got - SMIS_CMT::HEADER_SIZE) / SMIS_INDEX::SIZE;
            for (std::uint64_t i = 0; i < std::min<std::uint64_t>(tables, present); ++i) {
                SMIS_INDEX e;
                e.decode(data + SMIS_CMT::HEADER_SIZE + i * SMIS_INDEX::SIZE);
                peg_trace(__FILE__, __LINE__, Tracer::LEVEL4,
                          "TableID=0x%x, Element Cnt=%d, Element Size=%d, Table offset = %d", e.TableId,
                          e.ElementCount, static_cast<int>(e.ElementSize), static_cast<int>(e.Offset));
            }
        }
        table = static_cast<CMM_CMT_TABLE_HEADER*>(ntcp.dataBuf);
        length = ntcp.dataLen;
    }
    peg_log(__FILE__, __LINE__, Logger::INFORMATION, "0x%x = getConfigManagementTable(Table Cnt = %d) end", rc,
            tables);
    return rc;
}

unsigned char SMIS_Vorpak::getDEStatus(const CMM_DESTS_DE_INFO& entry)
{
    const unsigned char rc = smis::loadLE32(entry.bytes) == 0xFFFFFFFFu ? 255 : entry.bytes[20];
    peg_trace(__FILE__, __LINE__, Tracer::LEVEL4, "0x%x = getDEStatus end", rc);
    return rc;
}

// ---------------------------------------------------------------- cached queries

unsigned char SMIS_Vorpak::getCAPortLinkStatus(const unsigned long& portId, CMM_RSP_GET_CA_PORT_LINK_STS*& status)
{
    status = nullptr;
    const char* address = _storageAddress.c_str();
    const auto key = static_cast<std::uint32_t>(portId);
    SMIS_CMTAccess* cache = SMIS_CMTAccess::getInstance();
    if (cache) {
        long n = -1;
        void* cached = cache->GetExTableInfo(address, SMIS_CMTAccess::EX_PORT_LINK_STATUS, &key, n);
        if (cached) {
            status = static_cast<CMM_RSP_GET_CA_PORT_LINK_STS*>(cached);
            peg_trace(__FILE__, __LINE__, Tracer::LEVEL4, "getCAPortLinkStatus Valid ok");
            return RESULT_OK;
        }
        if (cache->GetDeviceAvailable(address) == 1) {
            peg_trace(__FILE__, __LINE__, Tracer::LEVEL4, "getCAPortLinkStatus Timeout");
            return TIMEOUT_ERROR;
        }
    }
    NTC_packet ntcp;
    init_NTCP(&ntcp);
    ntcp.cmdCode = CMD_PORT_LINK;
    ntcp.paramLen = 4;
    smis::storeLE32(ntcp.param, key);
    unsigned char rc = _statusCommand(ntcp);
    if (rc == CHANNEL_BUSY) {
        long n = -1;
        if (void* kept = _lastAnswer(SMIS_CMTAccess::EX_PORT_LINK_STATUS, &key, n)) {
            status = static_cast<CMM_RSP_GET_CA_PORT_LINK_STS*>(kept);
            rc = RESULT_OK;
        }
        peg_log(__FILE__, __LINE__, Logger::INFORMATION, "0x%x = getCAPortLinkStatus end", rc);
        return rc;
    }
    if (rc == RESULT_OK)
        rc = _requireData(ntcp, sizeof(CMM_RSP_GET_CA_PORT_LINK_STS), false);
    if (rc == RESULT_OK) {
        auto* fresh = static_cast<CMM_RSP_GET_CA_PORT_LINK_STS*>(ntcp.dataBuf);
        peg_trace(__FILE__, __LINE__, Tracer::LEVEL4, "ItemID = 0x%x", smis::loadLE32(fresh->bytes));
        const int stored = cache ? cache->SetExTableInfo(address, SMIS_CMTAccess::EX_PORT_LINK_STATUS, &key, fresh,
                                                         sizeof *fresh, 1, 0)
                                 : 0;
        if (stored != 0) {
            peg_log(__FILE__, __LINE__, Logger::SEVERE, "0x%x = SMIS_CMTAccess::SetExTableInfo()", stored);
            std::free(fresh);
            rc = STORE_ERROR;
        } else {
            status = fresh;
        }
    }
    peg_log(__FILE__, __LINE__, Logger::INFORMATION, "0x%x = getCAPortLinkStatus end", rc);
    return rc;
}

unsigned char SMIS_Vorpak::getiSCSILoginParam(const unsigned char& a, const unsigned char& b,
                                              CMM_RSP_RD_PORT_ISCSI_LOGIN_INFO*& records, unsigned short& count)
{
    records = nullptr;
    count = 0;
    const char* address = _storageAddress.c_str();
    const std::uint8_t key[4] = {a, b, 0, 0};
    SMIS_CMTAccess* cache = SMIS_CMTAccess::getInstance();
    if (cache) {
        long n = -1;
        void* cached = cache->GetExTableInfo(address, SMIS_CMTAccess::EX_ISCSI_LOGIN, key, n);
        if (n >= 0 && n <= 0xFFFF && (cached || n == 0)) {
            records = static_cast<CMM_RSP_RD_PORT_ISCSI_LOGIN_INFO*>(cached);
            count = static_cast<unsigned short>(n);
            peg_trace(__FILE__, __LINE__, Tracer::LEVEL4, "getiSCSILoginParam Valid ok");
            return RESULT_OK;
        }
        std::free(cached);
        if (cache->GetDeviceAvailable(address) == 1) {
            peg_trace(__FILE__, __LINE__, Tracer::LEVEL4, "getiSCSILoginParam Timeout");
            return TIMEOUT_ERROR;
        }
    }
    NTC_packet ntcp;
    init_NTCP(&ntcp);
    ntcp.cmdCode = CMD_ISCSI_LOGIN;
    ntcp.paramLen = 4;
    std::memcpy(ntcp.param, key, sizeof key);
    unsigned char rc = _statusCommand(ntcp);
    if (rc == CHANNEL_BUSY) {
        long kept = -1;
        void* last = _lastAnswer(SMIS_CMTAccess::EX_ISCSI_LOGIN, key, kept);
        if (kept >= 0 && kept <= 0xFFFF && (last || kept == 0)) {
            records = static_cast<CMM_RSP_RD_PORT_ISCSI_LOGIN_INFO*>(last);
            count = static_cast<unsigned short>(kept);
            rc = RESULT_OK;
        } else {
            std::free(last);
        }
        peg_log(__FILE__, __LINE__, Logger::INFORMATION, "0x%x = getiSCSILoginParam end", rc);
        return rc;
    }
    void* list = nullptr;
    unsigned short n = 0;
    if (rc == RESULT_OK)
        rc = _takeList(ntcp, 2, 2, 8, sizeof(CMM_RSP_RD_PORT_ISCSI_LOGIN_INFO), list, n);
    if (rc == RESULT_OK) {
        const int stored = cache ? cache->SetExTableInfo(address, SMIS_CMTAccess::EX_ISCSI_LOGIN, key, list,
                                                         sizeof(CMM_RSP_RD_PORT_ISCSI_LOGIN_INFO), n, 0)
                                 : 0;
        if (stored != 0) {
            peg_log(__FILE__, __LINE__, Logger::SEVERE, "0x%x = SMIS_CMTAccess::SetExTableInfo()", stored);
            std::free(list);
            rc = STORE_ERROR;
        } else {
            records = static_cast<CMM_RSP_RD_PORT_ISCSI_LOGIN_INFO*>(list);
            count = n;
        }
    }
    peg_log(__FILE__, __LINE__, Logger::INFORMATION, "0x%x = getiSCSILoginParam end", rc);
    return rc;
}

unsigned char SMIS_Vorpak::getiSCSISessionStatistics(const CMM_REQ_GET_PORT_ISCSI_STATISTICS_INFO* request,
                                                     CMM_RSP_GET_PORT_ISCSI_STATISTICS_INFO* reply)
{
    if (!request || !reply || request->bytes[8] == '\0') {
        peg_log(__FILE__, __LINE__, Logger::SEVERE, "Parameter Error");
        return PARAMETER_ERROR;
    }
    const char* address = _storageAddress.c_str();
    SMIS_CMTAccess* cache = SMIS_CMTAccess::getInstance();
    if (cache) {
        long n = -1;
        void* cached = cache->GetExTableInfo(address, SMIS_CMTAccess::EX_ISCSI_STATISTICS, request->bytes, n);
        if (cached) {
            std::memcpy(reply->bytes, cached, sizeof reply->bytes);
            std::free(cached);
            peg_trace(__FILE__, __LINE__, Tracer::LEVEL4, "getiSCSISessionStatistics Valid ok");
            return RESULT_OK;
        }
        if (cache->GetDeviceAvailable(address) == 1) {
            peg_trace(__FILE__, __LINE__, Tracer::LEVEL4, "getiSCSISessionStatistics Timeout");
            return TIMEOUT_ERROR;
        }
    }
    NTC_packet ntcp;
    init_NTCP(&ntcp);
    ntcp.cmdCode = CMD_ISCSI_STATISTICS;
    // The channel only reads the data it sends.
    ntcp.dataBuf = const_cast<std::uint8_t*>(request->bytes);
    ntcp.dataLen = sizeof request->bytes;
    unsigned char rc = _statusCommand(ntcp);
    if (rc == CHANNEL_BUSY) {
        long n = -1;
        if (void* kept = _lastAnswer(SMIS_CMTAccess::EX_ISCSI_STATISTICS, request->bytes, n)) {
            std::memcpy(reply->bytes, kept, sizeof reply->bytes);
            std::free(kept);
            rc = RESULT_OK;
        }
        peg_log(__FILE__, __LINE__, Logger::INFORMATION, "0x%x = getiSCSISessionStatistics end", rc);
        return rc;
    }
    if (rc == RESULT_OK) {
        const std::size_t length = std::min<std::size_t>(ntcp.paramLen, sizeof reply->bytes);
        std::memset(reply->bytes, 0, sizeof reply->bytes);
        std::memcpy(reply->bytes, ntcp.param, length);
        const int stored = cache ? cache->SetExTableInfo(address, SMIS_CMTAccess::EX_ISCSI_STATISTICS, request->bytes,
                                                         reply->bytes, static_cast<unsigned>(length), 1, 0)
                                 : 0;
        if (stored != 0) {
            peg_log(__FILE__, __LINE__, Logger::SEVERE, "0x%x = SMIS_CMTAccess::SetExTableInfo()", stored);
            rc = STORE_ERROR;
        }
    }
    peg_log(__FILE__, __LINE__, Logger::INFORMATION, "0x%x = getiSCSISessionStatistics end", rc);
    return rc;
}

// ---------------------------------------------------------------- lists

unsigned char SMIS_Vorpak::_copySessions(std::uint16_t mode, std::uint16_t id, unsigned short* startId,
                                         CMM_RSP_ADV_SSN_INFO*& records, unsigned short& count, bool& refused)
{
    records = nullptr;
    count = 0;
    refused = false;
    NTC_packet ntcp;
    init_NTCP(&ntcp);
    ntcp.cmdCode = CMD_COPY_SESSIONS;
    ntcp.paramLen = 16;
    smis::storeLE16(ntcp.param, mode);
    smis::storeLE16(ntcp.param + 2, id);
    unsigned char rc = _command(ntcp);
    if (rc != RESULT_OK) {
        refused = ntcp.cmdStatus != 0 && rc == ntcp.cmdStatus;
        return rc;
    }
    std::uint16_t next = 0;
    if (ntcp.dataBuf && ntcp.dataLen >= 8)
        next = smis::loadLE16(static_cast<const std::uint8_t*>(ntcp.dataBuf) + 6);
    void* list = nullptr;
    rc = _takeList(ntcp, 4, 2, 16, sizeof(CMM_RSP_ADV_SSN_INFO), list, count);
    if (rc == RESULT_OK) {
        records = static_cast<CMM_RSP_ADV_SSN_INFO*>(list);
        if (startId)
            *startId = next;
    }
    return rc;
}

unsigned char SMIS_Vorpak::getCopySessionList(const unsigned short* sessionId, unsigned short* startId,
                                              CMM_RSP_ADV_SSN_INFO*& records, unsigned short& count)
{
    records = nullptr;
    count = 0;
    bool refused = false;
    const unsigned char rc = sessionId ? _copySessions(1, *sessionId, startId, records, count, refused)
                                       : _copySessions(2, startId ? *startId : 0, startId, records, count, refused);
    peg_log(__FILE__, __LINE__, Logger::INFORMATION, "0x%x = getCopySessionList(sessionCount = %d) end", rc, count);
    return rc;
}

unsigned char SMIS_Vorpak::getCopySessionList(const Array<unsigned short>& ids, unsigned short* startId,
                                              CMM_RSP_ADV_SSN_INFO*& records, unsigned short& count)
{
    records = nullptr;
    count = 0;
    if (ids.size() == 0)
        return getCopySessionList(nullptr, startId, records, count);
    if (ids.size() == 1)
        return getCopySessionList(&ids[0], startId, records, count);
    if (ids.size() > 0xFFFF) {
        peg_log(__FILE__, __LINE__, Logger::SEVERE, "Parameter Error");
        return PARAMETER_ERROR;
    }
    auto* all = static_cast<CMM_RSP_ADV_SSN_INFO*>(std::malloc(ids.size() * sizeof(CMM_RSP_ADV_SSN_INFO)));
    if (!all) {
        peg_log(__FILE__, __LINE__, Logger::SEVERE, "Memory acquisition Error");
        return NO_MEMORY;
    }
    unsigned short found = 0;
    for (std::size_t i = 0; i < ids.size(); ++i) {
        CMM_RSP_ADV_SSN_INFO* one = nullptr;
        unsigned short n = 0;
        bool refused = false;
        const unsigned char rc = _copySessions(1, ids[i], nullptr, one, n, refused);
        if (rc != RESULT_OK && !refused) {
            // The array could not be asked: no partial answer.
            std::free(all);
            peg_log(__FILE__, __LINE__, Logger::INFORMATION, "0x%x = getCopySessionList(sessionCount = %d) end", rc,
                    0);
            return rc;
        }
        // A session that no longer exists is left out; of several records
        // answered for one id only the first is taken, so the result never
        // holds more records than ids.
        if (rc == RESULT_OK && n > 0)
            std::memcpy(&all[found++], one, sizeof *one);
        std::free(one);
    }
    if (found == 0) {
        std::free(all);
        all = nullptr;
    }
    records = all;
    count = found;
    peg_log(__FILE__, __LINE__, Logger::INFORMATION, "getCopySessionList(sessionCount = %d) end", count);
    return RESULT_OK;
}

unsigned char SMIS_Vorpak::getSnapTirnPoolInfomation(CMM_RSP_GET_POOL_INFO*& records, unsigned short& count)
{
    records = nullptr;
    count = 0;
    NTC_packet ntcp;
    init_NTCP(&ntcp);
    ntcp.cmdCode = CMD_SNAP_POOLS;
    unsigned char rc = _command(ntcp);
    void* list = nullptr;
    if (rc == RESULT_OK)
        rc = _takeList(ntcp, 0, 2, 32, sizeof(CMM_RSP_GET_POOL_INFO), list, count);
    records = static_cast<CMM_RSP_GET_POOL_INFO*>(list);
    peg_log(__FILE__, __LINE__, Logger::INFORMATION, "0x%x = getSnapTirnPoolInfomation(sdpCount = %d) end", rc,
            count);
    return rc;
}

unsigned char SMIS_Vorpak::getTpPoolAlarmInfo(CMM_RD_TP_POOL_ALARM_INFO*& records, unsigned short& count)
{
    records = nullptr;
    count = 0;
    NTC_packet ntcp;
    init_NTCP(&ntcp);
    ntcp.cmdCode = CMD_TP_POOL_ALARM;
    unsigned char rc = _command(ntcp);
    void* list = nullptr;
    if (rc == RESULT_OK)
        rc = _takeList(ntcp, 0, 4, 16, sizeof(CMM_RD_TP_POOL_ALARM_INFO), list, count);
    records = static_cast<CMM_RD_TP_POOL_ALARM_INFO*>(list);
    peg_log(__FILE__, __LINE__, Logger::INFORMATION, "0x%x = getTpPoolAlarmInfo(alarmCount = %d) end", rc, count);
    return rc;
}

unsigned char SMIS_Vorpak::getTpLuAlarmInfo(CMM_RD_TP_LU_ALARM_INFO*& records, unsigned short& count,
                                            const CMM_RSP_RD_MODEL_INFO& model, const unsigned char& mode)
{
    records = nullptr;
    count = 0;
    const std::uint8_t supportFlag6 = model.bytes[17];
    const bool byMode = (supportFlag6 & 0x80) != 0;
    if (mode != 0 && !byMode) {
        peg_log(__FILE__, __LINE__, Logger::SEVERE, "Parameter Error: mode=%.2x, SupportFlag6=%.2x", mode,
                supportFlag6);
        return PARAMETER_ERROR;
    }
    NTC_packet ntcp;
    init_NTCP(&ntcp);
    ntcp.cmdCode = CMD_TP_LU_ALARM;
    if (byMode) {
        ntcp.paramLen = 16;
        ntcp.param[0] = mode;
    }
    unsigned char rc = _command(ntcp);
    void* list = nullptr;
    if (rc == RESULT_OK)
        rc = _takeList(ntcp, 0, 4, 16, sizeof(CMM_RD_TP_LU_ALARM_INFO), list, count);
    records = static_cast<CMM_RD_TP_LU_ALARM_INFO*>(list);
    peg_log(__FILE__, __LINE__, Logger::INFORMATION, "0x%x = getTpLuAlarmInfo(mode = %.2x, alarmCount = %d) end", rc,
            mode, count);
    return rc;
}

unsigned char SMIS_Vorpak::getTpLuAllocationSize(unsigned short number, CMM_RD_TP_LU_ALLOC_SIZE_INFO*& records,
                                                 unsigned short& count)
{
    records = nullptr;
    count = 0;
    NTC_packet ntcp;
    init_NTCP(&ntcp);
    ntcp.cmdCode = CMD_TP_LU_ALLOCATION;
    ntcp.paramLen = 16;
    smis::storeLE16(ntcp.param, number);
    unsigned char rc = _command(ntcp);
    void* list = nullptr;
    if (rc == RESULT_OK)
        rc = _takeList(ntcp, 0, 4, 8, sizeof(CMM_RD_TP_LU_ALLOC_SIZE_INFO), list, count);
    records = static_cast<CMM_RD_TP_LU_ALLOC_SIZE_INFO*>(list);
    peg_log(__FILE__, __LINE__, Logger::INFORMATION, "0x%x = getTpLuAllocationSize(rluCount = %d) end", rc, count);
    return rc;
}

// ---------------------------------------------------------------- remote paths

bool SMIS_Vorpak::_fromPathBlock(const std::uint8_t* block, const char* boxId, CMM_RSP_CHECK_FRA_PATH_DATA*& records,
                                 unsigned short& count, unsigned char& result)
{
    records = nullptr;
    count = 0;
    result = RESULT_OK;
    const unsigned boxes = std::min<unsigned>(block[0], MAX_REMOTE_BOXES);
    const std::uint8_t* first = block + PATH_BLOCK_RECORDS;
    const std::size_t size = sizeof(CMM_RSP_CHECK_FRA_PATH_DATA);
    if (!boxId || !*boxId) {
        if (boxes == 0)
            return true;
        records = static_cast<CMM_RSP_CHECK_FRA_PATH_DATA*>(std::malloc(boxes * size));
        if (!records) {
            peg_log(__FILE__, __LINE__, Logger::SEVERE, "Memory acquisition Error");
            result = NO_MEMORY;
            return true;
        }
        std::memcpy(records, first, boxes * size);
        count = static_cast<unsigned short>(boxes);
        return true;
    }
    for (unsigned i = 0; i < boxes; ++i) {
        const std::uint8_t* record = first + i * size;
        if (std::memcmp(record, boxId, CMM_RSP_CHECK_FRA_PATH_DATA::BOX_ID_SIZE) != 0)
            continue;
        records = static_cast<CMM_RSP_CHECK_FRA_PATH_DATA*>(std::malloc(size));
        if (!records) {
            peg_log(__FILE__, __LINE__, Logger::SEVERE, "Memory acquisition Error");
            result = NO_MEMORY;
            return true;
        }
        std::memcpy(records, record, size);
        count = 1;
        return true;
    }
    return false;
}

unsigned char SMIS_Vorpak::_pathsWhenBusy(unsigned char rc, const char* boxId,
                                          CMM_RSP_CHECK_FRA_PATH_DATA*& records, unsigned short& count)
{
    records = nullptr;
    count = 0;
    if (rc == CHANNEL_BUSY) {
        long n = -1;
        if (void* kept = _lastAnswer(SMIS_CMTAccess::EX_XMIRREX_PATH, nullptr, n)) {
            unsigned char result = RESULT_OK;
            if (_fromPathBlock(static_cast<const std::uint8_t*>(kept), boxId, records, count, result))
                rc = result;
            std::free(kept);
        }
    }
    peg_log(__FILE__, __LINE__, Logger::INFORMATION, "0x%x = getXmirrexPath(rpathCount = %d) end", rc, count);
    return rc;
}

unsigned char SMIS_Vorpak::_getXmirrexPath(const char* boxId, CMM_RSP_CHECK_FRA_PATH_DATA*& record,
                                           unsigned short& count)
{
    record = nullptr;
    count = 0;
    char text[CMM_RSP_CHECK_FRA_PATH_DATA::BOX_ID_SIZE + 1] = {};
    std::memcpy(text, boxId, CMM_RSP_CHECK_FRA_PATH_DATA::BOX_ID_SIZE);
    peg_trace(__FILE__, __LINE__, Tracer::LEVEL4, "_getXmirrexPath(%s) start", text);
    NTC_packet ntcp;
    init_NTCP(&ntcp);
    ntcp.cmdCode = CMD_BOX_PATHS;
    ntcp.paramLen = CMM_RSP_CHECK_FRA_PATH_DATA::BOX_ID_SIZE;
    std::memcpy(ntcp.param, boxId, CMM_RSP_CHECK_FRA_PATH_DATA::BOX_ID_SIZE);
    unsigned char rc = _statusCommand(ntcp);
    if (rc == RESULT_OK)
        rc = _requireData(ntcp, 44, true);
    if (rc == RESULT_OK) {
        const auto* data = static_cast<const std::uint8_t*>(ntcp.dataBuf);
        const std::uint64_t paths = smis::loadLE32(data + 40);
        rc = _requireData(ntcp, (paths + 3) * 16, false);
        if (rc == RESULT_OK) {
            record = static_cast<CMM_RSP_CHECK_FRA_PATH_DATA*>(std::calloc(1, sizeof *record));
            if (!record) {
                peg_log(__FILE__, __LINE__, Logger::SEVERE, "Memory acquisition Error");
                rc = NO_MEMORY;
            } else {
                std::memcpy(record->bytes, data, std::min<std::size_t>(ntcp.dataLen, sizeof record->bytes));
                // The record holds at most eight path entries; its count says
                // no more than the record holds.
                if (paths > CMM_RSP_CHECK_FRA_PATH_DATA::MAX_PATHS) {
                    peg_log(__FILE__, __LINE__, Logger::WARNING, "Path count %llu of %s cut to %u",
                            static_cast<unsigned long long>(paths), text,
                            static_cast<unsigned>(CMM_RSP_CHECK_FRA_PATH_DATA::MAX_PATHS));
                    smis::storeLE32(record->bytes + 40, CMM_RSP_CHECK_FRA_PATH_DATA::MAX_PATHS);
                }
                count = 1;
            }
            freeBuffer(&ntcp);
        }
    }
    peg_log(__FILE__, __LINE__, Logger::INFORMATION, "0x%x = _getXmirrexPath(rpathCount = %d) end", rc, count);
    return rc;
}

unsigned char SMIS_Vorpak::getXmirrexPath(const char* boxId, CMM_RSP_CHECK_FRA_PATH_DATA*& records,
                                          unsigned short& count)
{
    records = nullptr;
    count = 0;
    const bool all = !boxId || !*boxId;
    if (!all && ::strnlen(boxId, CMM_RSP_CHECK_FRA_PATH_DATA::BOX_ID_SIZE + 1) !=
                    CMM_RSP_CHECK_FRA_PATH_DATA::BOX_ID_SIZE) {
        peg_log(__FILE__, __LINE__, Logger::SEVERE, "Parameter Error");
        return PARAMETER_ERROR;
    }
    const char* address = _storageAddress.c_str();
    unsigned char rc = RESULT_OK;
    SMIS_CMTAccess* cache = SMIS_CMTAccess::getInstance();
    if (cache) {
        long n = -1;
        void* cached = cache->GetExTableInfo(address, SMIS_CMTAccess::EX_XMIRREX_PATH, nullptr, n);
        if (cached) {
            const bool found =
                _fromPathBlock(static_cast<const std::uint8_t*>(cached), boxId, records, count, rc);
            std::free(cached);
            if (found) {
                peg_trace(__FILE__, __LINE__, Tracer::LEVEL4, "getXmirrexPath Valid ok");
                peg_log(__FILE__, __LINE__, Logger::INFORMATION, "0x%x = getXmirrexPath(rpathCount = %d) end", rc,
                        count);
                return rc;
            }
        }
        if (cache->GetDeviceAvailable(address) == 1) {
            peg_trace(__FILE__, __LINE__, Tracer::LEVEL4, "getXmirrexPath Timeout");
            return TIMEOUT_ERROR;
        }
    }

    NTC_packet ntcp;
    init_NTCP(&ntcp);
    ntcp.cmdCode = CMD_BOX_LIST;
    rc = _statusCommand(ntcp);
    if (rc == RESULT_OK)
        rc = _requireData(ntcp, BOX_LIST_SIZE, false);
    if (rc != RESULT_OK)
        return _pathsWhenBusy(rc, boxId, records, count);
    const auto* list = static_cast<const std::uint8_t*>(ntcp.dataBuf);
    unsigned boxes = smis::loadLE16(list + BOX_COUNT_OFFSET);
    if (boxes > MAX_REMOTE_BOXES) {
        peg_log(__FILE__, __LINE__, Logger::WARNING, "Remote box count %u cut to %u", boxes, MAX_REMOTE_BOXES);
        boxes = MAX_REMOTE_BOXES;
    }
    std::uint8_t block[PATH_BLOCK_SIZE] = {};
    block[0] = static_cast<std::uint8_t>(boxes);
    for (unsigned i = 0; i < boxes; ++i) {
        CMM_RSP_CHECK_FRA_PATH_DATA* one = nullptr;
        unsigned short n = 0;
        rc = _getXmirrexPath(reinterpret_cast<const char*>(list + BOX_ID_OFFSET + i * BOX_ID_STRIDE), one, n);
        if (rc != RESULT_OK) {
            freeBuffer(&ntcp);
            return _pathsWhenBusy(rc, boxId, records, count);
        }
        std::memcpy(block + PATH_BLOCK_RECORDS + i * sizeof *one, one->bytes, sizeof *one);
        std::free(one);
    }
    freeBuffer(&ntcp);

    if (cache) {
        const int stored = cache->SetExTableInfo(address, SMIS_CMTAccess::EX_XMIRREX_PATH, nullptr, block,
                                                 sizeof block, 1, 0);
        if (stored != 0) {
            peg_log(__FILE__, __LINE__, Logger::SEVERE, "0x%x = SMIS_CMTAccess::SetExTableInfo()", stored);
            return STORE_ERROR;
        }
    }
    if (!_fromPathBlock(block, boxId, records, count, rc)) {
        peg_log(__FILE__, __LINE__, Logger::SEVERE, "Parameter Error");
        rc = PARAMETER_ERROR;
    }
    peg_log(__FILE__, __LINE__, Logger::INFORMATION, "0x%x = getXmirrexPath(rpathCount = %d) end", rc, count);
    return rc;
}

}  // namespace cimple
