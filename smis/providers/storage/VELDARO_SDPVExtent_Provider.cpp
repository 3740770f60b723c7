// Snap data pool volume extents: an indexed pair over the SLU table.

#include "VELDARO_SDPVExtent_Provider.h"

#include "Instance_Provider_Frame.h"
#include "VELDARO_SDPVExtent_Resource.h"

namespace cimple {

namespace {

using Resource = VELDARO_SDPVExtent_Resource;

struct SDPV_Extent_Frame {
    using Model = VELDARO_SDPVExtent;

    static bool storage(const Model* model, String& address)
    {
        return Instance_Provider_Frame::storageFromSystemName(model->SystemName, address);
    }

    static int getOne(const String& address, const VELDARO_RefTable& table, const Model* model, Model*& instance)
    {
        std::uint16_t olun = 0;
        if (model->DeviceID.null || !Resource::divide_DeviceID(model->DeviceID.value.c_str(), &olun))
            return 1;
        const int slu = table.searchLunByLuTypeFromSluTable(Resource::LU_SNAP_DATA_POOL, olun);
        if (slu < 0)
            return 1;
        return Resource(address).createInstance(instance, slu);
    }

    static int enumAll(const String& address, const VELDARO_RefTable& table, Enum_Instances_Handler<Model>* handler)
    {
        Resource resource(address);
        return Instance_Provider_Frame::enumIndexes<Model>(
            table.getSLUMaxCount(), handler, [&](int i, Model*& instance) { return resource.createInstance(instance, i); });
    }
};

}  // namespace

VELDARO_SDPVExtent_Provider::VELDARO_SDPVExtent_Provider() {}

VELDARO_SDPVExtent_Provider::~VELDARO_SDPVExtent_Provider() {}

Get_Instance_Status VELDARO_SDPVExtent_Provider::get_instance(const VELDARO_SDPVExtent* model,
                                                              VELDARO_SDPVExtent*& instance)
{
    return Instance_Provider_Frame::indexedGet<SDPV_Extent_Frame>(model, instance);
}

Enum_Instances_Status VELDARO_SDPVExtent_Provider::enum_instances(const VELDARO_SDPVExtent* model,
                                                                  Enum_Instances_Handler<VELDARO_SDPVExtent>* handler)
{
    return Instance_Provider_Frame::indexedEnum<SDPV_Extent_Frame>(model, handler);
}

}  // namespace cimple
