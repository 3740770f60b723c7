#include "Storage_Pool_Work.h"

#include <cctype>
#include <memory>

#include "Method_Reference.h"
#include "Pool_Log.h"
#include "SMISProviderRAIDGroupConfiguration.h"
#include "SMISProviderTPPConfiguration.h"
#include "SMIS_PollingService.h"
#include "Storage_Volume_Work.h"
#include "VELDARO_RAIDStoragePool_Resource.h"
#include "VELDARO_RefTable.h"
#include "VELDARO_ThinProvisioningPool_Resource.h"
#include "String_Ops.h"

namespace cimple {

namespace {

// Return values shared with the pool engines.
using Codes = SMISProviderPoolConfiguration;
constexpr std::uint32_t SUCCESS = Codes::SUCCESS;
constexpr std::uint32_t NOT_SUPPORTED = Codes::NOT_SUPPORTED;
constexpr std::uint32_t FAILED = Codes::FAILED;
constexpr std::uint32_t INVALID_PARAMETER = Codes::INVALID_PARAMETER;
constexpr std::uint32_t ABNORMAL = Codes::ABNORMAL;
constexpr std::uint16_t NO_NUMBER = Codes::NO_NUMBER;
constexpr std::uint8_t MODE_NOT_OPERATIVE = 0x02;

bool contains(const Property<String>& text, const char* part)
{
    return !text.null && text.value.find(part) != npos;
}

void severe(const char* file, unsigned line, const char* text)
{
    SMIS_TraceLog::peg_error_log(file, line, Logger::SEVERE, "%s", text);
}

std::uint64_t totalOf(const CIM_StoragePool* pool)
{
    return pool && !pool->TotalManagedSpace.null ? pool->TotalManagedSpace.value : 0;
}

// The request's InPools: none, or exactly the one primordial pool.
bool onlyPrimordial(const Property<Array<String>>& inPools)
{
    if (inPools.null || inPools.value.size() == 0)
        return true;
    return inPools.value.size() == 1 && inPools.value[0].find("PSP") != npos;
}

}  // namespace

const CIM_StoragePool* Storage_Pool_Work::asPool(const CIM_LogicalElement* element)
{
    return cast<const CIM_StoragePool*>(element);
}

bool Storage_Pool_Work::isThinRequest(const CIM_StoragePool* pool, const Instance* goal)
{
    if (pool && contains(pool->InstanceID, "TPP"))
        return true;
    if (!goal || !is_subclass(&CIM_StorageSetting::static_meta_class, goal->meta_class))
        return false;
    return contains(static_cast<const CIM_StorageSetting*>(goal)->InstanceID, "TPP");
}

CIM_StoragePool* Storage_Pool_Work::thinPoolInstance(const CIM_StoragePool* pool) const
{
    std::uint16_t number = NO_NUMBER;
    if (!pool || pool->InstanceID.null || !Method_Reference::servedNameSpace(pool) ||
        !VELDARO_ThinProvisioningPool_Resource::divide_InstanceID(pool->InstanceID.value.c_str(), &number))
        return nullptr;
    VELDARO_RefTable table(_storage.c_str());
    const int index = table.searchPoolNoFromTppTable(number);
    VELDARO_ThinProvisioningPool* built = nullptr;
    if (index < 0 || VELDARO_ThinProvisioningPool_Resource(_storage).createInstance(built, index) != 0 || !built) {
        if (built)
            destroy(built);
        return nullptr;
    }
    if (built->InstanceID.null || !(built->InstanceID.value == pool->InstanceID.value)) {
        destroy(built);
        return nullptr;
    }
    return cast<CIM_StoragePool*>(built);
}

void Storage_Pool_Work::thinPoolOf(const CIM_StoragePool* pool, std::uint16_t& number, std::uint64_t& size) const
{
    number = NO_NUMBER;
    size = 0;
    CIM_StoragePool* built = thinPoolInstance(pool);
    if (!built)
        return;
    VELDARO_ThinProvisioningPool_Resource::divide_InstanceID(built->InstanceID.value.c_str(), &number);
    size = totalOf(built);
    destroy(built);
}

std::uint32_t Storage_Pool_Work::thinTarget(const CIM_StoragePool* pool, const char* poolError, std::uint64_t& size,
                                            std::uint16_t& number) const
{
    number = NO_NUMBER;
    if (!pool)
        return SUCCESS;
    std::uint64_t current = 0;
    thinPoolOf(pool, number, current);
    if (number == NO_NUMBER || current == 0) {
        severe(__FILE__, __LINE__, poolError);
        return INVALID_PARAMETER;
    }
    if (size != 0) {
        if (size <= current) {
            severe(__FILE__, __LINE__, "Parameter error(Size)");
            return INVALID_PARAMETER;
        }
        size -= current;
    }
    return SUCCESS;
}

bool Storage_Pool_Work::isOwnPrimordialPool(const String& path) const
{
    // A primordial pool's InstanceID ends in "PSP_" and its array's
    // address. An entry that carries no address after "PSP_" means this
    // array's pool; one with another address names another array's.
    static const char MARK[] = "PSP_";
    const std::size_t markLength = sizeof MARK - 1;
    const char* text = path.c_str();
    for (std::size_t at = path.find(MARK); at != npos; at = find_from(path, MARK, at + 1)) {
        std::size_t end = at + markLength;
        while (end < path.size() && (std::isalnum(static_cast<unsigned char>(text[end])) || text[end] == '.' ||
                                     text[end] == ':' || text[end] == '-'))
            ++end;
        const std::size_t length = end - at - markLength;
        if (length != 0 && !(substring(path, at + markLength, length) == _storage))
            return false;
    }
    return true;
}

bool Storage_Pool_Work::isOwnSetting(const Instance* goal) const
{
    if (!goal)
        return true;
    if (!Method_Reference::servedNameSpace(goal))
        return false;
    if (!is_subclass(&CIM_StorageSetting::static_meta_class, goal->meta_class))
        return true;
    const Property<String>& id = static_cast<const CIM_StorageSetting*>(goal)->InstanceID;
    const String prefix("VELDARO:SS_");
    const String suffix = concat("_", _storage);
    return !id.null && id.value.size() > prefix.size() + suffix.size() &&
           substring(id.value, 0, prefix.size()) == prefix &&
           substring(id.value, id.value.size() - suffix.size()) == suffix;
}

std::uint32_t Storage_Pool_Work::createOrModifyStoragePool(const String& name, const CIM_StorageSetting* goal,
                                                           std::uint64_t& size, const Property<Array<String>>& inPools,
                                                           const Property<Array<String>>& inExtents,
                                                           CIM_StoragePool*& pool)
{
    if (!Storage_Volume_Work::checkElementName(name)) {
        severe(__FILE__, __LINE__, "Parameter error(ElementName-RLU Name)");
        return INVALID_PARAMETER;
    }
    if (!isOwnSetting(goal)) {
        severe(__FILE__, __LINE__, "Parameter error(Goal)");
        return INVALID_PARAMETER;
    }
    if (!onlyPrimordial(inPools)) {
        severe(__FILE__, __LINE__, "The value which is not Primordial Pool or two or more values");
        return NOT_SUPPORTED;
    }
    if (!inPools.null && inPools.value.size() == 1 && !isOwnPrimordialPool(inPools.value[0])) {
        severe(__FILE__, __LINE__, "Parameter error(InPools)");
        return INVALID_PARAMETER;
    }
    const Array<String> extents = inExtents.null ? Array<String>() : inExtents.value;
    std::uint32_t result = SUCCESS;
    CIM_StoragePool* made = nullptr;
    if (isThinRequest(pool, goal)) {
        const auto engine = SMISProviderTPPConfigurationFactory::engineFor(_storage);
        if (!engine)
            return FAILED;
        std::uint16_t number = NO_NUMBER;
        result = thinTarget(pool, "Parameter error(ElementName-RLU Name)", size, number);
        if (result != SUCCESS)
            return result;
        try {
            engine->setElementName(name);
            engine->setPoolNumber(number);
            made = engine->createOrModifyStoragePool(goal, size, extents, result);
        } catch (...) {
            severe(__FILE__, __LINE__, "Abnormalities occur in SMISProviderTPPConfiguration.createOrModifyStoragePool");
            return ABNORMAL;
        }
    } else {
        if (pool) {
            if (contains(pool->InstanceID, "RSP")) {
                severe(__FILE__, __LINE__, "The value which is not Primordial Pool or two or more values");
                return NOT_SUPPORTED;
            }
            severe(__FILE__, __LINE__, "Parameter error(ElementName-RLU Name)");
            return INVALID_PARAMETER;
        }
        const auto engine = SMISProviderRAIDGroupConfigurationFactory::engineFor(_storage);
        if (!engine)
            return FAILED;
        try {
            engine->setElementName(name);
            made = engine->createOrModifyStoragePool(goal, size, extents, result);
        } catch (...) {
            severe(__FILE__, __LINE__,
                   "Abnormalities occur in SMISProviderRAIDGroupConfiguration.createOrModifyStoragePool");
            return ABNORMAL;
        }
    }
    if (result != SUCCESS || !made) {
        if (made)
            destroy(made);
        severe(__FILE__, __LINE__, "Creation of StoragePool goes wrong");
        return result != SUCCESS ? result : FAILED;
    }
    // A pool answered by its key alone (the table does not show it yet)
    // has no capacity to tell: Size stays the requested one.
    if (const std::uint64_t total = totalOf(made))
        size = total;
    if (pool)
        destroy(pool);
    pool = made;
    return SUCCESS;
}

CIM_StoragePool* Storage_Pool_Work::raidPoolInstance(const CIM_StoragePool* pool, std::uint32_t& result) const
{
    const char* missing = "Acquisition of the instance of VELDARO_RAIDStoragePool goes wrong";
    std::uint16_t rlun = NO_NUMBER;
    result = INVALID_PARAMETER;
    if (pool->InstanceID.null || !Method_Reference::servedNameSpace(pool) ||
        !VELDARO_RAIDStoragePool_Resource::divide_InstanceID(pool->InstanceID.value.c_str(), &rlun)) {
        severe(__FILE__, __LINE__, missing);
        return nullptr;
    }
    VELDARO_RefTable table(_storage.c_str());
    const int r = table.searchRlunFromRluTable(rlun);
    if (r < 0) {
        severe(__FILE__, __LINE__, missing);
        return nullptr;
    }
    if (table.getRluMode(r) & MODE_NOT_OPERATIVE) {
        severe(__FILE__, __LINE__, "The RAID group is not operative");
        result = GROUP_NOT_OPERATIVE;
        return nullptr;
    }
    if (table.getRluPoolNumber(r) != NO_NUMBER) {
        severe(__FILE__, __LINE__, "The RAID group is for thin provisioning pool");
        result = GROUP_OF_THIN_POOL;
        return nullptr;
    }
    VELDARO_RAIDStoragePool* built = nullptr;
    if (VELDARO_RAIDStoragePool_Resource(_storage).createInstance(built, r) != 0 || !built ||
        built->InstanceID.null || !(built->InstanceID.value == pool->InstanceID.value)) {
        if (built)
            destroy(built);
        severe(__FILE__, __LINE__, missing);
        return nullptr;
    }
    result = SUCCESS;
    return cast<CIM_StoragePool*>(built);
}

std::uint32_t Storage_Pool_Work::deleteStoragePool(const CIM_StoragePool* pool)
{
    if (!pool) {
        severe(__FILE__, __LINE__, "Parameter error(StoragePool)");
        return INVALID_PARAMETER;
    }
    std::uint32_t result = SUCCESS;
    if (contains(pool->InstanceID, "TPP")) {
        std::unique_ptr<CIM_StoragePool, void (*)(CIM_StoragePool*)> instance(
            thinPoolInstance(pool), [](CIM_StoragePool* p) { destroy(p); });
        if (!instance) {
            severe(__FILE__, __LINE__, "Acquisition of the instance of VELDARO_ThinProvisioningPool goes wrong");
            return INVALID_PARAMETER;
        }
        const auto engine = SMISProviderTPPConfigurationFactory::engineFor(_storage);
        if (!engine)
            return FAILED;
        try {
            result = engine->deleteStoragePool(instance.get());
        } catch (...) {
            return ABNORMAL;
        }
    } else {
        std::unique_ptr<CIM_StoragePool, void (*)(CIM_StoragePool*)> instance(
            raidPoolInstance(pool, result), [](CIM_StoragePool* p) { destroy(p); });
        if (!instance)
            return result;
        const auto engine = SMISProviderRAIDGroupConfigurationFactory::engineFor(_storage);
        if (!engine)
            return FAILED;
        try {
            result = engine->deleteStoragePool(instance.get());
        } catch (...) {
            severe(__FILE__, __LINE__, "Abnormalities occur in SMISProviderRAIDGroupConfiguration.deleteStoragePool");
            return ABNORMAL;
        }
    }
    if (result != SUCCESS) {
        severe(__FILE__, __LINE__, "Deletion of StoragePool goes wrong");
        return result;
    }
    SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::INFORMATION, "DeleteStoragePool End");
    if (SMIS_PollingService* service = SMIS_PollingService::getInstance()) {
        const int refreshed = service->getConfigManagementInfo(_storage.c_str(), 0);
        // A thin pool's capacity records go with it.
        if (contains(pool->InstanceID, "TPP") && (refreshed == 0 || refreshed == 1))
            service->UpdateAllocatedInfo(_storage.c_str());
    }
    return SUCCESS;
}

std::uint32_t Storage_Pool_Work::createOrModifyElementFromElements(const String& name,
                                                                   const CIM_ManagedElement* goal,
                                                                   std::uint64_t& size,
                                                                   const Array<CIM_StorageExtent*>& inElements,
                                                                   CIM_LogicalElement*& element)
{
    if (!Storage_Volume_Work::checkElementName(name)) {
        severe(__FILE__, __LINE__, "Parameter error(ElementName-RLU Name)");
        return INVALID_PARAMETER;
    }
    if (!isOwnSetting(goal)) {
        severe(__FILE__, __LINE__, "Parameter error(Goal)");
        return INVALID_PARAMETER;
    }
    const CIM_StoragePool* given = asPool(element);
    std::uint32_t result = SUCCESS;
    CIM_StoragePool* made = nullptr;
    if (isThinRequest(given, goal)) {
        const auto engine = SMISProviderTPPConfigurationFactory::engineFor(_storage);
        if (!engine)
            return FAILED;
        std::uint16_t number = NO_NUMBER;
        if (element && !given) {
            severe(__FILE__, __LINE__, "Parameter error(PoolNumber)");
            return INVALID_PARAMETER;
        }
        result = thinTarget(given, "Parameter error(PoolNumber)", size, number);
        if (result != SUCCESS)
            return result;
        try {
            engine->setElementName(name);
            engine->setPoolNumber(number);
            made = engine->CreateOrModifyElementFromElements(goal, size, inElements, result);
        } catch (...) {
            severe(__FILE__, __LINE__,
                   "Abnormalities occur in SMISProviderTPPConfiguration.CreateOrModifyElementFromElements");
            return ABNORMAL;
        }
    } else {
        SMIS_TraceLog::peg_trace(__FILE__, __LINE__, Tracer::LEVEL4, "%s start", "createOrModifyElementFromElements");
        const auto engine = SMISProviderRAIDGroupConfigurationFactory::engineFor(_storage);
        if (!engine)
            return FAILED;
        try {
            engine->setElementName(name);
            made = engine->CreateOrModifyElementFromElements(goal, size, inElements, result);
        } catch (...) {
            severe(__FILE__, __LINE__,
                   "Abnormalities occur in SMISProviderRAIDGroupConfiguration.CreateOrModifyElementFromElements");
            return ABNORMAL;
        }
        SMIS_TraceLog::peg_trace(__FILE__, __LINE__, Tracer::LEVEL4, "%s end", "createOrModifyElementFromElements");
    }
    if (result != SUCCESS) {
        if (made)
            destroy(made);
        return result;
    }
    if (made) {
        if (element)
            destroy(element);
        element = cast<CIM_LogicalElement*>(made);
        if (const std::uint64_t total = totalOf(made))
            size = total;
    }
    return SUCCESS;
}

}  // namespace cimple
