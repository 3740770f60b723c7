// Physical disks: an indexed pair over the disk table.

#include "VELDARO_PhysicalDisk_Provider.h"

#include "Disk_Entry.h"
#include "Instance_Provider_Frame.h"
#include "VELDARO_PhysicalDisk_Resource.h"

namespace cimple {

namespace {

struct Physical_Disk_Frame {
    using Model = VELDARO_PhysicalDisk;

    static bool storage(const Model* model, String& address)
    {
        return Instance_Provider_Frame::storageFromKeySuffix(model->Tag, address);
    }

    static int getOne(const String& address, const VELDARO_RefTable& table, const Model* model, Model*& instance)
    {
        std::uint16_t number = 0;
        if (!VELDARO_PhysicalDisk_Resource::divide_Tag(model->Tag.value.c_str(), &number))
            return 1;
        const int index = table.searchPlunFromDiskTable(number);
        if (index < 0)
            return 1;
        return VELDARO_PhysicalDisk_Resource(address).createInstance(instance, index);
    }

    static int enumAll(const String& address, const VELDARO_RefTable&, Enum_Instances_Handler<Model>* handler)
    {
        VELDARO_PhysicalDisk_Resource resource(address);
        return Instance_Provider_Frame::enumIndexes<Model>(
            Disk_Entry::DISK_TABLE_SIZE, handler,
            [&](int i, Model*& instance) { return resource.createInstance(instance, i); });
    }
};

}  // namespace

VELDARO_PhysicalDisk_Provider::VELDARO_PhysicalDisk_Provider() {}

VELDARO_PhysicalDisk_Provider::~VELDARO_PhysicalDisk_Provider() {}

Get_Instance_Status VELDARO_PhysicalDisk_Provider::get_instance(const VELDARO_PhysicalDisk* model, VELDARO_PhysicalDisk*& instance)
{
    return Instance_Provider_Frame::indexedGet<Physical_Disk_Frame>(model, instance);
}

Enum_Instances_Status VELDARO_PhysicalDisk_Provider::enum_instances(const VELDARO_PhysicalDisk* model,
                                                             Enum_Instances_Handler<VELDARO_PhysicalDisk>* handler)
{
    return Instance_Provider_Frame::indexedEnum<Physical_Disk_Frame>(model, handler);
}

}  // namespace cimple
