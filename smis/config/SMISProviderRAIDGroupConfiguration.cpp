#include "SMISProviderRAIDGroupConfiguration.h"

#include <cinttypes>
#include <cstring>
#include <memory>
#include <new>

#include "Pool_Command_Result.h"
#include "Pool_Log.h"
#include "TAVO_SMISProviderRAIDGroupConfiguration.h"
#include "VELDARO_RAIDStoragePool_Resource.h"
#include "VELDARO_RefTable.h"
#include "String_Ops.h"

namespace cimple {

namespace {

bool endsRequest(std::uint32_t code)
{
    return code == SMISProviderPoolConfiguration::SIZE_NOT_SUPPORTED ||
           code == SMISProviderPoolConfiguration::ARRAY_BUSY || code == SMISProviderPoolConfiguration::NO_ROOM ||
           code == Pool_Command_Result::OUTCOME_UNKNOWN;
}

}  // namespace

String SMISProviderRAIDGroupConfiguration::getRaidLevelFromStorageSetting(const CIM_StorageSetting* setting) const
{
    if (!setting || setting->InstanceID.null) {
        POOL_WARNING("Parameter error");
        return String();
    }
    const String id = substring(setting->InstanceID.value, 0, 48);
    const std::size_t ss = id.find("SS");
    if (ss == npos) {
        POOL_WARNING("RAID Level does not exist in InstanceID");
        return String();
    }
    String text = substring(id, ss + 3);
    const std::size_t last = find_last(text, '_');
    if (last == npos) {
        POOL_WARNING("IPAddress does not exist in InstanceID");
        return String();
    }
    text = substring(text, 0, last);
    if (text.size() <= 4) {
        POOL_WARNING("RAID Level does not exist in ElementName");
        return String();
    }
    return substring(text, 4);
}

std::uint32_t SMISProviderRAIDGroupConfiguration::checkDeleteStoragePool(const Array<std::uint16_t>&)
{
    return SUCCESS;
}

bool SMISProviderRAIDGroupConfiguration::useDiskCount(Level level, std::uint64_t q, std::uint32_t& count)
{
    std::uint64_t n = 0;
    switch (level) {
    case LEVEL_1P0: n = 2 * q; break;
    case LEVEL_5: n = q + 1; break;
    case LEVEL_5P0: n = q + q % 2 + 2; break;
    default: return false;
    }
    const String text = level == LEVEL_1P0 ? "1+0" : level == LEVEL_5 ? "5" : "5+0";
    const int min = getMinSetDisk(text), max = getMaxSetDisk(text);
    count = 0;
    if (max >= 0 && n <= static_cast<std::uint64_t>(max))
        count = static_cast<std::uint32_t>(n < static_cast<std::uint64_t>(min) ? min : n);
    return true;
}

SMISProviderRAIDGroupManager* SMISProviderRAIDGroupConfiguration::createRAIDGroupManager() const
{
    std::unique_ptr<SMISProviderRAIDGroupManager> manager(new (std::nothrow) SMISProviderRAIDGroupManager(_storage));
    if (!manager || manager->setRLUInfo() != 0) {
        POOL_WARNING("Creation of SMISProviderRAIDGroupManager goes wrong");
        return nullptr;
    }
    return manager.release();
}

Array<String> SMISProviderRAIDGroupConfiguration::levelsOf(const CIM_StorageSetting* goal)
{
    Array<String> levels;
    if (!goal) {
        getDefaultRAIDLevelList(levels);
        return levels;
    }
    // A setting naming no RAID level the engine builds (JBOD) is not a
    // request for the defaults.
    const String level = getRaidLevelFromStorageSetting(goal);
    if (level.size() != 0)
        levels.append(level);
    return levels;
}

CIM_StoragePool* SMISProviderRAIDGroupConfiguration::createOrModifyStoragePool(const CIM_StorageSetting* goal,
                                                                               std::uint64_t& size,
                                                                               const Array<String>& inExtents,
                                                                               std::uint32_t& returnValue)
{
    return runCreation("createOrModifyStoragePool", size, returnValue, [&]() -> CIM_StoragePool* {
        Array<std::uint16_t> requested;
        returnValue = pluNumbersOfPaths(inExtents, requested);
        if (returnValue != SUCCESS)
            return nullptr;
        const Array<String> levels = levelsOf(goal);
        if (levels.size() == 0) {
            POOL_WARNING("The Goal names no RAID level that can be built");
            returnValue = NOT_SUPPORTED;
            return nullptr;
        }
        std::unique_ptr<VELDARO_PrimordialStoragePool, void (*)(VELDARO_PrimordialStoragePool*)> primordial(
            nullptr, [](VELDARO_PrimordialStoragePool* p) { destroy(p); });
        {
            std::unique_ptr<SMISProviderRAIDGroupManager> manager(createRAIDGroupManager());
            if (!manager) {
                returnValue = FAILED;
                return nullptr;
            }
            primordial.reset(manager->getPrimordialStoragePool());
        }
        if (!primordial) {
            POOL_WARNING("Acquisition of the instance of PrimordialPool goes wrong");
            returnValue = FAILED;
            return nullptr;
        }
        for (std::size_t i = 0; i < levels.size(); ++i) {
            // Every level starts from the disks the request named: a pick
            // made for a level that failed does not limit the next.
            Array<std::uint16_t> disks = requested;
            if (getApprovalAvailableExtents(levels[i], cast<const CIM_StoragePool*>(primordial.get()), disks, size) != SUCCESS)
                continue;
            std::uint32_t code = SUCCESS;
            if (CIM_StoragePool* pool = createFromDisks(levels[i], size, disks, code))
                return pool;
            if (endsRequest(code)) {
                returnValue = code;
                return nullptr;
            }
        }
        return nullptr;
    });
}

CIM_StoragePool* SMISProviderRAIDGroupConfiguration::CreateOrModifyElementFromElements(
    const Instance* goal, std::uint64_t& size, const Array<CIM_StorageExtent*>& inElements,
    std::uint32_t& returnValue)
{
    return runCreation("CreateOrModifyElementFromElements", size, returnValue, [&]() -> CIM_StoragePool* {
        Array<std::uint16_t> disks;
        returnValue = disksOfElements(inElements, disks);
        if (returnValue != SUCCESS)
            return nullptr;
        const bool named = getRaidLevelFromStorageSetting(asSetting(goal)).size() > 0;
        const Array<String> levels = levelsOf(asSetting(goal));
        if (levels.size() == 0) {
            POOL_WARNING("The Goal names no RAID level that can be built");
            returnValue = NOT_SUPPORTED;
            return nullptr;
        }
        for (std::size_t i = 0; i < levels.size(); ++i) {
            CIM_StoragePool* pool = createFromDisks(levels[i], size, disks, returnValue);
            if (pool || returnValue == SUCCESS || endsRequest(returnValue) || named)
                return pool;
        }
        return nullptr;
    });
}

std::uint32_t SMISProviderRAIDGroupConfiguration::makePool(const String& level, std::uint64_t size,
                                                           std::uint16_t& number)
{
    return createRAIDGroup(level, size, number);
}

CIM_StoragePool* SMISProviderRAIDGroupConfiguration::keyedPool(std::uint16_t number) const
{
    return cast<CIM_StoragePool*>(VELDARO_RAIDStoragePool_Resource(_storage).keyInstance(number));
}

CIM_StoragePool* SMISProviderRAIDGroupConfiguration::findPool(std::uint16_t number, std::uint32_t& code)
{
    std::unique_ptr<SMISProviderRAIDGroupManager> manager(createRAIDGroupManager());
    code = manager ? SUCCESS : FAILED;
    if (!manager)
        return nullptr;
    return cast<CIM_StoragePool*>(manager->getRAIDStoragePool(number));
}

std::uint32_t SMISProviderRAIDGroupConfiguration::createRAIDGroup(const String& level, std::uint64_t size,
                                                                  std::uint16_t& rlun)
{
    CMM_REG_RLU_INFO info;
    std::memset(&info, 0, sizeof info);
    for (std::size_t i = 0; i < CMM_REG_RLU_INFO::MAX_DISKS; ++i)
        info.diskList[i] = CMM_REG_RLU_INFO::DISK_END;
    rlun = NO_NUMBER;
    std::uint32_t code = setCreateRluInfo(level, size, info);
    if (code == SUCCESS) {
        code = addRLU(&info, 1);
        if (code == SUCCESS)
            rlun = info.rluNumber;
    }
    POOL_INFO("0x%x = createRAIDGroup(RLU = 0x%x) end", code, rlun);
    return code;
}

std::uint32_t SMISProviderRAIDGroupConfiguration::setCreateRluInfo(const String& level, std::uint64_t size,
                                                                   CMM_REG_RLU_INFO& info)
{
    POOL_INFO("setCreateRluInfo(%s, %" PRId64 ") start", level.c_str(), static_cast<std::int64_t>(size));
    if (!checkSupportedRAIDLevel(level)) {
        POOL_WARNING("This RAIDLevel has not supported");
        return NOT_SUPPORTED;
    }
    std::uint16_t rlun = NO_NUMBER;
    {
        std::unique_ptr<SMISProviderRAIDGroupManager> manager(createRAIDGroupManager());
        if (!manager)
            return FAILED;
        rlun = manager->getFreeRLUNumber(getMaxRLUCount());
    }
    if (rlun == NO_NUMBER) {
        POOL_WARNING("Acquisition of RLU Number goes wrong");
        return FAILED;
    }
    const std::uint32_t code = setPLUInfoList(level, size, info.diskList, CMM_REG_RLU_INFO::MAX_DISKS);
    if (code != SUCCESS) {
        POOL_WARNING("Acquisition of RLU Number goes wrong");
        return code;
    }
    info.rluNumber = rlun;
    info.raidLevel = static_cast<std::uint8_t>(getCLIRaidLevel(level));
    fillName(info.name);
    POOL_INFO("setCreateRluInfo(RLUN=0x%x) end", rlun);
    return SUCCESS;
}

std::uint32_t SMISProviderRAIDGroupConfiguration::deleteStoragePool(const CIM_StoragePool* pool)
{
    POOL_INFO("deleteStoragePool start");
    if (!pool) {
        POOL_WARNING("Parameter error");
        return INVALID_PARAMETER;
    }
    if (!pool->Primordial.null && pool->Primordial.value) {
        POOL_WARNING("It is PrimordialStoragePool");
        return INVALID_PARAMETER;
    }
    return deleteNumberedPool(
        pool, &VELDARO_RAIDStoragePool_Resource::divide_InstanceID, "Acquisition of RLU Number goes wrong",
        [](const VELDARO_RefTable& table, std::uint16_t n) { return table.searchRlunFromRluTable(n); },
        "Data does not exist in RLU information",
        [this](const Array<std::uint16_t>& numbers) { return deleteRLU(numbers); });
}

SMISProviderRAIDGroupConfiguration* SMISProviderRAIDGroupConfigurationFactory::createSMISProviderRAIDGroupConfiguration()
    const
{
    return new (std::nothrow) TAVO_SMISProviderRAIDGroupConfiguration(_storage);
}

std::unique_ptr<SMISProviderRAIDGroupConfiguration> SMISProviderRAIDGroupConfigurationFactory::engineFor(
    const String& storage)
{
    std::unique_ptr<SMISProviderRAIDGroupConfiguration> engine(
        SMISProviderRAIDGroupConfigurationFactory(storage).createSMISProviderRAIDGroupConfiguration());
    if (!engine)
        POOL_SEVERE("SMISProviderRAIDGroupConfiguration was not able to be created");
    return engine;
}

}  // namespace cimple
