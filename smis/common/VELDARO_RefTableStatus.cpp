// Status derivation of the table view: CIM OperationalStatus pairs of the
// units, ports, disks, volumes and pools, the pool status rules and the
// user capacity of a disk.

#include <exception>

#include "SMIS_TraceLog.h"
#include "VELDARO_RefTable.h"
#include "VELDARO_TableIndex.h"

namespace cimple {

namespace {

void warn(const char* message)
{
    SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::WARNING, "%s", message);
}

void pair(int& first, int& second, int a, int b)
{
    first = a;
    second = b;
}

constexpr unsigned NO_POOL_STATUS = 0xFFFF;
constexpr std::uint64_t DISK_SYSTEM_BLOCKS = 2097152;

// User capacity in blocks of the disk in the row: the whole disk less the
// system area for usages 1 and 5, none for every other usage.
std::uint64_t userDiskBlocks(const VELDARO_RefTable& table, int diskIndex)
{
    const unsigned usage = table.getDiskUsage(diskIndex) & 0x0F;
    if (usage != 1 && usage != 5)
        return 0;
    const std::uint64_t whole = table.getDiskWholeBlockCount(diskIndex);
    // A disk smaller than the system area has no user capacity.
    return whole > DISK_SYSTEM_BLOCKS ? whole - DISK_SYSTEM_BLOCKS : 0;
}

}  // namespace

// ---- conversion tables ----

void VELDARO_RefTable::cms_cnv_smis_sts_parts_port(unsigned status, int& first, int& second)
{
    second = -1;
    switch (status) {
    case 0x8000: case 0xC020: case 0xC040: case 0xC100: case 0xE080: case 0xE081:
        first = 6;
        break;
    case 0xC008: case 0xC080: case 0xC088: case 0xC208: case 0xC288: case 0xC808: case 0xD000: case 0xD008:
    case 0xE000: case 0xE008: case 0xE088: case 0xE200: case 0xE208: case 0xE288: case 0xE808: case 0xF008:
    case 0xF200:
        first = 11;
        break;
    case 0xE001: case 0xE003:
        first = 2;
        break;
    case 0xE401:
        first = 5;
        break;
    default:
        first = 0;
    }
}

void VELDARO_RefTable::cms_cnv_smis_sts_disks(unsigned status, int& first, int& second)
{
    const bool b100 = status & 0x100, b400 = status & 0x400, b4000 = status & 0x4000;
    switch (status & 0xFF) {
    case 0:
        if (b4000 && !b100)
            pair(first, second, 5, 3);
        else if (b400)
            pair(first, second, 2, 6);
        else
            pair(first, second, 2, 2);
        break;
    case 4: case 6: pair(first, second, 2, 6); break;
    case 1: case 3: case 64: case 68: pair(first, second, 6, 3); break;
    case 2: pair(first, second, -1, -1); break;
    case 5: pair(first, second, 8, 10); break;
    case 65:
        if (b400)
            pair(first, second, 5, 3);
        else
            pair(first, second, 2, 2);
        break;
    case 69: pair(first, second, 5, 3); break;
    default: pair(first, second, 0, -1);
    }
}

void VELDARO_RefTable::cms_cnv_smis_sts_extent(unsigned status, int& first, int& second)
{
    const bool b100 = status & 0x100, b400 = status & 0x400, b4000 = status & 0x4000;
    switch (status & 0xFF) {
    case 0:
        if ((b4000 && !b100) || b400)
            pair(first, second, 13, 0);
        else
            pair(first, second, 2, 0);
        break;
    case 1: case 3: case 64: case 68: pair(first, second, 13, 3); break;
    case 2: pair(first, second, -1, -1); break;
    case 4: pair(first, second, 13, 0); break;
    case 5: pair(first, second, 13, 10); break;
    case 6: case 69: pair(first, second, 13, 11); break;
    case 65:
        if (b400)
            pair(first, second, 13, 0);
        else
            pair(first, second, 2, 0);
        break;
    default: pair(first, second, 0, 0);
    }
}

void VELDARO_RefTable::cms_cnv_smis_sts_rlu_dlu(unsigned status, int& first, int& second)
{
    switch (status & 0xFF) {
    case 0: case 66:
        if (status & 0x2000)
            pair(first, second, 2, 0);
        else if (status & 0x4000)
            pair(first, second, 15, 10);
        else
            pair(first, second, 6, 3);
        break;
    case 2: pair(first, second, 6, 3); break;
    case 1: pair(first, second, 3, 6); break;
    case 3: pair(first, second, -1, -1); break;
    case 5: pair(first, second, 3, 8); break;
    case 6: pair(first, second, 15, 10); break;
    case 7: case 8: case 72: case 73: pair(first, second, 3, 11); break;
    case 65: pair(first, second, 3, 13); break;
    case 70: pair(first, second, 2, 11); break;
    default: pair(first, second, 0, 1);
    }
}

void VELDARO_RefTable::cms_cnv_smis_sts_olu_slu(unsigned status, int& first, int& second)
{
    switch (status & 0xFF) {
    case 0: pair(first, second, 2, 0); break;
    case 1: case 71: pair(first, second, 6, 3); break;
    case 2: pair(first, second, 6, 4); break;
    case 3: pair(first, second, 3, 6); break;
    case 4: pair(first, second, 3, 8); break;
    case 5: case 9: case 72: case 73: pair(first, second, 3, 11); break;
    case 6: pair(first, second, -1, -1); break;
    case 8: pair(first, second, 15, 10); break;
    case 11: pair(first, second, 3, 13); break;
    case 70: pair(first, second, 2, 11); break;
    default: pair(first, second, 0, 1);
    }
}

void VELDARO_RefTable::cms_cnv_smis_sts_tpp_lxrp(unsigned status, int& first, int& second)
{
    switch (status) {
    case 0: pair(first, second, 2, 0); break;
    case 1: case 4: case 6: case 7: pair(first, second, 3, 11); break;
    case 2: pair(first, second, 3, 13); break;
    case 3: pair(first, second, 2, 11); break;
    case 5: pair(first, second, 3, 8); break;
    case 8: pair(first, second, 3, 6); break;
    case 9: case 10: case 11: pair(first, second, 15, 10); break;
    case 12: case 14: pair(first, second, 6, 3); break;
    case 13: pair(first, second, 6, 4); break;
    default: pair(first, second, -1, -1);
    }
}

int VELDARO_RefTable::config_sub_sts_priority_pool(int subStatus)
{
    switch (subStatus) {
    case 0: return 1;
    case 10: return 2;
    case 1: return 3;
    case 2: return 4;
    case 3: return 5;
    case 4: return 6;
    case 5: return 7;
    case 6: return 8;
    case 7: return 9;
    case 8: return 10;
    case 11: return 11;
    case 12: return 12;
    case 13: return 13;
    case 14: return 14;
    case 255: return 255;
    default: return 0;
    }
}

int VELDARO_RefTable::config_sub_sts_priority_lxsp(int status)
{
    switch (status) {
    case 0: return 1;
    case 10: return 2;
    case 9: return 3;
    case 1: return 4;
    case 2: return 5;
    case 3: return 6;
    case 4: return 7;
    case 5: return 8;
    case 6: return 9;
    case 7: return 10;
    case 8: return 11;
    case 11: return 12;
    case 12: return 13;
    case 13: return 14;
    case 14: return 15;
    case 255: return 255;
    default: return 0;
    }
}

// ---- pool status ----

// Status low byte of the SLU numbered in the RAID group's first slot; -1
// when that SLU is not found.
int VELDARO_RefTable::firstSluStatusLow(int rluIndex) const
{
    const int s = searchSlunFromSluTable(getRluSlun(rluIndex, 0));
    return s < 0 ? -1 : (getSluStatus(s) & 0xFF);
}

int VELDARO_RefTable::config_sub_sts_change_pool(int rluIndex) const
{
    const VELDARO_TableIndex* x = _lookupIndex();
    if (!x || rluIndex < 0 || static_cast<std::size_t>(rluIndex) >= x->rluCount())
        return 255;
    const std::uint8_t blockade = getRluBlockade(rluIndex);
    if (blockade & 0x04)
        return 11;
    if (blockade & 0x01)
        return 14;
    switch (firstSluStatusLow(rluIndex)) {
    case 0: return 0;
    case 1: return 12;
    case 2: return 13;
    case 3: return 8;
    case 4: return 5;
    case 5: return 1;
    case 8: {
        const unsigned rluLow = getRluStatus(rluIndex) & 0xFF;
        return rluLow == 0 || rluLow == 0x42 ? 10 : 8;
    }
    case 9: return 6;
    case 11: return 2;
    case 70: return 3;
    case 72: return 4;
    case 73: return 7;
    default: return 255;
    }
}

int VELDARO_RefTable::get_pool_status(int tppIndex) const
{
    Array<int> members;
    if (isLayerixSubPool(tppIndex))
        getRluIndexListInLayerixSubPool(tppIndex, members);
    else
        getRluIndexListInThinPro(tppIndex, members);
    if (members.size() == 0)
        return NO_POOL_STATUS;
    int result = 0;
    for (std::size_t k = 0; k < members.size(); ++k) {
        // The member's number serves as its index: the table keeps element n at n.
        const int sub = config_sub_sts_change_pool(getRluRlun(members[k]));
        if (k == 0 || config_sub_sts_priority_pool(sub) > config_sub_sts_priority_pool(result))
            result = sub;
    }
    if (result == 10) {
        for (std::size_t k = 0; k < members.size(); ++k) {
            if (firstSluStatusLow(getRluRlun(members[k])) != 8) {
                result = 9;
                break;
            }
        }
    }
    return result;
}

int VELDARO_RefTable::get_lxrp_status(int lxrpIndex) const
{
    if (lxrpIndex < 0 || static_cast<std::size_t>(lxrpIndex) >= _img().count(CMT_Table::LXRP))
        return 0;
    int count = getLxrpSubPoolCnt(lxrpIndex);
    if (count > static_cast<int>(CMT_LXRP_SUBPOOLS))
        count = static_cast<int>(CMT_LXRP_SUBPOOLS);
    if (count == 0)
        return 0;
    int result = 0;
    bool allTen = true;
    for (int k = 0; k < count; ++k) {
        // The sub-pool's number serves as its TPP index.
        const int status = get_pool_status(getLxrpSubPoolNumber(lxrpIndex, k));
        if (status != 10)
            allTen = false;
        if (k == 0 || config_sub_sts_priority_lxsp(status) > config_sub_sts_priority_lxsp(result))
            result = status;
    }
    if (result == 10 && !allTen)
        result = 9;
    return result;
}

// ---- status queries ----

int VELDARO_RefTable::cms_get_smis_status(int kind, unsigned long id1, unsigned long id2, int* first,
                                          int* second) const
{
    try {
        const cnfg_config_mgmt_table& img = _img();
        const VELDARO_TableIndex* x = _lookupIndex();
        int a = 0, b = -1;
        switch (kind) {
        case SMIS_STS_PARTS: {
            const unsigned top = (id1 >> 24) & 0xFF;
            const unsigned low = id1 & 0xFF;
            unsigned status = 0;
            bool inLimits = true;
            if (top == 1 || top == 16) {
                // Real status: a 0xE001 with a factor counts as 0xE401.
                std::uint16_t s, factor;
                if (top == 1) {
                    const CMT_CM e = img.CM((id1 >> 8) & 0x0F);
                    s = e.Status();
                    factor = e.Factor();
                } else {
                    const CMT_CA e = img.CA((id1 >> 8) & 0x3F);
                    s = e.Status();
                    factor = e.Factor();
                }
                status = s == 0xE001 && factor != 0 ? 0xE401 : s;
            } else if (top == 113 || top == 115 || top == 117) {
                const unsigned index = (id1 >> 8) & 0xFF;
                const unsigned max = top == 115 ? 5 : 3;
                inLimits = index <= max && low == 0;
                if (inLimits)
                    status = top == 113 ? img.FAN(index).Status()
                                        : top == 115 ? img.CPSU(index).Status() : img.BBU(index).Status();
            } else if (top == 144 || top == 210) {
                const unsigned index = 2 * (((id1 >> 11) & 0x1F) * 4 + ((id1 >> 8) & 0x03)) + low;
                inLimits = index < 256 && !(id1 & 0x400) && low <= 1;
                if (inLimits)
                    status = top == 144 ? img.EXP(index).Status() : img.DPSU(index).Status();
            } else {
                warn("Specified ID1 is Not supported Parts.");
                return -1;
            }
            if (!inLimits || status == 0xFFFF) {
                warn("Specified ItemID has over the Max count.");
                status = 0;
            }
            cms_cnv_smis_sts_parts_port(status, a, b);
            break;
        }
        case SMIS_STS_CA_PORT: {
            if (((id1 >> 24) & 0xFF) != 0x10) {
                warn("Specified ID1 is Not CA.");
                return -1;
            }
            if (id2 >= getCAPortMaxCount()) {
                warn("Specified ID2 has over the Max CA port count.");
                return -1;
            }
            cms_cnv_smis_sts_parts_port(img.CAPort((id1 >> 8) & 0x3F, id2).Status(), a, b);
            break;
        }
        case SMIS_STS_DISK:
        case SMIS_STS_DISK_EXTENT: {
            const int d = searchPlunFromDiskTable(static_cast<std::uint16_t>(id1 & 0xFFFF));
            if (d < 0) {
                warn("Specified ID1 is Not Disk.");
                return -1;
            }
            if (kind == SMIS_STS_DISK)
                cms_cnv_smis_sts_disks(getDiskStatus(d), a, b);
            else
                cms_cnv_smis_sts_extent(getDiskStatus(d), a, b);
            break;
        }
        case SMIS_STS_RLU:
        case SMIS_STS_SLU:
        case SMIS_STS_OLU:
        case SMIS_STS_MLU: {
            static const char* const over[] = {
                "Specified ID1 has over the Max RLU count.", "Specified ID1 has over the Max SLU count.",
                "Specified ID1 has over the Max OLU count.", "Specified ID1 has over the Max MLU count."};
            const std::size_t max = !x ? 0
                                    : kind == SMIS_STS_RLU ? x->rluCount()
                                    : kind == SMIS_STS_SLU ? x->sluCount()
                                    : kind == SMIS_STS_OLU ? x->oluCount()
                                                           : x->mluCount();
            if (id1 >= max) {
                warn(over[kind - SMIS_STS_RLU]);
                return -1;
            }
            const int i = static_cast<int>(id1);
            if (kind == SMIS_STS_RLU)
                cms_cnv_smis_sts_rlu_dlu(getRluStatus(i), a, b);
            else
                cms_cnv_smis_sts_olu_slu(kind == SMIS_STS_SLU   ? getSluStatus(i)
                                         : kind == SMIS_STS_OLU ? getOluStatus(i)
                                                                : getMluStatus(i),
                                         a, b);
            break;
        }
        case SMIS_STS_TPP: {
            if (id1 > 255) {
                warn("Specified ID1 has over the Max TPP count.");
                return -1;
            }
            const int i = static_cast<int>(id1);
            cms_cnv_smis_sts_tpp_lxrp(getTppRaidLevel(i) == 0 ? 255u : static_cast<unsigned>(get_pool_status(i)), a,
                                      b);
            break;
        }
        case SMIS_STS_LXRP: {
            if (id1 > 63) {
                warn("Specified ID1 has over the Max LXRP count.");
                return -1;
            }
            const int i = static_cast<int>(id1);
            cms_cnv_smis_sts_tpp_lxrp(getLxrpValidFlag(i) == 0 ? 255u : static_cast<unsigned>(get_lxrp_status(i)),
                                      a, b);
            break;
        }
        default:
            warn("Specified Type is wrong.");
            return -1;
        }
        if (first)
            *first = a;
        if (second)
            *second = b;
        return 0;
    } catch (...) {
        SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::SEVERE, "Fatal Error.");
        return -1;
    }
}

int VELDARO_RefTable::getPSUSMISStatus(unsigned long itemId, int* first, int* second) const
{
    return cms_get_smis_status(SMIS_STS_PARTS, itemId, 0, first, second);
}

int VELDARO_RefTable::getBBUSMISStatus(unsigned long itemId, int* first, int* second) const
{
    return cms_get_smis_status(SMIS_STS_PARTS, itemId, 0, first, second);
}

int VELDARO_RefTable::getCASMISStatus(unsigned long itemId, int* first, int* second) const
{
    return cms_get_smis_status(SMIS_STS_PARTS, itemId, 0, first, second);
}

int VELDARO_RefTable::getCMSMISStatus(unsigned long itemId, int* first, int* second) const
{
    return cms_get_smis_status(SMIS_STS_PARTS, itemId, 0, first, second);
}

int VELDARO_RefTable::getEXPSMISStatus(unsigned long itemId, int* first, int* second) const
{
    return cms_get_smis_status(SMIS_STS_PARTS, itemId, 0, first, second);
}

int VELDARO_RefTable::getFANSMISStatus(unsigned long itemId, int* first, int* second) const
{
    return cms_get_smis_status(SMIS_STS_PARTS, itemId, 0, first, second);
}

int VELDARO_RefTable::getCAPortSMISStatus(unsigned long caItemId, int portIndex, int* first, int* second) const
{
    if (portIndex < 0) {
        warn("Specified ID2 has over the Max CA port count.");
        return -1;
    }
    return cms_get_smis_status(SMIS_STS_CA_PORT, caItemId, static_cast<unsigned long>(portIndex), first, second);
}

int VELDARO_RefTable::getDiskSMISStatus(unsigned long itemId, int* first, int* second) const
{
    return cms_get_smis_status(SMIS_STS_DISK, itemId, 0, first, second);
}

int VELDARO_RefTable::getDiskExtentSMISStatus(unsigned long itemId, int* first, int* second) const
{
    return cms_get_smis_status(SMIS_STS_DISK_EXTENT, itemId, 0, first, second);
}

namespace {
// A negative index fails like one over the maximum.
unsigned long asId(int index)
{
    return index < 0 ? ~0UL : static_cast<unsigned long>(index);
}
}  // namespace

int VELDARO_RefTable::getRluSMISStatus(int rluIndex, int* first, int* second) const
{
    return cms_get_smis_status(SMIS_STS_RLU, asId(rluIndex), 0, first, second);
}

int VELDARO_RefTable::getSluSMISStatus(int sluIndex, int* first, int* second) const
{
    return cms_get_smis_status(SMIS_STS_SLU, asId(sluIndex), 0, first, second);
}

int VELDARO_RefTable::getOluSMISStatus(int oluIndex, int* first, int* second) const
{
    return cms_get_smis_status(SMIS_STS_OLU, asId(oluIndex), 0, first, second);
}

int VELDARO_RefTable::getMluSMISStatus(int mluIndex, int* first, int* second) const
{
    return cms_get_smis_status(SMIS_STS_MLU, asId(mluIndex), 0, first, second);
}

int VELDARO_RefTable::getTppSMISStatus(int tppIndex, int* first, int* second) const
{
    return cms_get_smis_status(SMIS_STS_TPP, asId(tppIndex), 0, first, second);
}

int VELDARO_RefTable::getLxrpSMISStatus(int lxrpIndex, int* first, int* second) const
{
    return cms_get_smis_status(SMIS_STS_LXRP, asId(lxrpIndex), 0, first, second);
}

std::uint64_t VELDARO_RefTable::cms_get_user_disk_lba(unsigned long itemId) const
{
    constexpr std::uint64_t ALL_ONES = ~std::uint64_t{0};
    if (itemId < 0x80000000UL || itemId > 0x80FFFFFFUL) {
        warn("Specified ItemID is wrong.");
        return ALL_ONES;
    }
    const int d = searchPlunFromDiskTable(static_cast<std::uint16_t>(itemId & 0xFFFF));
    if (d < 0) {
        warn("Specified ItemID is Not Disk.");
        return ALL_ONES;
    }
    return userDiskBlocks(*this, d);
}

std::uint64_t VELDARO_RefTable::getDiskBlockCount(int diskIndex) const
{
    // The row itself: going through its item id would look the disk up by
    // the id's low 16 bits, which name another disk (or none) whenever they
    // differ from the disk number.
    if (diskIndex < 0 || static_cast<std::size_t>(diskIndex) >= _img().count(CMT_Table::Disk))
        return ~std::uint64_t{0};
    return userDiskBlocks(*this, diskIndex);
}

}  // namespace cimple
