#include "SMIS_CMTConvert.h"

#include <algorithm>
#include <array>
#include <bitset>
#include <cstring>
#include <exception>
#include <initializer_list>
#include <new>
#include <vector>

#include "ByteOrder.h"
#include "SMIS_TraceLog.h"

namespace {

using Img = cnfg_config_mgmt_table;

// Byte range "from-to", both ends included.
struct Range {
    std::size_t from;
    std::size_t to;
};

// Expected record size L of each table id (0: no converter of its own).
constexpr std::size_t kRecordSize[SMIS_CMTConvert::MAX_TABLE_ID + 1] = {
    0,    80,  32,  32,  32,   80,  80,   96, 160, 512,   // 0-9
    96,   176, 640, 112, 2080, 0,   40,   1208, 32, 0,    // 10-19
    16,   16,  16,  16,  80,   0,   48,   3680, 80, 0,    // 20-29
    0,    0,   80,  112, 80,   1056, 1056, 320, 80, 160,  // 30-39
    48,   64,  672, 48,  64,   64,  32};                  // 40-46

// Number of records an entry holds. An entry whose element size is 0 holds
// none, whatever its count says: its records would read as zero-filled
// phantoms at key 0.
std::size_t recordCount(const SMIS_INDEX& e) { return e.ElementSize == 0 ? 0 : e.ElementCount; }

// Walks the records of one table: each record is copied into a zeroed work
// record of L bytes (fewer when the element size is smaller).
class Records {
public:
    Records(const SMIS_INDEX& e, unsigned id) : e_(e), work_(kRecordSize[id], 0) {
        SMIS_TraceLog::peg_trace(__FILE__, __LINE__, Tracer::LEVEL4, "[in] SMIS_CMTAccess::_convert2CMT_0x%02x", id);
        if (recordCount(e) != 0 && e.ElementSize < work_.size())
            SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::WARNING,
                                   "Table size has mismatching(Id=0x%02x, Size=%u, Expected=%zu)", id,
                                   static_cast<unsigned>(e.ElementSize), work_.size());
    }
    std::size_t count() const { return recordCount(e_); }
    const std::uint8_t* operator[](std::size_t i) {
        std::fill(work_.begin(), work_.end(), 0);
        const std::uint8_t* src = e_.element(i);
        if (src) std::memcpy(work_.data(), src, std::min<std::size_t>(e_.ElementSize, work_.size()));
        return work_.data();
    }

private:
    const SMIS_INDEX& e_;
    std::vector<std::uint8_t> work_;
};

// Counts records whose placement lies outside their table and reports them
// once per table.
class Skipped {
public:
    explicit Skipped(unsigned id) : id_(id) {}
    ~Skipped() {
        if (n_)
            SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::WARNING,
                                   "Table 0x%02x: %zu record(s) skipped, placement out of range", id_, n_);
    }
    void operator++() { ++n_; }

private:
    unsigned id_;
    std::size_t n_ = 0;
};

void copyRanges(const std::uint8_t* rec, std::uint8_t* dst, std::initializer_list<Range> ranges) {
    for (const Range& r : ranges) std::memcpy(dst + r.from, rec + r.from, r.to - r.from + 1);
}

std::uint32_t itemId(const std::uint8_t* rec) { return smis::loadLE32(rec); }
std::size_t cmIndex(std::uint32_t id) { return (id >> 8) & 0x0F; }
std::size_t caIndex(std::uint32_t id) { return (id >> 8) & 0x3F; }
std::size_t deIndex(std::uint32_t id) { return ((id >> 11) & 0x1F) * 4 + ((id >> 8) & 0x03); }
std::size_t unitIndex(std::uint32_t id) { return (id >> 8) & 0xFF; }

// Tables keyed by the DE index refuse a second record with another item id
// on an index this table already filled.
class DEOwners {
public:
    explicit DEOwners(unsigned id) : id_(id) {}
    bool claim(std::size_t de, std::uint32_t item) {
        if (taken_[de] && owner_[de] != item) {
            SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::WARNING,
                                   "Table 0x%02x: ItemId 0x%08x collides with ItemId 0x%08x on DE %zu, skipped",
                                   id_, item, owner_[de], de);
            return false;
        }
        taken_[de] = true;
        owner_[de] = item;
        return true;
    }

private:
    unsigned id_;
    std::bitset<Img::DE_COUNT> taken_;
    std::array<std::uint32_t, Img::DE_COUNT> owner_{};
};

// Width of a record's number key.
enum class Key { U8, U16 };

// Records placed at their number key (at keyOffset, one or two bytes); a key
// past the table is skipped.
void convertNumbered(const SMIS_INDEX& e, Img& img, CMT_Table t, unsigned id, std::initializer_list<Range> ranges,
                     Key key = Key::U16, std::size_t keyOffset = 0) {
    Records recs(e, id);
    Skipped skipped(id);
    for (std::size_t i = 0; i < recs.count(); ++i) {
        const std::uint8_t* rec = recs[i];
        std::size_t n = key == Key::U8 ? rec[keyOffset] : smis::loadLE16(rec + keyOffset);
        if (n >= img.count(t)) {
            ++skipped;
            continue;
        }
        copyRanges(rec, img.mutableEntry(t, n), ranges);
    }
}

// Unit tables (FAN, CPSU, BBU): records without item id or status are skipped.
void convertUnits(const SMIS_INDEX& e, Img& img, CMT_Table t, unsigned id, std::initializer_list<Range> ranges) {
    Records recs(e, id);
    Skipped skipped(id);
    for (std::size_t i = 0; i < recs.count(); ++i) {
        const std::uint8_t* rec = recs[i];
        if (itemId(rec) == 0 || smis::loadLE16(rec + 4) == 0) continue;
        std::size_t u = unitIndex(itemId(rec));
        if (u >= img.count(t)) {
            ++skipped;
            continue;
        }
        copyRanges(rec, img.mutableEntry(t, u), ranges);
    }
}

void convertDESensor(const SMIS_INDEX& e, Img& img, CMT_Table t, unsigned id) {
    Records recs(e, id);
    DEOwners owners(id);
    for (std::size_t i = 0; i < recs.count(); ++i) {
        const std::uint8_t* rec = recs[i];
        std::size_t de = deIndex(itemId(rec));
        if (!owners.claim(de, itemId(rec))) continue;
        copyRanges(rec, img.mutableEntry(t, de), {{0, 7}});
    }
}

// Single-record tables use the first record only.
template <class F>
void firstRecord(const SMIS_INDEX& e, unsigned id, F f) {
    Records recs(e, id);
    if (recs.count() > 0) f(recs[0]);
}

std::uint32_t clampWord(std::uint32_t v, std::uint32_t max) { return std::min(v, max); }

}  // namespace

std::size_t SMIS_CMTConvert::expectedRecordSize(unsigned tableId) {
    return tableId <= MAX_TABLE_ID ? kRecordSize[tableId] : 0;
}

// ---- id 1: maximum-count block ----
namespace {
void convertBlock(const SMIS_INDEX& e, CMM_CMT_GLOBAL_VAL_ELEM& g) {
    g.clear();
    firstRecord(e, 0x01, [&](const std::uint8_t* rec) {
        for (std::size_t w = 0; w < CMM_CMT_GLOBAL_VAL_ELEM::WORDS; ++w) g.setWord(w, smis::loadLE32(rec + 4 * w));
    });
    for (std::size_t w : {CMM_CMT_GLOBAL_VAL_ELEM::OLU_MAX, CMM_CMT_GLOBAL_VAL_ELEM::SLU_MAX,
                          CMM_CMT_GLOBAL_VAL_ELEM::RLU_MAX, CMM_CMT_GLOBAL_VAL_ELEM::DLU_MAX,
                          CMM_CMT_GLOBAL_VAL_ELEM::MLU_MAX})
        g.setWord(w, clampWord(g.word(w), Img::MAX_VOLUME_COUNT));
    g.setWord(CMM_CMT_GLOBAL_VAL_ELEM::CM_MAX, clampWord(g.CMMaxCount(), Img::CM_COUNT));
    g.setWord(CMM_CMT_GLOBAL_VAL_ELEM::AFFINITY_GRP_MAX, clampWord(g.AffinityGrpMaxCount(), Img::AFFINITY_COUNT));
    g.setWord(CMM_CMT_GLOBAL_VAL_ELEM::HOST_MAX, clampWord(g.HostMaxCount(), Img::HOST_COUNT));
}
}  // namespace

int SMIS_CMTConvert::_convert2CMT_0x01(const SMIS_INDEX& e, CMM_CMT_GLOBAL_VAL_ELEM& g, Img&) {
    convertBlock(e, g);
    return 0;
}

// ---- id 2: CM table ----
int SMIS_CMTConvert::_convert2CMT_0x02(const SMIS_INDEX& e, CMM_CMT_GLOBAL_VAL_ELEM&, Img& img) {
    for (std::size_t i = 0; i < Img::CM_COUNT; ++i)
        img.CMW(i).ItemId(static_cast<std::uint32_t>(0x01001000 + i * 0x100)).ModuleId(static_cast<std::uint8_t>(16 + i));
    Records recs(e, 0x02);
    for (std::size_t i = 0; i < recs.count(); ++i) {
        const std::uint8_t* rec = recs[i];
        copyRanges(rec, img.mutableEntry(CMT_Table::CM, cmIndex(itemId(rec))), {{0, 11}});
    }
    return 0;
}

// ---- id 3: CA table ----
int SMIS_CMTConvert::_convert2CMT_0x03(const SMIS_INDEX& e, CMM_CMT_GLOBAL_VAL_ELEM&, Img& img) {
    for (std::size_t i = 0; i < Img::CA_COUNT; ++i)
        img.CAW(i).ItemId(static_cast<std::uint32_t>(0x10004000 + i * 0x100)).ModuleId(static_cast<std::uint8_t>(64 + i));
    Records recs(e, 0x03);
    for (std::size_t i = 0; i < recs.count(); ++i) {
        const std::uint8_t* rec = recs[i];
        copyRanges(rec, img.mutableEntry(CMT_Table::CA, caIndex(itemId(rec))), {{0, 8}, {10, 13}});
    }
    return 0;
}

// ---- id 4: management information record ----
int SMIS_CMTConvert::_convert2CMT_0x04(const SMIS_INDEX& e, CMM_CMT_GLOBAL_VAL_ELEM&, Img& img) {
    firstRecord(e, 0x04, [&](const std::uint8_t* rec) { copyRanges(rec, img.MgmtInfoW().bytes(), {{0, 31}}); });
    return 0;
}

// ---- id 5: CM memory table ----
int SMIS_CMTConvert::_convert2CMT_0x05(const SMIS_INDEX& e, CMM_CMT_GLOBAL_VAL_ELEM&, Img& img) {
    for (std::size_t cm = 0; cm < Img::CM_POSITIONS; ++cm)
        for (std::size_t n = 0; n < Img::CM_MEMORY_PER_CM; ++n)
            img.CMMemoryW(cm * Img::CM_MEMORY_PER_CM + n).ItemId(static_cast<std::uint32_t>(0x0B001000 + cm * 0x100 + n));
    Records recs(e, 0x05);
    Skipped skipped(0x05);
    for (std::size_t i = 0; i < recs.count(); ++i) {
        const std::uint8_t* rec = recs[i];
        std::size_t cm = cmIndex(itemId(rec)), n = itemId(rec) & 0xFF;
        if (cm >= Img::CM_POSITIONS || n >= Img::CM_MEMORY_PER_CM) {
            ++skipped;
            continue;
        }
        copyRanges(rec, img.mutableEntry(CMT_Table::CMMemory, cm * Img::CM_MEMORY_PER_CM + n), {{0, 75}});
    }
    return 0;
}

// ---- id 6: CE record ----
int SMIS_CMTConvert::_convert2CMT_0x06(const SMIS_INDEX& e, CMM_CMT_GLOBAL_VAL_ELEM&, Img& img) {
    firstRecord(e, 0x06, [&](const std::uint8_t* rec) { copyRanges(rec, img.CEW().bytes(), {{0, 9}, {16, 75}}); });
    return 0;
}

// ---- id 7: DE table ----
int SMIS_CMTConvert::_convert2CMT_0x07(const SMIS_INDEX& e, CMM_CMT_GLOBAL_VAL_ELEM&, Img& img) {
    for (std::size_t i = 0; i < Img::DE_COUNT; ++i)
        img.DEW(i).ItemId(static_cast<std::uint32_t>(0xD0000000u + i * 0x100)).DeId(static_cast<std::uint8_t>(i));
    Records recs(e, 0x07);
    DEOwners owners(0x07);
    for (std::size_t i = 0; i < recs.count(); ++i) {
        const std::uint8_t* rec = recs[i];
        std::size_t de = deIndex(itemId(rec));
        if (!owners.claim(de, itemId(rec))) continue;
        copyRanges(rec, img.mutableEntry(CMT_Table::DE, de), {{0, 9}, {16, 75}});
    }
    return 0;
}

// ---- id 8: disk table ----
int SMIS_CMTConvert::_convert2CMT_0x08(const SMIS_INDEX& e, CMM_CMT_GLOBAL_VAL_ELEM&, Img& img) {
    Records recs(e, 0x08);
    Skipped skipped(0x08);
    for (std::size_t i = 0; i < recs.count(); ++i) {
        const std::uint8_t* rec = recs[i];
        const std::uint32_t location = smis::loadLE32(rec + 8);
        const std::size_t slot = location & 0x1F;
        if (slot >= Img::DISKS_PER_DE) {
            ++skipped;
            continue;
        }
        std::uint8_t* entry = img.mutableEntry(CMT_Table::Disk, deIndex(itemId(rec)) * Img::DISKS_PER_DE + slot);
        copyRanges(rec, entry, {{0, 6}, {12, 21}, {32, 47}, {88, 151}});
        CMT_DiskW(entry).Plun(static_cast<std::uint16_t>(location & 0xFFFF));
    }
    return 0;
}

// ---- id 9: system record ----
int SMIS_CMTConvert::_convert2CMT_0x09(const SMIS_INDEX& e, CMM_CMT_GLOBAL_VAL_ELEM&, Img& img) {
    firstRecord(e, 0x09,
                [&](const std::uint8_t* rec) { copyRanges(rec, img.SysW().bytes(), {{0, 79}, {84, 387}, {416, 451}}); });
    return 0;
}

// ---- ids 10-13, 26: volume tables, placed at their numbers ----
int SMIS_CMTConvert::_convert2CMT_0x0a(const SMIS_INDEX& e, CMM_CMT_GLOBAL_VAL_ELEM&, Img& img) {
    convertNumbered(e, img, CMT_Table::OLU, 0x0a, {{0, 5}, {8, 15}, {16, 55}, {56, 71}});
    return 0;
}
int SMIS_CMTConvert::_convert2CMT_0x0b(const SMIS_INDEX& e, CMM_CMT_GLOBAL_VAL_ELEM&, Img& img) {
    convertNumbered(e, img, CMT_Table::SLU, 0x0b, {{0, 27}, {32, 121}, {124, 131}, {136, 167}});
    return 0;
}
int SMIS_CMTConvert::_convert2CMT_0x0c(const SMIS_INDEX& e, CMM_CMT_GLOBAL_VAL_ELEM&, Img& img) {
    convertNumbered(e, img, CMT_Table::RLU, 0x0c, {{0, 5}, {8, 12}, {14, 31}, {48, 48}, {52, 563}, {564, 564}, {568, 615}});
    return 0;
}
int SMIS_CMTConvert::_convert2CMT_0x0d(const SMIS_INDEX& e, CMM_CMT_GLOBAL_VAL_ELEM&, Img& img) {
    convertNumbered(e, img, CMT_Table::DLU, 0x0d, {{0, 6}, {8, 32}, {40, 103}});
    return 0;
}
int SMIS_CMTConvert::_convert2CMT_0x1a(const SMIS_INDEX& e, CMM_CMT_GLOBAL_VAL_ELEM&, Img& img) {
    convertNumbered(e, img, CMT_Table::MLU, 0x1a, {{0, 15}});
    return 0;
}

// ---- id 14: map table ----
int SMIS_CMTConvert::_convert2CMT_0x0e(const SMIS_INDEX& e, CMM_CMT_GLOBAL_VAL_ELEM&, Img& img) {
    for (std::size_t i = 0; i < img.count(CMT_Table::Map); ++i) {
        CMT_MapW m = img.MapW(i);
        m.MapNo(static_cast<std::uint16_t>(i))
            .CAModuleID(static_cast<std::uint8_t>(0x40 + i / 2))
            .CAPortNo(static_cast<std::uint8_t>(i % 2))
            .LUNMappingNo(static_cast<std::uint16_t>(i));
        std::memset(m.bytes() + 32, 0xFF, CMT_Map::SIZE - 32);
    }
    convertNumbered(e, img, CMT_Table::Map, 0x0e, {{0, 7}, {32, 2079}}, Key::U8);
    return 0;
}

// ---- id 16: host table ----
int SMIS_CMTConvert::_convert2CMT_0x10(const SMIS_INDEX& e, CMM_CMT_GLOBAL_VAL_ELEM&, Img& img) {
    img.HostCount = static_cast<std::uint16_t>(std::min<std::size_t>(recordCount(e), Img::HOST_COUNT));
    convertNumbered(e, img, CMT_Table::Host, 0x10, {{0, 27}}, Key::U16, 32);
    return 0;
}

// ---- id 17: iSCSI host table ----
int SMIS_CMTConvert::_convert2CMT_0x11(const SMIS_INDEX& e, CMM_CMT_GLOBAL_VAL_ELEM&, Img& img) {
    img.iSCSIHostCount =
        static_cast<std::uint16_t>(std::min<std::size_t>(recordCount(e), Img::HOST_COUNT));
    convertNumbered(e, img, CMT_Table::iSCSIHost, 0x11,
                    {{0, 255}, {768, 798}, {1024, 1039}, {1040, 1040}, {1042, 1045}, {1046, 1061}}, Key::U16, 1200);
    return 0;
}

// ---- id 18: firmware table ----
int SMIS_CMTConvert::_convert2CMT_0x12(const SMIS_INDEX& e, CMM_CMT_GLOBAL_VAL_ELEM&, Img& img) {
    firstRecord(e, 0x12, [&](const std::uint8_t* rec) {
        img.FirmwareCurrentGeneration = rec[0];
        img.FirmwareByte1 = rec[1];
        img.FirmwareByte2 = rec[2];
        const std::size_t n = rec[0];
        if (n == 0) return;
        if (n > Img::FIRMWARE_GENERATIONS) {
            SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::WARNING,
                                   "Table 0x12: firmware generation %zu out of range, versions not stored", n);
            return;
        }
        std::memcpy(img.FirmwareGenW(n - 1).bytes(), rec + 16, 16);
    });
    return 0;
}

// ---- ids 20, 21: CE inlet and outlet sensors ----
int SMIS_CMTConvert::_convert2CMT_0x14(const SMIS_INDEX& e, CMM_CMT_GLOBAL_VAL_ELEM&, Img& img) {
    firstRecord(e, 0x14, [&](const std::uint8_t* rec) {
        CMT_SensorRecord s(rec);
        img.CEW().InletItemId(s.ItemId()).InletStatus(s.Status()).InletFactor(s.Factor());
    });
    return 0;
}
int SMIS_CMTConvert::_convert2CMT_0x15(const SMIS_INDEX& e, CMM_CMT_GLOBAL_VAL_ELEM&, Img& img) {
    img.CEW().OutletItemId(0xFFFFFFFFu);
    firstRecord(e, 0x15, [&](const std::uint8_t* rec) {
        CMT_SensorRecord s(rec);
        img.CEW().OutletItemId(s.ItemId()).OutletStatus(s.Status()).OutletFactor(s.Factor());
    });
    return 0;
}

// ---- ids 22, 23: DE inlet and outlet tables ----
int SMIS_CMTConvert::_convert2CMT_0x16(const SMIS_INDEX& e, CMM_CMT_GLOBAL_VAL_ELEM&, Img& img) {
    convertDESensor(e, img, CMT_Table::DEInlet, 0x16);
    return 0;
}
int SMIS_CMTConvert::_convert2CMT_0x17(const SMIS_INDEX& e, CMM_CMT_GLOBAL_VAL_ELEM&, Img& img) {
    convertDESensor(e, img, CMT_Table::DEOutlet, 0x17);
    return 0;
}

// ---- id 24: CM detail table ----
int SMIS_CMTConvert::_convert2CMT_0x18(const SMIS_INDEX& e, CMM_CMT_GLOBAL_VAL_ELEM&, Img& img) {
    Records recs(e, 0x18);
    for (std::size_t i = 0; i < recs.count(); ++i) {
        const std::uint8_t* rec = recs[i];
        std::uint8_t* entry = img.mutableEntry(CMT_Table::CMDetail, rec[0] & 0x07);
        entry[0] = rec[0];
        std::memcpy(entry + 160, rec + 16, 60);
    }
    return 0;
}

// ---- id 27: CA detail table ----
int SMIS_CMTConvert::_convert2CMT_0x1b(const SMIS_INDEX& e, CMM_CMT_GLOBAL_VAL_ELEM&, Img& img) {
    Records recs(e, 0x1b);
    for (std::size_t i = 0; i < recs.count(); ++i) {
        const std::uint8_t* rec = recs[i];
        std::uint8_t* entry = img.mutableEntry(CMT_Table::CADetail, caIndex(smis::loadLE32(rec + 4)));
        copyRanges(rec, entry, {{0, 0}, {32, 211}});
        for (std::size_t p = 0; p < Img::CA_PORTS; ++p) {
            const std::size_t base = CMT_CADETAIL_PORT_OFFSET + p * CMT_CAPort::SIZE;
            for (const CMT_FieldDesc& f : CMT_CAPort::FIELD_LIST)
                std::memcpy(entry + base + f.offset, rec + base + f.offset, f.size * f.count);
        }
    }
    return 0;
}

// ---- ids 28, 32, 38: FAN, CPSU and BBU tables ----
int SMIS_CMTConvert::_convert2CMT_0x1c(const SMIS_INDEX& e, CMM_CMT_GLOBAL_VAL_ELEM&, Img& img) {
    convertUnits(e, img, CMT_Table::FAN, 0x1c, {{0, 7}, {8, 67}});
    return 0;
}
int SMIS_CMTConvert::_convert2CMT_0x20(const SMIS_INDEX& e, CMM_CMT_GLOBAL_VAL_ELEM&, Img& img) {
    convertUnits(e, img, CMT_Table::CPSU, 0x20, {{0, 7}, {8, 67}});
    return 0;
}
int SMIS_CMTConvert::_convert2CMT_0x26(const SMIS_INDEX& e, CMM_CMT_GLOBAL_VAL_ELEM&, Img& img) {
    convertUnits(e, img, CMT_Table::BBU, 0x26, {{0, 8}, {16, 75}});
    return 0;
}

// ---- id 33: EXP table ----
int SMIS_CMTConvert::_convert2CMT_0x21(const SMIS_INDEX& e, CMM_CMT_GLOBAL_VAL_ELEM&, Img& img) {
    Records recs(e, 0x21);
    Skipped skipped(0x21);
    for (std::size_t i = 0; i < recs.count(); ++i) {
        const std::uint8_t* rec = recs[i];
        const std::uint32_t id = itemId(rec);
        if (id == 0 || smis::loadLE16(rec + 4) == 0) continue;
        if ((id & 0xFF) >= 2) {
            ++skipped;
            continue;
        }
        std::size_t n = ((id >> 11) & 0x1F) * 8 + ((id >> 8) & 0x03) * 2 + (id & 0xFF);
        copyRanges(rec, img.mutableEntry(CMT_Table::EXP, n), {{0, 8}, {16, 23}, {44, 103}});
    }
    return 0;
}

// ---- id 34: DPSU table ----
int SMIS_CMTConvert::_convert2CMT_0x22(const SMIS_INDEX& e, CMM_CMT_GLOBAL_VAL_ELEM&, Img& img) {
    Records recs(e, 0x22);
    Skipped skipped(0x22);
    for (std::size_t i = 0; i < recs.count(); ++i) {
        const std::uint8_t* rec = recs[i];
        const std::uint32_t id = itemId(rec);
        if (id == 0 || smis::loadLE16(rec + 4) == 0) continue;
        if ((id & 0xFF) >= 2) {
            ++skipped;
            continue;
        }
        copyRanges(rec, img.mutableEntry(CMT_Table::DPSU, deIndex(id) * 2 + (id & 0xFF)), {{0, 8}, {12, 71}});
    }
    return 0;
}

// ---- id 35: LUN map table ----
int SMIS_CMTConvert::_convert2CMT_0x23(const SMIS_INDEX& e, CMM_CMT_GLOBAL_VAL_ELEM&, Img& img) {
    for (std::size_t i = 0; i < img.count(CMT_Table::LUNMap); ++i) {
        CMT_LUNMapW m = img.LUNMapW(i);
        m.LUNMappingNumber(static_cast<std::uint16_t>(i));
        std::memset(m.bytes() + 32, 0xFF, 1024);
    }
    convertNumbered(e, img, CMT_Table::LUNMap, 0x23, {{2, 2}, {4, 21}, {32, 1055}});
    return 0;
}

// ---- id 36: affinity group table ----
int SMIS_CMTConvert::_convert2CMT_0x24(const SMIS_INDEX& e, CMM_CMT_GLOBAL_VAL_ELEM&, Img& img) {
    for (std::size_t i = 0; i < img.count(CMT_Table::Affinity); ++i) {
        CMT_AffinityW a = img.AffinityW(i);
        a.GroupNumber(static_cast<std::uint16_t>(i)).PrevNumber(0xFFFF).NextNumber(0xFFFF);
        std::memset(a.bytes() + 32, 0xFF, 1024);
    }
    convertNumbered(e, img, CMT_Table::Affinity, 0x24, {{2, 23}, {32, 1055}});
    return 0;
}

// ---- id 37: management record ----
int SMIS_CMTConvert::_convert2CMT_0x25(const SMIS_INDEX& e, CMM_CMT_GLOBAL_VAL_ELEM&, Img& img) {
    firstRecord(e, 0x25, [&](const std::uint8_t* rec) { copyRanges(rec, img.ManagementW().bytes(), {{0, 191}}); });
    return 0;
}

// ---- id 39: table 39 ----
int SMIS_CMTConvert::_convert2CMT_0x27(const SMIS_INDEX& e, CMM_CMT_GLOBAL_VAL_ELEM&, Img& img) {
    for (std::size_t i = 0; i < img.count(CMT_Table::Table39); ++i) img.Table39W(i).Number(static_cast<std::uint16_t>(i));
    Records recs(e, 0x27);
    Skipped skipped(0x27);
    for (std::size_t i = 0; i < recs.count(); ++i) {
        const std::uint8_t* rec = recs[i];
        if (rec[0] != 1) continue;
        std::size_t n = smis::loadLE16(rec + 2);
        if (n >= img.count(CMT_Table::Table39)) {
            ++skipped;
            continue;
        }
        std::uint8_t* entry = img.mutableEntry(CMT_Table::Table39, n);
        entry[0] = 1;
        copyRanges(rec, entry, {{1, 8}, {16, 159}});
    }
    return 0;
}

// ---- id 40: table 40 ----
int SMIS_CMTConvert::_convert2CMT_0x28(const SMIS_INDEX& e, CMM_CMT_GLOBAL_VAL_ELEM&, Img& img) {
    for (std::size_t i = 0; i < img.count(CMT_Table::Table40); ++i) img.Table40W(i).Number(static_cast<std::uint8_t>(i));
    Records recs(e, 0x28);
    Skipped skipped(0x28);
    for (std::size_t i = 0; i < recs.count(); ++i) {
        const std::uint8_t* rec = recs[i];
        if (rec[0] != 1) continue;
        std::size_t n = rec[1];
        if (n >= img.count(CMT_Table::Table40)) {
            ++skipped;
            continue;
        }
        std::uint8_t* entry = img.mutableEntry(CMT_Table::Table40, n);
        entry[0] = 1;
        copyRanges(rec, entry, {{1, 2}, {16, 47}});
    }
    return 0;
}

// ---- id 41: remote path table ----
int SMIS_CMTConvert::_convert2CMT_0x29(const SMIS_INDEX& e, CMM_CMT_GLOBAL_VAL_ELEM&, Img& img) {
    Records recs(e, 0x29);
    const std::size_t n = std::min(recs.count(), img.count(CMT_Table::RemotePath));
    if (n < recs.count())
        SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::WARNING, "Table 0x29: %zu remote paths, %zu kept",
                               recs.count(), n);
    img.RemotePathCount = static_cast<std::uint16_t>(n);
    for (std::size_t i = 0; i < n; ++i) copyRanges(recs[i], img.mutableEntry(CMT_Table::RemotePath, i), {{0, 39}});
    return 0;
}

// ---- id 42: connection map table ----
int SMIS_CMTConvert::_convert2CMT_0x2a(const SMIS_INDEX& e, CMM_CMT_GLOBAL_VAL_ELEM&, Img& img) {
    Records recs(e, 0x2a);
    const std::size_t n = std::min(recs.count(), img.count(CMT_Table::ConnectionMap));
    if (n < recs.count())
        SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::WARNING, "Table 0x2a: %zu connection map entries, %zu kept",
                               recs.count(), n);
    img.ConnectionMapCount = static_cast<std::uint16_t>(n);
    for (std::size_t i = 0; i < n; ++i)
        copyRanges(recs[i], img.mutableEntry(CMT_Table::ConnectionMap, i), {{0, 0}, {8, 247}, {656, 656}});
    return 0;
}

// ---- id 43: TPP table ----
int SMIS_CMTConvert::_convert2CMT_0x2b(const SMIS_INDEX& e, CMM_CMT_GLOBAL_VAL_ELEM&, Img& img) {
    for (std::size_t i = 0; i < img.count(CMT_Table::TPP); ++i) img.TPPW(i).PoolNumber(static_cast<std::uint16_t>(i));
    convertNumbered(e, img, CMT_Table::TPP, 0x2b, {{2, 5}, {8, 23}, {27, 27}, {28, 43}});
    return 0;
}

// ---- id 44: SDP table ----
int SMIS_CMTConvert::_convert2CMT_0x2c(const SMIS_INDEX& e, CMM_CMT_GLOBAL_VAL_ELEM&, Img& img) {
    firstRecord(e, 0x2c, [&](const std::uint8_t* rec) { copyRanges(rec, img.SDPW().bytes(), {{8, 31}}); });
    return 0;
}

// ---- id 45: LXRP table ----
int SMIS_CMTConvert::_convert2CMT_0x2d(const SMIS_INDEX& e, CMM_CMT_GLOBAL_VAL_ELEM&, Img& img) {
    for (std::size_t i = 0; i < img.count(CMT_Table::LXRP); ++i) img.LXRPW(i).PoolNumber(static_cast<std::uint8_t>(i));
    convertNumbered(e, img, CMT_Table::LXRP, 0x2d, {{0, 4}, {12, 21}, {22, 37}}, Key::U8);
    for (std::size_t i = 0; i < img.count(CMT_Table::LXRP); ++i) {
        CMT_LXRPW x = img.LXRPW(i);
        if (x.SubPoolCnt() > CMT_LXRP_SUBPOOLS) x.SubPoolCnt(static_cast<std::uint8_t>(CMT_LXRP_SUBPOOLS));
    }
    return 0;
}

// ---- id 46: LAN port table ----
int SMIS_CMTConvert::_convert2CMT_0x2e(const SMIS_INDEX& e, CMM_CMT_GLOBAL_VAL_ELEM&, Img& img) {
    firstRecord(e, 0x2e, [&](const std::uint8_t* rec) { std::memcpy(img.LanPortW(0).bytes(), rec + 8, 16); });
    return 0;
}

// ---- ids 15, 19, 25, 29, 30, 31: accepted and ignored ----
int SMIS_CMTConvert::_convert2CMT_0xNN(const SMIS_INDEX&, CMM_CMT_GLOBAL_VAL_ELEM&, Img&) {
    SMIS_TraceLog::peg_trace(__FILE__, __LINE__, Tracer::LEVEL4, "[in] SMIS_CMTAccess::_convert2CMT_0xNN");
    return 0;
}

const SMIS_CMTConvert::ConvertFunc SMIS_CMTConvert::_convertFunc[SMIS_CMTConvert::MAX_TABLE_ID + 1] = {
    nullptr,            _convert2CMT_0x01, _convert2CMT_0x02, _convert2CMT_0x03, _convert2CMT_0x04,
    _convert2CMT_0x05,  _convert2CMT_0x06, _convert2CMT_0x07, _convert2CMT_0x08, _convert2CMT_0x09,
    _convert2CMT_0x0a,  _convert2CMT_0x0b, _convert2CMT_0x0c, _convert2CMT_0x0d, _convert2CMT_0x0e,
    _convert2CMT_0xNN,  _convert2CMT_0x10, _convert2CMT_0x11, _convert2CMT_0x12, _convert2CMT_0xNN,
    _convert2CMT_0x14,  _convert2CMT_0x15, _convert2CMT_0x16, _convert2CMT_0x17, _convert2CMT_0x18,
    _convert2CMT_0xNN,  _convert2CMT_0x1a, _convert2CMT_0x1b, _convert2CMT_0x1c, _convert2CMT_0xNN,
    _convert2CMT_0xNN,  _convert2CMT_0xNN, _convert2CMT_0x20, _convert2CMT_0x21, _convert2CMT_0x22,
    _convert2CMT_0x23,  _convert2CMT_0x24, _convert2CMT_0x25, _convert2CMT_0x26, _convert2CMT_0x27,
    _convert2CMT_0x28,  _convert2CMT_0x29, _convert2CMT_0x2a, _convert2CMT_0x2b, _convert2CMT_0x2c,
    _convert2CMT_0x2d,  _convert2CMT_0x2e};

std::unique_ptr<CMM_CMT_GLOBAL_VAL_ELEM> SMIS_CMTConvert::ConvertCMTFile2Global(const SMIS_CMT& cmt) {
    SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::INFORMATION, "SMIS_CMTAccess::ConvertCMTFile2Global");
    const SMIS_INDEX* e = SMIS_CMTCodec::GetIndexTable(cmt, 0x01);
    if (!e || e->ElementCount == 0 || e->ElementSize == 0) return nullptr;
    try {
        auto block = std::make_unique<CMM_CMT_GLOBAL_VAL_ELEM>();
        convertBlock(*e, *block);
        return block;
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

std::unique_ptr<cnfg_config_mgmt_table> SMIS_CMTConvert::ConvertCMTFile2CMT(const SMIS_CMT& cmt,
                                                                              const CMM_CMT_GLOBAL_VAL_ELEM& block) {
    SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::INFORMATION, "SMIS_CMTAccess::ConvertCMTFile2CMT");
    std::unique_ptr<Img> img = Img::create(block);
    if (!img) return nullptr;
    CMM_CMT_GLOBAL_VAL_ELEM g = block;
    // Every disk slot starts as "not installed", so that a reply without a
    // disk table (or with an empty one) shows no disks rather than 3072
    // zero-filled ones; the disk table then fills the slots it names.
    for (std::size_t i = 0; i < Img::DISK_COUNT; ++i) img->DiskW(i).Status(2);
    for (const SMIS_INDEX& e : cmt.index) {
        if (e.TableId == 0 || e.TableId > MAX_TABLE_ID) {
            SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::WARNING, "non supported TableId(%d),discard it",
                                   e.TableId);
            continue;
        }
        if (e.TableId == 0x01) continue;
        // A present entry is converted even when it holds no records, so its
        // table gets its prefill (a map table's host slots read 0xFFFF, not
        // group 0); the records themselves are counted by recordCount.
        try {
            if (_convertFunc[e.TableId](e, g, *img) != 0) {
                SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::WARNING, "convert error");
                return nullptr;
            }
        } catch (...) {
            SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::SEVERE, "Exception occurred with conversion function.");
            return nullptr;
        }
    }
    return img;
}
