// Tiering extents: an indexed pair over the tiering pool (LXRP) table.

#include "VELDARO_LayerixExtent_Provider.h"

#include "Instance_Provider_Frame.h"
#include "VELDARO_LayerixExtent_Resource.h"

namespace cimple {

namespace {

struct Frame_Traits {
    using Model = VELDARO_LayerixExtent;

    static bool storage(const Model* model, String& address)
    {
        return Instance_Provider_Frame::storageFromSystemName(model->SystemName, address);
    }

    static int getOne(const String& address, const VELDARO_RefTable& table, const Model* model, Model*& instance)
    {
        std::uint16_t poolNumber = 0;
        if (model->DeviceID.null ||
            !VELDARO_LayerixExtent_Resource::divide_DeviceID(model->DeviceID.value.c_str(), &poolNumber))
            return 1;
        const int index = table.searchPoolNoFromLxrpTable(poolNumber);
        if (index < 0)
            return 1;
        return VELDARO_LayerixExtent_Resource(address).createInstance(instance, index);
    }

    static int enumAll(const String& address, const VELDARO_RefTable&, Enum_Instances_Handler<Model>* handler)
    {
        VELDARO_LayerixExtent_Resource resource(address);
        return Instance_Provider_Frame::enumIndexes<Model>(
            VELDARO_LayerixExtent_Resource::LXRP_TABLE_SIZE, handler,
            [&](int i, Model*& instance) { return resource.createInstance(instance, i); });
    }
};

}  // namespace

VELDARO_LayerixExtent_Provider::VELDARO_LayerixExtent_Provider() {}

VELDARO_LayerixExtent_Provider::~VELDARO_LayerixExtent_Provider() {}

Get_Instance_Status VELDARO_LayerixExtent_Provider::get_instance(const VELDARO_LayerixExtent* model,
                                                                 VELDARO_LayerixExtent*& instance)
{
    return Instance_Provider_Frame::indexedGet<Frame_Traits>(model, instance);
}

Enum_Instances_Status VELDARO_LayerixExtent_Provider::enum_instances(
    const VELDARO_LayerixExtent* model, Enum_Instances_Handler<VELDARO_LayerixExtent>* handler)
{
    return Instance_Provider_Frame::indexedEnum<Frame_Traits>(model, handler);
}

}  // namespace cimple
