// Physical media of the disks: an indexed pair over the disk table.

#include "VELDARO_PhysicalMedia_Provider.h"

#include "Disk_Entry.h"
#include "Instance_Provider_Frame.h"
#include "VELDARO_PhysicalMedia_Resource.h"

namespace cimple {

namespace {

struct Physical_Media_Frame {
    using Model = VELDARO_PhysicalMedia;

    static bool storage(const Model* model, String& address)
    {
        return Instance_Provider_Frame::storageFromKeySuffix(model->Tag, address);
    }

    static int getOne(const String& address, const VELDARO_RefTable& table, const Model* model, Model*& instance)
    {
        std::uint16_t number = 0;
        if (!VELDARO_PhysicalMedia_Resource::divide_Tag(model->Tag.value.c_str(), &number))
            return 1;
        const int index = table.searchPlunFromDiskTable(number);
        if (index < 0)
            return 1;
        return VELDARO_PhysicalMedia_Resource(address).createInstance(instance, index);
    }

    static int enumAll(const String& address, const VELDARO_RefTable&, Enum_Instances_Handler<Model>* handler)
    {
        VELDARO_PhysicalMedia_Resource resource(address);
        return Instance_Provider_Frame::enumIndexes<Model>(
            Disk_Entry::DISK_TABLE_SIZE, handler,
            [&](int i, Model*& instance) { return resource.createInstance(instance, i); });
    }
};

}  // namespace

VELDARO_PhysicalMedia_Provider::VELDARO_PhysicalMedia_Provider() {}

VELDARO_PhysicalMedia_Provider::~VELDARO_PhysicalMedia_Provider() {}

Get_Instance_Status VELDARO_PhysicalMedia_Provider::get_instance(const VELDARO_PhysicalMedia* model, VELDARO_PhysicalMedia*& instance)
{
    return Instance_Provider_Frame::indexedGet<Physical_Media_Frame>(model, instance);
}

Enum_Instances_Status VELDARO_PhysicalMedia_Provider::enum_instances(const VELDARO_PhysicalMedia* model,
                                                             Enum_Instances_Handler<VELDARO_PhysicalMedia>* handler)
{
    return Instance_Provider_Frame::indexedEnum<Physical_Media_Frame>(model, handler);
}

}  // namespace cimple
