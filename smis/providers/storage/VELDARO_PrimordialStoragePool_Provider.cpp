// The primordial storage pool: a list pair with one pool per array, and the
// pool's size and extent methods, answered by the RAID group engine or,
// for a thin pool's setting, the thin pool engine.

#include "VELDARO_PrimordialStoragePool_Provider.h"

#include "Instance_Provider_Frame.h"
#include "Pool_Methods.h"
#include "SMISMethodCom.h"
#include "SMISProviderRAIDGroupConfiguration.h"
#include "SMISProviderTPPConfiguration.h"
#include "SMIS_TraceLog.h"
#include "VELDARO_PrimordialStoragePool_Resource.h"
#include "VELDARO_RefTable.h"

#include <functional>
#include <memory>
#include "String_Ops.h"

namespace cimple {

namespace {

struct Primordial_Pool_Frame {
    using Model = VELDARO_PrimordialStoragePool;
    using Builder = VELDARO_PrimordialStoragePool_Resource;
    static int build(Builder& builder) { return builder.createPrimordialStoragePool(); }
    static Array<Model*>& list(Builder& builder) { return builder.list(); }
};

// The array named by the target pool's key and the valid-table pre-check:
// 0, or the method's return value.
std::uint32_t firstCheck(const VELDARO_PrimordialStoragePool* self, String& storage)
{
    if (!self || !Pool_Methods::storageOf(self->InstanceID, storage))
        return Pool_Methods::NO_STORAGE;
    VELDARO_RefTable table(storage.c_str());
    return SMISMethodCom::mcFirstCommonProcess(SMISMethodCom::CHECK_VALID_TABLE, &table);
}

std::uint32_t _checkGetSupportedSizes(const Property<uint16>& ElementType)
{
    const int type = ElementType.null ? -1 : ElementType.value;
    if (type == 2)
        return 0;
    if (type != 3 && type != 4)
        Pool_Methods::logInvalidElementType(__FILE__, __LINE__, ElementType);
    return Pool_Methods::NOT_SUPPORTED;
}

// A copy of the array's primordial pool with the model's key, or null.
VELDARO_PrimordialStoragePool* getPrimordialPoolInstance(const String& storage,
                                                         const VELDARO_PrimordialStoragePool* model)
{
    VELDARO_PrimordialStoragePool_Resource builder(storage);
    if (builder.createPrimordialStoragePool() == 1)
        return nullptr;
    for (std::size_t i = 0; i < builder.list().size(); ++i) {
        const VELDARO_PrimordialStoragePool* built = builder.list()[i];
        if (built && !built->InstanceID.null && !model->InstanceID.null &&
            built->InstanceID.value == model->InstanceID.value)
            return built->clone();
    }
    return nullptr;
}

bool isTPPSetting(const CIM_StorageSetting* Goal)
{
    return Goal && !Goal->InstanceID.null && Goal->InstanceID.value.find("TPP") != npos;
}

// Runs a query on the engine for the goal (the thin pool engine for a thin
// pool's setting) over the target pool; failure when either is missing or
// the query fails.
std::uint32_t withEngine(
    const String& storage, const VELDARO_PrimordialStoragePool* self, const CIM_StorageSetting* Goal,
    std::uint32_t failure,
    const std::function<std::uint32_t(SMISProviderPoolConfiguration&, const CIM_StoragePool*)>& query)
{
    std::unique_ptr<VELDARO_PrimordialStoragePool, void (*)(VELDARO_PrimordialStoragePool*)> pool(
        getPrimordialPoolInstance(storage, self), [](VELDARO_PrimordialStoragePool* p) { destroy(p); });
    if (!pool)
        return failure;
    std::unique_ptr<SMISProviderPoolConfiguration> engine;
    if (isTPPSetting(Goal))
        engine = SMISProviderTPPConfigurationFactory::engineFor(storage);
    else
        engine = SMISProviderRAIDGroupConfigurationFactory::engineFor(storage);
    if (!engine)
        return failure;
    return query(*engine, cast<const CIM_StoragePool*>(pool.get())) == 0 ? 0 : failure;
}

}  // namespace

VELDARO_PrimordialStoragePool_Provider::VELDARO_PrimordialStoragePool_Provider() {}

VELDARO_PrimordialStoragePool_Provider::~VELDARO_PrimordialStoragePool_Provider() {}

Get_Instance_Status VELDARO_PrimordialStoragePool_Provider::get_instance(const VELDARO_PrimordialStoragePool* model,
                                                                         VELDARO_PrimordialStoragePool*& instance)
{
    return Instance_Provider_Frame::listGet<Primordial_Pool_Frame>(model, instance);
}

Enum_Instances_Status VELDARO_PrimordialStoragePool_Provider::enum_instances(
    const VELDARO_PrimordialStoragePool* model, Enum_Instances_Handler<VELDARO_PrimordialStoragePool>* handler)
{
    return Instance_Provider_Frame::listEnum<Primordial_Pool_Frame>(model, handler);
}

Invoke_Method_Status VELDARO_PrimordialStoragePool_Provider::GetSupportedSizes(
    const VELDARO_PrimordialStoragePool* self, const Property<uint16>& ElementType, const CIM_StorageSetting* Goal,
    Property<Array<uint64>>& Sizes, Property<uint32>& return_value)
{
    Pool_Methods::logStep(__FILE__, __LINE__, "Method Call GetSupportedSizes(PrimordialStoragePool) start");
    std::uint32_t result = Pool_Methods::NO_STORAGE;
    try {
        result = firstCheck(self, _storage_address);
        if (result == 0)
            result = _checkGetSupportedSizes(ElementType);
        if (result == 0) {
            Array<uint64> sizes;
            result = withEngine(_storage_address, self, Goal, Pool_Methods::NOT_SUPPORTED,
                                [&](SMISProviderPoolConfiguration& engine, const CIM_StoragePool* pool) {
                                    return engine.getSupportedSizes(Goal, pool, sizes);
                                });
            if (result == 0)
                Sizes.set(sizes);
        }
    } catch (...) {
        result = Pool_Methods::NO_STORAGE;
    }
    return_value.set(result);
    Pool_Methods::logStep(__FILE__, __LINE__, "0x%08x=GetSupportedSizes(PrimordialStoragePool) end", result);
    return INVOKE_METHOD_OK;
}

Invoke_Method_Status VELDARO_PrimordialStoragePool_Provider::GetSupportedSizeRange(
    const VELDARO_PrimordialStoragePool*, const Property<uint16>& ElementType, const CIM_StorageSetting*,
    Property<uint64>&, Property<uint64>&, Property<uint64>&, Property<uint32>& return_value)
{
    Pool_Methods::logStep(__FILE__, __LINE__, "Method Call GetSupportedSizeRange(PrimordialStoragePool) start");
    std::uint32_t result = SMISMethodCom::mcFirstCommonProcess(0, nullptr);
    if (result == 0) {
        // Pools made from this one are sized by a list, never by a range.
        const int type = ElementType.null ? -1 : ElementType.value;
        if (type == 2)
            result = Pool_Methods::USE_OTHER_METHOD;
        else {
            if (type != 3 && type != 4)
                Pool_Methods::logInvalidElementType(__FILE__, __LINE__, ElementType);
            result = Pool_Methods::NOT_SUPPORTED;
        }
    }
    return_value.set(result);
    Pool_Methods::logStep(__FILE__, __LINE__, "0x%08x=GetSupportedSizeRange(PrimordialStoragePool) end", result);
    return INVOKE_METHOD_OK;
}

Invoke_Method_Status VELDARO_PrimordialStoragePool_Provider::GetAvailableExtents(
    const VELDARO_PrimordialStoragePool* self, const CIM_StorageSetting* Goal,
    Array<CIM_StorageExtent*>& AvailableExtents, Property<uint32>& return_value)
{
    Pool_Methods::logStep(__FILE__, __LINE__, "Method Call GetAvailableExtents(PrimordialStoragePool) start");
    std::uint32_t result = Pool_Methods::NO_STORAGE;
    try {
        result = firstCheck(self, _storage_address);
        if (result == 0) {
            Array<CIM_StorageExtent*> extents;
            result = withEngine(_storage_address, self, Goal, Pool_Methods::FAILED,
                                [&](SMISProviderPoolConfiguration& engine, const CIM_StoragePool* pool) {
                                    return engine.getAvailableExtents(Goal, pool, extents);
                                });
            for (std::size_t i = 0; i < extents.size(); ++i) {
                if (result == 0)
                    AvailableExtents.append(extents[i]);
                else
                    destroy(extents[i]);
            }
        }
    } catch (...) {
        result = Pool_Methods::NO_STORAGE;
    }
    return_value.set(result);
    Pool_Methods::logStep(__FILE__, __LINE__, "0x%08x=GetAvailableExtents(PrimordialStoragePool) end", result);
    return INVOKE_METHOD_OK;
}

}  // namespace cimple
