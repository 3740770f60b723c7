// RAID storage pools: an indexed pair over the RAID group table, with the
// pool's size and extent methods.

#include "VELDARO_RAIDStoragePool_Provider.h"

#include <cinttypes>
#include <memory>

#include "Instance_Provider_Frame.h"
#include "Pool_Methods.h"
#include "SMISMethodCom.h"
#include "SMISProviderLVConfiguration.h"
#include "SMIS_TraceLog.h"
#include "VELDARO_FreeExtent_Resource.h"
#include "VELDARO_RAIDStoragePool_Resource.h"

namespace cimple {

namespace {

struct RAID_Pool_Frame {
    using Model = VELDARO_RAIDStoragePool;

    static bool storage(const Model* model, String& address)
    {
        return Instance_Provider_Frame::storageFromKeySuffix(model->InstanceID, address);
    }

    static int getOne(const String& address, const VELDARO_RefTable& table, const Model* model, Model*& instance)
    {
        std::uint16_t rlun = 0;
        if (model->InstanceID.null ||
            !VELDARO_RAIDStoragePool_Resource::divide_InstanceID(model->InstanceID.value.c_str(), &rlun))
            return 1;
        const int index = table.searchRlunFromRluTable(rlun);
        if (index < 0)
            return 1;
        return VELDARO_RAIDStoragePool_Resource(address).createInstance(instance, index);
    }

    static int enumAll(const String& address, const VELDARO_RefTable& table, Enum_Instances_Handler<Model>* handler)
    {
        VELDARO_RAIDStoragePool_Resource resource(address);
        return Instance_Provider_Frame::enumIndexes<Model>(
            table.getRLUMaxCount(), handler, [&](int i, Model*& instance) { return resource.createInstance(instance, i); });
    }
};

// The pool the method's target names, built on its storage without the
// table check or key comparison; NULL when there is none.
VELDARO_RAIDStoragePool* targetPool(const String& address, const VELDARO_RefTable& table,
                                    const VELDARO_RAIDStoragePool* self)
{
    std::uint16_t rlun = 0;
    if (self->InstanceID.null ||
        !VELDARO_RAIDStoragePool_Resource::divide_InstanceID(self->InstanceID.value.c_str(), &rlun))
        return nullptr;
    const int index = table.searchRlunFromRluTable(rlun);
    if (index < 0)
        return nullptr;
    VELDARO_RAIDStoragePool* pool = nullptr;
    if (VELDARO_RAIDStoragePool_Resource(address).createInstance(pool, index) != 0 && pool) {
        destroy(pool);
        pool = nullptr;
    }
    return pool;
}

std::uint32_t availableExtents(const VELDARO_RAIDStoragePool* self, Array<CIM_StorageExtent*>& extents)
{
    String address;
    if (!self || !Pool_Methods::storageOf(self->InstanceID, address))
        return Pool_Methods::NO_STORAGE;
    VELDARO_RefTable table(address.c_str());
    const std::uint32_t check = SMISMethodCom::mcFirstCommonProcess(SMISMethodCom::CHECK_VALID_TABLE, &table);
    if (check != 0)
        return check;
    VELDARO_RAIDStoragePool* pool = targetPool(address, table, self);
    if (!pool)
        return Pool_Methods::NOT_SUPPORTED;
    const bool primordial = !pool->Primordial.null && pool->Primordial.value;
    const std::uint16_t rlun = static_cast<std::uint16_t>(pool->RLUN.value);
    destroy(pool);
    if (primordial) {
        SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::SEVERE, "Primordial");
        return Pool_Methods::NOT_SUPPORTED;
    }
    const int rluIndex = table.searchRlunFromRluTable(rlun);
    if (rluIndex < 0) {
        SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::SEVERE, "Invalid RLU-Number");
        return Pool_Methods::FAILED;
    }
    Array<VELDARO_FreeExtent*> list;
    if (VELDARO_FreeExtent_Resource(address).createInstance(list, rluIndex) != 0) {
        Instance_Provider_Frame::destroyAll(list);
        SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::SEVERE, "Err:Get VELDARO_FreeExtent");
        return Pool_Methods::FAILED;
    }
    if (list.size() == 0)
        return Pool_Methods::NO_EXTENTS;
    for (size_t i = 0; i < list.size(); ++i)
        extents.append(cast<CIM_StorageExtent*>(list[i]));
    list.clear();
    return Pool_Methods::SUCCESS;
}

// The volume sizes that the pool's RAID group can still hold, in bytes:
// minimum, maximum (the largest free range, whole stripes and whole size
// units) and divisor; 0, or -1 when the group cannot be sized.
int getSupportedLVSizeRangeForRepository(const String& address, const VELDARO_RAIDStoragePool* pool,
                                         std::uint64_t sizes[3], const SMISProviderLVConfiguration* lv)
{
    constexpr std::uint64_t MIB = 0x100000;
    VELDARO_RefTable table(address.c_str());
    sizes[0] = 0;
    sizes[1] = 0;
    sizes[2] = static_cast<std::uint64_t>(lv->getVolumeSizeUnit()) * MIB;
    const std::uint64_t remaining = pool->RemainingManagedSpace.null ? 0 : pool->RemainingManagedSpace.value;
    if (remaining < static_cast<std::uint64_t>(lv->getMinVolumeSizeMB()) * MIB) {
        SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::SEVERE, "Free space is too small");
        return 0;
    }
    if (pool->TotalManagedSpace.null || pool->TotalManagedSpace.value == 0) {
        SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::SEVERE, "Invalid TotalManagedSpace");
        return -1;
    }
    const std::uint16_t rlun = static_cast<std::uint16_t>(pool->RLUN.value);
    const int index = table.searchRlunFromRluTable(rlun);
    if (pool->RLUN.null || index < 0) {
        SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::SEVERE, "Invalid RLU-Number");
        return -1;
    }
    const std::uint32_t stripe = table.getRluStripeSize(index);
    if (table.getRluSluCount(index) >= lv->getMaxVolumeCountPerRaid()) {
        SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::SEVERE, "RAID has max volume");
        return -1;
    }
    std::uint64_t start = 0, end = 0;
    if (stripe > 0x7FFFFFFFu ||
        lv->getFreeSpaceMaxRangeInRaid(rlun, static_cast<std::int32_t>(stripe), start, end) != 0)
        return -1;
    // [0, 0] is also the mark of no room: one block rounds down to nothing below.
    const std::uint64_t blocks = end - start + 1;
    const std::uint64_t largest = static_cast<std::uint64_t>(lv->getMaxVolumeSizeMB()) * MIB;
    std::uint64_t size = blocks > largest / 512 ? largest : blocks * 512;
    const std::uint64_t stripeBytes = static_cast<std::uint64_t>(stripe) * 512;
    size -= size % stripeBytes;
    if (sizes[2] != 0)
        size -= size % sizes[2];
    sizes[0] = static_cast<std::uint64_t>(lv->getMinVolumeSizeMB()) * MIB;
    sizes[1] = size;
    return 0;
}

// Steps back from the largest size, by whole divisors, to the first size of
// which 100 times falls in the lower half of a GiB (at most 1024 / 100 + 1
// divisors of 1 MiB); the maximum stays when none does.
std::uint64_t adjustMaximum(std::uint64_t maximum, std::uint64_t divisor)
{
    constexpr std::uint64_t GIB = 1ULL << 30;
    if (divisor == 0)
        return maximum;
    const std::uint64_t q = maximum / divisor;
    const std::uint64_t n = (GIB / divisor) / 100 + 1;
    for (std::uint64_t i = 0; i < n && i <= q; ++i) {
        const std::uint64_t candidate = (q - i) * divisor;
        if ((candidate * 100) % GIB < GIB / 2)
            return candidate;
    }
    return maximum;
}

std::uint32_t supportedSizeRange(const VELDARO_RAIDStoragePool* self, const Property<uint16>& elementType,
                                 std::uint64_t sizes[3])
{
    String address;
    if (!self || !Pool_Methods::storageOf(self->InstanceID, address))
        return Pool_Methods::NO_STORAGE;
    VELDARO_RefTable table(address.c_str());
    const std::uint32_t check = SMISMethodCom::mcFirstCommonProcess(SMISMethodCom::CHECK_VALID_TABLE, &table);
    if (check != 0)
        return check;
    const int type = elementType.null ? -1 : elementType.value;
    if (type != 3) {
        if (type != 2 && type != 4)
            Pool_Methods::logInvalidElementType(__FILE__, __LINE__, elementType);
        return Pool_Methods::NOT_SUPPORTED;
    }
    VELDARO_RAIDStoragePool* pool = targetPool(address, table, self);
    if (!pool)
        return Pool_Methods::NOT_SUPPORTED;
    if (!pool->Primordial.null && pool->Primordial.value) {
        destroy(pool);
        SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::SEVERE, "Primordial");
        return Pool_Methods::NOT_SUPPORTED;
    }
    std::unique_ptr<SMISProviderLVConfiguration> lv(
        SMISProviderLVConfigurationFactory(address).createSMISProviderLVConfiguration());
    int computed = -1;
    try {
        if (lv)
            computed = getSupportedLVSizeRangeForRepository(address, pool, sizes, lv.get());
    } catch (...) {
        computed = -1;
    }
    destroy(pool);
    if (computed != 0)
        return Pool_Methods::NOT_SUPPORTED;
    SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::INFORMATION,
                           "MinimumVolumeSize=0x%016" PRIx64 " MaximumVolumeSize=0x%016" PRIx64
                           " VolumeSizeDivisor=0x%016" PRIx64, sizes[0], sizes[1], sizes[2]);
    sizes[1] = adjustMaximum(sizes[1], sizes[2]);
    SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::INFORMATION,
                           "MinimumVolumeSize=0x%016" PRIx64 " MaximumVolumeSize=0x%016" PRIx64
                           " VolumeSizeDivisor=0x%016" PRIx64, sizes[0], sizes[1], sizes[2]);
    return Pool_Methods::SUCCESS;
}

}  // namespace

VELDARO_RAIDStoragePool_Provider::VELDARO_RAIDStoragePool_Provider() {}

VELDARO_RAIDStoragePool_Provider::~VELDARO_RAIDStoragePool_Provider() {}

Get_Instance_Status VELDARO_RAIDStoragePool_Provider::get_instance(const VELDARO_RAIDStoragePool* model,
                                                                   VELDARO_RAIDStoragePool*& instance)
{
    return Instance_Provider_Frame::indexedGet<RAID_Pool_Frame>(model, instance);
}

Enum_Instances_Status VELDARO_RAIDStoragePool_Provider::enum_instances(
    const VELDARO_RAIDStoragePool* model, Enum_Instances_Handler<VELDARO_RAIDStoragePool>* handler)
{
    return Instance_Provider_Frame::indexedEnum<RAID_Pool_Frame>(model, handler);
}

Invoke_Method_Status VELDARO_RAIDStoragePool_Provider::GetSupportedSizes(const VELDARO_RAIDStoragePool*,
                                                                         const Property<uint16>& ElementType,
                                                                         const CIM_StorageSetting*,
                                                                         Property<Array<uint64>>&,
                                                                         Property<uint32>& return_value)
{
    Pool_Methods::logStep(__FILE__, __LINE__, "Method Call GetSupportedSizes(RAIDStoragePool) start");
    std::uint32_t result = Pool_Methods::NOT_SUPPORTED;
    try {
        result = SMISMethodCom::mcFirstCommonProcess(0, nullptr);
        if (result == 0) {
            // Volumes are sized by a range; pools and extents are not made here.
            const int type = ElementType.null ? -1 : ElementType.value;
            if (type == 3)
                result = Pool_Methods::USE_OTHER_METHOD;
            else {
                if (type != 2 && type != 4)
                    Pool_Methods::logInvalidElementType(__FILE__, __LINE__, ElementType);
                result = Pool_Methods::NOT_SUPPORTED;
            }
        }
    } catch (...) {
        result = Pool_Methods::NOT_SUPPORTED;
    }
    return_value.set(result);
    Pool_Methods::logStep(__FILE__, __LINE__, "0x%08x=GetSupportedSizes(RAIDStoragePool) end", result);
    return INVOKE_METHOD_OK;
}

Invoke_Method_Status VELDARO_RAIDStoragePool_Provider::GetSupportedSizeRange(
    const VELDARO_RAIDStoragePool* self, const Property<uint16>& ElementType, const CIM_StorageSetting*,
    Property<uint64>& MinimumVolumeSize, Property<uint64>& MaximumVolumeSize, Property<uint64>& VolumeSizeDivisor,
    Property<uint32>& return_value)
{
    Pool_Methods::logStep(__FILE__, __LINE__, "Method Call GetSupportedSizeRange(RAIDStoragePool) start");
    std::uint32_t result = Pool_Methods::NOT_SUPPORTED;
    try {
        std::uint64_t sizes[3] = {0, 0, 0};
        result = supportedSizeRange(self, ElementType, sizes);
        if (result == Pool_Methods::SUCCESS) {
            MinimumVolumeSize.set(sizes[0]);
            MaximumVolumeSize.set(sizes[1]);
            VolumeSizeDivisor.set(sizes[2]);
        }
    } catch (...) {
        result = Pool_Methods::NOT_SUPPORTED;
    }
    return_value.set(result);
    Pool_Methods::logStep(__FILE__, __LINE__, "0x%08x=GetSupportedSizeRange(RAIDStoragePool) end", result);
    return INVOKE_METHOD_OK;
}

Invoke_Method_Status VELDARO_RAIDStoragePool_Provider::GetAvailableExtents(const VELDARO_RAIDStoragePool* self,
                                                                           const CIM_StorageSetting*,
                                                                           Array<CIM_StorageExtent*>& AvailableExtents,
                                                                           Property<uint32>& return_value)
{
    Pool_Methods::logStep(__FILE__, __LINE__, "Method Call GetAvailableExtents(RAIDStoragePool) start");
    std::uint32_t result = Pool_Methods::FAILED;
    try {
        result = availableExtents(self, AvailableExtents);
    } catch (...) {
        SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::SEVERE, "Err:Get VELDARO_FreeExtent");
        result = Pool_Methods::FAILED;
    }
    return_value.set(result);
    Pool_Methods::logStep(__FILE__, __LINE__, "0x%08x=GetAvailableExtents(RAIDStoragePool) end", result);
    return INVOKE_METHOD_OK;
}

}  // namespace cimple
