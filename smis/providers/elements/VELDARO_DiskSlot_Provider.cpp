// Disk slots: an indexed pair over the disk table.

#include "VELDARO_DiskSlot_Provider.h"

#include "Disk_Entry.h"
#include "Instance_Provider_Frame.h"
#include "VELDARO_DiskSlot_Resource.h"

namespace cimple {

namespace {

struct Disk_Slot_Frame {
    using Model = VELDARO_DiskSlot;

    static bool storage(const Model* model, String& address)
    {
        return Instance_Provider_Frame::storageFromKeySuffix(model->Tag, address);
    }

    static int getOne(const String& address, const VELDARO_RefTable& table, const Model* model, Model*& instance)
    {
        std::uint16_t number = 0;
        if (!VELDARO_DiskSlot_Resource::divide_Tag(model->Tag.value.c_str(), &number))
            return 1;
        const int index = table.searchPlunFromDiskTable(number);
        if (index < 0)
            return 1;
        return VELDARO_DiskSlot_Resource(address).createInstance(instance, index);
    }

    static int enumAll(const String& address, const VELDARO_RefTable&, Enum_Instances_Handler<Model>* handler)
    {
        VELDARO_DiskSlot_Resource resource(address);
        return Instance_Provider_Frame::enumIndexes<Model>(
            Disk_Entry::DISK_TABLE_SIZE, handler,
            [&](int i, Model*& instance) { return resource.createInstance(instance, i); });
    }
};

}  // namespace

VELDARO_DiskSlot_Provider::VELDARO_DiskSlot_Provider() {}

VELDARO_DiskSlot_Provider::~VELDARO_DiskSlot_Provider() {}

Get_Instance_Status VELDARO_DiskSlot_Provider::get_instance(const VELDARO_DiskSlot* model, VELDARO_DiskSlot*& instance)
{
    return Instance_Provider_Frame::indexedGet<Disk_Slot_Frame>(model, instance);
}

Enum_Instances_Status VELDARO_DiskSlot_Provider::enum_instances(const VELDARO_DiskSlot* model,
                                                             Enum_Instances_Handler<VELDARO_DiskSlot>* handler)
{
    return Instance_Provider_Frame::indexedEnum<Disk_Slot_Frame>(model, handler);
}

}  // namespace cimple
