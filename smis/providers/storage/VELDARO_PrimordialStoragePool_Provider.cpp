// The primordial storage pool: a list pair with one pool per array, and the
// pool's size and extent methods.

#include "VELDARO_PrimordialStoragePool_Provider.h"

#include "Instance_Provider_Frame.h"
#include "Pool_Methods.h"
#include "SMISMethodCom.h"
#include "VELDARO_PrimordialStoragePool_Resource.h"

namespace cimple {

namespace {

struct Primordial_Pool_Frame {
    using Model = VELDARO_PrimordialStoragePool;
    using Builder = VELDARO_PrimordialStoragePool_Resource;
    static int build(Builder& builder) { return builder.createPrimordialStoragePool(); }
    static Array<Model*>& list(Builder& builder) { return builder.list(); }
};

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

// Sizes and extents come from the RAID group and thin pool configuration
// engines, which this module does not carry yet: both methods answer as not
// supported.
Invoke_Method_Status VELDARO_PrimordialStoragePool_Provider::GetSupportedSizes(const VELDARO_PrimordialStoragePool*,
                                                                               const Property<uint16>&,
                                                                               const CIM_StorageSetting*,
                                                                               Property<Array<uint64>>&,
                                                                               Property<uint32>&)
{
    return INVOKE_METHOD_UNSUPPORTED;
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

Invoke_Method_Status VELDARO_PrimordialStoragePool_Provider::GetAvailableExtents(const VELDARO_PrimordialStoragePool*,
                                                                                 const CIM_StorageSetting*,
                                                                                 Array<CIM_StorageExtent*>&,
                                                                                 Property<uint32>&)
{
    return INVOKE_METHOD_UNSUPPORTED;
}

}  // namespace cimple
