// Parts of concatenated extents: an indexed pair over the SLU table (the sub-volumes of volumes of several sub-volumes).

#include "VELDARO_PartOfConcatenatedExtent_Provider.h"

#include "Instance_Provider_Frame.h"
#include "VELDARO_PartOfConcatenatedExtent_Resource.h"

namespace cimple {

namespace {

struct Part_Of_Concatenated_Frame {
    using Model = VELDARO_PartOfConcatenatedExtent;

    static bool storage(const Model* model, String& address)
    {
        return Instance_Provider_Frame::storageFromSystemName(model->SystemName, address);
    }

    static int getOne(const String& address, const VELDARO_RefTable& table, const Model* model, Model*& instance)
    {
        std::uint16_t slun = 0;
        if (model->DeviceID.null || !VELDARO_PartOfConcatenatedExtent_Resource::divide_DeviceID(model->DeviceID.value.c_str(), &slun))
            return 1;
        const int index = table.searchSlunFromSluTable(slun);
        if (index < 0)
            return 1;
        return VELDARO_PartOfConcatenatedExtent_Resource(address).createInstance(instance, index);
    }

    static int enumAll(const String& address, const VELDARO_RefTable& table, Enum_Instances_Handler<Model>* handler)
    {
        VELDARO_PartOfConcatenatedExtent_Resource resource(address);
        return Instance_Provider_Frame::enumIndexes<Model>(
            table.getSLUMaxCount(), handler, [&](int i, Model*& instance) { return resource.createInstance(instance, i); });
    }
};

}  // namespace

VELDARO_PartOfConcatenatedExtent_Provider::VELDARO_PartOfConcatenatedExtent_Provider() {}

VELDARO_PartOfConcatenatedExtent_Provider::~VELDARO_PartOfConcatenatedExtent_Provider() {}

Get_Instance_Status VELDARO_PartOfConcatenatedExtent_Provider::get_instance(const VELDARO_PartOfConcatenatedExtent* model, VELDARO_PartOfConcatenatedExtent*& instance)
{
    return Instance_Provider_Frame::indexedGet<Part_Of_Concatenated_Frame>(model, instance);
}

Enum_Instances_Status VELDARO_PartOfConcatenatedExtent_Provider::enum_instances(const VELDARO_PartOfConcatenatedExtent* model,
                                                              Enum_Instances_Handler<VELDARO_PartOfConcatenatedExtent>* handler)
{
    return Instance_Provider_Frame::indexedEnum<Part_Of_Concatenated_Frame>(model, handler);
}

}  // namespace cimple
