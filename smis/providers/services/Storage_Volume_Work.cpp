// Volume creation, expansion and deletion on an array's command line, with
// the checks made against the cached table and the volume engines before.

#include "Storage_Volume_Work.h"

#include <cstring>
#include <memory>

#include "Instance_Provider_Frame.h"
#include "Method_Reference.h"
#include "SMISProviderLVConfiguration.h"
#include "SMISProviderTPVConfiguration.h"
#include "SMIS_CLI.h"
#include "SMIS_PollingService.h"
#include "SMIS_TraceLog.h"
#include "VELDARO_FreeExtent_Resource.h"
#include "VELDARO_RAIDStoragePool_Provider.h"
#include "VELDARO_RAIDStoragePool_Resource.h"
#include "VELDARO_RefTable.h"
#include "VELDARO_StorageVolume_Provider.h"
#include "VELDARO_StorageVolume_Resource.h"
#include "VELDARO_ThinProvisioningFreeExtent_Resource.h"
#include "VELDARO_ThinProvisioningPool_Resource.h"

namespace cimple {

namespace {

constexpr std::uint64_t MIB = 0x100000;
constexpr std::uint64_t MAX64 = ~0ULL;
constexpr unsigned GROUP_SLOTS = 256;
constexpr std::uint16_t NONE16 = 0xFFFF;

void severe(const char* file, unsigned line, const char* text)
{
    SMIS_TraceLog::peg_error_log(file, line, Logger::SEVERE, "%s", text);
}

void information(const char* file, unsigned line, const char* text)
{
    SMIS_TraceLog::peg_log(file, line, Logger::INFORMATION, "%s", text);
}

void traceStep(const char* file, unsigned line, const char* operation, const char* step)
{
    SMIS_TraceLog::peg_trace(file, line, Tracer::LEVEL3, "Storage_Volume_Work::%s %s", operation, step);
}

// A size below the minimum becomes the minimum; any other is rounded up to
// whole units (a size whose rounding would pass the 64-bit range stays as
// it is: the engine rounds it up itself and refuses it as too large).
std::uint64_t adjustSize(std::uint64_t size, std::uint64_t minimumMiB, std::uint64_t unitMiB)
{
    const std::uint64_t minimum = minimumMiB * MIB;
    if (size < minimum)
        return minimum;
    const std::uint64_t unit = unitMiB == 0 ? MIB : unitMiB * MIB;
    const std::uint64_t rest = size % unit;
    if (rest == 0 || size > MAX64 - (unit - rest))
        return size;
    return size + (unit - rest);
}

const CIM_LogicalDevice* asDevice(const CIM_LogicalElement* element)
{
    if (!element || !element->meta_class || !is_subclass(&CIM_LogicalDevice::static_meta_class, element->meta_class))
        return nullptr;
    return static_cast<const CIM_LogicalDevice*>(static_cast<const Instance*>(element));
}

bool keyOf(const Property<String>& key, String& text)
{
    if (key.null)
        return false;
    text = key.value;
    return true;
}

}  // namespace

template <class Built, class Builder>
bool Storage_Volume_Work::namesBuilt(const Instance* reference, int index) const
{
    Built* built = nullptr;
    const bool made = Builder(_storage).createInstance(built, index) == 0 && built;
    const bool same = made && Method_Reference::names(reference, built);
    if (built)
        destroy(built);
    return same;
}

bool Storage_Volume_Work::onThisArray(const Instance* reference) const
{
    if (!Method_Reference::servedNameSpace(reference) || !reference->meta_class)
        return false;
    const Meta_Property* p = find_property(reference->meta_class, "SystemName");
    if (!p || p->type != STRING || p->subscript != 0)
        return false;
    const auto* name =
        reinterpret_cast<const Property<String>*>(reinterpret_cast<const char*>(reference) + p->offset);
    return !name->null && name->value == _storage;
}

bool Storage_Volume_Work::namesFreeExtent(const CIM_StorageExtent* extent, bool thin) const
{
    if (!extent || extent->DeviceID.null || !onThisArray(extent))
        return false;
    std::uint16_t number = 0;
    int ordinal = 0;
    const char* key = extent->DeviceID.value.c_str();
    return thin ? VELDARO_ThinProvisioningFreeExtent_Resource::divide_DeviceID(key, &number, &ordinal)
                : VELDARO_FreeExtent_Resource::divide_DeviceID(key, &number, &ordinal);
}

bool Storage_Volume_Work::checkElementName(const String& name)
{
    return name.size() == 0 || (name.size() <= 16 && SMIS_CLICommon::isSafeToken(name.c_str()));
}

std::uint32_t Storage_Volume_Work::translateCreate(unsigned char result)
{
    switch (result) {
    case 0: return SUCCESS;
    case 'A': return 5;
    case 'B': return 0x8013;
    case 'D': return 0x8011;
    case 'E': return 4;
    case 'F': return 0x8014;
    case 'G': return SIZE_NOT_SUPPORTED;
    case 'H': return GROUP_FULL;
    case 'Z': return 0x801C;
    case '[': return 0x8028;
    default: return FAILED;
    }
}

std::uint32_t Storage_Volume_Work::translateExpand(unsigned char result)
{
    switch (result) {
    case 0: return SUCCESS;
    case 'A': return 5;
    case 'B': return 0x8013;
    case 'D': return 0x8011;
    case 'E': return 0x8012;
    case '[': return 0x8028;
    default: return FAILED;
    }
}

std::uint32_t Storage_Volume_Work::translateDelete(unsigned char result)
{
    switch (result) {
    case 0: return SUCCESS;
    case 'A': return 5;
    case 'B': return 0x8013;
    case 'D': return 0x8011;
    case 'E': return 0x8012;
    default: return FAILED;
    }
}

std::uint32_t Storage_Volume_Work::createFailure(unsigned char result, std::uint16_t olun)
{
    if (result == SMIS_CLI::CLI_ERR_SEND || result == SMIS_CLI::CLI_ERR_RECV || result == SMIS_CLI::CLI_ERR_UNEXPECTED) {
        // The session failed once the command could have reached the array:
        // whether the volume exists is unknown, and another creating command
        // could make a second one.
        _outcomeUnknown = true;
        SMIS_TraceLog::peg_error_log(__FILE__, __LINE__, Logger::SEVERE,
                                     "The array's answer to the creation of volume %u was lost: check on the array "
                                     "whether it was made before trying again",
                                     static_cast<unsigned>(olun));
        return FAILED;
    }
    return translateCreate(result);
}

VELDARO_StorageVolume* Storage_Volume_Work::madeVolume(VELDARO_StorageVolume* fromTable, std::uint16_t olun,
                                                       std::uint8_t luType)
{
    if (fromTable)
        return fromTable;
    SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::WARNING,
                           "Volume %u was made but the table does not show it yet: answered by its keys",
                           static_cast<unsigned>(olun));
    VELDARO_StorageVolume* keys = nullptr;
    try {
        keys = Instance_Provider_Frame::newInstance<VELDARO_StorageVolume>();
        if (VELDARO_StorageVolume_Resource(_storage).setKeyProperties(keys, olun, luType, _storage) == 0)
            return keys;
    } catch (...) {
    }
    if (keys)
        destroy(keys);
    severe(__FILE__, __LINE__, "The made volume's reference cannot be built");
    return nullptr;
}

int Storage_Volume_Work::refresh()
{
    SMIS_PollingService* service = SMIS_PollingService::getInstance();
    return service ? service->getConfigManagementInfo(_storage.c_str(), 0) : -1;
}

void Storage_Volume_Work::refreshWithAllocations()
{
    // A thin volume's pool (its AllocatedFromStoragePool pair) and its pool's
    // capacity come from the allocation records, which only this refresh
    // reads: the answer of a thin-volume change shows them at once, not at
    // the next poll of the table.
    const int refreshed = refresh();
    if (refreshed == 0 || refreshed == 1) {
        if (SMIS_PollingService* service = SMIS_PollingService::getInstance())
            service->UpdateAllocatedInfo(_storage.c_str());
    }
}

std::uint32_t Storage_Volume_Work::createStorageVolume(const CIM_StoragePool* pool, std::uint64_t& size,
                                                       CIM_LogicalElement*& element, const String& name)
{
    information(__FILE__, __LINE__, "createStorageVolume Start");
    std::uint16_t rlun = 0;
    if (!pool || pool->InstanceID.null ||
        !VELDARO_RAIDStoragePool_Resource::divide_InstanceID(pool->InstanceID.value.c_str(), &rlun)) {
        severe(__FILE__, __LINE__, "Acquisition of RLUN goes wrong");
        return INVALID_PARAMETER;
    }

    std::unique_ptr<SMISProviderLVConfiguration> lv;
    std::int32_t stripe = 0;
    int diskCount = 0;
    {
        VELDARO_RefTable table(_storage.c_str());
        const int r = table.searchRlunFromRluTable(rlun);
        if (r < 0) {
            severe(__FILE__, __LINE__, "Data does not exist in RLU information");
            return FAILED;
        }
        if (!namesBuilt<VELDARO_RAIDStoragePool, VELDARO_RAIDStoragePool_Resource>(pool, r)) {
            severe(__FILE__, __LINE__, "The pool is not one of this array");
            return INVALID_PARAMETER;
        }
        const unsigned count = table.getRluSluCount(r);
        for (unsigned i = 0; i < count && i < GROUP_SLOTS; ++i) {
            const std::uint16_t slun = table.getRluSlun(r, static_cast<int>(i));
            if (slun == NONE16)
                continue;
            const int s = table.searchSlunFromSluTable(slun);
            if (s < 0) {
                severe(__FILE__, __LINE__, "Data does not exist in SLU information");
                return FAILED;
            }
            if (!table.isSupportLUType(s)) {
                severe(__FILE__, __LINE__, "RAIDStoragePool has volume which is not support type");
                return GROUP_NOT_USABLE;
            }
        }
        lv.reset(SMISProviderLVConfigurationFactory(_storage).createSMISProviderLVConfiguration());
        if (!lv) {
            severe(__FILE__, __LINE__, "An error is made in generation of SMISProviderLVConfiguration");
            return NOT_SUPPORTED;
        }
        try {
            if (count >= lv->getMaxVolumeCountPerRaid()) {
                severe(__FILE__, __LINE__, "RAIDStoragePool already has the volume of max");
                return GROUP_FULL;
            }
            size = adjustSize(size, lv->getMinVolumeSizeMB(), lv->getVolumeSizeUnit());
            const std::uint32_t stripeSize = table.getRluStripeSize(r);
            if (stripeSize == 0) {
                severe(__FILE__, __LINE__, "StripeSize is not set");
                return FAILED;
            }
            // A stripe beyond the signed range is refused by the engine.
            stripe = stripeSize > 0x7FFFFFFFu ? -1 : static_cast<std::int32_t>(stripeSize);
            diskCount = table.getRaidDiskCount(r);
        } catch (...) {
            severe(__FILE__, __LINE__, "Abnormalities occur in SMISProviderLVConfiguration");
            return ABNORMAL;
        }
    }

    std::uint32_t mib = 0;
    std::uint16_t olun = NONE16;
    std::uint64_t startBlock = 0;
    int verified = 0;
    try {
        verified = lv->verifyCreateLogicalVolume(rlun, name, diskCount, size, stripe, mib, olun, startBlock);
    } catch (...) {
        severe(__FILE__, __LINE__, "Abnormalities occur in SMISProviderLVConfiguration.verifyCreateLogicalVolume");
        return ABNORMAL;
    }
    lv.reset();
    switch (verified) {
    case 0:
        break;
    case 2:
    case 3:
        severe(__FILE__, __LINE__, "An availability is smaller than specification size");
        size = getMaxVolumeSize(pool);
        if (size == 0)
            severe(__FILE__, __LINE__, "Can't get supported size");
        return SIZE_NOT_SUPPORTED;
    case 1:
        severe(__FILE__, __LINE__, "target RAID Group doesn't exist");
        return FAILED;
    case 4:
        return NO_VOLUME_NUMBER;
    case 5:
        severe(__FILE__, __LINE__, "Logical volume does exist MAX in RAID Group.(Data unmatch)");
        return FAILED;
    case 6:
        severe(__FILE__, __LINE__, "Mismatch is in the configuration of RAIDGroup and RAIDStoragePool");
        return FAILED;
    default:
        return FAILED;
    }

    unsigned char result = 0;
    try {
        SMIS_OLU_INFO info;
        std::memset(&info, 0, sizeof info);
        info.oluNumber = olun;
        info.rluNumber = rlun;
        info.sizeMB = mib;
        if (!name.empty())
            std::memcpy(info.name, name.c_str(), name.size() < sizeof info.name ? name.size() : sizeof info.name);
        SMIS_CLI cli(_storage);
        result = cli.createLogicalVolume(&info, SMIS_CLI::LU_TYPE_OPEN);
    } catch (...) {
        severe(__FILE__, __LINE__, "Abnormalities occur in SMIS_CLI.createLogicalVolume");
        return ABNORMAL;
    }
    if (result != 0) {
        SMIS_TraceLog::peg_error_log(__FILE__, __LINE__, Logger::SEVERE,
                                     "createLogicalVolume failed (result 0x%02x)", result);
        return createFailure(result, olun);
    }
    refresh();
    size = static_cast<std::uint64_t>(mib) * MIB;
    VELDARO_StorageVolume* made = madeVolume(getLogicalElementInstance(rlun, olun), olun, SMIS_CLI::LU_TYPE_OPEN);
    if (!made)
        return FAILED;
    element = cast<CIM_LogicalElement*>(made);
    SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::INFORMATION, "createStorageVolume(0x%04x) End", olun);
    return SUCCESS;
}

std::uint32_t Storage_Volume_Work::createThinproStorageVolume(const CIM_StoragePool* pool, std::uint64_t& size,
                                                              CIM_LogicalElement*& element, const String& name)
{
    information(__FILE__, __LINE__, "createThinproStorageVolume Start");
    std::uint16_t poolNumber = 0;
    if (!pool || pool->InstanceID.null ||
        !VELDARO_ThinProvisioningPool_Resource::divide_InstanceID(pool->InstanceID.value.c_str(), &poolNumber)) {
        severe(__FILE__, __LINE__, "Acquisition of TPP No. goes wrong");
        return INVALID_PARAMETER;
    }
    {
        VELDARO_RefTable table(_storage.c_str());
        const int t = table.searchPoolNoFromTppTable(poolNumber);
        if (t < 0) {
            severe(__FILE__, __LINE__, "Data does not exist in TPP information");
            return INVALID_PARAMETER;
        }
        if (!namesBuilt<VELDARO_ThinProvisioningPool, VELDARO_ThinProvisioningPool_Resource>(pool, t)) {
            severe(__FILE__, __LINE__, "The pool is not one of this array");
            return INVALID_PARAMETER;
        }
    }
    std::unique_ptr<SMISProviderTPVConfiguration> tpv(
        SMISProviderTPVConfigurationFactory(_storage).createSMISProviderTPVConfiguration());
    if (!tpv) {
        severe(__FILE__, __LINE__, "An error is made in generation of SMISProviderTPVConfiguration");
        return FAILED;
    }
    std::uint64_t mib = 0;
    std::uint16_t olun = NONE16;
    int verified = 0;
    try {
        size = adjustSize(size, tpv->getMinVolumeSizeMB(), tpv->getVolumeSizeUnit());
    } catch (...) {
        severe(__FILE__, __LINE__, "Abnormalities occur in SMISProviderTPVConfiguration");
        return ABNORMAL;
    }
    try {
        verified = tpv->verifyCreateLogicalVolume(poolNumber, size, mib, olun);
    } catch (...) {
        severe(__FILE__, __LINE__, "Abnormalities occur in SMISProviderTPVConfiguration.verifyCreateLogicalVolume");
        return ABNORMAL;
    }
    tpv.reset();
    if (verified == 1 || verified == 2) {
        size = thinMaximum();
        severe(__FILE__, __LINE__, "Can't get supported size for TPV");
        return SIZE_NOT_SUPPORTED;
    }
    if (verified == 3)
        return NO_VOLUME_NUMBER;
    if (verified != 0)
        return FAILED;

    unsigned char result = 0;
    try {
        SMIS_OLU_INFO info;
        std::memset(&info, 0, sizeof info);
        info.oluNumber = olun;
        info.rluNumber = poolNumber;
        info.sizeMB = static_cast<std::uint32_t>(mib);
        if (!name.empty())
            std::memcpy(info.name, name.c_str(), name.size() < sizeof info.name ? name.size() : sizeof info.name);
        SMIS_CLI cli(_storage);
        result = cli.createLogicalVolume(&info, SMIS_CLI::LU_TYPE_TPV);
    } catch (...) {
        severe(__FILE__, __LINE__, "Abnormalities occur in SMIS_CLI.createLogicalVolume for TPV");
        return ABNORMAL;
    }
    if (result != 0)
        return createFailure(result, olun);
    refreshWithAllocations();
    size = mib * MIB;
    VELDARO_StorageVolume* made = madeVolume(getLogicalElementInstance(olun), olun, SMIS_CLI::LU_TYPE_TPV);
    if (!made)
        return FAILED;
    element = cast<CIM_LogicalElement*>(made);
    information(__FILE__, __LINE__, "createThinproStorageVolume End");
    return SUCCESS;
}

std::uint32_t Storage_Volume_Work::modifyThinproStorageVolume(std::uint64_t& size, CIM_LogicalElement*& element)
{
    information(__FILE__, __LINE__, "modifyThinproStorageVolume Start");
    VELDARO_StorageVolume* read = nullptr;
    if (element && element->meta_class && onThisArray(element) &&
        is_subclass(&VELDARO_StorageVolume::static_meta_class, element->meta_class)) {
        const auto* model = static_cast<const VELDARO_StorageVolume*>(static_cast<const Instance*>(element));
        VELDARO_StorageVolume_Provider provider;
        if (provider.get_instance(model, read) != GET_INSTANCE_OK && read) {
            destroy(read);
            read = nullptr;
        }
    }
    if (!read) {
        severe(__FILE__, __LINE__, "Failed to get StorageVolume instance");
        return INVALID_PARAMETER;
    }
    std::unique_ptr<VELDARO_StorageVolume, void (*)(VELDARO_StorageVolume*)> volume(
        read, [](VELDARO_StorageVolume* v) { destroy(v); });

    std::uint8_t luType = 0;
    std::uint16_t olun = NONE16;
    if (volume->DeviceID.null ||
        !VELDARO_StorageVolume_Resource::divide_DeviceID(volume->DeviceID.value.c_str(), &luType, &olun)) {
        severe(__FILE__, __LINE__, "Failed to divide ID of StorageVolume");
        return FAILED;
    }
    if (luType != SMIS_CLI::LU_TYPE_TPV) {
        severe(__FILE__, __LINE__, "Type of the element is not thin provisioning");
        return INVALID_PARAMETER;
    }
    const std::uint64_t blocks = volume->NumberOfBlocks.null ? 0 : volume->NumberOfBlocks.value;
    const std::uint64_t current = blocks > MAX64 / 512 ? MAX64 : blocks * 512;

    std::unique_ptr<SMISProviderTPVConfiguration> tpv(
        SMISProviderTPVConfigurationFactory(_storage).createSMISProviderTPVConfiguration());
    if (!tpv) {
        severe(__FILE__, __LINE__, "An error is made in generation of SMISProviderTPVConfiguration");
        return FAILED;
    }
    std::uint64_t mib = 0;
    int verified = 0;
    try {
        size = adjustSize(size, tpv->getMinExpandSizeMB(), tpv->getVolumeSizeUnit());
        if (size <= current) {
            severe(__FILE__, __LINE__, "Specified size for expansion is smaller than current size");
            return INVALID_PARAMETER;
        }
    } catch (...) {
        severe(__FILE__, __LINE__, "Abnormalities occur in SMISProviderTPVConfiguration");
        return ABNORMAL;
    }
    try {
        verified = tpv->verifyModifyLogicalVolume(olun, size, mib);
    } catch (...) {
        severe(__FILE__, __LINE__, "Abnormalities occur in SMISProviderTPVConfiguration.verifyModifyLogicalVolume");
        return ABNORMAL;
    }
    tpv.reset();
    if (verified == 1 || verified == 2) {
        size = thinExpansionMaximum(current);
        severe(__FILE__, __LINE__, "Can't get supported size for TPV modify");
        return SIZE_NOT_SUPPORTED;
    }
    if (verified != 0)
        return FAILED;

    unsigned char result = 0;
    try {
        SMIS_OLU_INFO info;
        std::memset(&info, 0, sizeof info);
        info.oluNumber = olun;
        info.sizeMB = static_cast<std::uint32_t>(mib);
        SMIS_CLI cli(_storage);
        result = cli.expandLogicalVolume(&info, SMIS_CLI::LU_TYPE_TPV);
    } catch (...) {
        severe(__FILE__, __LINE__, "Abnormalities occur in SMIS_CLI.expandLogicalVolume for TPV");
        return ABNORMAL;
    }
    if (result != 0)
        return translateExpand(result);
    refreshWithAllocations();
    size = mib * MIB;
    // The volume as the refreshed table holds it (its new size); the one
    // read before the command when it cannot be rebuilt.
    VELDARO_StorageVolume* rebuilt = getLogicalElementInstance(olun);
    if (element)
        destroy(element);
    element = cast<CIM_LogicalElement*>(rebuilt ? rebuilt : volume.release());
    SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::INFORMATION, "modifyThinproStorageVolume End(0x%04x)", olun);
    return SUCCESS;
}

bool Storage_Volume_Work::getOluNoFromDeviceID(const CIM_LogicalElement* element, std::uint16_t& olun,
                                               std::uint8_t& luType)
{
    traceStep(__FILE__, __LINE__, "getOluNoFromDeviceID", "start");
    olun = NONE16;
    luType = 255;
    const CIM_LogicalDevice* device = asDevice(element);
    String key;
    std::uint8_t type = 255;
    std::uint16_t number = NONE16;
    bool exact = false;
    if (device && keyOf(device->DeviceID, key) && onThisArray(device) &&
        VELDARO_StorageVolume_Resource::divide_DeviceID(key.c_str(), &type, &number)) {
        exact = true;
        luType = type;
        switch (type) {
        case 1: case 3: case 4: case 7: case 9: case 11: case 13: {
            VELDARO_RefTable table(_storage.c_str());
            const int s = table.searchLunByLuTypeFromSluTable(type, number);
            if (s >= 0 && table.getLuType(s) == type) {
                // The class-name keys, when given, must be the volume's too.
                exact = namesBuilt<VELDARO_StorageVolume, VELDARO_StorageVolume_Resource>(device, s);
                if (exact)
                    olun = number;
            }
            break;
        }
        default:
            break;
        }
    }
    traceStep(__FILE__, __LINE__, "getOluNoFromDeviceID", "end");
    return exact;
}

std::uint32_t Storage_Volume_Work::deleteStorageVolume(const CIM_LogicalElement* element)
{
    information(__FILE__, __LINE__, "deleteStorageVolume Start");
    const CIM_LogicalDevice* device = asDevice(element);
    const bool remote = (element && element->meta_class &&
                         std::strcmp(element->meta_class->name, "VELDARO_RemoteStorageVolume") == 0) ||
                        (device && !device->CreationClassName.null &&
                         device->CreationClassName.value == String("VELDARO_RemoteStorageVolume"));
    if (remote) {
        severe(__FILE__, __LINE__, "Parameter error(TheElement)");
        return INVALID_PARAMETER;
    }
    std::uint16_t olun = NONE16;
    std::uint8_t luType = 255;
    if (!getOluNoFromDeviceID(element, olun, luType)) {
        severe(__FILE__, __LINE__, "Parameter error(TheElement)");
        return INVALID_PARAMETER;
    }
    if (luType == 2 || luType == 3) {
        severe(__FILE__, __LINE__, "This Logical Volume type not supported");
        return TYPE_NOT_DELETABLE;
    }
    if (luType == 8 || luType == 11) {
        severe(__FILE__, __LINE__, "This Logical Volume type not supported");
        return THIN_TYPE_NOT_DELETABLE;
    }
    if (olun == NONE16)
        return FAILED;
    unsigned char result = 0;
    try {
        SMIS_CLI cli(_storage);
        result = cli.deleteLogicalVolume(&olun, 1);
    } catch (...) {
        severe(__FILE__, __LINE__, "Abnormalities occur in SMISProviderLVConfiguration.deleteLogicalVolume");
        return ABNORMAL;
    }
    if (result != 0)
        return translateDelete(result);
    if (luType == SMIS_CLI::LU_TYPE_TPV)
        refreshWithAllocations();
    else
        refresh();
    information(__FILE__, __LINE__, "deleteStorageVolume End");
    return SUCCESS;
}

std::uint64_t Storage_Volume_Work::getMaxVolumeSize(const CIM_StoragePool* pool)
{
    traceStep(__FILE__, __LINE__, "getMaxVolumeSize", "start");
    std::uint64_t maximum = 0;
    VELDARO_RAIDStoragePool* target = nullptr;
    try {
        target = Instance_Provider_Frame::newInstance<VELDARO_RAIDStoragePool>();
        if (pool && !pool->InstanceID.null)
            target->InstanceID.set(pool->InstanceID.value);
        Property<uint16> type;
        type.set(3);
        Property<uint64> minimum, largest, divisor;
        Property<uint32> rc;
        VELDARO_RAIDStoragePool_Provider provider;
        const Invoke_Method_Status status =
            provider.GetSupportedSizeRange(target, type, nullptr, minimum, largest, divisor, rc);
        if (status == INVOKE_METHOD_OK && !rc.null && rc.value == 0 && !largest.null)
            maximum = largest.value;
        else
            severe(__FILE__, __LINE__, "Acquisition of MaximumVolumeSize goes wrong");
    } catch (...) {
        severe(__FILE__, __LINE__, "Abnormalities occur in VELDARO_RAIDStoragePool_Provider.GetSupportedSizeRange");
        maximum = 0;
    }
    if (target)
        destroy(target);
    traceStep(__FILE__, __LINE__, "getMaxVolumeSize", "end");
    return maximum;
}

std::uint64_t Storage_Volume_Work::thinMaximum()
{
    std::unique_ptr<SMISProviderTPVConfiguration> tpv(
        SMISProviderTPVConfigurationFactory(_storage).createSMISProviderTPVConfiguration());
    if (!tpv)
        return 0;
    std::uint64_t start = 0, end = 0;
    tpv->getFreeSpaceMaxRangeInStorage(start, end);
    if (end <= start)
        return 0;  // [0, 0]: no room
    const std::uint64_t blocks = end - start + 1;
    return blocks > MAX64 / 512 ? MAX64 : blocks * 512;
}

std::uint64_t Storage_Volume_Work::thinExpansionMaximum(std::uint64_t current)
{
    const std::uint64_t room = thinMaximum();
    if (room == 0)
        return 0;
    std::uint64_t largest = 0x8000000ULL * MIB;
    {
        std::unique_ptr<SMISProviderTPVConfiguration> tpv(
            SMISProviderTPVConfigurationFactory(_storage).createSMISProviderTPVConfiguration());
        if (tpv)
            largest = static_cast<std::uint64_t>(tpv->getMaxVolumeSizeMB()) * MIB;
    }
    const std::uint64_t grown = current > MAX64 - room ? MAX64 : current + room;
    return grown < largest ? grown : largest;
}

VELDARO_RAIDStoragePool* Storage_Volume_Work::createConcreteComponent(const CIM_StorageExtent* extent)
{
    traceStep(__FILE__, __LINE__, "createConcreteComponent", "start");
    std::uint16_t rlun = 0;
    int ordinal = 0;
    VELDARO_RAIDStoragePool* pool = nullptr;
    if (!extent || extent->DeviceID.null ||
        !VELDARO_FreeExtent_Resource::divide_DeviceID(extent->DeviceID.value.c_str(), &rlun, &ordinal)) {
        severe(__FILE__, __LINE__, "Acquisition of RLUN goes wrong");
    } else {
        VELDARO_RefTable table(_storage.c_str());
        const int r = table.searchRlunFromRluTable(rlun);
        if (r < 0) {
            severe(__FILE__, __LINE__, "There was no instance of RAIDStoragePool");
        } else if (VELDARO_RAIDStoragePool_Resource(_storage).createInstance(pool, r) != 0 || !pool) {
            if (pool)
                destroy(pool);
            pool = nullptr;
            severe(__FILE__, __LINE__, "Acquisition of the instance of RAIDStoragePool goes wrong");
        }
    }
    traceStep(__FILE__, __LINE__, "createConcreteComponent", "end");
    return pool;
}

VELDARO_ThinProvisioningPool* Storage_Volume_Work::createThinConcreteComponent(const CIM_StorageExtent* extent)
{
    traceStep(__FILE__, __LINE__, "createConcreteComponent", "start");
    std::uint16_t number = 0;
    int ordinal = 0;
    VELDARO_ThinProvisioningPool* pool = nullptr;
    if (!extent || extent->DeviceID.null ||
        !VELDARO_ThinProvisioningFreeExtent_Resource::divide_DeviceID(extent->DeviceID.value.c_str(), &number,
                                                                      &ordinal)) {
        severe(__FILE__, __LINE__, "Acquisition of PoolNo goes wrong");
    } else {
        VELDARO_RefTable table(_storage.c_str());
        const int t = table.searchPoolNoFromTppTable(number);
        if (t < 0) {
            severe(__FILE__, __LINE__, "There was no instance of ThinProvisioningPool");
        } else if (VELDARO_ThinProvisioningPool_Resource(_storage).createInstance(pool, t) != 0 || !pool) {
            if (pool)
                destroy(pool);
            pool = nullptr;
            severe(__FILE__, __LINE__, "Acquisition of the instance of ThinProvisioningPool goes wrong");
        }
    }
    traceStep(__FILE__, __LINE__, "createConcreteComponent", "end");
    return pool;
}

VELDARO_StorageVolume* Storage_Volume_Work::getLogicalElementInstance(std::uint16_t rlun, std::uint16_t olun)
{
    SMIS_TraceLog::peg_trace(__FILE__, __LINE__, Tracer::LEVEL3,
                             "Storage_Volume_Work::getLogicalElementInstance start(OLUN=0x%04x)", olun);
    VELDARO_StorageVolume* made = nullptr;
    try {
        VELDARO_RefTable table(_storage.c_str());
        int found = -1;
        for (std::uint32_t i = 0; i < table.getSLUMaxCount() && found < 0; ++i) {
            const int s = static_cast<int>(i);
            if ((table.getSluStatus(s) & 0xFF) == VELDARO_StorageVolume_Resource::FREE_ENTRY)
                continue;
            if (table.getSluOlun(s) == olun && table.getSluRlun(s) == rlun)
                found = s;
        }
        if (found < 0) {
            severe(__FILE__, __LINE__, "Specified StorageVolume is not found");
        } else if (VELDARO_StorageVolume_Resource(_storage).createInstance(made, found) != 0 || !made) {
            if (made)
                destroy(made);
            made = nullptr;
            severe(__FILE__, __LINE__, "Acquisition of a CIM_StorageVolume instance goes wrong");
        }
    } catch (...) {
        if (made)
            destroy(made);
        made = nullptr;
        severe(__FILE__, __LINE__, "Abnormalities occur in getLogicalElementInstance");
    }
    SMIS_TraceLog::peg_trace(__FILE__, __LINE__, Tracer::LEVEL3, "Storage_Volume_Work::getLogicalElementInstance end");
    return made;
}

VELDARO_StorageVolume* Storage_Volume_Work::getLogicalElementInstance(std::uint16_t olun)
{
    SMIS_TraceLog::peg_trace(__FILE__, __LINE__, Tracer::LEVEL3,
                             "Storage_Volume_Work::getLogicalElementInstance start(OLUN=0x%04x)", olun);
    VELDARO_StorageVolume* made = nullptr;
    try {
        VELDARO_RefTable table(_storage.c_str());
        const int found = table.searchLunByLuTypeFromSluTable(1, olun);
        if (found < 0) {
            severe(__FILE__, __LINE__, "Specified StorageVolume is not found");
        } else if (VELDARO_StorageVolume_Resource(_storage).createInstance(made, found) != 0 || !made) {
            if (made)
                destroy(made);
            made = nullptr;
            severe(__FILE__, __LINE__, "Acquisition of a CIM_StorageVolume instance goes wrong");
        }
    } catch (...) {
        if (made)
            destroy(made);
        made = nullptr;
        severe(__FILE__, __LINE__, "Abnormalities occur in getLogicalElementInstance");
    }
    SMIS_TraceLog::peg_trace(__FILE__, __LINE__, Tracer::LEVEL3, "Storage_Volume_Work::getLogicalElementInstance end");
    return made;
}

}  // namespace cimple
