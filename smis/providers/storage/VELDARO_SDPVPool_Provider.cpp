// Snapshot data pool volumes as pools: an indexed pair over the sub-volume
// table.

#include "VELDARO_SDPVPool_Provider.h"

#include "Instance_Provider_Frame.h"
#include "VELDARO_SDPVPool_Resource.h"

namespace cimple {

namespace {

struct SDPV_Pool_Frame {
    using Model = VELDARO_SDPVPool;

    static bool storage(const Model* model, String& address)
    {
        return Instance_Provider_Frame::storageFromKeySuffix(model->InstanceID, address);
    }

    static int getOne(const String& address, const VELDARO_RefTable& table, const Model* model, Model*& instance)
    {
        std::uint16_t olun = 0;
        if (model->InstanceID.null ||
            !VELDARO_SDPVPool_Resource::divide_InstanceID(model->InstanceID.value.c_str(), &olun))
            return 1;
        const int index = table.searchLunByLuTypeFromSluTable(VELDARO_SDPVPool_Resource::LU_TYPE_SDPV, olun);
        if (index < 0)
            return 1;
        return VELDARO_SDPVPool_Resource(address).createInstance(instance, index);
    }

    static int enumAll(const String& address, const VELDARO_RefTable& table, Enum_Instances_Handler<Model>* handler)
    {
        VELDARO_SDPVPool_Resource resource(address);
        return Instance_Provider_Frame::enumIndexes<Model>(
            table.getSLUMaxCount(), handler, [&](int i, Model*& instance) { return resource.createInstance(instance, i); });
    }
};

}  // namespace

VELDARO_SDPVPool_Provider::VELDARO_SDPVPool_Provider() {}

VELDARO_SDPVPool_Provider::~VELDARO_SDPVPool_Provider() {}

Get_Instance_Status VELDARO_SDPVPool_Provider::get_instance(const VELDARO_SDPVPool* model, VELDARO_SDPVPool*& instance)
{
    return Instance_Provider_Frame::indexedGet<SDPV_Pool_Frame>(model, instance);
}

Enum_Instances_Status VELDARO_SDPVPool_Provider::enum_instances(const VELDARO_SDPVPool* model,
                                                                Enum_Instances_Handler<VELDARO_SDPVPool>* handler)
{
    return Instance_Provider_Frame::indexedEnum<SDPV_Pool_Frame>(model, handler);
}

}  // namespace cimple
