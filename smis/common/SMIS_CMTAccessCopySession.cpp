// Conversion of the array's copy-session answers into the cached 96-byte
// records and the copy-session table built from them.

#include <cstdlib>
#include <cstring>
#include <ctime>

#include "ByteOrder.h"
#include "SMIS_CMTAccess.h"
#include "SMIS_COPY_SESSION_INFO.h"
#include "SMIS_TraceLog.h"
#include "SMIS_VorpakRecords.h"
#include "VELDARO_RefTable.h"

namespace cimple {

namespace {

constexpr std::size_t ANSWER_SIZE = sizeof(CMM_RSP_ADV_SSN_INFO);
constexpr std::size_t RECORD_SIZE = sizeof(SMIS_COPY_SESSION_INFO);

// Copy type from the answer's kind (byte 8) and flags (byte 9); 0 unsupported.
std::uint8_t _getCopyType(const std::uint8_t* answer)
{
    const std::uint8_t kind = answer[8];
    const std::uint8_t flags = answer[9];
    if (kind == 2)
        return (flags & 0x20) ? 2 : 1;
    if (kind == 1) {
        if (flags & 0x10)
            return 3;
        if (flags & 0x40)
            return 4;
    }
    return 0;
}

int bcd(std::uint8_t b) { return (b >> 4) * 10 + (b & 0x0F); }

// Seven BCD bytes (century, year, month, day, hour, minute, second) as local
// time in seconds since 1970, with the daylight-saving flag of now.
std::uint32_t _todToTm(const std::uint8_t* p)
{
    const std::time_t now = std::time(nullptr);
    std::tm current{};
    localtime_r(&now, &current);
    std::tm t{};
    t.tm_year = bcd(p[0]) * 100 + bcd(p[1]) - 1900;
    t.tm_mon = bcd(p[2]) - 1;
    t.tm_mday = bcd(p[3]);
    t.tm_hour = bcd(p[4]);
    t.tm_min = bcd(p[5]);
    t.tm_sec = bcd(p[6]);
    t.tm_isdst = current.tm_isdst;
    const std::time_t v = std::mktime(&t);
    return v < 0 ? 0 : static_cast<std::uint32_t>(v);
}

// LU type of one side (0 source, 1 destination); false when not found.
bool luType(const VELDARO_RefTable& view, const std::uint8_t* rec, int side, std::uint8_t& out)
{
    const std::uint8_t copyType = rec[2];
    const std::uint8_t volumeType = rec[3];
    const std::uint16_t volume = smis::loadLE16(rec + 4 + 2 * side);
    // For a remote copy, the remote side's volume is not in this array's table.
    const bool remote = copyType == 2 && ((rec[91] == 1 && side == 0) || (rec[91] == 0 && side == 1));
    if (remote) {
        out = volumeType == 0 ? 2 : 1;
        return true;
    }
    if (!view.isValidCMT()) {
        SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::SEVERE,
                               "Table access conflict - The LU number in copy session is not found from CMT: %u, "
                               "VolumeType=%u",
                               static_cast<unsigned>(volume), static_cast<unsigned>(volumeType));
        return false;
    }
    const int slu = view.searchCopyLunFromSluTable(volumeType, volume);
    if (slu < 0) {
        SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::SEVERE,
                               "Table access conflict - The LU number in copy session is not found from CMT: %u, "
                               "VolumeType=%u",
                               static_cast<unsigned>(volume), static_cast<unsigned>(volumeType));
        return false;
    }
    out = view.getLuType(slu);
    return true;
}

bool convertOne(const VELDARO_RefTable& view, const std::uint8_t* a, std::uint8_t* rec)
{
    std::memset(rec, 0, RECORD_SIZE);
    const std::uint8_t type = _getCopyType(a);
    if (type == 0) {
        SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::SEVERE, "Unsupported copy type: %u, Kind=%u, Flag=0x%02x",
                               0u, static_cast<unsigned>(a[8]), static_cast<unsigned>(a[9]));
        return false;
    }
    std::memcpy(rec + 0, a + 0, 2);
    rec[2] = type;
    rec[3] = a[17];
    std::memcpy(rec + 4, a + 4, 4);
    const std::int64_t start = static_cast<std::int64_t>(std::time(nullptr)) - smis::loadLE32(a + 32);
    smis::storeLE32(rec + 12, static_cast<std::uint32_t>(static_cast<std::int32_t>(start)));
    if (type == 1 || type == 2)
        smis::storeLE32(rec + 16, _todToTm(a + 40));
    std::memcpy(rec + 24, a + 56, 8);
    std::memcpy(rec + 32, a + 160, 8);
    std::memcpy(rec + 40, a + 184, 8);
    if (type == 2)
        std::memcpy(rec + 48, a + 120, 40);
    rec[88] = a[12];
    rec[89] = a[13];
    if (type == 2) {
        rec[90] = (a[10] >> 2) & 1;
        rec[91] = (a[10] >> 4) & 1;
    }
    if (type == 1 || type == 2)
        rec[92] = a[9] & 1;
    rec[93] = a[20];
    std::uint16_t code = 0;
    switch (type) {
    case 1: code = 0x1111; break;
    case 2: code = rec[90] == 1 ? 0x2111 : 0x2211; break;
    case 3: code = 0x1121; break;
    default: code = 0x1181; break;
    }
    smis::storeLE16(rec + 94, code);
    return luType(view, rec, 0, rec[8]) && luType(view, rec, 1, rec[9]);
}

}  // namespace

std::uint8_t* SMIS_CMTAccess::ConvertVPK2CopySessionInfo(const char* address, unsigned& count,
                                                          const std::uint8_t* answer) try {
    if (count == 0 || answer == nullptr) {
        count = 0;
        return nullptr;
    }
    unsigned supported = 0;
    for (unsigned i = 0; i < count; ++i)
        if (_getCopyType(answer + std::size_t(i) * ANSWER_SIZE) != 0)
            ++supported;
    if (supported == 0) {
        // Still log each unsupported record once.
        for (unsigned i = 0; i < count; ++i) {
            const std::uint8_t* a = answer + std::size_t(i) * ANSWER_SIZE;
            SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::SEVERE,
                                   "Unsupported copy type: %u, Kind=%u, Flag=0x%02x", 0u,
                                   static_cast<unsigned>(a[8]), static_cast<unsigned>(a[9]));
        }
        count = 0;
        return nullptr;
    }
    auto* records = static_cast<std::uint8_t*>(std::calloc(supported, RECORD_SIZE));
    if (!records) {
        count = 0;
        return nullptr;
    }
    VELDARO_RefTable view(address);
    unsigned converted = 0;
    for (unsigned i = 0; i < count && converted < supported; ++i)
        if (convertOne(view, answer + std::size_t(i) * ANSWER_SIZE, records + std::size_t(converted) * RECORD_SIZE))
            ++converted;
    count = converted;
    if (converted == 0) {
        std::free(records);
        return nullptr;
    }
    return records;
} catch (...) {
    count = 0;
    return nullptr;
}

SMIS_CMTPtr SMIS_CMTAccess::ConvertCopySessionInfo2CMT(unsigned count, const std::uint8_t* records) try {
    if (count > 0xFFFF || (count > 0 && records == nullptr))
        return nullptr;
    auto cmt = std::make_unique<SMIS_CMT>();
    SMIS_INDEX entry;
    entry.TableId = 0;
    entry.Byte1 = 1;
    entry.Flags = 0;
    entry.ElementCount = static_cast<std::uint16_t>(count);
    entry.ElementSize = RECORD_SIZE;
    entry.Offset = 0;
    if (count > 0)
        entry.data.assign(records, records + std::size_t(count) * RECORD_SIZE);
    cmt->index.push_back(std::move(entry));
    cmt->header[1] = 1;
    return cmt;
} catch (...) {
    return nullptr;
}

}  // namespace cimple
