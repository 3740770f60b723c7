// Thin-provisioning pools: an indexed pair over the 256 entries of the pool
// table, with the pool's size and extent methods.

#include "VELDARO_ThinProvisioningPool_Provider.h"

#include <memory>

#include "Instance_Provider_Frame.h"
#include "Pool_Methods.h"
#include "SMISMethodCom.h"
#include "SMISProviderTPVConfiguration.h"
#include "SMIS_TraceLog.h"
#include "VELDARO_ThinProvisioningFreeExtent_Resource.h"
#include "VELDARO_ThinProvisioningPool_Resource.h"

namespace cimple {

namespace {

struct Thin_Pool_Frame {
    using Model = VELDARO_ThinProvisioningPool;

    static bool storage(const Model* model, String& address)
    {
        return Instance_Provider_Frame::storageFromKeySuffix(model->InstanceID, address);
    }

    static int getOne(const String& address, const VELDARO_RefTable& table, const Model* model, Model*& instance)
    {
        std::uint16_t pool = 0;
        if (model->InstanceID.null ||
            !VELDARO_ThinProvisioningPool_Resource::divide_InstanceID(model->InstanceID.value.c_str(), &pool))
            return 1;
        const int index = table.searchPoolNoFromTppTable(pool);
        if (index < 0)
            return 1;
        return VELDARO_ThinProvisioningPool_Resource(address).createInstance(instance, index);
    }

    static int enumAll(const String& address, const VELDARO_RefTable&, Enum_Instances_Handler<Model>* handler)
    {
        VELDARO_ThinProvisioningPool_Resource resource(address);
        return Instance_Provider_Frame::enumIndexes<Model>(
            VELDARO_ThinProvisioningPool_Resource::TPP_TABLE_SIZE, handler,
            [&](int i, Model*& instance) { return resource.createInstance(instance, i); });
    }
};

// The free extent of the pool the method's target names: 0 with the
// extent, else the method's return value (no extent).
std::uint32_t availableExtent(const VELDARO_ThinProvisioningPool* self, VELDARO_ThinProvisioningFreeExtent*& extent)
{
    extent = nullptr;
    String address;
    if (!self || !Pool_Methods::storageOf(self->InstanceID, address))
        return Pool_Methods::NO_STORAGE;
    VELDARO_RefTable table(address.c_str());
    const std::uint32_t check = SMISMethodCom::mcFirstCommonProcess(SMISMethodCom::CHECK_VALID_TABLE, &table);
    if (check != 0)
        return check;
    std::uint16_t pool = 0;
    if (!VELDARO_ThinProvisioningPool_Resource::divide_InstanceID(self->InstanceID.value.c_str(), &pool)) {
        SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::SEVERE, "Invalid InstanceID");
        return Pool_Methods::FAILED;
    }
    const int index = table.searchPoolNoFromTppTable(pool);
    if (index < 0) {
        SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::SEVERE, "The specified Pool number is not found");
        return Pool_Methods::FAILED;
    }
    if (VELDARO_ThinProvisioningFreeExtent_Resource(address).createInstance(extent, index) != 0) {
        if (extent)
            destroy(extent);
        extent = nullptr;
        SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::SEVERE,
                               "Creation of an instance fails(ThinProvisioningFreeExtent)");
        return Pool_Methods::FAILED;
    }
    if (!extent) {
        SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::SEVERE, "There is no available extents in this pool");
        return Pool_Methods::NO_EXTENTS;
    }
    return Pool_Methods::SUCCESS;
}

// Thin volume sizes: minimum and divisor from the engine, maximum the
// largest volume or the room left in the array's thin capacity, whichever
// is smaller (both 0 when that is below the minimum).
std::uint32_t thinSizeRange(const VELDARO_ThinProvisioningPool* self, const Property<uint16>& elementType,
                            Property<uint64>& minimumOut, Property<uint64>& maximumOut, Property<uint64>& divisorOut)
{
    constexpr std::uint64_t MIB = 0x100000;
    String address;
    if (!self || !Pool_Methods::storageOf(self->InstanceID, address))
        return Pool_Methods::NO_STORAGE;
    VELDARO_RefTable table(address.c_str());
    const std::uint32_t check = SMISMethodCom::mcFirstCommonProcess(SMISMethodCom::CHECK_VALID_TABLE, &table);
    if (check != 0)
        return check;
    if (elementType.null || elementType.value != 5) {
        SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::SEVERE, "Invalid ElementType");
        return Pool_Methods::INVALID_ELEMENT_TYPE;
    }
    std::unique_ptr<SMISProviderTPVConfiguration> tpv(
        SMISProviderTPVConfigurationFactory(address).createSMISProviderTPVConfiguration());
    if (!tpv) {
        SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::SEVERE,
                               "Creation of an instance fails(SMISProviderTPVConfiguration)");
        return Pool_Methods::NOT_SUPPORTED;
    }
    const std::uint64_t divisor = static_cast<std::uint64_t>(tpv->getVolumeSizeUnit()) * MIB;
    std::uint64_t minimum = static_cast<std::uint64_t>(tpv->getMinVolumeSizeMB()) * MIB;
    std::uint64_t maximum = static_cast<std::uint64_t>(tpv->getMaxVolumeSizeMB()) * MIB;
    std::uint64_t start = 0, end = 0;
    if (tpv->getFreeSpaceMaxRangeInStorage(start, end) != 0)
        return Pool_Methods::NOT_SUPPORTED;
    // [0, 0] marks no room at all.
    const std::uint64_t blocks = end > start ? end - start + 1 : 0;
    const std::uint64_t room = blocks > (~0ULL) / 512 ? ~0ULL : blocks * 512;
    if (room < maximum)
        maximum = room;
    if (maximum < minimum) {
        minimum = 0;
        maximum = 0;
    }
    minimumOut.set(minimum);
    maximumOut.set(maximum);
    divisorOut.set(divisor);
    return Pool_Methods::SUCCESS;
}

}  // namespace

VELDARO_ThinProvisioningPool_Provider::VELDARO_ThinProvisioningPool_Provider() {}

VELDARO_ThinProvisioningPool_Provider::~VELDARO_ThinProvisioningPool_Provider() {}

Get_Instance_Status VELDARO_ThinProvisioningPool_Provider::get_instance(const VELDARO_ThinProvisioningPool* model,
                                                                        VELDARO_ThinProvisioningPool*& instance)
{
    return Instance_Provider_Frame::indexedGet<Thin_Pool_Frame>(model, instance);
}

Enum_Instances_Status VELDARO_ThinProvisioningPool_Provider::enum_instances(
    const VELDARO_ThinProvisioningPool* model, Enum_Instances_Handler<VELDARO_ThinProvisioningPool>* handler)
{
    return Instance_Provider_Frame::indexedEnum<Thin_Pool_Frame>(model, handler);
}

Invoke_Method_Status VELDARO_ThinProvisioningPool_Provider::GetSupportedSizes(const VELDARO_ThinProvisioningPool*,
                                                                              const Property<uint16>& ElementType,
                                                                              const CIM_StorageSetting*,
                                                                              Property<Array<uint64>>&,
                                                                              Property<uint32>& return_value)
{
    Pool_Methods::logStep(__FILE__, __LINE__, "GetSupportedSizes(ThinProvisioningPool) start ElementType=0x%04x",
                          ElementType.null ? 0u : static_cast<unsigned>(ElementType.value));
    std::uint32_t result = SMISMethodCom::mcFirstCommonProcess(0, nullptr);
    if (result == 0) {
        // Thin volumes are sized by a range; nothing else is made here.
        result = (!ElementType.null && ElementType.value == 5) ? Pool_Methods::USE_OTHER_METHOD
                                                                : Pool_Methods::INVALID_ELEMENT_TYPE;
    }
    return_value.set(result);
    Pool_Methods::logStep(__FILE__, __LINE__, "0x%08x=GetSupportedSizes(ThinProvisioningPool) end", result);
    return INVOKE_METHOD_OK;
}

// The range of thin volume sizes the pool accepts (thinSizeRange); an
// exception answers as not supported.
Invoke_Method_Status VELDARO_ThinProvisioningPool_Provider::GetSupportedSizeRange(
    const VELDARO_ThinProvisioningPool* self, const Property<uint16>& ElementType, const CIM_StorageSetting*,
    Property<uint64>& MinimumVolumeSize, Property<uint64>& MaximumVolumeSize, Property<uint64>& VolumeSizeDivisor,
    Property<uint32>& return_value)
{
    Pool_Methods::logStep(__FILE__, __LINE__, "GetSupportedSizeRange(ThinProvisioningPool) start ElementType=0x%04x",
                          ElementType.null ? 0u : static_cast<unsigned>(ElementType.value));
    std::uint32_t result = Pool_Methods::NOT_SUPPORTED;
    try {
        result = thinSizeRange(self, ElementType, MinimumVolumeSize, MaximumVolumeSize, VolumeSizeDivisor);
    } catch (...) {
        SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::SEVERE, "The exception occurred(ThinProvisioningPool)");
        result = Pool_Methods::NOT_SUPPORTED;
    }
    return_value.set(result);
    Pool_Methods::logStep(__FILE__, __LINE__, "0x%08x=GetSupportedSizeRange(ThinProvisioningPool) end", result);
    return INVOKE_METHOD_OK;
}

Invoke_Method_Status VELDARO_ThinProvisioningPool_Provider::GetAvailableExtents(const VELDARO_ThinProvisioningPool* self,
                                                                                const CIM_StorageSetting*,
                                                                                Array<CIM_StorageExtent*>& AvailableExtents,
                                                                                Property<uint32>& return_value)
{
    const char* key = self && !self->InstanceID.null ? self->InstanceID.value.c_str() : "";
    Pool_Methods::logStep(__FILE__, __LINE__, "GetAvailableExtents(ThinProvisioningPool) start InstanceID=%s", key);
    std::uint32_t result = Pool_Methods::FAILED;
    VELDARO_ThinProvisioningFreeExtent* extent = nullptr;
    try {
        result = availableExtent(self, extent);
    } catch (...) {
        if (extent)
            destroy(extent);
        extent = nullptr;
        SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::SEVERE, "The exception occurred(ThinProvisioningPool)");
        result = Pool_Methods::FAILED;
    }
    return_value.set(result);
    if (result == Pool_Methods::SUCCESS && extent) {
        AvailableExtents.append(cast<CIM_StorageExtent*>(extent));
        Pool_Methods::logStep(__FILE__, __LINE__, "0x0000=GetAvailableExtents(ThinProvisioningPool) end DeviceID=%s",
                              extent->DeviceID.value.c_str());
    } else {
        Pool_Methods::logStep(__FILE__, __LINE__, "0x%08x=GetAvailableExtents(ThinProvisioningPool) end", result);
    }
    return INVOKE_METHOD_OK;
}

}  // namespace cimple
