// Concatenated extents: an indexed pair over the OLU table (volumes of several sub-volumes).

#include "VELDARO_ConcatenatedExtent_Provider.h"

#include "Instance_Provider_Frame.h"
#include "VELDARO_ConcatenatedExtent_Resource.h"

namespace cimple {

namespace {

struct Concatenated_Extent_Frame {
    using Model = VELDARO_ConcatenatedExtent;

    static bool storage(const Model* model, String& address)
    {
        return Instance_Provider_Frame::storageFromSystemName(model->SystemName, address);
    }

    static int getOne(const String& address, const VELDARO_RefTable& table, const Model* model, Model*& instance)
    {
        std::uint16_t olun = 0;
        if (model->DeviceID.null || !VELDARO_ConcatenatedExtent_Resource::divide_DeviceID(model->DeviceID.value.c_str(), &olun))
            return 1;
        const int index = table.searchOlunFromOluTable(olun);
        if (index < 0)
            return 1;
        return VELDARO_ConcatenatedExtent_Resource(address).createInstance(instance, index);
    }

    static int enumAll(const String& address, const VELDARO_RefTable& table, Enum_Instances_Handler<Model>* handler)
    {
        VELDARO_ConcatenatedExtent_Resource resource(address);
        return Instance_Provider_Frame::enumIndexes<Model>(
            table.getOLUMaxCount(), handler, [&](int i, Model*& instance) { return resource.createInstance(instance, i); });
    }
};

}  // namespace

VELDARO_ConcatenatedExtent_Provider::VELDARO_ConcatenatedExtent_Provider() {}

VELDARO_ConcatenatedExtent_Provider::~VELDARO_ConcatenatedExtent_Provider() {}

Get_Instance_Status VELDARO_ConcatenatedExtent_Provider::get_instance(const VELDARO_ConcatenatedExtent* model, VELDARO_ConcatenatedExtent*& instance)
{
    return Instance_Provider_Frame::indexedGet<Concatenated_Extent_Frame>(model, instance);
}

Enum_Instances_Status VELDARO_ConcatenatedExtent_Provider::enum_instances(const VELDARO_ConcatenatedExtent* model,
                                                              Enum_Instances_Handler<VELDARO_ConcatenatedExtent>* handler)
{
    return Instance_Provider_Frame::indexedEnum<Concatenated_Extent_Frame>(model, handler);
}

}  // namespace cimple
