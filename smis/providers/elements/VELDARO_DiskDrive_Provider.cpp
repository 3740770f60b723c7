// Disk drives: an indexed pair over the disk table.

#include "VELDARO_DiskDrive_Provider.h"

#include "Disk_Entry.h"
#include "Instance_Provider_Frame.h"
#include "VELDARO_DiskDrive_Resource.h"

namespace cimple {

namespace {

struct Disk_Drive_Frame {
    using Model = VELDARO_DiskDrive;

    static bool storage(const Model* model, String& address)
    {
        return Instance_Provider_Frame::storageFromSystemName(model->SystemName, address);
    }

    static int getOne(const String& address, const VELDARO_RefTable& table, const Model* model, Model*& instance)
    {
        std::uint16_t number = 0;
        if (model->DeviceID.null || !VELDARO_DiskDrive_Resource::divide_DeviceID(model->DeviceID.value.c_str(), &number))
            return 1;
        const int index = table.searchPlunFromDiskTable(number);
        if (index < 0)
            return 1;
        return VELDARO_DiskDrive_Resource(address).createInstance(instance, index);
    }

    static int enumAll(const String& address, const VELDARO_RefTable&, Enum_Instances_Handler<Model>* handler)
    {
        VELDARO_DiskDrive_Resource resource(address);
        return Instance_Provider_Frame::enumIndexes<Model>(
            Disk_Entry::DISK_TABLE_SIZE, handler,
            [&](int i, Model*& instance) { return resource.createInstance(instance, i); });
    }
};

}  // namespace

VELDARO_DiskDrive_Provider::VELDARO_DiskDrive_Provider() {}

VELDARO_DiskDrive_Provider::~VELDARO_DiskDrive_Provider() {}

Get_Instance_Status VELDARO_DiskDrive_Provider::get_instance(const VELDARO_DiskDrive* model, VELDARO_DiskDrive*& instance)
{
    return Instance_Provider_Frame::indexedGet<Disk_Drive_Frame>(model, instance);
}

Enum_Instances_Status VELDARO_DiskDrive_Provider::enum_instances(const VELDARO_DiskDrive* model,
                                                             Enum_Instances_Handler<VELDARO_DiskDrive>* handler)
{
    return Instance_Provider_Frame::indexedEnum<Disk_Drive_Frame>(model, handler);
}

}  // namespace cimple
