// Disk firmware identities: an indexed pair over the disk table.

#include "VELDARO_DiskSoftwareIdentity_Provider.h"

#include "Instance_Provider_Frame.h"
#include "VELDARO_DiskSoftwareIdentity_Resource.h"

namespace cimple {

namespace {

struct Disk_Software_Frame {
    using Model = VELDARO_DiskSoftwareIdentity;

    static bool storage(const Model* model, String& address)
    {
        return Instance_Provider_Frame::storageFromKeySuffix(model->InstanceID, address);
    }

    static int getOne(const String& address, const VELDARO_RefTable& table, const Model* model, Model*& instance)
    {
        std::uint16_t plun = 0;
        if (!VELDARO_DiskSoftwareIdentity_Resource::divide_InstanceID(model->InstanceID.value.c_str(), &plun))
            return 1;
        const int index = table.searchPlunFromDiskTable(plun);
        if (index < 0)
            return 1;
        return VELDARO_DiskSoftwareIdentity_Resource(address).createInstance(instance, index);
    }

    static int enumAll(const String& address, const VELDARO_RefTable&, Enum_Instances_Handler<Model>* handler)
    {
        VELDARO_DiskSoftwareIdentity_Resource resource(address);
        return Instance_Provider_Frame::enumIndexes<Model>(
            VELDARO_DiskSoftwareIdentity_Resource::DISK_TABLE_SIZE, handler,
            [&](int i, Model*& instance) { return resource.createInstance(instance, i); });
    }
};

}  // namespace

VELDARO_DiskSoftwareIdentity_Provider::VELDARO_DiskSoftwareIdentity_Provider() {}

VELDARO_DiskSoftwareIdentity_Provider::~VELDARO_DiskSoftwareIdentity_Provider() {}

Get_Instance_Status VELDARO_DiskSoftwareIdentity_Provider::get_instance(const VELDARO_DiskSoftwareIdentity* model,
                                                                        VELDARO_DiskSoftwareIdentity*& instance)
{
    return Instance_Provider_Frame::indexedGet<Disk_Software_Frame>(model, instance);
}

Enum_Instances_Status VELDARO_DiskSoftwareIdentity_Provider::enum_instances(
    const VELDARO_DiskSoftwareIdentity* model, Enum_Instances_Handler<VELDARO_DiskSoftwareIdentity>* handler)
{
    return Instance_Provider_Frame::indexedEnum<Disk_Software_Frame>(model, handler);
}

}  // namespace cimple
