// Thin-provisioning pools: an indexed pair over the 256 entries of the pool
// table, with the pool's size methods.

#include "VELDARO_ThinProvisioningPool_Provider.h"

#include "Instance_Provider_Frame.h"
#include "Pool_Methods.h"
#include "SMISMethodCom.h"
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

// The range needs the thin volume configuration engine and the extents the
// thin free-extent builder, which this module does not carry yet: both
// methods answer as not supported.
Invoke_Method_Status VELDARO_ThinProvisioningPool_Provider::GetSupportedSizeRange(
    const VELDARO_ThinProvisioningPool*, const Property<uint16>&, const CIM_StorageSetting*, Property<uint64>&,
    Property<uint64>&, Property<uint64>&, Property<uint32>&)
{
    return INVOKE_METHOD_UNSUPPORTED;
}

Invoke_Method_Status VELDARO_ThinProvisioningPool_Provider::GetAvailableExtents(const VELDARO_ThinProvisioningPool*,
                                                                                const CIM_StorageSetting*,
                                                                                Array<CIM_StorageExtent*>&,
                                                                                Property<uint32>&)
{
    return INVOKE_METHOD_UNSUPPORTED;
}

}  // namespace cimple
