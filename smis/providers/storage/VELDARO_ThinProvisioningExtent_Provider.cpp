// Thin provisioning extents: an indexed pair over the TPP table (each pool's whole capacity).

#include "VELDARO_ThinProvisioningExtent_Provider.h"

#include "Instance_Provider_Frame.h"
#include "VELDARO_ThinProvisioningExtent_Resource.h"

namespace cimple {

namespace {

using Resource = VELDARO_ThinProvisioningExtent_Resource;

struct Thin_Provisioning_Extent_Frame {
    using Model = VELDARO_ThinProvisioningExtent;

    static bool storage(const Model* model, String& address)
    {
        return Instance_Provider_Frame::storageFromSystemName(model->SystemName, address);
    }

    static int getOne(const String& address, const VELDARO_RefTable& table, const Model* model, Model*& instance)
    {
        std::uint16_t pool = 0;
        if (model->DeviceID.null || !Resource::divide_DeviceID(model->DeviceID.value.c_str(), &pool))
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

VELDARO_ThinProvisioningExtent_Provider::VELDARO_ThinProvisioningExtent_Provider() {}

VELDARO_ThinProvisioningExtent_Provider::~VELDARO_ThinProvisioningExtent_Provider() {}

Get_Instance_Status VELDARO_ThinProvisioningExtent_Provider::get_instance(const VELDARO_ThinProvisioningExtent* model, VELDARO_ThinProvisioningExtent*& instance)
{
    return Instance_Provider_Frame::indexedGet<Thin_Provisioning_Extent_Frame>(model, instance);
}

Enum_Instances_Status VELDARO_ThinProvisioningExtent_Provider::enum_instances(const VELDARO_ThinProvisioningExtent* model,
                                                              Enum_Instances_Handler<VELDARO_ThinProvisioningExtent>* handler)
{
    return Instance_Provider_Frame::indexedEnum<Thin_Provisioning_Extent_Frame>(model, handler);
}

}  // namespace cimple
