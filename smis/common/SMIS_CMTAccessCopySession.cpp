// Conversion of the array's copy-session answers into the cached 96-byte
// records and the copy-session table built from them.

#include <cstdlib>
#include <cstring>
#include <ctime>
#include <vector>

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

// LU type of one side (0 source, 1 destination); false when the volume is
// not in the table (*missing then names it).
bool luType(const VELDARO_RefTable& view, const std::uint8_t* rec, int side, std::uint8_t& out,
            std::uint16_t* missing)
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
    const int slu = view.isValidCMT() ? view.searchCopyLunFromSluTable(volumeType, volume) : -1;
    if (slu < 0) {
        *missing = volume;
        return false;
    }
    out = view.getLuType(slu);
    return true;
}

// What one conversion left out, logged once for the whole answer: an array
// with thousands of sessions gives one line, not one per session.
struct Skipped {
    unsigned unsupported = 0;
    std::uint8_t kind = 0, flags = 0;        // of the first unsupported one
    unsigned notInTable = 0;
    std::uint16_t volume = 0;                 // of the first one not in the table
    std::uint8_t volumeType = 0;

    void log(const char* address) const
    {
        // Sessions of copy types this provider does not model (the array
        // answers them with the others): nothing is wrong.
        if (unsupported)
            SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::INFORMATION,
                                   "%u copy sessions of %s are of an unsupported copy type (first: Kind=%u, "
                                   "Flag=0x%02x)",
                                   unsupported, address, static_cast<unsigned>(kind), static_cast<unsigned>(flags));
        if (notInTable)
            SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::SEVERE,
                                   "Table access conflict - %u copy sessions of %s name an LU that is not found "
                                   "from CMT (first: %u, VolumeType=%u)",
                                   notInTable, address, static_cast<unsigned>(volume),
                                   static_cast<unsigned>(volumeType));
    }
};

bool convertOne(const VELDARO_RefTable& view, const std::uint8_t* a, std::uint8_t* rec, Skipped& skipped)
{
    std::memset(rec, 0, RECORD_SIZE);
    const std::uint8_t type = _getCopyType(a);
    if (type == 0) {
        if (skipped.unsupported++ == 0) {
            skipped.kind = a[8];
            skipped.flags = a[9];
        }
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
    std::uint16_t missing = 0;
    if (luType(view, rec, 0, rec[8], &missing) && luType(view, rec, 1, rec[9], &missing))
        return true;
    if (skipped.notInTable++ == 0) {
        skipped.volume = missing;
        skipped.volumeType = rec[3];
    }
    return false;
}

}  // namespace

std::uint8_t* SMIS_CMTAccess::ConvertVPK2CopySessionInfo(const char* address, unsigned& count,
                                                          const std::uint8_t* answer) try {
    if (count == 0 || answer == nullptr) {
        count = 0;
        return nullptr;
    }
    Skipped skipped;
    std::vector<std::uint8_t> records;
    std::uint8_t record[RECORD_SIZE];
    {
        VELDARO_RefTable view(address);
        for (unsigned i = 0; i < count; ++i)
            if (convertOne(view, answer + std::size_t(i) * ANSWER_SIZE, record, skipped))
                records.insert(records.end(), record, record + RECORD_SIZE);
    }
    skipped.log(address);
    count = static_cast<unsigned>(records.size() / RECORD_SIZE);
    auto* out = count ? static_cast<std::uint8_t*>(std::malloc(records.size())) : nullptr;
    if (!out) {
        count = 0;
        return nullptr;
    }
    std::memcpy(out, records.data(), records.size());
    return out;
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
