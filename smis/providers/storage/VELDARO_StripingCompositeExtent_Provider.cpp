// Striping composite extents: an indexed pair over the RAID group table and
// the member sets (DLUs) of each RAID5+0 group.

#include "VELDARO_StripingCompositeExtent_Provider.h"

#include "Instance_Provider_Frame.h"
#include "VELDARO_StripingCompositeExtent_Resource.h"

namespace cimple {

namespace {

using Resource = VELDARO_StripingCompositeExtent_Resource;

struct Striping_Composite_Frame {
    using Model = VELDARO_StripingCompositeExtent;

    static bool storage(const Model* model, String& address)
    {
        return Instance_Provider_Frame::storageFromSystemName(model->SystemName, address);
    }

    static int getOne(const String& address, const VELDARO_RefTable& table, const Model* model, Model*& instance)
    {
        std::uint16_t rlun = 0, memberSet = 0;
        if (model->DeviceID.null || !Resource::divide_DeviceID(model->DeviceID.value.c_str(), &rlun, &memberSet))
            return 1;
        if (memberSet >= Resource::MEMBER_SETS)
            return 1;
        const int rlu = table.searchRlunFromRluTable(rlun);
        if (rlu < 0)
            return 1;
        const std::uint16_t dlun = table.getRluDlun(rlu, memberSet);
        if (dlun >= 0xFFFF)
            return 1;
        const int dlu = table.searchDlunFromDluTable(dlun);
        if (dlu < 0)
            return 1;
        return Resource(address).createInstance(instance, rlu, dlu);
    }

    static int enumAll(const String& address, const VELDARO_RefTable& table, Enum_Instances_Handler<Model>* handler)
    {
        Resource resource(address);
        return Instance_Provider_Frame::enumIndexes<Model>(table.getRLUMaxCount(), handler, [&](int r, Model*&) {
            if ((table.getRluStatus(r) & 0xFF) == 3 || table.getRaidLevel(r) != Resource::RAID50)
                return 0;
            const unsigned slots = table.getRluMemberDiskCount(r);
            for (unsigned j = 0; j < slots && j < Resource::MEMBER_SETS; ++j) {
                const std::uint16_t dlun = table.getRluDlun(r, static_cast<int>(j));
                if (dlun >= 0xFFFF)
                    continue;
                const int dlu = table.searchDlunFromDluTable(dlun);
                if (dlu < 0)
                    continue;
                Model* instance = nullptr;
                if (resource.createInstance(instance, r, dlu) != 0)
                    return 1;
                Instance_Provider_Frame::deliver(handler, instance);
            }
            return 0;
        });
    }
};

}  // namespace

VELDARO_StripingCompositeExtent_Provider::VELDARO_StripingCompositeExtent_Provider() {}

VELDARO_StripingCompositeExtent_Provider::~VELDARO_StripingCompositeExtent_Provider() {}

Get_Instance_Status VELDARO_StripingCompositeExtent_Provider::get_instance(const VELDARO_StripingCompositeExtent* model,
                                                                           VELDARO_StripingCompositeExtent*& instance)
{
    return Instance_Provider_Frame::indexedGet<Striping_Composite_Frame>(model, instance);
}

Enum_Instances_Status VELDARO_StripingCompositeExtent_Provider::enum_instances(
    const VELDARO_StripingCompositeExtent* model, Enum_Instances_Handler<VELDARO_StripingCompositeExtent>* handler)
{
    return Instance_Provider_Frame::indexedEnum<Striping_Composite_Frame>(model, handler);
}

}  // namespace cimple
