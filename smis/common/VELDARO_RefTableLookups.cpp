// Lookups, predicates and lists of the table view.

#include <cstdio>
#include <cstring>
#include <unordered_set>

#include "VELDARO_RefTable.h"
#include "VELDARO_TableIndex.h"

namespace cimple {

namespace {

constexpr std::uint16_t NONE16 = 0xFFFF;
// Slots of the entries' fixed arrays.
constexpr int OLU_SLUN_SLOTS = 20;
constexpr int RLU_SLUN_SLOTS = 256;
constexpr int RLU_TOTAL_LBA_SLOTS = 255;
constexpr int RLU_DLUN_SLOTS = 16;
constexpr int DLU_USEPLU_SLOTS = 16;
constexpr int MAP_HOST_SLOTS = 256;
constexpr int LXRP_SUBPOOL_SLOTS = static_cast<int>(CMT_LXRP_SUBPOOLS);

bool inRange(int i, std::size_t count)
{
    return i >= 0 && static_cast<std::size_t>(i) < count;
}

int clampCount(int count, int slots)
{
    return count > slots ? slots : count;
}

}  // namespace

const VELDARO_TableIndex* VELDARO_RefTable::_lookupIndex() const
{
    if (!_image)
        return nullptr;
    if (!_index || !_index->isFor(_image, _block.get()))
        _index = VELDARO_TableIndex::of(_image, _block);
    return _index.get();
}

// ---- lookups ----

int VELDARO_RefTable::searchOlunFromOluTable(std::uint16_t olun) const
{
    const VELDARO_TableIndex* x = _lookupIndex();
    return x ? x->olu(olun) : -1;
}

int VELDARO_RefTable::searchSlunFromSluTable(std::uint16_t slun) const
{
    if (slun == NONE16)
        return -1;
    const VELDARO_TableIndex* x = _lookupIndex();
    return x ? x->slu(slun) : -1;
}

int VELDARO_RefTable::searchMlunFromMluTable(std::uint16_t mlun) const
{
    const VELDARO_TableIndex* x = _lookupIndex();
    return x ? x->mlu(mlun) : -1;
}

int VELDARO_RefTable::searchRlunFromRluTable(std::uint16_t rlun) const
{
    const VELDARO_TableIndex* x = _lookupIndex();
    return x ? x->rlu(rlun) : -1;
}

int VELDARO_RefTable::searchDlunFromDluTable(std::uint16_t dlun) const
{
    const VELDARO_TableIndex* x = _lookupIndex();
    return x ? x->dlu(dlun) : -1;
}

int VELDARO_RefTable::searchCMModuleIdFromCMTable(std::uint8_t moduleId) const
{
    const cnfg_config_mgmt_table& img = _img();
    for (std::size_t i = 0; i < img.count(CMT_Table::CM); ++i)
        if (img.CM(i).ModuleId() == moduleId && img.CM(i).Status() != 0)
            return static_cast<int>(i);
    return -1;
}

int VELDARO_RefTable::searchMIDAndMIDFromCMCPUTable(std::uint8_t, std::uint8_t moduleId) const
{
    const cnfg_config_mgmt_table& img = _img();
    for (std::size_t i = 0; i < img.count(CMT_Table::CM); ++i)
        if (img.CM(i).ModuleId() == moduleId)
            return static_cast<int>(i);
    return -1;
}

int VELDARO_RefTable::searchCAModuleIdFromCATable(std::uint8_t moduleId) const
{
    const cnfg_config_mgmt_table& img = _img();
    for (std::size_t i = 0; i < img.count(CMT_Table::CA); ++i)
        if (img.CA(i).ModuleId() == moduleId && img.CA(i).Status() != 0)
            return static_cast<int>(i);
    return -1;
}

int VELDARO_RefTable::searchCAPortNoFromPortTable(int caIndex, std::uint8_t portNo) const
{
    if (!inRange(caIndex, getCAMaxCount()))
        return -1;
    const cnfg_config_mgmt_table& img = _img();
    for (std::size_t p = 0; p < getCAPortMaxCount(); ++p) {
        const CMT_CAPort port = img.CAPort(_ix(caIndex), p);
        if (port.PortNo() == portNo && port.Status() != 0)
            return static_cast<int>(p);
    }
    return -1;
}

int VELDARO_RefTable::searchCAModuleIdAndCAPortNoFromMapTable(std::uint8_t moduleId, std::uint8_t portNo) const
{
    // The allocation check depends only on the pair, so the first entry
    // holding the pair is the answer when the pair passes it.
    const cnfg_config_mgmt_table& img = _img();
    for (std::size_t i = 0; i < img.count(CMT_Table::Map); ++i) {
        const CMT_Map e = img.Map(i);
        if (mapEntryHoldsPort(e.CAModuleID(), e.CAPortNo(), moduleId, portNo))
            return checkPortAllocate(moduleId, portNo) ? static_cast<int>(i) : -1;
    }
    return -1;
}

int VELDARO_RefTable::searchLUNMappingNumberFromLUNMappingTable(std::uint16_t number) const
{
    const cnfg_config_mgmt_table& img = _img();
    for (std::size_t i = 0; i < img.count(CMT_Table::LUNMap); ++i)
        if (img.LUNMap(i).LUNMappingNumber() == number)
            return static_cast<int>(i);
    return -1;
}

int VELDARO_RefTable::searchAffinityNumberFromAffinityTable(std::uint16_t groupNumber) const
{
    const VELDARO_TableIndex* x = _lookupIndex();
    return x ? x->affinity(groupNumber) : -1;
}

int VELDARO_RefTable::searchPlunFromDiskTable(std::uint16_t plun) const
{
    const VELDARO_TableIndex* x = _lookupIndex();
    return x ? x->disk(plun) : -1;
}

int VELDARO_RefTable::searchPSUNoFromCPSUTable(std::uint8_t psuNo) const
{
    const cnfg_config_mgmt_table& img = _img();
    for (std::size_t i = 0; i < img.count(CMT_Table::CPSU); ++i) {
        const CMT_Unit e = img.CPSU(i);
        if (((e.ItemId() >> 8) & 0xFF) == psuNo && e.Status() != 0)
            return static_cast<int>(i);
    }
    return -1;
}

int VELDARO_RefTable::searchDeIdAndPSUNoFromDPSUTable(std::uint8_t deId, std::uint8_t psuNo) const
{
    const cnfg_config_mgmt_table& img = _img();
    for (std::size_t i = 0; i < img.count(CMT_Table::DPSU); ++i) {
        const CMT_DPSU e = img.DPSU(i);
        if (((e.ItemId() >> 8) & 0xFF) == deId && (e.ItemId() & 0xFF) == psuNo && e.Status() != 0)
            return static_cast<int>(i);
    }
    return -1;
}

int VELDARO_RefTable::searchDeIdAndEXPNoFromEXPTable(std::uint8_t deId, std::uint8_t expNo) const
{
    const cnfg_config_mgmt_table& img = _img();
    for (std::size_t i = 0; i < img.count(CMT_Table::EXP); ++i) {
        const CMT_EXP e = img.EXP(i);
        if (((e.ItemId() >> 8) & 0xFF) == deId && (e.ItemId() & 0xFF) == expNo && e.Status() != 0)
            return static_cast<int>(i);
    }
    return -1;
}

int VELDARO_RefTable::searchDeIdFromDETable(std::uint8_t deId) const
{
    const cnfg_config_mgmt_table& img = _img();
    for (std::size_t i = 0; i < img.count(CMT_Table::DE); ++i)
        if (img.DE(i).DeId() == deId && img.DE(i).Status() != 0)
            return static_cast<int>(i);
    return -1;
}

int VELDARO_RefTable::searchPoolNoFromTppTable(std::uint16_t poolNo) const
{
    const cnfg_config_mgmt_table& img = _img();
    for (std::size_t i = 0; i < img.count(CMT_Table::TPP); ++i)
        if (img.TPP(i).MemDiskCnt() != 0 && img.TPP(i).PoolNumber() == poolNo)
            return static_cast<int>(i);
    return -1;
}

int VELDARO_RefTable::searchPoolNoFromLxrpTable(std::uint16_t poolNo) const
{
    const cnfg_config_mgmt_table& img = _img();
    for (std::size_t i = 0; i < img.count(CMT_Table::LXRP); ++i)
        if (img.LXRP(i).ValidFlag() != 0 && img.LXRP(i).PoolNumber() == poolNo)
            return static_cast<int>(i);
    return -1;
}

int VELDARO_RefTable::searchRlunameFromRluNameTable(const char* name) const
{
    const VELDARO_TableIndex* x = _lookupIndex();
    return x && name ? x->rluName(name) : -1;
}

int VELDARO_RefTable::searchOlunameFromOluNameTable(const char* name) const
{
    const VELDARO_TableIndex* x = _lookupIndex();
    return x && name ? x->oluName(name) : -1;
}

int VELDARO_RefTable::searchHostNameFromHostTable(const char* name) const
{
    const VELDARO_TableIndex* x = _lookupIndex();
    if (!x || !name || (getHostCount() == 0 && getiSCSIHostCount() == 0))
        return -1;
    return x->hostName(name);
}

int VELDARO_RefTable::searchHostNameFromHostTable(const char* id, int& idType, const char* address) const
{
    const VELDARO_TableIndex* x = _lookupIndex();
    if (!x || !id)
        return -1;
    const cnfg_config_mgmt_table& img = *_image;
    if (getHostCount() != 0) {
        const int i = x->hostWWN(id);
        if (i >= 0) {
            idType = img.Host(_ix(i)).Type() == 2 ? 6 : 2;  // type 2: SAS address
            return i;
        }
    }
    if (getiSCSIHostCount() != 0) {
        if (const std::vector<int>* hosts = x->iscsiHosts(id)) {
            for (int i : *hosts) {
                if (address) {
                    const auto a = img.iSCSIHost(_ix(i)).iSCSIIPAddress();
                    char text[16];
                    std::snprintf(text, sizeof text, "%u.%u.%u.%u", a[0], a[1], a[2], a[3]);
                    if (std::strcmp(text, address) != 0)
                        continue;
                }
                idType = 5;
                return i;
            }
        }
    }
    return -1;
}

int VELDARO_RefTable::searchLunByLuTypeFromSluTable(std::uint8_t luType, std::uint16_t number) const
{
    switch (luType) {
    case 1: case 3: case 4: case 7: case 9: case 11: case 13: {
        const int o = searchOlunFromOluTable(number);
        return o < 0 ? -1 : searchSlunFromSluTable(getOluSlun(o, 0));
    }
    case 2: {
        const int m = searchMlunFromMluTable(number);
        return m < 0 ? -1 : searchSlunFromSluTable(getMluSlun(m));
    }
    case 8:
        return searchSlunFromSluTable(number);
    default:
        return -1;
    }
}

int VELDARO_RefTable::searchCopyLunFromSluTable(std::uint8_t kind, std::uint16_t number) const
{
    if (kind == 0) {
        const int m = searchMlunFromMluTable(number);
        return m < 0 ? -1 : searchSlunFromSluTable(getMluSlun(m));
    }
    if (kind == 1) {
        const int o = searchOlunFromOluTable(number);
        return o < 0 ? -1 : searchSlunFromSluTable(getOluSlun(o, 0));
    }
    return -1;
}

// ---- predicates ----

bool VELDARO_RefTable::checkPortAllocate(std::uint8_t moduleId, std::uint8_t portNo) const
{
    const int ca = searchCAModuleIdFromCATable(moduleId);
    if (ca < 0)
        return false;
    const int port = searchCAPortNoFromPortTable(ca, portNo);
    if (port < 0)
        return false;
    const std::uint8_t ra = getCAPortRAMode(ca, port);
    return ra == 0 || ra == 4;
}

bool VELDARO_RefTable::IsLUNMappingController_Default(int caIndex, int portIndex) const
{
    if (!inRange(caIndex, getCAMaxCount()) || !inRange(portIndex, getCAPortMaxCount()))
        return false;
    const std::uint8_t ra = getCAPortRAMode(caIndex, portIndex);
    return getCAPortStatus(caIndex, portIndex) != 0 && getCAPortSecurityMode(caIndex, portIndex) != 128 &&
           (ra == 0 || ra == 4);
}

bool VELDARO_RefTable::isSetToMapTable(int mapIndex, int affinityGroup, int hostIndex) const
{
    if (!inRange(mapIndex, _img().count(CMT_Table::Map)))
        return false;
    const CMT_Map e = _img().Map(_ix(mapIndex));
    for (std::size_t s = 0; s < MAP_HOST_SLOTS; ++s) {
        if (e.AffinityTableNo(s) != affinityGroup)
            continue;
        if (hostIndex == NONE16 || e.HostWWNTableNo(s) == hostIndex)
            return true;
    }
    return false;
}

bool VELDARO_RefTable::checkPluInUse(std::uint16_t dlun, std::uint16_t plun) const
{
    if (dlun == NONE16 || plun == NONE16)
        return false;
    const int d = searchDlunFromDluTable(dlun);
    if (d < 0)
        return false;
    for (int s = 0; s < DLU_USEPLU_SLOTS; ++s)
        if (getDluUsePlu(d, s) == plun)
            return true;
    return false;
}

bool VELDARO_RefTable::isSupportLUType(int sluIndex) const
{
    const VELDARO_TableIndex* x = _lookupIndex();
    if (!x || !inRange(sluIndex, x->sluCount()))
        return false;
    switch (getLuType(sluIndex)) {
    case 2: case 3: case 8: case 9: case 10:
        return false;
    default:
        return true;
    }
}

bool VELDARO_RefTable::checkSupportLUType(int sluIndex) const
{
    const VELDARO_TableIndex* x = _lookupIndex();
    if (!x || !inRange(sluIndex, x->sluCount()))
        return false;
    switch (getLuType(sluIndex)) {
    case 1: case 2: case 3: case 4: case 7: case 8: case 9: case 13:
        return true;
    default:
        return false;
    }
}

bool VELDARO_RefTable::isConcatenatedLogicalVolume(int oluIndex) const
{
    return getOluSluCount(oluIndex) > 1;
}

bool VELDARO_RefTable::isLayerixSubPool(int tppIndex) const
{
    return inRange(tppIndex, _img().count(CMT_Table::TPP)) && getTppLxrpNumber(tppIndex) != 255;
}

bool VELDARO_RefTable::isThinproPoolInRluMode(int rluIndex) const
{
    const std::uint8_t mode = getRluMode(rluIndex);
    return (mode & 0x01) && !(mode & 0x20);
}

bool VELDARO_RefTable::isLayerixSubPoolInRluMode(int rluIndex) const
{
    const std::uint8_t mode = getRluMode(rluIndex);
    return (mode & 0x01) && (mode & 0x20);
}

bool VELDARO_RefTable::isValidLUName(const char* text)
{
    if (!text)
        return false;
    return std::strpbrk(text, "\"$&'%\\<>?,") == nullptr;
}

std::uint16_t VELDARO_RefTable::getMaskCAType(int caIndex) const
{
    const std::uint16_t type = getCAType(caIndex);
    return type == 0 ? 0xFFFF : static_cast<std::uint16_t>(type & 0xF000);
}

std::uint16_t VELDARO_RefTable::getMaskCARealType(int caIndex) const
{
    const std::uint16_t type = getCARealType(caIndex);
    return type == 0 ? 0xFFFF : static_cast<std::uint16_t>(type & 0xF000);
}

// ---- lists and sums ----

int VELDARO_RefTable::getRluIndexListInThinPro(int tppIndex, Array<int>& list) const
{
    list.clear();
    const VELDARO_TableIndex* x = _lookupIndex();
    if (!x || !inRange(tppIndex, _img().count(CMT_Table::TPP)))
        return 0;
    if (const std::vector<int>* members = x->thinProMembers(getTppPoolNumber(tppIndex)))
        for (int i : *members)
            list.append(i);
    return static_cast<int>(list.size());
}

int VELDARO_RefTable::getRluIndexListInLayerixSubPool(int tppIndex, Array<int>& list) const
{
    list.clear();
    const VELDARO_TableIndex* x = _lookupIndex();
    if (!x || !inRange(tppIndex, _img().count(CMT_Table::TPP)))
        return 0;
    if (const std::vector<int>* members = x->subPoolMembers(getTppPoolNumber(tppIndex)))
        for (int i : *members)
            list.append(i);
    return static_cast<int>(list.size());
}

int VELDARO_RefTable::getSlunListWithRlu(std::uint16_t rlun, Array<std::uint16_t>& list) const
{
    list.clear();
    const int r = searchRlunFromRluTable(rlun);
    if (r < 0)
        return 0;
    if (getRluPoolNumber(r) == NONE16) {
        const int count = clampCount(getRluSluCount(r), RLU_SLUN_SLOTS);
        for (int s = 0; s < count; ++s)
            if (getRluSlun(r, s) != NONE16)
                list.append(getRluSlun(r, s));
    } else if (const std::vector<std::uint16_t>* sluns = _lookupIndex()->slunsOfRlu(rlun)) {
        for (std::uint16_t n : *sluns)
            list.append(n);
    }
    return static_cast<int>(list.size());
}

int VELDARO_RefTable::getSluIndexListInOlu(int oluIndex, Array<int>& list) const
{
    list.clear();
    const VELDARO_TableIndex* x = _lookupIndex();
    if (!x || !inRange(oluIndex, x->oluCount()))
        return 0;
    const int head = searchSlunFromSluTable(getOluSlun(oluIndex, 0));
    if (head < 0)
        return 0;
    if (getLuType(head) == 13) {
        // The chain ends at a number that is not found. A chain that comes
        // back to one of its SLUs is broken: it ends there with -1, and it
        // never holds more than every SLU once.
        std::unordered_set<int> seen;
        for (int s = head; s >= 0; s = searchSlunFromSluTable(getSluNextSlun(s))) {
            if (!seen.insert(s).second || seen.size() > x->sluCount())
                return -1;
            list.append(s);
        }
        return 0;
    }
    int result = 0;
    const int count = clampCount(getOluSluCount(oluIndex), OLU_SLUN_SLOTS);
    for (int k = 0; k < count; ++k) {
        const int s = searchSlunFromSluTable(getOluSlun(oluIndex, k));
        if (s < 0)
            result = -1;
        else
            list.append(s);
    }
    return result;
}

int VELDARO_RefTable::getDiskIndexListInRlu(int rluIndex, disk_idx_list_in_rlu* out) const
{
    const VELDARO_TableIndex* x = _lookupIndex();
    if (!out || !x || !inRange(rluIndex, x->rluCount()))
        return 0;
    unsigned n = 0;
    const int members = clampCount(getRluMemberDiskCount(rluIndex), RLU_DLUN_SLOTS);
    for (int m = 0; m < members; ++m) {
        const std::uint16_t dlun = getRluDlun(rluIndex, m);
        const int d = dlun == NONE16 ? -1 : searchDlunFromDluTable(dlun);
        if (d < 0)
            continue;
        for (int s = 0; s < DLU_USEPLU_SLOTS && n < disk_idx_list_in_rlu::CAPACITY; ++s) {
            const std::uint16_t plun = getDluUsePlu(d, s);
            const int disk = plun == NONE16 ? -1 : searchPlunFromDiskTable(plun);
            if (disk >= 0)
                out->DiskIdx[n++] = static_cast<std::uint32_t>(disk);
        }
    }
    return static_cast<int>(n);
}

int VELDARO_RefTable::getRaidDiskCount(int rluIndex) const
{
    const VELDARO_TableIndex* x = _lookupIndex();
    if (!x || !inRange(rluIndex, x->rluCount()))
        return 0;
    int sum = 0;
    for (int m = 0; m < RLU_DLUN_SLOTS; ++m) {
        const std::uint16_t dlun = getRluDlun(rluIndex, m);
        const int d = dlun == NONE16 ? -1 : searchDlunFromDluTable(dlun);
        if (d >= 0)
            sum += getDluMemberDiskCount(d);
    }
    return sum;
}

const std::vector<int>* VELDARO_RefTable::getOccupiedDiskIndexes() const
{
    const VELDARO_TableIndex* x = _lookupIndex();
    return x ? &x->occupiedDisks() : nullptr;
}

int VELDARO_RefTable::getRaidHSDiskCount(int rluIndex) const
{
    const VELDARO_TableIndex* x = _lookupIndex();
    if (!x || !inRange(rluIndex, x->rluCount()))
        return 0;
    return x->hotSpares(getRluRlun(rluIndex));
}

std::uint64_t VELDARO_RefTable::getTotalLbaCount(int rluIndex, int which) const
{
    const VELDARO_TableIndex* x = _lookupIndex();
    if (!x || !inRange(rluIndex, x->rluCount()))
        return 0;
    std::uint64_t sum = 0;
    for (int k = 0; k < RLU_TOTAL_LBA_SLOTS; ++k) {
        const int s = searchSlunFromSluTable(getRluSlun(rluIndex, k));
        if (s >= 0)
            sum += which == 1 ? getOlbaCount(s) : getSlbaCount(s);
    }
    return sum;
}

std::uint64_t VELDARO_RefTable::getLxrpPoolLbaCount(int lxrpIndex) const
{
    if (!inRange(lxrpIndex, _img().count(CMT_Table::LXRP)))
        return 0;
    std::uint64_t sum = 0;
    const int count = clampCount(getLxrpSubPoolCnt(lxrpIndex), LXRP_SUBPOOL_SLOTS);
    for (int k = 0; k < count; ++k) {
        const int t = searchPoolNoFromTppTable(getLxrpSubPoolNumber(lxrpIndex, k));
        if (t >= 0)
            sum += getTppMaxPoolLbaCount(t);
    }
    return sum;
}

std::uint8_t VELDARO_RefTable::getLxrpRaidLevel(int lxrpIndex, int* tppIndex) const
{
    // Levels in the order of preference.
    static const std::uint8_t order[] = {12, 1, 3, 4, 8};
    constexpr int UNRANKED = static_cast<int>(sizeof order);
    int best = UNRANKED;
    int bestTpp = 255;
    if (inRange(lxrpIndex, _img().count(CMT_Table::LXRP))) {
        const int count = clampCount(getLxrpSubPoolCnt(lxrpIndex), LXRP_SUBPOOL_SLOTS);
        for (int k = 0; k < count; ++k) {
            const int t = searchPoolNoFromTppTable(getLxrpSubPoolNumber(lxrpIndex, k));
            if (t < 0)
                continue;
            int rank = 0;
            while (rank < UNRANKED && order[rank] != getTppRaidLevel(t))
                ++rank;
            if (rank < best) {
                best = rank;
                bestTpp = t;
            }
        }
    }
    if (tppIndex)
        *tppIndex = bestTpp;
    return best < UNRANKED ? order[best] : 255;
}

}  // namespace cimple
