// RAID composite extents: an indexed pair over the RAID group table.

#include "VELDARO_RAIDCompositeExtent_Provider.h"

#include "Instance_Provider_Frame.h"
#include "VELDARO_RAIDCompositeExtent_Resource.h"

namespace cimple {

namespace {

struct RAID_Composite_Frame {
    using Model = VELDARO_RAIDCompositeExtent;

    static bool storage(const Model* model, String& address)
    {
        return Instance_Provider_Frame::storageFromSystemName(model->SystemName, address);
    }

    static int getOne(const String& address, const VELDARO_RefTable& table, const Model* model, Model*& instance)
    {
        std::uint16_t rlun = 0;
        if (model->DeviceID.null || !VELDARO_RAIDCompositeExtent_Resource::divide_DeviceID(model->DeviceID.value.c_str(), &rlun))
            return 1;
        const int index = table.searchRlunFromRluTable(rlun);
        if (index < 0)
            return 1;
        return VELDARO_RAIDCompositeExtent_Resource(address).createInstance(instance, index);
    }

    static int enumAll(const String& address, const VELDARO_RefTable& table, Enum_Instances_Handler<Model>* handler)
    {
        VELDARO_RAIDCompositeExtent_Resource resource(address);
        return Instance_Provider_Frame::enumIndexes<Model>(
            table.getRLUMaxCount(), handler,
            [&](int i, Model*& instance) { return resource.createInstance(instance, i); });
    }
};

}  // namespace

VELDARO_RAIDCompositeExtent_Provider::VELDARO_RAIDCompositeExtent_Provider() {}

VELDARO_RAIDCompositeExtent_Provider::~VELDARO_RAIDCompositeExtent_Provider() {}

Get_Instance_Status VELDARO_RAIDCompositeExtent_Provider::get_instance(const VELDARO_RAIDCompositeExtent* model,
                                                              VELDARO_RAIDCompositeExtent*& instance)
{
    return Instance_Provider_Frame::indexedGet<RAID_Composite_Frame>(model, instance);
}

Enum_Instances_Status VELDARO_RAIDCompositeExtent_Provider::enum_instances(const VELDARO_RAIDCompositeExtent* model,
                                                                  Enum_Instances_Handler<VELDARO_RAIDCompositeExtent>* handler)
{
    return Instance_Provider_Frame::indexedEnum<RAID_Composite_Frame>(model, handler);
}

}  // namespace cimple
