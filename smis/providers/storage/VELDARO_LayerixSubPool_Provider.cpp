// Tiering sub-pools: an indexed pair over the 256 entries of the thin pool table.

#include "VELDARO_LayerixSubPool_Provider.h"

#include "Instance_Provider_Frame.h"
#include "VELDARO_LayerixSubPool_Resource.h"

namespace cimple {

namespace {

struct Tiering_Sub_Pool_Frame {
    using Model = VELDARO_LayerixSubPool;

    static bool storage(const Model* model, String& address)
    {
        return Instance_Provider_Frame::storageFromKeySuffix(model->InstanceID, address);
    }

    static int getOne(const String& address, const VELDARO_RefTable& table, const Model* model, Model*& instance)
    {
        std::uint16_t pool = 0;
        if (model->InstanceID.null ||
            !VELDARO_LayerixSubPool_Resource::divide_InstanceID(model->InstanceID.value.c_str(), &pool))
            return 1;
        const int index = table.searchPoolNoFromTppTable(pool);
        if (index < 0)
            return 1;
        return VELDARO_LayerixSubPool_Resource(address).createInstance(instance, index);
    }

    static int enumAll(const String& address, const VELDARO_RefTable&, Enum_Instances_Handler<Model>* handler)
    {
        VELDARO_LayerixSubPool_Resource resource(address);
        return Instance_Provider_Frame::enumIndexes<Model>(
            VELDARO_LayerixSubPool_Resource::TPP_TABLE_SIZE, handler,
            [&](int i, Model*& instance) { return resource.createInstance(instance, i); });
    }
};

}  // namespace

VELDARO_LayerixSubPool_Provider::VELDARO_LayerixSubPool_Provider() {}

VELDARO_LayerixSubPool_Provider::~VELDARO_LayerixSubPool_Provider() {}

Get_Instance_Status VELDARO_LayerixSubPool_Provider::get_instance(const VELDARO_LayerixSubPool* model, VELDARO_LayerixSubPool*& instance)
{
    return Instance_Provider_Frame::indexedGet<Tiering_Sub_Pool_Frame>(model, instance);
}

Enum_Instances_Status VELDARO_LayerixSubPool_Provider::enum_instances(const VELDARO_LayerixSubPool* model,
                                                            Enum_Instances_Handler<VELDARO_LayerixSubPool>* handler)
{
    return Instance_Provider_Frame::indexedEnum<Tiering_Sub_Pool_Frame>(model, handler);
}

}  // namespace cimple
