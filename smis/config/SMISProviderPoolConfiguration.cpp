#include "SMISProviderPoolConfiguration.h"

#include <algorithm>
#include <cctype>
#include <cinttypes>
#include <cstring>
#include <memory>
#include <new>
#include <string>

#include "Method_Reference.h"
#include "Pool_Disk_Rules.h"
#include "Pool_Command_Result.h"
#include "Pool_Log.h"
#include "SMIS_PollingService.h"
#include "VELDARO_DiskExtent.h"
#include "VELDARO_DiskExtent_Resource.h"
#include "VELDARO_RefTable.h"
#include "String_Ops.h"

namespace cimple {

namespace {

constexpr int DISK_TABLE_SIZE = 3072;
const char* const LEVEL_TEXTS[] = {"0", "1", "1+0", "5", "5+0", "6"};
const int CLI_LEVEL_CODES[] = {0, 1, 10, 5, 50, 6};
const std::uint8_t ARRAY_LEVEL_CODES[] = {Pool_Disk_Rules::CODE_RAID0,  Pool_Disk_Rules::CODE_RAID1,
                                          Pool_Disk_Rules::CODE_RAID10, Pool_Disk_Rules::CODE_RAID5,
                                          Pool_Disk_Rules::CODE_RAID50, Pool_Disk_Rules::CODE_RAID6};

// The key values a request gives for a disk extent: DeviceID must be
// given; SystemName (absent: this array) and the class names are compared
// when given.
struct Extent_Keys {
    Property<String> deviceId, systemName, creationClassName, systemCreationClassName;
};

// The quoted value of key="..." in an object path, where key stands as a
// whole word (in any letter case: key names are case-insensitive).
Property<String> pathKey(const String& path, const char* key)
{
    Property<String> out;
    std::string lower(path.c_str());
    for (char& c : lower)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    std::string pattern(key);
    for (char& c : pattern)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    pattern += "=\"";
    for (std::size_t at = lower.find(pattern); at != std::string::npos; at = lower.find(pattern, at + 1)) {
        const char before = at == 0 ? '.' : lower[at - 1];
        if (before != '.' && before != ',' && before != ' ')
            continue;
        const std::size_t start = at + pattern.size();
        const std::size_t end = path.find('"', start);
        if (end == npos)
            return out;
        out.set(substring(path, start, end - start));
        return out;
    }
    return out;
}

bool sameKey(const Property<String>& given, const Property<String>& built, bool required)
{
    if (given.null)
        return !required;
    return !built.null && given.value == built.value;
}

// Class names compare without regard to letter case.
bool sameClass(const Property<String>& given, const Property<String>& built)
{
    return given.null || (!built.null && given.value.equali(built.value));
}

}  // namespace

SMISProviderPoolConfiguration::Level SMISProviderPoolConfiguration::levelOf(const String& text)
{
    for (int i = 0; i < LEVEL_NONE; ++i)
        if (text == LEVEL_TEXTS[i])
            return static_cast<Level>(i);
    return LEVEL_NONE;
}

const char* SMISProviderPoolConfiguration::levelText(Level level)
{
    return level < LEVEL_NONE ? LEVEL_TEXTS[level] : "";
}

SMISProviderPoolConfiguration::SMISProviderPoolConfiguration(const String& storage) : _storage(storage) {}

SMISProviderPoolConfiguration::~SMISProviderPoolConfiguration()
{
    closeDiskManager();
}

std::uint64_t SMISProviderPoolConfiguration::compareRLUSize(std::uint64_t size, const Array<uint64>& sizes)
{
    for (std::size_t i = 0; i < sizes.size(); ++i)
        if (sizes[i] >= size)
            return sizes[i];
    return size;
}

void SMISProviderPoolConfiguration::getDefaultRAIDLevelList(Array<String>& levels)
{
    levels.clear();
    for (const char* l : {"1+0", "1", "5", "6"})
        levels.append(String(l));
}

int SMISProviderPoolConfiguration::getMinSetDisk(const String&)
{
    return -1;
}

int SMISProviderPoolConfiguration::getMaxSetDisk(const String&)
{
    return -1;
}

// ---- free disks and the disk manager ----

void SMISProviderPoolConfiguration::getAvailablePLUNumbers(Array<std::uint16_t>& plus)
{
    Pool_Disk_Rules::freeDisks(_storage, plus);
}

SMISProviderDiskManager* SMISProviderPoolConfiguration::createDiskManager(const Array<std::uint16_t>& plus)
{
    if (plus.size() == 0) {
        POOL_WARNING("Parameter Error");
        return nullptr;
    }
    Array<std::uint16_t> usable;
    getAvailableStorageExtent(plus, usable);
    if (usable.size() == 0) {
        POOL_WARNING("The PLU list which can be used was not able to be acquired");
        return nullptr;
    }
    return new (std::nothrow) SMISProviderDiskManager(usable, _storage);
}

void SMISProviderPoolConfiguration::getAvailableStorageExtent(const Array<std::uint16_t>& list,
                                                              Array<std::uint16_t>& out)
{
    out.clear();
    if (list.size() == 0) {
        POOL_INFO("PLU Number's List is zero");
        return;
    }
    Array<std::uint16_t> free;
    getAvailablePLUNumbers(free);
    for (std::size_t i = 0; i < free.size(); ++i)
        for (std::size_t j = 0; j < list.size(); ++j)
            if (list[j] == free[i]) {
                out.append(free[i]);
                break;
            }
}

bool SMISProviderPoolConfiguration::openDiskManager(const Array<std::uint16_t>& disks)
{
    closeDiskManager();
    _diskManager = createDiskManager(disks);
    return _diskManager != nullptr;
}

void SMISProviderPoolConfiguration::closeDiskManager()
{
    delete _diskManager;
    _diskManager = nullptr;
}

// ---- base bodies of the level rules ----

std::uint32_t SMISProviderPoolConfiguration::findAvailableExtentLevel0(SMISProviderDiskManager* dm,
                                                                       Array<std::uint16_t>& plus)
{
    if (dm)
        Pool_Disk_Rules::allDisksOfGroups(*dm, getMinSetDisk("0"), plus);
    return SUCCESS;
}

std::uint32_t SMISProviderPoolConfiguration::findAvailableExtentLevel0P5(SMISProviderDiskManager*,
                                                                         Array<std::uint16_t>&)
{
    return NOT_SUPPORTED;
}

std::uint32_t SMISProviderPoolConfiguration::findAvailableExtentLevel6(SMISProviderDiskManager*,
                                                                       Array<std::uint16_t>&)
{
    return NOT_SUPPORTED;
}

std::uint32_t SMISProviderPoolConfiguration::getApprovalPatternLevel0(SMISProviderDiskManager*, Array<std::uint16_t>&)
{
    return NOT_SUPPORTED;
}

std::uint32_t SMISProviderPoolConfiguration::getApprovalPatternLevel1(SMISProviderDiskManager* dm,
                                                                      Array<std::uint16_t>& plus)
{
    Array<std::uint16_t> two;
    two.append(2);
    return approvalOverCounts(dm, two, LEVEL_1, plus);
}

std::uint32_t SMISProviderPoolConfiguration::getApprovalPatternLevel0P1(SMISProviderDiskManager* dm,
                                                                        Array<std::uint16_t>& plus)
{
    Array<std::uint16_t> counts;
    getApprovalDiskCountLevel0P1(counts);
    return approvalOverCounts(dm, counts, LEVEL_1P0, plus);
}

std::uint32_t SMISProviderPoolConfiguration::getApprovalPatternLevel5(SMISProviderDiskManager* dm,
                                                                      Array<std::uint16_t>& plus)
{
    Array<std::uint16_t> counts;
    getApprovalDiskCountLevel5(counts);
    return approvalOverCounts(dm, counts, LEVEL_5, plus);
}

std::uint32_t SMISProviderPoolConfiguration::getApprovalPatternLevel0P5(SMISProviderDiskManager*,
                                                                        Array<std::uint16_t>&)
{
    return NOT_SUPPORTED;
}

std::uint32_t SMISProviderPoolConfiguration::getApprovalPatternLevel6(SMISProviderDiskManager*, Array<std::uint16_t>&)
{
    return NOT_SUPPORTED;
}

std::uint32_t SMISProviderPoolConfiguration::findAvailableWhenSized(Level level, SMISProviderDiskManager* dm,
                                                                    std::uint64_t disks, std::uint64_t buckets,
                                                                    Array<std::uint16_t>& plus)
{
    Array<uint64> sizes;
    if (dm && getSupportedSize(levelText(level), dm, sizes) == SUCCESS && sizes.size() > 0)
        Pool_Disk_Rules::findAvailableExtentCom(*dm, disks, buckets, plus);
    return SUCCESS;
}

std::uint32_t SMISProviderPoolConfiguration::approvalOverCounts(SMISProviderDiskManager* dm,
                                                                const Array<std::uint16_t>& counts, Level level,
                                                                Array<std::uint16_t>& plus)
{
    std::uint32_t result = SUCCESS;
    for (std::size_t i = 0; i < counts.size(); ++i) {
        Array<std::uint32_t> perGroup;
        for (int g = 0; dm && g < dm->GetDiskMngListCount(); ++g)
            perGroup.append(counts[i]);
        plus.clear();
        result = getUseDiskListOf(LEVEL_TEXTS[level], dm, perGroup, plus);
        if (result == SUCCESS && plus.size() > 0)
            break;
    }
    return result;
}

std::uint32_t SMISProviderPoolConfiguration::getSupportedSizeLevel0(SMISProviderDiskManager* dm,
                                                                    Array<uint64>& sizes)
{
    sizes.clear();
    const int max = getMaxSetDisk("0"), min = getMinSetDisk("0");
    if (dm && min > 0 && max >= min)
        Pool_Disk_Rules::sizesFromAllDisk(*dm, static_cast<std::uint64_t>(max), static_cast<std::uint64_t>(min),
                                          sizes);
    return SUCCESS;
}

std::uint32_t SMISProviderPoolConfiguration::getSupportedSizeLevel0P5(SMISProviderDiskManager*,
                                                                      Array<uint64>&)
{
    return NOT_SUPPORTED;
}

std::uint32_t SMISProviderPoolConfiguration::getSupportedSizeLevel6(SMISProviderDiskManager*, Array<uint64>&)
{
    return NOT_SUPPORTED;
}

std::uint32_t SMISProviderPoolConfiguration::getUseDiskList(SMISProviderDiskManager* dm, const String& level,
                                                            std::uint64_t size, Array<std::uint32_t>& perGroup)
{
    POOL_INFO("getUseDiskList(%" PRId64 ") start", static_cast<std::int64_t>(size));
    perGroup.clear();
    if (!dm)
        return FAILED;
    for (int g = 0; g < dm->GetDiskMngListCount(); ++g)
        perGroup.append(0);
    if (size == 0) {
        POOL_WARNING("Parameter error");
        return INVALID_PARAMETER;
    }
    const Level l = levelOf(level);
    if (l == LEVEL_NONE || !servesLevel(l)) {
        POOL_WARNING("This RAIDLevel has not supported");
        return FAILED;
    }
    for (int g = 0; g < dm->GetDiskMngListCount(); ++g) {
        const std::uint64_t q = Pool_Disk_Rules::quotient(size, dm->GetDiskMngbyIndex(g)->capacity);
        std::uint32_t count = 0;
        if (l == LEVEL_0 || l == LEVEL_1) {
            const std::uint64_t n = l == LEVEL_0 ? q : 2 * q;
            const int min = getMinSetDisk(level), max = getMaxSetDisk(level);
            const std::uint64_t floor = static_cast<std::uint64_t>(std::max(min, 0));
            if (max >= 0 && n <= static_cast<std::uint64_t>(max))
                count = l == LEVEL_1 ? 2 : static_cast<std::uint32_t>(std::max(n, floor));
        } else if (!useDiskCount(l, q, count)) {
            POOL_WARNING("This RAIDLevel has not supported");
            return FAILED;
        }
        perGroup[g] = count;
        POOL_INFO("useDisk[%d] = %" PRId64, g, static_cast<std::int64_t>(count));
    }
    POOL_INFO("getUseDiskList(%d) end", static_cast<int>(perGroup.size()));
    return SUCCESS;
}

#define POOL_USE_DISK_LIST(NAME, LEVEL)                                                                      \
    std::uint32_t SMISProviderPoolConfiguration::NAME(SMISProviderDiskManager* dm,                           \
                                                      const Array<std::uint32_t>& perGroup,                  \
                                                      Array<std::uint16_t>& plus)                            \
    {                                                                                                        \
        plus.clear();                                                                                        \
        if (!servesLevel(LEVEL))                                                                             \
            return NOT_SUPPORTED;                                                                            \
        if (dm)                                                                                              \
            Pool_Disk_Rules::useDiskList(*dm, perGroup, ARRAY_LEVEL_CODES[LEVEL], plus);                     \
        return SUCCESS;                                                                                      \
    }
POOL_USE_DISK_LIST(getUseDiskListLevel0, LEVEL_0)
POOL_USE_DISK_LIST(getUseDiskListLevel1, LEVEL_1)
POOL_USE_DISK_LIST(getUseDiskListLevel0P1, LEVEL_1P0)
POOL_USE_DISK_LIST(getUseDiskListLevel5, LEVEL_5)
POOL_USE_DISK_LIST(getUseDiskListLevel0P5, LEVEL_5P0)
POOL_USE_DISK_LIST(getUseDiskListLevel6, LEVEL_6)
#undef POOL_USE_DISK_LIST

// ---- level dispatch ----

std::uint32_t SMISProviderPoolConfiguration::findAvailableExtent(const String& level, SMISProviderDiskManager* dm,
                                                                 Array<std::uint16_t>& plus)
{
    using S = SMISProviderPoolConfiguration;
    static std::uint32_t (S::*const ops[])(SMISProviderDiskManager*, Array<std::uint16_t>&) = {
        &S::findAvailableExtentLevel0,   &S::findAvailableExtentLevel1,   &S::findAvailableExtentLevel0P1,
        &S::findAvailableExtentLevel5,   &S::findAvailableExtentLevel0P5, &S::findAvailableExtentLevel6};
    return dispatchLevel(level, ops, dm, plus);
}

std::uint32_t SMISProviderPoolConfiguration::getApprovalPattern(const String& level, SMISProviderDiskManager* dm,
                                                                Array<std::uint16_t>& plus)
{
    using S = SMISProviderPoolConfiguration;
    static std::uint32_t (S::*const ops[])(SMISProviderDiskManager*, Array<std::uint16_t>&) = {
        &S::getApprovalPatternLevel0, &S::getApprovalPatternLevel1,   &S::getApprovalPatternLevel0P1,
        &S::getApprovalPatternLevel5, &S::getApprovalPatternLevel0P5, &S::getApprovalPatternLevel6};
    return dispatchLevel(level, ops, dm, plus);
}

std::uint32_t SMISProviderPoolConfiguration::getSupportedSize(const String& level, SMISProviderDiskManager* dm,
                                                              Array<uint64>& sizes)
{
    sizes.clear();
    using S = SMISProviderPoolConfiguration;
    static std::uint32_t (S::*const ops[])(SMISProviderDiskManager*, Array<uint64>&) = {
        &S::getSupportedSizeLevel0, &S::getSupportedSizeLevel1,   &S::getSupportedSizeLevel0P1,
        &S::getSupportedSizeLevel5, &S::getSupportedSizeLevel0P5, &S::getSupportedSizeLevel6};
    return dispatchLevel(level, ops, dm, sizes);
}

std::uint32_t SMISProviderPoolConfiguration::getUseDiskListOf(const String& level, SMISProviderDiskManager* dm,
                                                              const Array<std::uint32_t>& perGroup,
                                                              Array<std::uint16_t>& plus)
{
    plus.clear();
    using S = SMISProviderPoolConfiguration;
    using Pick = std::uint32_t (S::*)(SMISProviderDiskManager*, const Array<std::uint32_t>&, Array<std::uint16_t>&);
    static const Pick ops[] = {
        &S::getUseDiskListLevel0, &S::getUseDiskListLevel1,   &S::getUseDiskListLevel0P1,
        &S::getUseDiskListLevel5, &S::getUseDiskListLevel0P5, &S::getUseDiskListLevel6};
    return dispatchLevel(level, ops, dm, perGroup, plus);
}

int SMISProviderPoolConfiguration::getCLIRaidLevel(const String& level) const
{
    const Level l = levelOf(level);
    return servesLevel(l) ? CLI_LEVEL_CODES[l] : -1;
}

bool SMISProviderPoolConfiguration::checkSupportedRAIDLevel(const String& level)
{
    Array<String> levels;
    getSupportedRAIDLevelList(levels);
    for (std::size_t i = 0; i < levels.size(); ++i)
        if (levels[i] == level)
            return true;
    return false;
}

// ---- disks of a request ----

namespace {

// The disk of this array whose extent has the given keys; 0xFFFF when none.
std::uint16_t resolveExtent(const String& storage, const Extent_Keys& keys)
{
    std::uint16_t plu = SMISProviderPoolConfiguration::NO_NUMBER;
    if (keys.deviceId.null || !VELDARO_DiskExtent_Resource::divide_DeviceID(keys.deviceId.value.c_str(), &plu))
        return SMISProviderPoolConfiguration::NO_NUMBER;
    VELDARO_RefTable table(storage.c_str());
    const int index = table.searchPlunFromDiskTable(plu);
    if (index < 0)
        return SMISProviderPoolConfiguration::NO_NUMBER;
    VELDARO_DiskExtent* built = nullptr;
    if (VELDARO_DiskExtent_Resource(storage).createInstance(built, index) != 0 || !built) {
        if (built)
            destroy(built);
        return SMISProviderPoolConfiguration::NO_NUMBER;
    }
    const bool same = sameKey(keys.deviceId, built->DeviceID, true) &&
                      sameKey(keys.systemName, built->SystemName, false) &&
                      sameClass(keys.creationClassName, built->CreationClassName) &&
                      sameClass(keys.systemCreationClassName, built->SystemCreationClassName);
    destroy(built);
    return same ? plu : SMISProviderPoolConfiguration::NO_NUMBER;
}

}  // namespace

std::uint32_t SMISProviderPoolConfiguration::pluNumbersOfPaths(const Array<String>& paths,
                                                               Array<std::uint16_t>& plus) const
{
    plus.clear();
    for (std::size_t i = 0; i < paths.size(); ++i) {
        const Extent_Keys keys{pathKey(paths[i], "DeviceID"), pathKey(paths[i], "SystemName"),
                               pathKey(paths[i], "CreationClassName"), pathKey(paths[i], "SystemCreationClassName")};
        const std::uint16_t plu = resolveExtent(_storage, keys);
        if (plu == NO_NUMBER) {
            POOL_WARNING("Parameter error(InExtents): %s is no disk of %s", paths[i].c_str(), _storage.c_str());
            plus.clear();
            return INVALID_PARAMETER;
        }
        plus.append(plu);
    }
    return SUCCESS;
}

std::uint32_t SMISProviderPoolConfiguration::pluNumbersOfElements(const Array<CIM_StorageExtent*>& elements,
                                                                  Array<std::uint16_t>& plus) const
{
    plus.clear();
    for (std::size_t i = 0; i < elements.size(); ++i) {
        const CIM_StorageExtent* e = elements[i];
        if (!e)
            continue;
        const Extent_Keys keys{e->DeviceID, e->SystemName, e->CreationClassName, e->SystemCreationClassName};
        const std::uint16_t plu = Method_Reference::servedNameSpace(e) ? resolveExtent(_storage, keys) : NO_NUMBER;
        if (plu == NO_NUMBER) {
            POOL_WARNING("Parameter error(InElements): %s is no disk of %s",
                         e->DeviceID.null ? "" : e->DeviceID.value.c_str(), _storage.c_str());
            plus.clear();
            return INVALID_PARAMETER;
        }
        POOL_INFO("pluNo = 0x%x", plu);
        plus.append(plu);
    }
    return SUCCESS;
}

std::uint32_t SMISProviderPoolConfiguration::getAllAvailableStorageExtents(const CIM_StoragePool* pool,
                                                                           Array<std::uint16_t>& plus)
{
    plus.clear();
    if (needsPrimordialPool() && (!pool || pool->Primordial.null || !pool->Primordial.value)) {
        POOL_WARNING("It is not PrimordialStoragePool");
        return INVALID_PARAMETER;
    }
    VELDARO_RefTable table(_storage.c_str());
    for (int i = 0; i < DISK_TABLE_SIZE; ++i) {
        if ((table.getDiskStatus(i) & 0xFF) == 2)
            continue;
        const std::uint16_t plu = table.getDiskPlun(i);
        if (plu == NO_NUMBER)
            continue;
        SMIS_TraceLog::peg_trace(__FILE__, __LINE__, Tracer::LEVEL4, "add plun = 0x%x", plu);
        plus.append(plu);
    }
    return SUCCESS;
}

std::uint32_t SMISProviderPoolConfiguration::availableDisksOf(const String& level, const CIM_StoragePool* pool,
                                                              Array<std::uint16_t>& plus)
{
    POOL_INFO("getAvailableExtents(%s) start", level.c_str());
    plus.clear();
    Array<std::uint16_t> all;
    const std::uint32_t rc = getAllAvailableStorageExtents(pool, all);
    if (rc != SUCCESS)
        return rc;
    if (level.size() == 0 && defaultsWithoutSetting()) {
        getAvailableStorageExtent(all, plus);
        POOL_INFO("RAID Level is not specified");
        return SUCCESS;
    }
    if (!checkSupportedRAIDLevel(level)) {
        POOL_WARNING("This RAIDLevel has not supported");
        return FAILED;
    }
    std::unique_ptr<SMISProviderDiskManager> dm(createDiskManager(all));
    if (!dm) {
        POOL_INFO("Create SMISProviderDiskManager is NULL");
        return SUCCESS;
    }
    return findAvailableExtent(level, dm.get(), plus);
}

std::uint32_t SMISProviderPoolConfiguration::getStorageExtentFromPluNo(const Array<std::uint16_t>& plus,
                                                                       Array<CIM_StorageExtent*>& extents)
{
    POOL_INFO("getStorageExtentFromPluNo start");
    if (plus.size() == 0) {
        POOL_WARNING("Parameter error");
        return INVALID_PARAMETER;
    }
    Array<CIM_StorageExtent*> made;
    auto fail = [&](std::uint32_t code) {
        for (std::size_t i = 0; i < made.size(); ++i)
            destroy(made[i]);
        return code;
    };
    try {
        VELDARO_RefTable table(_storage.c_str());
        VELDARO_DiskExtent_Resource builder(_storage);
        for (std::size_t i = 0; i < plus.size(); ++i) {
            const int index = table.searchPlunFromDiskTable(plus[i]);
            if (index < 0) {
                POOL_WARNING("The instance of StorageExtent was not able to be acquired");
                return fail(FAILED);
            }
            VELDARO_DiskExtent* extent = nullptr;
            if (builder.createInstance(extent, index) != 0 || !extent) {
                if (extent)
                    destroy(extent);
                POOL_WARNING("Acquisition of the instance of VELDARO_DiskExtent goes wrong");
                return fail(FAILED);
            }
            made.append(cast<CIM_StorageExtent*>(extent));
            POOL_INFO("Add StorageExtent(0x%x)", plus[i]);
        }
    } catch (...) {
        POOL_SEVERE("Abnormalities occur at the time of instance acquisition of PluNo to StorageExtent");
        return fail(ABNORMAL);
    }
    for (std::size_t i = 0; i < made.size(); ++i)
        extents.append(made[i]);
    POOL_INFO("%d = getStorageExtentFromPluNo end", static_cast<int>(made.size()));
    return SUCCESS;
}

// ---- the primordial pool's queries ----

std::uint32_t SMISProviderPoolConfiguration::getSupportedSizes(const CIM_StorageSetting* setting,
                                                               const CIM_StoragePool* pool,
                                                               Array<uint64>& sizes)
{
    try {
        POOL_INFO("getSupportedSizes start");
        sizes.clear();
        if (!pool) {
            POOL_WARNING("Parameter error");
            return INVALID_PARAMETER;
        }
        Array<std::uint16_t> all;
        const std::uint32_t rc = getAllAvailableStorageExtents(pool, all);
        if (rc != SUCCESS)
            return rc;
        if (all.size() == 0) {
            sizes.append(0);
            POOL_INFO("getSupportedSizes ok(supportedSize = 0)");
            return SUCCESS;
        }
        Array<String> levels;
        if (setting) {
            const String level = getRaidLevelFromStorageSetting(setting);
            if (level.size() == 0 || !checkSupportedRAIDLevel(level)) {
                POOL_WARNING("This RAIDLevel has not supported");
                return FAILED;
            }
            levels.append(level);
        } else if (defaultsWithoutSetting()) {
            getDefaultRAIDLevelList(levels);
        } else {
            POOL_WARNING("CIM_StorageSetting is not specified");
            return FAILED;
        }
        std::unique_ptr<SMISProviderDiskManager> dm(createDiskManager(all));
        if (!dm) {
            sizes.append(0);
            POOL_INFO("Create SMISProviderDiskManager is NULL");
            return SUCCESS;
        }
        for (std::size_t i = 0; i < levels.size(); ++i) {
            Array<uint64> found;
            if (getSupportedSize(levels[i], dm.get(), found) == SUCCESS && found.size() > 0) {
                sizes = found;
                POOL_INFO("Getting Supported Size is SUCCESS");
                break;
            }
        }
        if (sizes.size() == 0) {
            sizes.append(0);
            POOL_INFO("No exist supported size to Specific RAIDLevel");
        }
        POOL_INFO("getSupportedSizes end");
        return SUCCESS;
    } catch (...) {
        sizes.clear();
        POOL_SEVERE("Abnormalities occur in getSupportedSizes");
        return ABNORMAL;
    }
}

std::uint32_t SMISProviderPoolConfiguration::getAvailableExtents(const CIM_StorageSetting* setting,
                                                                 const CIM_StoragePool* pool,
                                                                 Array<CIM_StorageExtent*>& extents)
{
    try {
        if (!pool) {
            POOL_WARNING("Parameter error");
            return INVALID_PARAMETER;
        }
        const String level = setting ? getRaidLevelFromStorageSetting(setting) : String();
        if (setting && level.size() == 0) {
            POOL_WARNING(defaultsWithoutSetting() ? "RAID level is acquired from the instance of CIM_StorageSetting"
                                                  : "The RAID level is not specified");
            return FAILED;
        }
        Array<std::uint16_t> plus;
        std::uint32_t rc = availableDisksOf(level, pool, plus);
        if (rc == SUCCESS && plus.size() > 0)
            rc = getStorageExtentFromPluNo(plus, extents);
        POOL_INFO("0x%x = getAvailableExtents end", rc);
        return rc;
    } catch (...) {
        POOL_SEVERE("Abnormalities occur in getAvailableExtents");
        return ABNORMAL;
    }
}

// ---- disk choice of a creation ----

std::uint32_t SMISProviderPoolConfiguration::getApprovalAvailableExtents(const String& level,
                                                                         const CIM_StoragePool* pool,
                                                                         Array<std::uint16_t>& disks,
                                                                         std::uint64_t size)
{
    if (disks.size() > 0)
        return SUCCESS;
    const std::uint32_t rc = availableDisksOf(level, pool, disks);
    if (rc != SUCCESS) {
        POOL_WARNING("An error is made in acquisition of StorageExtent which can be used");
        return rc;
    }
    if (size > 0)
        return SUCCESS;
    std::unique_ptr<SMISProviderDiskManager> dm(createDiskManager(disks));
    if (!dm) {
        POOL_WARNING("Create SMISProviderDiskManager is NULL");
        return FAILED;
    }
    return getApprovalRAIDPattern(level, dm.get(), disks);
}

std::uint32_t SMISProviderPoolConfiguration::getApprovalRAIDPattern(const String& level, SMISProviderDiskManager* dm,
                                                                    Array<std::uint16_t>& plus)
{
    plus.clear();
    if (!dm)
        return INVALID_PARAMETER;
    const std::uint32_t rc = getApprovalPattern(level, dm, plus);
    if (rc != SUCCESS)
        return rc;
    if (plus.size() == 0) {
        POOL_WARNING("The list of PLUNo was not able to be acquired");
        return FAILED;
    }
    return SUCCESS;
}

std::uint32_t SMISProviderPoolConfiguration::setPLUInfoList(const String& level, std::uint64_t size,
                                                            std::uint16_t* diskList, std::size_t capacity)
{
    POOL_INFO("setPLUInfoList start(%s, %" PRId64 ")", level.c_str(), static_cast<std::int64_t>(size));
    if (!_diskManager) {
        POOL_WARNING("SMISProviderDiskManager is un-creating");
        return FAILED;
    }
    Array<uint64> sizes;
    if (getSupportedSize(level, _diskManager, sizes) != SUCCESS) {
        POOL_WARNING("Acquisition of supported size goes wrong");
        return FAILED;
    }
    // With several disk groups the list runs group by group, so its last
    // entry is the last group's largest, not the largest size offered: the
    // ceiling is the largest entry, the default the last one.
    const std::uint64_t last = sizes.size() == 0 ? 0 : sizes[sizes.size() - 1];
    std::uint64_t ceiling = 0;
    for (std::size_t i = 0; i < sizes.size(); ++i)
        ceiling = std::max<std::uint64_t>(ceiling, sizes[i]);
    std::uint64_t working = last;
    if (size > 0) {
        if (size > ceiling) {
            POOL_WARNING("An availability is smaller than specification size");
            return SIZE_NOT_SUPPORTED;
        }
        working = compareRLUSize(size, sizes);
    }
    Array<std::uint32_t> perGroup;
    if (getUseDiskList(_diskManager, level, working, perGroup) != SUCCESS) {
        POOL_WARNING("Acquisition of use disk count goes wrong");
        return FAILED;
    }
    Array<std::uint16_t> plus;
    if (getUseDiskListOf(level, _diskManager, perGroup, plus) != SUCCESS || plus.size() == 0 ||
        plus.size() > capacity) {
        POOL_WARNING("Acquisition of PLU Info goes wrong");
        return FAILED;
    }
    for (std::size_t i = 0; i < plus.size(); ++i)
        diskList[i] = plus[i];
    POOL_INFO("0x%x = setPLUInfoList() end", 0u);
    return SUCCESS;
}

const CIM_StorageSetting* SMISProviderPoolConfiguration::asSetting(const Instance* goal)
{
    return cast<const CIM_StorageSetting*>(goal);
}

CIM_StoragePool* SMISProviderPoolConfiguration::runCreation(const char* name, std::uint64_t size,
                                                             std::uint32_t& returnValue,
                                                             const std::function<CIM_StoragePool*()>& body)
{
    POOL_INFO("%s(size = %" PRId64 ") start", name, static_cast<std::int64_t>(size));
    CIM_StoragePool* pool = nullptr;
    try {
        returnValue = SUCCESS;
        pool = body();
    } catch (...) {
        closeDiskManager();
        POOL_SEVERE("Abnormalities occur in creation of RaidGroup");
        returnValue = ABNORMAL;
        return nullptr;
    }
    if (!pool && returnValue == SUCCESS) {
        POOL_WARNING("Creation of RAIDGroup goes wrong");
        returnValue = FAILED;
    }
    if (returnValue == Pool_Command_Result::OUTCOME_UNKNOWN)
        returnValue = FAILED;
    POOL_INFO("%d = %s end", static_cast<int>(returnValue), name);
    return pool;
}

std::uint32_t SMISProviderPoolConfiguration::disksOfElements(const Array<CIM_StorageExtent*>& elements,
                                                             Array<std::uint16_t>& disks) const
{
    if (elements.size() == 0) {
        POOL_WARNING("Parameter error");
        return INVALID_PARAMETER;
    }
    return pluNumbersOfElements(elements, disks);
}

CIM_StoragePool* SMISProviderPoolConfiguration::createFromDisks(const String& level, std::uint64_t size,
                                                                const Array<std::uint16_t>& disks,
                                                                std::uint32_t& code)
{
    POOL_INFO("CreateOrModifyElementFromElements(%s, %" PRId64 ") start", level.c_str(),
              static_cast<std::int64_t>(size));
    if (disks.size() == 0) {
        POOL_WARNING("Parameter error");
        code = INVALID_PARAMETER;
        return nullptr;
    }
    if (!openDiskManager(disks)) {
        code = FAILED;
        return nullptr;
    }
    std::uint16_t number = NO_NUMBER;
    code = makePool(level, size, number);
    closeDiskManager();
    if (code == Pool_Command_Result::OUTCOME_UNKNOWN) {
        POOL_SEVERE("The array's answer to the creation of pool 0x%x (RAID level %s) was lost: check on the array "
                    "whether it was made before trying again", number, level.c_str());
        return nullptr;
    }
    if (code != SUCCESS) {
        POOL_WARNING("Creation of RAIDGroup goes wrong");
        return nullptr;
    }
    // The command succeeded: from here on the answer is success. A pool that
    // the refreshed table does not show yet is looked up after one more
    // refresh; while the table still cannot show it (its fetch failed), the
    // answer names the pool by its key, which the number fixes.
    for (int attempt = 0; attempt < 2; ++attempt) {
        refreshTable();
        std::uint32_t found = SUCCESS;
        if (CIM_StoragePool* pool = findPool(number, found)) {
            POOL_INFO("CreateOrModifyElementFromElements end");
            code = SUCCESS;
            return pool;
        }
    }
    POOL_WARNING("Pool 0x%x was made but the table does not show it yet: answered by its key", number);
    CIM_StoragePool* keyed = keyedPool(number);
    code = keyed ? SUCCESS : FAILED;
    return keyed;
}

std::uint32_t SMISProviderPoolConfiguration::deleteNumberedPool(
    const CIM_StoragePool* pool, bool (*divide)(const char*, std::uint16_t*), const char* divideError,
    int (*search)(const VELDARO_RefTable&, std::uint16_t), const char* missing,
    const std::function<std::uint32_t(const Array<std::uint16_t>&)>& remove)
{
    try {
        std::uint16_t number = NO_NUMBER;
        if (pool->InstanceID.null || !divide(pool->InstanceID.value.c_str(), &number)) {
            POOL_WARNING("%s", divideError);
            return INVALID_PARAMETER;
        }
        {
            VELDARO_RefTable table(_storage.c_str());
            if (search(table, number) < 0) {
                POOL_WARNING("%s", missing);
                return INVALID_PARAMETER;
            }
        }
        Array<std::uint16_t> numbers;
        numbers.append(number);
        const std::uint32_t code = remove(numbers);
        POOL_INFO("0x%x = deleteStoragePool end", code);
        return code;
    } catch (...) {
        POOL_SEVERE("Abnormalities occur in deleteStoragePool");
        return ABNORMAL;
    }
}

void SMISProviderPoolConfiguration::refreshTable() const
{
    if (SMIS_PollingService* service = SMIS_PollingService::getInstance())
        service->getConfigManagementInfo(_storage.c_str(), 0);
}

void SMISProviderPoolConfiguration::fillName(std::uint8_t* field) const
{
    if (_elementName.size() == 0)
        return;
    std::memcpy(field, _elementName.c_str(), std::min<std::size_t>(_elementName.size(), 16));
}

}  // namespace cimple
