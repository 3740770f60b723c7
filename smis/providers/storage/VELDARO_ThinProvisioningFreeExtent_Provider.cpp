// Thin provisioning free extents: an indexed pair over the TPP table (each pool's unused capacity).

#include "VELDARO_ThinProvisioningFreeExtent_Provider.h"

#include "Instance_Provider_Frame.h"
#include "VELDARO_ThinProvisioningFreeExtent_Resource.h"

namespace cimple {

namespace {

using Resource = VELDARO_ThinProvisioningFreeExtent_Resource;

struct Thin_Provisioning_Free_Frame {
    using Model = VELDARO_ThinProvisioningFreeExtent;

    static bool storage(const Model* model, String& address)
    {
        return Instance_Provider_Frame::storageFromSystemName(model->SystemName, address);
    }

    static int getOne(const String& address, const VELDARO_RefTable& table, const Model* model, Model*& instance)
    {
        std::uint16_t pool = 0;
        int ordinal = 0;
        if (model->DeviceID.null || !Resource::divide_DeviceID(model->DeviceID.value.c_str(), &pool, &ordinal))
            return 1;
        const int index = table.searchPoolNoFromTppTable(pool);
        if (index < 0)
            return 1;
        return Resource(address).createInstance(instance, index);
    }

    static int enumAll(const String& address, const VELDARO_RefTable&, Enum_Instances_Handler<Model>* handler)
    {
        Resource resource(address);
        return Instance_Provider_Frame::enumIndexes<Model>(
            Resource::TPP_TABLE_SIZE, handler, [&](int i, Model*& instance) { return resource.createInstance(instance, i); });
    }
};

}  // namespace

VELDARO_ThinProvisioningFreeExtent_Provider::VELDARO_ThinProvisioningFreeExtent_Provider() {}

VELDARO_ThinProvisioningFreeExtent_Provider::~VELDARO_ThinProvisioningFreeExtent_Provider() {}

Get_Instance_Status VELDARO_ThinProvisioningFreeExtent_Provider::get_instance(const VELDARO_ThinProvisioningFreeExtent* model, VELDARO_ThinProvisioningFreeExtent*& instance)
{
    return Instance_Provider_Frame::indexedGet<Thin_Provisioning_Free_Frame>(model, instance);
}

Enum_Instances_Status VELDARO_ThinProvisioningFreeExtent_Provider::enum_instances(const VELDARO_ThinProvisioningFreeExtent* model,
                                                              Enum_Instances_Handler<VELDARO_ThinProvisioningFreeExtent>* handler)
{
    return Instance_Provider_Frame::indexedEnum<Thin_Provisioning_Free_Frame>(model, handler);
}

}  // namespace cimple
