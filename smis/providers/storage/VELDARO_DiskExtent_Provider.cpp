// Disk extents: an indexed pair over the disk table.

#include "VELDARO_DiskExtent_Provider.h"

#include "Instance_Provider_Frame.h"
#include "VELDARO_DiskExtent_Resource.h"

namespace cimple {

namespace {

struct Disk_Extent_Frame {
    using Model = VELDARO_DiskExtent;

    static bool storage(const Model* model, String& address)
    {
        return Instance_Provider_Frame::storageFromSystemName(model->SystemName, address);
    }

    static int getOne(const String& address, const VELDARO_RefTable& table, const Model* model, Model*& instance)
    {
        std::uint16_t plun = 0;
        if (model->DeviceID.null || !VELDARO_DiskExtent_Resource::divide_DeviceID(model->DeviceID.value.c_str(), &plun))
            return 1;
        const int index = table.searchPlunFromDiskTable(plun);
        if (index < 0)
            return 1;
        return VELDARO_DiskExtent_Resource(address).createInstance(instance, index);
    }

    static int enumAll(const String& address, const VELDARO_RefTable&, Enum_Instances_Handler<Model>* handler)
    {
        VELDARO_DiskExtent_Resource resource(address);
        return Instance_Provider_Frame::enumIndexes<Model>(
            VELDARO_DiskExtent_Resource::DISK_TABLE_SIZE, handler,
            [&](int i, Model*& instance) { return resource.createInstance(instance, i); });
    }
};

}  // namespace

VELDARO_DiskExtent_Provider::VELDARO_DiskExtent_Provider() {}

VELDARO_DiskExtent_Provider::~VELDARO_DiskExtent_Provider() {}

Get_Instance_Status VELDARO_DiskExtent_Provider::get_instance(const VELDARO_DiskExtent* model,
                                                              VELDARO_DiskExtent*& instance)
{
    return Instance_Provider_Frame::indexedGet<Disk_Extent_Frame>(model, instance);
}

Enum_Instances_Status VELDARO_DiskExtent_Provider::enum_instances(const VELDARO_DiskExtent* model,
                                                                  Enum_Instances_Handler<VELDARO_DiskExtent>* handler)
{
    return Instance_Provider_Frame::indexedEnum<Disk_Extent_Frame>(model, handler);
}

}  // namespace cimple
