// Free extents: an indexed pair over the RAID group table whose builder makes
// all free ranges of one group at once.

#include "VELDARO_FreeExtent_Provider.h"

#include "Instance_Provider_Frame.h"
#include "VELDARO_FreeExtent_Resource.h"
#include "Instance_Keys.h"

namespace cimple {

namespace {

struct Free_Extent_Frame {
    using Model = VELDARO_FreeExtent;

    static bool storage(const Model* model, String& address)
    {
        return Instance_Provider_Frame::storageFromSystemName(model->SystemName, address);
    }

    // Builds the whole group; the first range equal to the model is kept,
    // the others go.
    static int getOne(const String& address, const VELDARO_RefTable& table, const Model* model, Model*& instance)
    {
        std::uint16_t rlun = 0;
        int ordinal = 0;
        if (model->DeviceID.null ||
            !VELDARO_FreeExtent_Resource::divide_DeviceID(model->DeviceID.value.c_str(), &rlun, &ordinal))
            return 1;
        const int rlu = table.searchRlunFromRluTable(rlun);
        if (rlu < 0)
            return 1;
        Array<Model*> list;
        const int result = VELDARO_FreeExtent_Resource(address).createInstance(list, rlu);
        for (size_t i = 0; i < list.size(); ++i) {
            if (!instance && result == 0 && same_instance(list[i], model))
                instance = list[i];
            else
                destroy(list[i]);
        }
        return result == 0 && instance ? 0 : 1;
    }

    static int enumAll(const String& address, const VELDARO_RefTable& table, Enum_Instances_Handler<Model>* handler)
    {
        VELDARO_FreeExtent_Resource resource(address);
        return Instance_Provider_Frame::enumIndexes<Model>(table.getRLUMaxCount(), handler, [&](int r, Model*&) {
            Array<Model*> list;
            const int result = resource.createInstance(list, r);
            if (result != 0) {
                Instance_Provider_Frame::destroyAll(list);
                return 1;
            }
            for (size_t i = 0; i < list.size(); ++i)
                Instance_Provider_Frame::deliver(handler, list[i]);
            list.clear();
            return 0;
        });
    }
};

}  // namespace

VELDARO_FreeExtent_Provider::VELDARO_FreeExtent_Provider() {}

VELDARO_FreeExtent_Provider::~VELDARO_FreeExtent_Provider() {}

Get_Instance_Status VELDARO_FreeExtent_Provider::get_instance(const VELDARO_FreeExtent* model,
                                                              VELDARO_FreeExtent*& instance)
{
    return Instance_Provider_Frame::indexedGet<Free_Extent_Frame>(model, instance);
}

Enum_Instances_Status VELDARO_FreeExtent_Provider::enum_instances(const VELDARO_FreeExtent* model,
                                                                  Enum_Instances_Handler<VELDARO_FreeExtent>* handler)
{
    return Instance_Provider_Frame::indexedEnum<Free_Extent_Frame>(model, handler);
}

}  // namespace cimple
