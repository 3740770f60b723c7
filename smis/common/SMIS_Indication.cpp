// Queue end, array status, thin pool alert and copy-session producers of
// SMIS_Indication.
#include "SMIS_Indication.h"

#include <arpa/inet.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <utility>

#include "ByteOrder.h"
#include "RecordQueue.h"
#include "SMIS_CMSLib.h"
#include "SMIS_CMT.h"
#include "SMIS_TraceLog.h"
#include "VELDARO_RefTable.h"

using smis::platform::RecordQueue;

namespace cimple {

SMIS_Indication::SMIS_Indication() = default;
SMIS_Indication::~SMIS_Indication() = default;

int SMIS_Indication::mq_create(unsigned long readTimeoutMs) {
    if (_queue) {
        SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::WARNING, "Mailslot is already opened");
        return 2;
    }
    try {
        _queue = RecordQueue::create(INDICATION_QUEUE_NAME);
    } catch (...) {
        _queue.reset();
    }
    if (!_queue) {
        SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::SEVERE, "Failed CreateMailslot(%s) %s",
                               INDICATION_QUEUE_NAME, "the queue exists already");
        return 1;
    }
    _readTimeoutMs = readTimeoutMs;
    return 0;
}

int SMIS_Indication::mq_unlink() {
    if (!_queue) {
        SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::WARNING, "Mailslot is not opened");
        return 3;
    }
    _queue.reset();
    return 0;
}

int SMIS_Indication::mq_receive(void*& address, unsigned long& size) {
    address = nullptr;
    size = 0;
    if (!_queue) {
        SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::WARNING, "Mailslot is not opened");
        return 3;
    }
    RecordQueue::Record r = _queue->receive(std::chrono::milliseconds(_readTimeoutMs));
    if (r) {
        SMIS_TraceLog::peg_trace(__FILE__, __LINE__, Tracer::LEVEL4, "[in] SMIS_Indication::mq_receive");
        size = static_cast<unsigned long>(r.bytes);
        address = r.data.release();
    }
    return 0;
}

bool SMIS_Indication::is_mq_create() {
    SMIS_TraceLog::peg_trace(__FILE__, __LINE__, Tracer::LEVEL4, "[in] SMIS_Indication::is_mq_create");
    return RecordQueue::exists(INDICATION_QUEUE_NAME);
}

int SMIS_Indication::mq_send(IndicationRecord record) {
    SMIS_TraceLog::peg_trace(__FILE__, __LINE__, Tracer::LEVEL4, "[in] SMIS_Indication::mq_send");
    RecordQueue::SendResult r =
        RecordQueue::send(INDICATION_QUEUE_NAME, RecordQueue::Record(record.data(), record.size()));
    if (r == RecordQueue::SendResult::SENT) return 0;
    SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::SEVERE, "Failed CreateFile(%s) %s", INDICATION_QUEUE_NAME,
                           r == RecordQueue::SendResult::NO_QUEUE ? "no queue" : "no record");
    return 1;
}

std::uint32_t SMIS_Indication::convIPtoLong(const String& address) {
    return static_cast<std::uint32_t>(inet_addr(address.c_str()));
}

String SMIS_Indication::convIPtoString(std::uint32_t address) {
    char text[INET_ADDRSTRLEN] = {};
    in_addr a{};
    a.s_addr = address;
    if (!inet_ntop(AF_INET, &a, text, sizeof text)) return String("");
    return String(text);
}

// ---- array status (kind 7) ----

int SMIS_Indication::indicationStatus(const VELDARO_RefTable& table, std::uint8_t newStatus, std::uint8_t oldStatus) {
    SMIS_TraceLog::peg_trace(__FILE__, __LINE__, Tracer::LEVEL4, "[in] SMIS_Indication::indicationStatus");
    if (!is_mq_create()) {
        SMIS_TraceLog::peg_trace(__FILE__, __LINE__, Tracer::LEVEL4, "not running Indication thread");
        return 0;
    }
    SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::INFORMATION, "indicationStatus start(new=%02x, old=%02x)",
                           newStatus, oldStatus);
    int rc = 1;
    try {
        rc = indicationComputerSystem(table, newStatus, oldStatus);
    } catch (...) {
        rc = 1;
    }
    if (rc != 0) SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::SEVERE, "error(%d) indicationComputerSystem", rc);
    return rc;
}

int SMIS_Indication::indicationComputerSystem(const VELDARO_RefTable& t, std::uint8_t newStatus,
                                              std::uint8_t oldStatus) {
    SMIS_TraceLog::peg_trace(__FILE__, __LINE__, Tracer::LEVEL4, "[in] SMIS_Indication::indicationComputerSystem");
    using S = IndicationRecord::System;
    IndicationRecord r = IndicationRecord::allocate(IndicationRecord::KIND_SYSTEM, S::SIZE);
    if (!r) return 1;
    r.setAddress(convIPtoLong(t.get_currentIPAddress()));
    r.setU8(S::OPERATION, IndicationRecord::OP_MODIFY);
    int n1 = 0, n2 = 0, o1 = 0, o2 = 0;
    SMIS_CMSLib::cms_cnv_smis_sts_machine_ce_de(newStatus, &n1, &n2);
    SMIS_CMSLib::cms_cnv_smis_sts_machine_ce_de(oldStatus, &o1, &o2);
    r.setU16(S::STATUS1_NEW, static_cast<std::uint16_t>(n1));
    r.setU16(S::STATUS1_OLD, static_cast<std::uint16_t>(o1));
    r.setU16(S::STATUS2_NEW, static_cast<std::uint16_t>(n2));
    r.setU16(S::STATUS2_OLD, static_cast<std::uint16_t>(o2));
    auto text = [&](std::size_t off, std::size_t width, char* s) {
        r.setText(off, width, s);
        VELDARO_RefTable::getMemFree(s);
    };
    text(S::PRODUCT_ID, S::PRODUCT_ID_SIZE, t.getSysProductID());
    text(S::SERIAL, S::SERIAL_SIZE, t.getSysSerialNumber());
    unsigned char wwn[S::NODE_WWN_SIZE] = {};
    t.getPartOfSysNodeWWN(wwn);
    r.setBytes(S::NODE_WWN, wwn, sizeof wwn);
    r.setU32(S::UPDATE_COUNT, t.getTableUpdateCount());
    text(S::MANAGER, S::MANAGER_SIZE, t.getSysManagerName());
    text(S::FRIENDLY, S::FRIENDLY_SIZE, t.getSysFriendlyName());
    return mq_send(r);
}

// ---- thin pool alert (kind 6) ----

int SMIS_Indication::indicationTPPoolAlarmInfo(const VELDARO_RefTable& table, const CMM_RD_TP_POOL_ALARM_INFO* newInfo,
                                               unsigned short newCount, const CMM_RD_TP_POOL_ALARM_INFO* oldInfo,
                                               unsigned short oldCount) {
    SMIS_TraceLog::peg_trace(__FILE__, __LINE__, Tracer::LEVEL4, "[in] SMIS_Indication::indicationTPPoolAlarmInfo");
    if (!is_mq_create()) {
        SMIS_TraceLog::peg_trace(__FILE__, __LINE__, Tracer::LEVEL4, "not running Indication thread");
        return 0;
    }
    SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::INFORMATION, "indicationTPPoolAlarmInfo start");
    const auto* n = reinterpret_cast<const std::uint8_t*>(newInfo);
    const auto* o = reinterpret_cast<const std::uint8_t*>(oldInfo);
    int rc = 1;
    try {
        rc = indicationAlert(table, n, n ? newCount : 0, o, o ? oldCount : 0);
    } catch (...) {
        rc = 1;
    }
    if (rc != 0) SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::SEVERE, "error(%d) indicationAlert", rc);
    return rc;
}

namespace {

constexpr std::size_t ALARM_SIZE = SMIS_Indication::POOL_ALARM_RECORD_SIZE;

std::uint16_t alarmPool(const std::uint8_t* info, unsigned i) { return smis::loadLE16(info + i * ALARM_SIZE); }
std::uint32_t alarmTotal(const std::uint8_t* info, unsigned i) { return smis::loadLE32(info + i * ALARM_SIZE + 4); }
std::uint32_t alarmUsed(const std::uint8_t* info, unsigned i) { return smis::loadLE32(info + i * ALARM_SIZE + 8); }

int firstRecordOf(const std::uint8_t* info, unsigned count, std::uint16_t pool) {
    for (unsigned i = 0; info && i < count; ++i)
        if (alarmPool(info, i) == pool) return static_cast<int>(i);
    return -1;
}

void addHandled(std::vector<std::uint16_t>& handled, std::uint16_t pool) {
    if (std::find(handled.begin(), handled.end(), pool) == handled.end()) handled.push_back(pool);
}

}  // namespace

int SMIS_Indication::alarmLevel(const VELDARO_RefTable& t, const std::uint8_t* info, unsigned count, int index,
                                std::vector<std::uint16_t>& handled) {
    if (!info || index < 0 || static_cast<unsigned>(index) >= count) return 0;
    const std::uint16_t pool = alarmPool(info, static_cast<unsigned>(index));
    const int tpp = t.searchPoolNoFromTppTable(pool);
    unsigned thresholdY = 0, thresholdR = 0;
    std::uint64_t total = 0, used = 0;
    if (tpp >= 0 && t.isLayerixSubPool(tpp)) {
        const int lxrp = t.searchPoolNoFromLxrpTable(static_cast<std::uint16_t>(t.getTppLxrpNumber(tpp) & 0xFF));
        if (lxrp < 0) return 0;
        thresholdY = t.getLxrpThreshold_Y(lxrp);
        thresholdR = t.getLxrpThreshold_R(lxrp);
        const unsigned subs = std::min<unsigned>(t.getLxrpSubPoolCnt(lxrp), 5);
        for (unsigned s = 0; s < subs; ++s) {
            const std::uint16_t sub = t.getLxrpSubPoolNumber(lxrp, static_cast<int>(s));
            const int k = firstRecordOf(info, count, sub);
            if (k < 0) continue;
            total += alarmTotal(info, static_cast<unsigned>(k));
            used += alarmUsed(info, static_cast<unsigned>(k));
            addHandled(handled, sub);
        }
    } else {
        if (tpp >= 0) {
            thresholdY = t.getTppThreshold_Y(tpp);
            thresholdR = t.getTppThreshold_R(tpp);
        }
        total = alarmTotal(info, static_cast<unsigned>(index));
        used = alarmUsed(info, static_cast<unsigned>(index));
        addHandled(handled, pool);
    }
    // A pool without capacity has no usage to report.
    const std::uint64_t blocksTotal = total * 1048576 / 512;
    if (blocksTotal == 0) return 0;
    const std::uint64_t percent = (used * 1048576 / 512) * 100 / blocksTotal;
    if (thresholdY == 0 && thresholdR == 0) return 0;
    if (percent == 100) return 3;
    if (thresholdR != 0 && percent >= thresholdR) return 2;
    if (thresholdY != 0 && percent >= thresholdY) return 1;
    return 0;
}

int SMIS_Indication::indicationAlert(const VELDARO_RefTable& t, const std::uint8_t* newInfo, unsigned newCount,
                                     const std::uint8_t* oldInfo, unsigned oldCount) {
    SMIS_TraceLog::peg_trace(__FILE__, __LINE__, Tracer::LEVEL4, "[in] SMIS_Indication::indicationAlert");
    static constexpr std::uint32_t EVENT_CODES[4] = {0, 0xE8010000u, 0xE8020000u, 0xE8050000u};
    std::vector<std::uint16_t> handled;
    for (unsigned i = 0; i < newCount; ++i) {
        const std::uint16_t pool = alarmPool(newInfo, i);
        if (std::find(handled.begin(), handled.end(), pool) != handled.end()) continue;
        const int oldIndex = firstRecordOf(oldInfo, oldCount, pool);
        const int tpp = t.searchPoolNoFromTppTable(pool);
        if (tpp < 0) continue;
        const int newLevel = alarmLevel(t, newInfo, newCount, static_cast<int>(i), handled);
        const int oldLevel = alarmLevel(t, oldInfo, oldCount, oldIndex, handled);
        if (!(oldLevel < newLevel)) continue;
        using A = IndicationRecord::Alert;
        IndicationRecord r = IndicationRecord::allocate(IndicationRecord::KIND_ALERT, A::SIZE);
        if (!r) return 1;
        r.setU8(A::SEVERITY, A::SEVERITY_VALUE);
        r.setAddress(convIPtoLong(t.get_currentIPAddress()));
        r.setU8(A::EVENT_MARK, A::EVENT_MARK_VALUE);
        r.setU32(A::EVENT_CODE, t.isLayerixSubPool(tpp) ? 0u : (EVENT_CODES[newLevel] | pool));
        const int rc = mq_send(r);
        if (rc != 0) return rc;
    }
    return 0;
}

// ---- copy sessions (kind 9) ----

namespace {

constexpr std::size_t SESSION_SIZE = SMIS_Indication::COPY_SESSION_RECORD_SIZE;

// The session records of a copy-session table (id 0), when its records are
// at least one session long.
std::vector<const std::uint8_t*> sessionsOf(const SMIS_CMT* table) {
    std::vector<const std::uint8_t*> out;
    if (!table) return out;
    const SMIS_INDEX* entry = SMIS_CMTCodec::GetIndexTable(*table, 0);
    if (!entry || entry->ElementSize < SESSION_SIZE || entry->data.size() < entry->dataSize()) return out;
    for (std::size_t i = 0; i < entry->ElementCount; ++i) out.push_back(entry->element(i));
    return out;
}

std::uint16_t sessionId(const std::uint8_t* s) { return smis::loadLE16(s); }

}  // namespace

int SMIS_Indication::sendCopySession(std::uint32_t address, int operation, const std::uint8_t* current,
                                     const std::uint8_t* previous) {
    using C = IndicationRecord::CopySession;
    IndicationRecord r = IndicationRecord::allocate(IndicationRecord::KIND_COPY_SESSION, C::SIZE);
    if (!r) return 1;
    r.setU16(C::BLOCK_COUNT, 1);
    r.setAddress(address);
    r.setU8(C::OPERATION, static_cast<std::uint8_t>(operation));
    r.setU8(C::NO_PREVIOUS, operation == IndicationRecord::OP_MODIFY && !previous ? 1 : 0);
    r.setU8(C::BYTE2, current[2]);
    r.setU8(C::BYTE3, current[3]);
    r.setU8(C::BYTE8, current[8]);
    r.setU16(C::FIELD4, smis::loadLE16(current + 4));
    r.setU8(C::BYTE9, current[9]);
    r.setU16(C::FIELD6, smis::loadLE16(current + 6));
    r.setU32(C::FIELD12, smis::loadLE32(current + 12));
    r.setU32(C::FIELD16, smis::loadLE32(current + 16));
    if (previous) r.setU32(C::PREVIOUS_FIELD16, smis::loadLE32(previous + 16));
    for (std::size_t k = 0; k < 4; ++k) r.setU32(C::FIELDS24 + 4 * k, smis::loadLE32(current + 24 + 4 * k));
    r.setBytes(C::BYTES48, current + 48, C::BYTES48_SIZE);
    for (std::size_t k = 0; k < 3; ++k) {
        r.setU8(C::STATES + 2 * k, current[88 + k]);
        if (previous) r.setU8(C::STATES + 2 * k + 1, previous[88 + k]);
    }
    r.setU8(C::STATES + 6, current[91]);
    r.setU8(C::STATES + 7, current[92]);
    return mq_send(r);
}

int SMIS_Indication::indicationCopySession(const String& address, const SMIS_CMT* newTable, const SMIS_CMT* oldTable) {
    SMIS_TraceLog::peg_trace(__FILE__, __LINE__, Tracer::LEVEL4, "[in] SMIS_Indication::indicationCopySession");
    if (!is_mq_create()) {
        SMIS_TraceLog::peg_trace(__FILE__, __LINE__, Tracer::LEVEL4, "not running Indication thread");
        return 0;
    }
    SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::INFORMATION, "indicationCopySession start");
    try {
        return compareCopySessions(address, newTable, oldTable);
    } catch (...) {
        return 1;
    }
}

int SMIS_Indication::compareCopySessions(const String& address, const SMIS_CMT* newTable, const SMIS_CMT* oldTable) {
    const std::uint32_t ip = convIPtoLong(address);
    const auto news = sessionsOf(newTable);
    const auto olds = sessionsOf(oldTable);
    // One flag per possible 16-bit session identifier, and the first new
    // record of each identifier: every old session finds its counterpart in
    // one look-up, so a poll costs the number of sessions, not its square.
    std::vector<bool> matched(COPY_SESSION_ID_COUNT, false);
    std::vector<const std::uint8_t*> firstNew(COPY_SESSION_ID_COUNT, nullptr);
    for (const std::uint8_t* c : news)
        if (!firstNew[sessionId(c)]) firstNew[sessionId(c)] = c;
    bool failed = false;
    auto send = [&](int op, const std::uint8_t* cur, const std::uint8_t* prev) {
        const int rc = sendCopySession(ip, op, cur, prev);
        if (rc != 0) failed = true;
        return rc;
    };
    for (const std::uint8_t* o : olds) {
        const std::uint8_t* s = matched[sessionId(o)] ? nullptr : firstNew[sessionId(o)];
        if (!s) {
            send(IndicationRecord::OP_DELETE, o, nullptr);
            continue;
        }
        matched[sessionId(s)] = true;
        const bool sameSession = s[3] == o[3] && smis::loadLE16(s + 4) == smis::loadLE16(o + 4) &&
                                 smis::loadLE16(s + 6) == smis::loadLE16(o + 6);
        if (sameSession) {
            if (s[88] != o[88] || s[89] != o[89]) send(IndicationRecord::OP_MODIFY, s, o);
        } else if (send(IndicationRecord::OP_DELETE, o, nullptr) == 0) {
            send(IndicationRecord::OP_CREATE, s, nullptr);
        }
    }
    for (const std::uint8_t* s : news) {
        if (matched[sessionId(s)]) continue;
        matched[sessionId(s)] = true;  // a second record of one id is not a second session
        send(IndicationRecord::OP_CREATE, s, nullptr);
    }
    return failed ? 1 : 0;
}

int SMIS_Indication::indicationCopySessionSingle(const String& address, const SMIS_COPY_SESSION_INFO* newInfo,
                                                 const SMIS_COPY_SESSION_INFO* oldInfo) {
    SMIS_TraceLog::peg_trace(__FILE__, __LINE__, Tracer::LEVEL4, "[in] SMIS_Indication::indicationCopySessionSingle");
    if (!is_mq_create()) {
        SMIS_TraceLog::peg_trace(__FILE__, __LINE__, Tracer::LEVEL4, "not running Indication thread");
        return 0;
    }
    auto oneSessionTable = [](const SMIS_COPY_SESSION_INFO* info) {
        SMIS_CMT t;
        SMIS_INDEX e;
        e.TableId = 0;
        e.Byte1 = 1;
        e.ElementSize = static_cast<std::uint32_t>(SESSION_SIZE);
        if (info) {
            const auto* p = reinterpret_cast<const std::uint8_t*>(info);
            e.ElementCount = 1;
            e.data.assign(p, p + SESSION_SIZE);
        }
        t.index.push_back(std::move(e));
        return t;
    };
    try {
        const SMIS_CMT n = oneSessionTable(newInfo);
        const SMIS_CMT o = oneSessionTable(oldInfo);
        return indicationCopySession(address, &n, &o);
    } catch (...) {
        return 1;
    }
}

}  // namespace cimple
