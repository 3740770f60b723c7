// RAID storage pools: an indexed pair over the RAID group table, with the
// pool's size and extent methods.

#include "VELDARO_RAIDStoragePool_Provider.h"

#include "Instance_Provider_Frame.h"
#include "Pool_Methods.h"
#include "SMISMethodCom.h"
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
        extents.append(static_cast<CIM_StorageExtent*>(list[i]));
    list.clear();
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

// The range needs the volume configuration engine, which this module does
// not carry yet: the method answers as not supported.
Invoke_Method_Status VELDARO_RAIDStoragePool_Provider::GetSupportedSizeRange(
    const VELDARO_RAIDStoragePool*, const Property<uint16>&, const CIM_StorageSetting*, Property<uint64>&,
    Property<uint64>&, Property<uint64>&, Property<uint32>&)
{
    return INVOKE_METHOD_UNSUPPORTED;
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
