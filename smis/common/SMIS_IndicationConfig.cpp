// Change detection over two configuration table views: the kinds 1, 2, 3, 4,
// 5, 8, 10 and 11 of SMIS_Indication.
//
// Each table scan covers the index range of both views; an index past a
// view's own maximum count reads as a free entry of that view. Every index
// taken from a table (RAID group, SLU, affinity group, host, port, volume) is
// checked against the table it indexes before use; an entry whose index is
// bad is left zero.
#include "SMIS_Indication.h"

#include <algorithm>
#include <cstring>
#include <functional>

#include "SMIS_TraceLog.h"
#include "VELDARO_RefTable.h"

namespace cimple {

namespace {

using R = IndicationRecord;
using Table = VELDARO_RefTable;

constexpr unsigned MAP_COUNT = 128;
constexpr unsigned LUN_MAP_COUNT = 128;
constexpr unsigned AFFINITY_COUNT = 2048;
constexpr unsigned HOST_COUNT = 8192;
constexpr unsigned TPP_COUNT = 256;
constexpr unsigned LXRP_COUNT = 64;
constexpr unsigned MAP_ENTRIES = 256;
constexpr unsigned LUNS = R::VolumeMapping::LUNS;
constexpr std::uint16_t NO_VOLUME = 0xFFFF;
// Entry indexes travel in 16 bits; no table has more entries than that.
constexpr unsigned KEY_COUNT = 65536;

// One change: operation in bits 16-23, entry index or key in bits 0-15.
using Item = std::uint32_t;
Item item(int op, unsigned key) { return (static_cast<Item>(op) << 16) | (key & 0xFFFF); }
int opOf(Item i) { return static_cast<int>((i >> 16) & 0xFF); }
unsigned keyOf(Item i) { return i & 0xFFFF; }

const Table& source(int op, const Table& n, const Table& o) { return op == R::OP_DELETE ? o : n; }

void putText(R& r, std::size_t off, std::size_t width, char* text) {
    r.setText(off, width, text);
    Table::getMemFree(text);
}

int smisFirst(int rc, int first) { return rc == 0 ? first : 0; }

bool isUsedVolumeType(unsigned luType) {
    switch (luType) {
    case 1: case 3: case 4: case 7: case 9: case 11: case 13: return true;
    default: return false;
    }
}

// SLU index of the volume's SLU entry in t, checked; -1 when none.
int sluOfOlu(const Table& t, int olu) {
    if (olu < 0 || static_cast<unsigned>(olu) >= t.getOLUMaxCount()) return -1;
    return t.searchSlunFromSluTable(t.getOluSlun(olu, 0));
}
int sluOfMlu(const Table& t, int mlu) {
    if (mlu < 0 || static_cast<unsigned>(mlu) >= t.getMLUMaxCount()) return -1;
    return t.searchSlunFromSluTable(t.getMluSlun(mlu));
}
bool validSlu(const Table& t, int slu) { return slu >= 0 && static_cast<unsigned>(slu) < t.getSLUMaxCount(); }
bool validRlu(const Table& t, int rlu) { return rlu >= 0 && static_cast<unsigned>(rlu) < t.getRLUMaxCount(); }

// Port usable for LUN mapping.
bool isLUNMappingValid(const Table& t, int ca, int port) {
    if (t.getCAStatus(ca) == 0) return false;
    const std::uint16_t type = t.getMaskCARealType(ca);
    if (type != 0x0000 && type != 0x2000 && type != 0x3000 && type != 0x5000) return false;
    if (t.getCAPortStatus(ca, port) == 0) return false;
    if (t.getCAPortSecurityMode(ca, port) == 0x80) return false;
    const std::uint8_t ra = t.getCAPortRAMode(ca, port);
    return ra == 0 || ra == 4;
}

bool isWwnType(std::uint16_t type) { return type == 0x0000 || type == 0x5000; }
bool isIscsiType(std::uint16_t type) { return type == 0x2000 || type == 0x3000; }

}  // namespace

int SMIS_Indication::sendEntries(unsigned kind, const std::vector<std::uint32_t>& items, std::size_t chunk,
                                 std::uint32_t address, const std::function<void(IndicationRecord&)>& header,
                                 const std::function<void(IndicationRecord&, std::size_t, std::uint32_t)>& fill,
                                 const char* entryTrace) {
    const std::size_t entry = R::entrySize(kind);
    for (std::size_t from = 0; from < items.size(); from += chunk) {
        const std::size_t count = std::min(chunk, items.size() - from);
        R r = R::allocateEntries(kind, count);
        if (!r) return 1;
        r.setAddress(address);
        if (header) header(r);
        for (std::size_t k = 0; k < count; ++k) {
            const Item it = items[from + k];
            fill(r, R::HEADER_SIZE + k * entry, it);
            SMIS_TraceLog::peg_trace(__FILE__, __LINE__, Tracer::LEVEL4, entryTrace, opOf(it), keyOf(it));
        }
        const int rc = mq_send(r);
        if (rc != 0) return rc;
    }
    return 0;
}

int SMIS_Indication::indicationConfigManagement(const VELDARO_RefTable& newTable, const VELDARO_RefTable& oldTable) {
    SMIS_TraceLog::peg_trace(__FILE__, __LINE__, Tracer::LEVEL4, "[in] SMIS_Indication::indicationConfigManagement");
    if ((newTable.getSysModelType() & 0x70) != (oldTable.getSysModelType() & 0x70)) {
        SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::WARNING,
                               "Indication is not performed for the reason storage models differ.");
        return 0;
    }
    if (!is_mq_create()) {
        SMIS_TraceLog::peg_trace(__FILE__, __LINE__, Tracer::LEVEL4, "not running Indication thread");
        return 0;
    }
    SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::INFORMATION, "indicationConfigManagement start");
    struct Step {
        int (SMIS_Indication::*run)(const VELDARO_RefTable&, const VELDARO_RefTable&);
        const char* name;
    };
    static const Step steps[] = {
        {&SMIS_Indication::indicationStoragePool, "indicationStoragePool"},
        {&SMIS_Indication::indicationStorageVolume_OLU, "indicationStorageVolume_OLU"},
        {&SMIS_Indication::indicationStorageVolume_MLU, "indicationStorageVolume_MLU"},
        {&SMIS_Indication::indicationStorageVolume_SLU, "indicationStorageVolume_SLU"},
        {&SMIS_Indication::indicationLUNMappingController, "indicationLUNMappingController"},
        {&SMIS_Indication::indicationAffinityGroupController, "indicationAffinityGroupController"},
        {&SMIS_Indication::indicationAuthorizedSubject, "indicationAuthorizedSubject"},
        {&SMIS_Indication::indicationProtocolControllerForUnit, "indicationProtocolControllerForUnit"},
        {&SMIS_Indication::indicationProtocolControllerForUnit_LM, "indicationProtocolControllerForUnit_LM"},
        {&SMIS_Indication::indicationThinProvisioningPool, "indicationThinProvisioningPool"},
        {&SMIS_Indication::indicationLayerixPool, "indicationLayerixPool"},
    };
    for (const Step& s : steps) {
        int rc = 1;
        try {
            rc = (this->*s.run)(newTable, oldTable);
        } catch (...) {
            rc = 1;
        }
        if (rc != 0) {
            SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::SEVERE, "error(%d) %s", rc, s.name);
            return rc;
        }
    }
    return 0;
}

// ---- kind 1: RAID groups ----

int SMIS_Indication::indicationStoragePool(const VELDARO_RefTable& n, const VELDARO_RefTable& o) {
    SMIS_TraceLog::peg_trace(__FILE__, __LINE__, Tracer::LEVEL4, "[in] SMIS_Indication::indicationStoragePool");
    auto isFree = [](const Table& t, unsigned i) { return i >= t.getRLUMaxCount() || (t.getRluStatus(int(i)) & 0xFF) == 3; };
    std::vector<Item> items;
    const unsigned count = std::min(std::max(n.getRLUMaxCount(), o.getRLUMaxCount()), KEY_COUNT);
    for (unsigned i = 0; i < count; ++i) {
        const bool nf = isFree(n, i), of = isFree(o, i);
        if (of && !nf) items.push_back(item(R::OP_CREATE, i));
        else if (nf && !of) items.push_back(item(R::OP_DELETE, i));
    }
    if (items.empty()) return 0;
    SMIS_TraceLog::peg_trace(__FILE__, __LINE__, Tracer::LEVEL4, "RLU Indication Count is %d", int(items.size()));
    const int rc = sendEntries(R::KIND_RLU, items, R::MAX_ENTRIES, convIPtoLong(n.get_currentIPAddress()), nullptr,
                 [&](R& r, std::size_t e, Item it) {
                     using E = R::Rlu;
                     const int op = opOf(it), i = int(keyOf(it));
                     const Table& t = source(op, n, o);
                     int first = 0;
                     const int found = t.getRluSMISStatus(i, &first);
                     const int st = smisFirst(found, first);
                     r.setU8(e + E::OPERATION, std::uint8_t(op));
                     r.setU8(e + E::RAID_LEVEL, t.getRaidLevel(i));
                     r.setU16(e + E::RLUN, t.getRluRlun(i));
                     r.setU16(e + (op == R::OP_CREATE ? E::STATUS_NEW : E::STATUS_OLD), std::uint16_t(st));
                     r.setU64(e + E::RLBA_COUNT, t.getRlbaCount(i));
                     r.setU16(e + E::RLU_STATUS, t.getRluStatus(i));
                     r.setU8(e + E::CURRENT_CMMID, t.getRluCurrentCMMID(i));
                     r.setU8(e + E::MODE, t.getRluMode(i));
                     r.setU32(e + E::DISK_COUNT, std::uint32_t(t.getRaidDiskCount(i)));
                     putText(r, e + E::NAME, E::NAME_SIZE, t.getRLUName(i));
                     r.setU32(e + E::HS_DISK_COUNT, std::uint32_t(t.getRaidHSDiskCount(i)));
                 },
                 "Set Indication(Ope=%x,RLU=0x%x)");
    return rc;
}

// ---- kind 2: volumes ----

namespace {

enum class VolumeKind { OLU, MLU, SLU };

struct VolumeScan {
    VolumeKind kind;
    std::uint32_t (Table::*maxCount)() const;
    std::uint16_t (Table::*status)(int) const;
    int (Table::*smis)(int, int*, int*) const;
    const char* countTrace;
    const char* entryTrace;
};

// SLU index of the volume at i, checked; -1 when none.
int sluOf(VolumeKind k, const Table& t, int i) {
    switch (k) {
    case VolumeKind::OLU: return sluOfOlu(t, i);
    case VolumeKind::MLU: return sluOfMlu(t, i);
    case VolumeKind::SLU: return (i >= 0 && unsigned(i) < t.getSLUMaxCount()) ? i : -1;
    }
    return -1;
}

bool qualifies(VolumeKind k, const Table& t, int i) {
    const int slu = sluOf(k, t, i);
    if (!validSlu(t, slu)) return false;
    const unsigned type = t.getLuType(slu);
    switch (k) {
    case VolumeKind::OLU: return isUsedVolumeType(type);
    case VolumeKind::MLU: return type == 2;
    case VolumeKind::SLU: return type == 8;
    }
    return false;
}

}  // namespace

static int volumeProducer(const std::function<int(R&)>& send, const VolumeScan& s,
                          const Table& n, const Table& o) {
    auto isFree = [&](const Table& t, unsigned i) { return i >= (t.*s.maxCount)() || ((t.*s.status)(int(i)) & 0xFF) == 6; };
    auto first = [&](const Table& t, int i) {
        int f = 0;
        return (t.*s.smis)(i, &f, nullptr) == 0 ? f : 0;
    };
    std::vector<Item> items;
    const unsigned count = std::min(std::max((n.*s.maxCount)(), (o.*s.maxCount)()), KEY_COUNT);
    for (unsigned i = 0; i < count; ++i) {
        const bool nf = isFree(n, i), of = isFree(o, i);
        if (of && !nf) {
            if (qualifies(s.kind, n, int(i))) items.push_back(item(R::OP_CREATE, i));
        } else if (nf && !of) {
            if (qualifies(s.kind, o, int(i))) items.push_back(item(R::OP_DELETE, i));
        } else if (!nf && !of) {
            if (qualifies(s.kind, n, int(i)) && first(n, int(i)) != first(o, int(i)))
                items.push_back(item(R::OP_MODIFY, i));
        }
    }
    if (items.empty()) return 0;
    SMIS_TraceLog::peg_trace(__FILE__, __LINE__, Tracer::LEVEL4, s.countTrace, int(items.size()));
    unsigned char wwn[R::Header::NODE_WWN_SIZE] = {};
    n.getPartOfSysNodeWWN(wwn);
    const std::uint32_t ip = SMIS_Indication::convIPtoLong(n.get_currentIPAddress());
    for (std::size_t firstItem = 0; firstItem < items.size(); firstItem += R::MAX_VOLUME_ENTRIES) {
        const std::size_t cnt = std::min<std::size_t>(R::MAX_VOLUME_ENTRIES, items.size() - firstItem);
        R r = R::allocateEntries(R::KIND_VOLUME, cnt);
        if (!r) return 1;
        r.setAddress(ip);
        r.setBytes(R::Header::NODE_WWN, wwn, sizeof wwn);
        for (std::size_t k = 0; k < cnt; ++k) {
            using E = R::Volume;
            const Item it = items[firstItem + k];
            const std::size_t e = R::HEADER_SIZE + k * E::SIZE;
            const int op = opOf(it), i = int(keyOf(it));
            const Table& t = source(op, n, o);
            SMIS_TraceLog::peg_trace(__FILE__, __LINE__, Tracer::LEVEL4, s.entryTrace, op, unsigned(i));
            std::uint16_t number = 0;
            switch (s.kind) {
            case VolumeKind::OLU: number = t.getOluOlun(i); break;
            case VolumeKind::MLU: number = t.getMluMlun(i); break;
            case VolumeKind::SLU: number = t.getSluSlun(i); break;
            }
            r.setU16(e + E::NUMBER, number);
            int f = 0, sec = 0;
            if (op != R::OP_DELETE && (n.*s.smis)(i, &f, &sec) == 0) {
                r.setU16(e + E::STATUS1_NEW, std::uint16_t(f));
                r.setU16(e + E::STATUS2_NEW, std::uint16_t(sec));
            }
            f = sec = 0;
            if (op != R::OP_CREATE && (o.*s.smis)(i, &f, &sec) == 0) {
                r.setU16(e + E::STATUS1_OLD, std::uint16_t(f));
                r.setU16(e + E::STATUS2_OLD, std::uint16_t(sec));
            }
            const int slu = sluOf(s.kind, t, i);
            if (!validSlu(t, slu)) continue;  // operation stays 0
            const int rlu = t.searchRlunFromRluTable(t.getSluRlun(slu));
            if (!validRlu(t, rlu)) continue;
            const std::uint8_t luType = t.getLuType(slu);
            r.setU8(e + E::RAID_LEVEL, t.getRaidLevel(rlu));
            r.setU8(e + E::LU_TYPE, luType);
            if (s.kind == VolumeKind::OLU) {
                r.setU8(e + E::SLU_COUNT, t.getOluSluCount(i));
                r.setU16(e + E::RLUN, t.getSluRlun(slu));
                r.setU8(e + E::SDPID, t.getSluSDPID(slu));
                r.setU8(e + E::THRESHOLD, t.getOluThreshold(i));
                std::uint64_t capacity = t.getOluOlbaCount(i);
                if (luType == 4 || luType == 9 || luType == 11) capacity = t.getVirtualOlbaCount(slu);
                else if (luType == 7) capacity = t.getSlbaCount(slu);
                r.setU64(e + E::CAPACITY, capacity);
                putText(r, e + E::NAME, E::NAME_SIZE, t.getOLUName(i));
            } else {
                r.setU8(e + E::SLU_COUNT, 1);
                r.setU64(e + E::CAPACITY, t.getSlbaCount(slu));
            }
            r.setU8(e + E::OPERATION, std::uint8_t(op));
        }
        const int rc = send(r);
        if (rc != 0) return rc;
    }
    return 0;
}

int SMIS_Indication::indicationStorageVolume_OLU(const VELDARO_RefTable& n, const VELDARO_RefTable& o) {
    SMIS_TraceLog::peg_trace(__FILE__, __LINE__, Tracer::LEVEL4, "[in] SMIS_Indication::indicationStorageVolume_OLU");
    static const VolumeScan s{VolumeKind::OLU, &Table::getOLUMaxCount, &Table::getOluStatus, &Table::getOluSMISStatus,
                              "OLU Indication Count is %d", "Set Indication(Ope=%x,OLU=0x%x)"};
    return volumeProducer([this](R& r) { return mq_send(r); }, s, n, o);
}

int SMIS_Indication::indicationStorageVolume_MLU(const VELDARO_RefTable& n, const VELDARO_RefTable& o) {
    SMIS_TraceLog::peg_trace(__FILE__, __LINE__, Tracer::LEVEL4, "[in] SMIS_Indication::indicationStorageVolume_MLU");
    static const VolumeScan s{VolumeKind::MLU, &Table::getMLUMaxCount, &Table::getMluStatus, &Table::getMluSMISStatus,
                              "MLU Indication Count is %d", "Set Indication(Ope=%x,MLU=0x%x)"};
    return volumeProducer([this](R& r) { return mq_send(r); }, s, n, o);
}

int SMIS_Indication::indicationStorageVolume_SLU(const VELDARO_RefTable& n, const VELDARO_RefTable& o) {
    SMIS_TraceLog::peg_trace(__FILE__, __LINE__, Tracer::LEVEL4, "[in] SMIS_Indication::indicationStorageVolume_SLU");
    static const VolumeScan s{VolumeKind::SLU, &Table::getSLUMaxCount, &Table::getSluStatus, &Table::getSluSMISStatus,
                              "SLU(TPPV) Indication Count is %d", "Set Indication(Ope=%x,SLU-TPPV=0x%x)"};
    return volumeProducer([this](R& r) { return mq_send(r); }, s, n, o);
}

// ---- kind 3: host ports ----

int SMIS_Indication::indicationLUNMappingController(const VELDARO_RefTable& n, const VELDARO_RefTable& o) {
    SMIS_TraceLog::peg_trace(__FILE__, __LINE__, Tracer::LEVEL4, "[in] SMIS_Indication::indicationLUNMappingController");
    std::vector<Item> items;
    for (unsigned ca = 0; ca < Table::getCAMaxCount(); ++ca) {
        for (unsigned p = 0; p < Table::getCAPortMaxCount(); ++p) {
            const bool nv = isLUNMappingValid(n, int(ca), int(p)), ov = isLUNMappingValid(o, int(ca), int(p));
            if (nv && !ov) items.push_back(item(R::OP_CREATE, ca | (p << 8)));
            else if (ov && !nv) items.push_back(item(R::OP_DELETE, ca | (p << 8)));
        }
    }
    if (items.empty()) return 0;
    SMIS_TraceLog::peg_trace(__FILE__, __LINE__, Tracer::LEVEL4, "LUNMapping Indication Count is %d", int(items.size()));
    const std::uint32_t ip = convIPtoLong(n.get_currentIPAddress());
    R r = R::allocateEntries(R::KIND_LUN_MAPPING, items.size());
    if (!r) return 1;
    r.setAddress(ip);
    for (std::size_t k = 0; k < items.size(); ++k) {
        using E = R::Port;
        const std::size_t e = R::HEADER_SIZE + k * E::SIZE;
        const int op = opOf(items[k]);
        const int ca = int(keyOf(items[k]) & 0xFF), p = int(keyOf(items[k]) >> 8);
        const Table& t = source(op, n, o);
        SMIS_TraceLog::peg_trace(__FILE__, __LINE__, Tracer::LEVEL4, "Set Indication(Ope=%x,Mid=0x%x,Port=0x%x)", op,
                                 t.getCAModuleId(ca), t.getCAPortNo(ca, p));
        const std::uint16_t type = t.getMaskCARealType(ca);
        r.setU8(e + E::OPERATION, std::uint8_t(op));
        r.setU8(e + E::MODULE_ID, t.getCAModuleId(ca));
        r.setU8(e + E::PORT_NO, t.getCAPortNo(ca, p));
        r.setU16(e + E::CA_TYPE, type);
        if (isWwnType(type)) putText(r, e + E::WWN, E::WWN_SIZE, t.getCAPortWwn(ca, p));
        if (isIscsiType(type)) {
            putText(r, e + E::ALIAS, E::ALIAS_COPIED, t.getCAPortAliasName(ca, p));
            putText(r, e + E::ISCSI_NAME, E::ISCSI_NAME_SIZE, t.getCAPortiSCSIName(ca, p));
        }
    }
    return mq_send(r);
}

// ---- kind 8: affinity groups of each port map ----

namespace {
void mapHeader(R& r, const Table& n, int m) {
    const std::uint8_t mid = n.getMapCAModuleID(m);
    r.setU8(R::Header::MAP_MODULE_ID, mid);
    r.setU8(R::Header::MAP_PORT_NO, n.getMapCAPortNo(m));
    r.setU16(R::Header::MAP_CA_TYPE, n.getMaskCARealType(mid & 0x3F));
}
}  // namespace

int SMIS_Indication::indicationAffinityGroupController(const VELDARO_RefTable& n, const VELDARO_RefTable& o) {
    SMIS_TraceLog::peg_trace(__FILE__, __LINE__, Tracer::LEVEL4, "[in] SMIS_Indication::indicationAffinityGroupController");
    const std::uint32_t ip = convIPtoLong(n.get_currentIPAddress());
    for (unsigned m = 0; m < MAP_COUNT; ++m) {
        auto flags = [&](const Table& t, std::vector<bool>& f) {
            const unsigned cnt = t.getMapValidCnt(int(m)) & 0xFF;
            for (unsigned e = 0; e < cnt && e < MAP_ENTRIES; ++e) {
                const std::uint16_t at = t.getMapAffinityTableNo(int(m), int(e));
                if (at != 0xFFFF && at < AFFINITY_COUNT) f[at] = true;
            }
            return cnt != 0;
        };
        std::vector<bool> nf(AFFINITY_COUNT, false), of(AFFINITY_COUNT, false);
        const bool nl = flags(n, nf), ol = flags(o, of);
        if (!nl && !ol) continue;
        std::vector<Item> items;
        for (unsigned j = 0; j < AFFINITY_COUNT; ++j) {
            if (nf[j] && !of[j]) items.push_back(item(R::OP_CREATE, j));
            else if (of[j] && !nf[j]) items.push_back(item(R::OP_DELETE, j));
        }
        if (items.empty()) continue;
        SMIS_TraceLog::peg_trace(__FILE__, __LINE__, Tracer::LEVEL4, "AffinityGroup Indication Count is %d",
                                 int(items.size()));
        // The map's port, found in the new table.
        const int ca = n.getMapCAModuleID(int(m)) & 0x3F;
        const int port = n.searchCAPortNoFromPortTable(ca, n.getMapCAPortNo(int(m)));
        const bool portFound = port >= 0 && unsigned(port) < Table::getCAPortMaxCount();
        const int rc = sendEntries(R::KIND_AFFINITY_GROUP, items, R::MAX_ENTRIES, ip, [&](R& r) { mapHeader(r, n, int(m)); },
                     [&](R& r, std::size_t e, Item it) {
                         using E = R::AffinityGroup;
                         const int op = opOf(it), j = int(keyOf(it));
                         const Table& t = source(op, n, o);
                         r.setU8(e + E::OPERATION, std::uint8_t(op));
                         r.setU16(e + E::GROUP_NUMBER, t.getAffinityGroupNumber(j));
                         if (portFound) putText(r, e + E::ALIAS, E::ALIAS_COPIED, t.getCAPortAliasName(ca, port));
                         putText(r, e + E::NAME, E::NAME_SIZE, t.getAffinityGroupName(j));
                     },
                     "Set Indication(Ope=%x,Affinity=0x%x)");
        if (rc != 0) return rc;
    }
    return 0;
}

// ---- kind 4: host affinity entries of each port map ----

int SMIS_Indication::indicationAuthorizedSubject(const VELDARO_RefTable& n, const VELDARO_RefTable& o) {
    SMIS_TraceLog::peg_trace(__FILE__, __LINE__, Tracer::LEVEL4, "[in] SMIS_Indication::indicationAuthorizedSubject");
    const std::uint32_t ip = convIPtoLong(n.get_currentIPAddress());
    for (unsigned m = 0; m < MAP_COUNT; ++m) {
        const unsigned nNew = std::min<unsigned>(n.getMapValidCnt(int(m)), MAP_ENTRIES);
        const unsigned nOld = std::min<unsigned>(o.getMapValidCnt(int(m)), MAP_ENTRIES);
        std::vector<bool> matched(nNew, false);
        std::vector<Item> items;
        for (unsigned j = 0; j < nOld; ++j) {
            const std::uint16_t host = o.getMapHostWWNTableNo(int(m), int(j));
            const std::uint16_t at = o.getMapAffinityTableNo(int(m), int(j));
            bool found = false;
            for (unsigned k = 0; k < nNew && !found; ++k) {
                if (matched[k]) continue;
                if (n.getMapHostWWNTableNo(int(m), int(k)) == host && n.getMapAffinityTableNo(int(m), int(k)) == at) {
                    matched[k] = true;
                    found = true;
                }
            }
            if (!found) items.push_back(item(R::OP_DELETE, j));
        }
        for (unsigned k = 0; k < nNew; ++k)
            if (!matched[k]) items.push_back(item(R::OP_CREATE, k));
        if (items.empty()) continue;
        SMIS_TraceLog::peg_trace(__FILE__, __LINE__, Tracer::LEVEL4, "Host-Affinity Indication Count is %d",
                                 int(items.size()));
        const std::uint16_t type = n.getMaskCARealType(n.getMapCAModuleID(int(m)) & 0x3F);
        const int rc = sendEntries(R::KIND_HOST_AFFINITY, items, R::MAX_ENTRIES, ip, [&](R& r) { mapHeader(r, n, int(m)); },
                     [&](R& r, std::size_t e, Item it) {
                         using E = R::HostAffinity;
                         const int op = opOf(it), k = int(keyOf(it));
                         const Table& t = source(op, n, o);
                         const std::uint16_t at = t.getMapAffinityTableNo(int(m), k);
                         const std::uint16_t host = t.getMapHostWWNTableNo(int(m), k);
                         // An entry naming no affinity group or host is left zero.
                         if (at >= AFFINITY_COUNT || host >= HOST_COUNT) return;
                         r.setU8(e + E::OPERATION, std::uint8_t(op));
                         r.setU16(e + E::GROUP_NUMBER, t.getAffinityGroupNumber(at));
                         if (isWwnType(type)) {
                             putText(r, e + E::HOST_ID, E::HOST_ID_SIZE, t.getHostWWN(host));
                         } else if (isIscsiType(type)) {
                             putText(r, e + E::HOST_ID, E::HOST_ID_SIZE, t.getiSCSIHostiSCSIName(host));
                             r.setU32(e + E::ISCSI_IP, t.getiSCSIHostiSCSIIPAddressBinary(host));
                         }
                     },
                     "Set Indication(Ope=%x,Host-Affinity=0x%x)");
        if (rc != 0) return rc;
    }
    return 0;
}

// ---- kind 5: volume mapping of affinity groups and LUN-mapped ports ----

int SMIS_Indication::sendVolumeMapping(const VELDARO_RefTable& n, const VELDARO_RefTable& o,
                                       const std::uint16_t* newMap, const std::uint16_t* oldMap, std::uint16_t group,
                                       const std::vector<int>& ports) {
    using V = R::VolumeMapping;
    std::vector<bool> inNew(65536, false), inOld(65536, false);
    for (unsigned l = 0; l < LUNS; ++l) {
        if (newMap[l] != NO_VOLUME) inNew[newMap[l]] = true;
        if (oldMap[l] != NO_VOLUME) inOld[oldMap[l]] = true;
    }
    std::vector<std::pair<std::uint16_t, const Table*>> volumes;
    for (unsigned v = 0; v < 65535; ++v) {
        if (inNew[v]) volumes.emplace_back(std::uint16_t(v), &n);
        else if (inOld[v]) volumes.emplace_back(std::uint16_t(v), &o);
    }
    SMIS_TraceLog::peg_trace(__FILE__, __LINE__, Tracer::LEVEL4, "Set Indication(olu=%x,port%x)",
                             unsigned(volumes.size()), unsigned(ports.size()));
    const std::size_t nv = volumes.size(), np = ports.size();
    R r = R::allocate(R::KIND_VOLUME_MAPPING, V::size(nv, np));
    if (!r) return 1;
    r.setU16(V::VOLUME_COUNT, std::uint16_t(nv));
    r.setU16(V::BLOCK_COUNT, 1);
    r.setU16(V::PORT_COUNT, std::uint16_t(np));
    r.setAddress(convIPtoLong(n.get_currentIPAddress()));
    for (std::size_t k = 0; k < nv; ++k) {
        const Table& t = *volumes[k].second;
        const int v = volumes[k].first;
        const int slu = sluOfOlu(t, v);  // checks v against the table's own count
        if (!validSlu(t, slu)) continue;
        r.setU16(V::VOLUMES + V::VOLUME_SIZE * k, t.getOluOlun(v));
        r.setU8(V::VOLUMES + V::VOLUME_SIZE * k + 2, t.getLuType(slu));
    }
    const std::size_t b = V::blockOffset(nv);
    r.setU16(b + V::BLOCK_GROUP, group);
    r.setU16(b + V::BLOCK_FIRST_LUN, 0);
    r.setU16(b + V::BLOCK_PREV, 0xFFFF);
    r.setU16(b + V::BLOCK_NEXT, 0xFFFF);
    for (unsigned l = 0; l < LUNS; ++l) {
        r.setU16(b + V::BLOCK_PAIRS + 4 * l, oldMap[l]);
        r.setU16(b + V::BLOCK_PAIRS + 4 * l + 2, newMap[l]);
    }
    for (std::size_t k = 0; k < np; ++k) {
        r.setU8(V::portOffset(nv, k), n.getMapCAModuleID(ports[k]));
        r.setU8(V::portOffset(nv, k) + 1, n.getMapCAPortNo(ports[k]));
    }
    return mq_send(r);
}

int SMIS_Indication::indicationProtocolControllerForUnit(const VELDARO_RefTable& n, const VELDARO_RefTable& o) {
    SMIS_TraceLog::peg_trace(__FILE__, __LINE__, Tracer::LEVEL4, "[in] SMIS_Indication::indicationProtocolControllerForUnit");
    std::uint16_t nm[LUNS], om[LUNS];
    for (unsigned g = 0; g < AFFINITY_COUNT; ++g) {
        std::fill(nm, nm + LUNS, NO_VOLUME);
        std::fill(om, om + LUNS, NO_VOLUME);
        if ((n.getAffinityDefinition(int(g)) & 0xFF) != 0) n.copyAffinityOLUMapping(int(g), nm);
        if ((o.getAffinityDefinition(int(g)) & 0xFF) != 0) o.copyAffinityOLUMapping(int(g), om);
        if (std::equal(nm, nm + LUNS, om)) continue;
        const std::uint16_t group = n.getAffinityGroupNumber(int(g));
        std::vector<int> ports;
        for (unsigned m = 0; m < MAP_COUNT; ++m) {
            const unsigned cnt = std::min<unsigned>(n.getMapValidCnt(int(m)), MAP_ENTRIES);
            for (unsigned e = 0; e < cnt; ++e) {
                if (n.getMapAffinityTableNo(int(m), int(e)) == group) {
                    ports.push_back(int(m));
                    break;
                }
            }
        }
        if (ports.empty()) continue;
        const int rc = sendVolumeMapping(n, o, nm, om, group, ports);
        if (rc != 0) return rc;
    }
    return 0;
}

int SMIS_Indication::indicationProtocolControllerForUnit_LM(const VELDARO_RefTable& n, const VELDARO_RefTable& o) {
    SMIS_TraceLog::peg_trace(__FILE__, __LINE__, Tracer::LEVEL4,
                             "[in] SMIS_Indication::indicationProtocolControllerForUnit_LM");
    std::uint16_t nm[LUNS], om[LUNS];
    for (unsigned m = 0; m < LUN_MAP_COUNT; ++m) {
        std::fill(nm, nm + LUNS, NO_VOLUME);
        std::fill(om, om + LUNS, NO_VOLUME);
        if ((n.getLUNMapDefinition(int(m)) & 0xFF) != 0) n.copyLUNMapOLUMapping(int(m), nm);
        if ((o.getLUNMapDefinition(int(m)) & 0xFF) != 0) o.copyLUNMapOLUMapping(int(m), om);
        if (std::equal(nm, nm + LUNS, om)) continue;
        const int rc = sendVolumeMapping(n, o, nm, om, 0xFFFF, std::vector<int>{int(m)});
        if (rc != 0) return rc;
    }
    return 0;
}

// ---- kinds 10 and 11: thin provisioning and Layerix pools ----

int SMIS_Indication::indicationThinProvisioningPool(const VELDARO_RefTable& n, const VELDARO_RefTable& o) {
    SMIS_TraceLog::peg_trace(__FILE__, __LINE__, Tracer::LEVEL4, "[in] SMIS_Indication::indicationThinProvisioningPool");
    std::vector<Item> items;
    for (unsigned i = 0; i < TPP_COUNT; ++i) {
        const bool nu = n.getTppMemDiskCnt(int(i)) != 0, ou = o.getTppMemDiskCnt(int(i)) != 0;
        if (nu && !ou) items.push_back(item(R::OP_CREATE, i));
        else if (ou && !nu) items.push_back(item(R::OP_DELETE, i));
    }
    if (items.empty()) return 0;
    SMIS_TraceLog::peg_trace(__FILE__, __LINE__, Tracer::LEVEL4, "TPP Indication Count is %d", int(items.size()));
    const int rc = sendEntries(R::KIND_TPP, items, R::MAX_ENTRIES, convIPtoLong(n.get_currentIPAddress()), nullptr,
                 [&](R& r, std::size_t e, Item it) {
                     using E = R::Tpp;
                     const int op = opOf(it), i = int(keyOf(it));
                     const Table& t = source(op, n, o);
                     int first = 0;
                     const int found = t.getTppSMISStatus(i, &first);
                     const int st = smisFirst(found, first);
                     r.setU8(e + E::OPERATION, std::uint8_t(op));
                     r.setU8(e + E::RAID_LEVEL, t.getTppRaidLevel(i));
                     r.setU16(e + E::POOL_NUMBER, t.getTppPoolNumber(i));
                     r.setU16(e + (op == R::OP_CREATE ? E::STATUS_NEW : E::STATUS_OLD), std::uint16_t(st));
                     r.setU8(e + E::THRESHOLD_Y, t.getTppThreshold_Y(i));
                     r.setU8(e + E::THRESHOLD_R, t.getTppThreshold_R(i));
                     r.setU8(e + E::LXRP_NUMBER, t.getTppLxrpNumber(i));
                     r.setU64(e + E::MAX_LBA_COUNT, t.getTppMaxPoolLbaCount(i));
                     putText(r, e + E::NAME, E::NAME_SIZE, t.getTppPoolName(i));
                 },
                 "Set Indication(Ope=%x,TPP=0x%x)");
    return rc;
}

int SMIS_Indication::indicationLayerixPool(const VELDARO_RefTable& n, const VELDARO_RefTable& o) {
    SMIS_TraceLog::peg_trace(__FILE__, __LINE__, Tracer::LEVEL4, "[in] SMIS_Indication::indicationLayerixPool");
    std::vector<Item> items;
    for (unsigned i = 0; i < LXRP_COUNT; ++i) {
        const bool nu = n.getLxrpValidFlag(int(i)) != 0, ou = o.getLxrpValidFlag(int(i)) != 0;
        if (nu && !ou) items.push_back(item(R::OP_CREATE, i));
        else if (ou && !nu) items.push_back(item(R::OP_DELETE, i));
    }
    if (items.empty()) return 0;
    SMIS_TraceLog::peg_trace(__FILE__, __LINE__, Tracer::LEVEL4, "LXRP Indication Count is %d", int(items.size()));
    const int rc = sendEntries(R::KIND_LXRP, items, R::MAX_ENTRIES, convIPtoLong(n.get_currentIPAddress()), nullptr,
                 [&](R& r, std::size_t e, Item it) {
                     using E = R::Lxrp;
                     const int op = opOf(it), i = int(keyOf(it));
                     const Table& t = source(op, n, o);
                     int first = 0;
                     const int found = t.getLxrpSMISStatus(i, &first);
                     const int st = smisFirst(found, first);
                     r.setU8(e + E::OPERATION, std::uint8_t(op));
                     r.setU8(e + E::POOL_NUMBER, std::uint8_t(t.getLxrpPoolNumber(i) & 0xFF));
                     r.setU8(e + E::THRESHOLD_Y, t.getLxrpThreshold_Y(i));
                     r.setU8(e + E::THRESHOLD_R, t.getLxrpThreshold_R(i));
                     r.setU16(e + (op == R::OP_CREATE ? E::STATUS_NEW : E::STATUS_OLD), std::uint16_t(st));
                     r.setU64(e + E::LBA_COUNT, t.getLxrpPoolLbaCount(i));
                     putText(r, e + E::NAME, E::NAME_SIZE, t.getLxrpPoolName(i));
                 },
                 "Set Indication(Ope=%x,LXRP=0x%x)");
    return rc;
}

}  // namespace cimple
