// Tiering pools: an indexed pair over the 64 entries of the tiering pool table.

#include "VELDARO_LayerixPool_Provider.h"

#include "Instance_Provider_Frame.h"
#include "VELDARO_LayerixPool_Resource.h"

namespace cimple {

namespace {

struct Tiering_Pool_Frame {
    using Model = VELDARO_LayerixPool;

    static bool storage(const Model* model, String& address)
    {
        return Instance_Provider_Frame::storageFromKeySuffix(model->InstanceID, address);
    }

    static int getOne(const String& address, const VELDARO_RefTable& table, const Model* model, Model*& instance)
    {
        std::uint16_t pool = 0;
        if (model->InstanceID.null ||
            !VELDARO_LayerixPool_Resource::divide_InstanceID(model->InstanceID.value.c_str(), &pool))
            return 1;
        const int index = table.searchPoolNoFromLxrpTable(pool);
        if (index < 0)
            return 1;
        return VELDARO_LayerixPool_Resource(address).createInstance(instance, index);
    }

    static int enumAll(const String& address, const VELDARO_RefTable&, Enum_Instances_Handler<Model>* handler)
    {
        VELDARO_LayerixPool_Resource resource(address);
        return Instance_Provider_Frame::enumIndexes<Model>(
            VELDARO_LayerixPool_Resource::LXRP_TABLE_SIZE, handler,
            [&](int i, Model*& instance) { return resource.createInstance(instance, i); });
    }
};

}  // namespace

VELDARO_LayerixPool_Provider::VELDARO_LayerixPool_Provider() {}

VELDARO_LayerixPool_Provider::~VELDARO_LayerixPool_Provider() {}

Get_Instance_Status VELDARO_LayerixPool_Provider::get_instance(const VELDARO_LayerixPool* model, VELDARO_LayerixPool*& instance)
{
    return Instance_Provider_Frame::indexedGet<Tiering_Pool_Frame>(model, instance);
}

Enum_Instances_Status VELDARO_LayerixPool_Provider::enum_instances(const VELDARO_LayerixPool* model,
                                                            Enum_Instances_Handler<VELDARO_LayerixPool>* handler)
{
    return Instance_Provider_Frame::indexedEnum<Tiering_Pool_Frame>(model, handler);
}

}  // namespace cimple
