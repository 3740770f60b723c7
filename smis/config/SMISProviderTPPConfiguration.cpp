#include "SMISProviderTPPConfiguration.h"
#include "SMIS_PollingService.h"

#include <cinttypes>
#include <cstring>
#include <new>

#include "Pool_Disk_Rules.h"
#include "Pool_Log.h"
#include "SMIS_PollingService.h"
#include "TAVO_SMISProviderTPPConfiguration.h"
#include "VELDARO_RefTable.h"
#include "VELDARO_ThinProvisioningPool_Resource.h"
#include "String_Ops.h"

namespace cimple {

String SMISProviderTPPConfiguration::getRaidLevelFromStorageSetting(const CIM_StorageSetting* setting) const
{
    if (!setting || setting->InstanceID.null) {
        POOL_WARNING("Parameter error");
        return String();
    }
    const String& id = setting->InstanceID.value;
    const std::size_t ss = id.find("SS");
    if (ss == npos) {
        POOL_WARNING("RAID Level does not exist in InstanceID");
        return String();
    }
    const String text = substring(id, ss + 3);
    if (text.size() <= 4) {
        POOL_WARNING("RAID Level does not exist in ElementName");
        return String();
    }
    const std::size_t end = text.find('_', 4);
    return end == npos ? String() : substring(text, 4, end - 4);
}

std::uint8_t SMISProviderTPPConfiguration::attributeOfDiskKind(std::uint8_t kind)
{
    if (kind & 0x80)
        return 129;
    switch (kind & 0x0F) {
    case 2: return 2;
    case 3: return 3;
    default: return 1;
    }
}

String SMISProviderTPPConfiguration::levelOfArrayCode(std::uint8_t code)
{
    switch (code) {
    case Pool_Disk_Rules::CODE_RAID5: return "5";
    case Pool_Disk_Rules::CODE_RAID6: return "6";
    case Pool_Disk_Rules::CODE_RAID1: return "1";
    case Pool_Disk_Rules::CODE_RAID0: return "0";
    case Pool_Disk_Rules::CODE_RAID10: return "1+0";
    default: return String();
    }
}

Array<std::uint16_t> SMISProviderTPPConfiguration::memberCountsOr(std::initializer_list<std::uint16_t> list) const
{
    Array<std::uint16_t> out;
    if (_memberDiskCount != 0)
        out.append(_memberDiskCount);
    else
        for (std::uint16_t c : list)
            out.append(c);
    return out;
}

std::uint32_t SMISProviderTPPConfiguration::getApprovalPatternLevel0(SMISProviderDiskManager* dm,
                                                                    Array<std::uint16_t>& plus)
{
    if (_memberDiskCount == 0)
        return NOT_SUPPORTED;
    Array<std::uint32_t> perGroup;
    for (int g = 0; dm && g < dm->GetDiskMngListCount(); ++g)
        perGroup.append(_memberDiskCount);
    return getUseDiskListLevel0(dm, perGroup, plus);
}

void SMISProviderTPPConfiguration::getTPPInformation(String& level)
{
    VELDARO_RefTable table(_storage.c_str());
    const int index = table.searchPoolNoFromTppTable(_poolNumber);
    if (index < 0) {
        level = String();
        _memberDiskCount = 0;
        return;
    }
    level = levelOfArrayCode(table.getTppRaidLevel(index));
    _memberDiskCount = table.getTppMemDiskCnt(index);
}

std::uint32_t SMISProviderTPPConfiguration::levelOfRequest(const CIM_StorageSetting* goal,
                                                           const Array<std::uint16_t>& disks, String& level,
                                                           std::uint32_t noLevel)
{
    if (_poolNumber != NO_NUMBER) {
        getTPPInformation(level);
        if (_memberDiskCount == 0 || (disks.size() > 0 && disks.size() < _memberDiskCount)) {
            POOL_WARNING("It is an error to the number of InExtents");
            return INVALID_PARAMETER;
        }
    } else {
        level = getRaidLevelFromStorageSetting(goal);
    }
    if (level.size() == 0) {
        POOL_WARNING("RAID Level is unacquirable");
        return noLevel;
    }
    return SUCCESS;
}

CIM_StoragePool* SMISProviderTPPConfiguration::createOrModifyStoragePool(const CIM_StorageSetting* goal,
                                                                         std::uint64_t& size,
                                                                         const Array<String>& inExtents,
                                                                         std::uint32_t& returnValue)
{
    return runCreation("createOrModifyStoragePool", size, returnValue, [&]() -> CIM_StoragePool* {
        Array<std::uint16_t> disks;
        String level;
        returnValue = pluNumbersOfPaths(inExtents, disks);
        if (returnValue == SUCCESS)
            returnValue = levelOfRequest(goal, disks, level, FAILED);
        if (returnValue != SUCCESS || getApprovalAvailableExtents(level, nullptr, disks, size) != SUCCESS)
            return nullptr;
        return createFromDisks(level, size, disks, returnValue);
    });
}

CIM_StoragePool* SMISProviderTPPConfiguration::CreateOrModifyElementFromElements(
    const Instance* goal, std::uint64_t& size, const Array<CIM_StorageExtent*>& inElements,
    std::uint32_t& returnValue)
{
    return runCreation("CreateOrModifyElementFromElements", size, returnValue, [&]() -> CIM_StoragePool* {
        Array<std::uint16_t> disks;
        String level;
        returnValue = disksOfElements(inElements, disks);
        if (returnValue == SUCCESS)
            returnValue = levelOfRequest(asSetting(goal), disks, level, ABNORMAL);
        if (returnValue != SUCCESS)
            return nullptr;
        return createFromDisks(level, size, disks, returnValue);
    });
}

std::uint32_t SMISProviderTPPConfiguration::makePool(const String& level, std::uint64_t size, std::uint16_t& number)
{
    SMIS_REG_TPP_INFO info;
    std::memset(&info, 0, sizeof info);
    for (std::size_t i = 0; i < SMIS_REG_TPP_INFO::MAX_DISKS; ++i)
        info.diskList[i] = SMIS_REG_TPP_INFO::DISK_END;
    info.poolNumber = NO_NUMBER;
    std::uint32_t code = SUCCESS;
    if (_poolNumber != NO_NUMBER) {
        code = setExpandTPPInfo(level, size, info);
        if (code == SUCCESS)
            code = expandTPP(&info);
        number = _poolNumber;
    } else {
        code = setCreateTPPInfo(level, size, info);
        if (code == SUCCESS)
            code = createTPP(&info);
        number = info.poolNumber;
    }
    return code;
}

void SMISProviderTPPConfiguration::refreshTable() const
{
    SMIS_PollingService* service = SMIS_PollingService::getInstance();
    if (!service)
        return;
    const int refreshed = service->getConfigManagementInfo(_storage.c_str(), 0);
    if (refreshed == 0 || refreshed == 1)
        service->UpdateAllocatedInfo(_storage.c_str());
}

CIM_StoragePool* SMISProviderTPPConfiguration::keyedPool(std::uint16_t number) const
{
    return cast<CIM_StoragePool*>(VELDARO_ThinProvisioningPool_Resource(_storage).keyInstance(number));
}

CIM_StoragePool* SMISProviderTPPConfiguration::findPool(std::uint16_t number, std::uint32_t& code)
{
    code = SUCCESS;
    VELDARO_RefTable table(_storage.c_str());
    const int index = table.searchPoolNoFromTppTable(number);
    VELDARO_ThinProvisioningPool* made = nullptr;
    if (index >= 0 && VELDARO_ThinProvisioningPool_Resource(_storage).createInstance(made, index) == 0 && made)
        return cast<CIM_StoragePool*>(made);
    if (made)
        destroy(made);
    return nullptr;
}

std::uint32_t SMISProviderTPPConfiguration::setCreateTPPInfo(const String& level, std::uint64_t size,
                                                             SMIS_REG_TPP_INFO& info)
{
    POOL_INFO("setCreateTPPInfo(%s, %" PRId64 ") start", level.c_str(), static_cast<std::int64_t>(size));
    if (!checkSupportedRAIDLevel(level)) {
        POOL_WARNING("This RAIDLevel has not supported");
        return NOT_SUPPORTED;
    }
    const std::uint32_t code = setPLUInfoList(level, size, info.diskList, SMIS_REG_TPP_INFO::MAX_DISKS);
    if (code != SUCCESS) {
        POOL_WARNING("Acquisition of PLU Info goes wrong");
        return code;
    }
    info.raidLevel = static_cast<std::uint8_t>(getCLIRaidLevel(level));
    VELDARO_RefTable table(_storage.c_str());
    const int first = table.searchPlunFromDiskTable(info.diskList[0]);
    info.attribute = first < 0 ? 1 : attributeOfDiskKind(table.getDiskKind(first));
    fillName(info.name);
    POOL_INFO("setCreateTPPInfo end");
    return SUCCESS;
}

std::uint32_t SMISProviderTPPConfiguration::setExpandTPPInfo(const String& level, std::uint64_t size,
                                                             SMIS_REG_TPP_INFO& info)
{
    POOL_INFO("setExpandTPPInfo(%s, %" PRId64 ") start", level.c_str(), static_cast<std::int64_t>(size));
    const std::uint32_t code = setPLUInfoList(level, size, info.diskList, SMIS_REG_TPP_INFO::MAX_DISKS);
    if (code != SUCCESS) {
        POOL_WARNING("Acquisition of PLU Info goes wrong");
        return code;
    }
    info.raidLevel = static_cast<std::uint8_t>(getCLIRaidLevel(level));
    info.poolNumber = _poolNumber;
    POOL_INFO("setExpandTPPInfo(poolNumber=0x%x) end", _poolNumber);
    return SUCCESS;
}

std::uint32_t SMISProviderTPPConfiguration::deleteStoragePool(const CIM_StoragePool* pool)
{
    POOL_INFO("deleteStoragePool start");
    if (!pool) {
        POOL_WARNING("Parameter error");
        return INVALID_PARAMETER;
    }
    return deleteNumberedPool(
        pool, &VELDARO_ThinProvisioningPool_Resource::divide_InstanceID, "Acquisition of Pool Number goes wrong",
        [](const VELDARO_RefTable& table, std::uint16_t n) { return table.searchPoolNoFromTppTable(n); },
        "Data does not exist in TPP information",
        [this](const Array<std::uint16_t>& numbers) { return deleteTPP(numbers); });
}

SMISProviderTPPConfiguration* SMISProviderTPPConfigurationFactory::createSMISProviderTPPConfiguration() const
{
    return new (std::nothrow) TAVO_SMISProviderTPPConfiguration(_storage);
}

std::unique_ptr<SMISProviderTPPConfiguration> SMISProviderTPPConfigurationFactory::engineFor(const String& storage)
{
    std::unique_ptr<SMISProviderTPPConfiguration> engine(
        SMISProviderTPPConfigurationFactory(storage).createSMISProviderTPPConfiguration());
    if (!engine)
        POOL_SEVERE("An error is made in generation of SMISProviderTPPConfiguration");
    return engine;
}

}  // namespace cimple
