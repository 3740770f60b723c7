// Mirrored extents: an indexed pair over the RAID1+0 groups and their
// mirrored disk sets (DLUs).

#include "VELDARO_MirroredExtent_Provider.h"

#include "Instance_Provider_Frame.h"
#include "VELDARO_MirroredExtent_Resource.h"

namespace cimple {

namespace {

using Resource = VELDARO_MirroredExtent_Resource;

struct Mirrored_Extent_Frame {
    using Model = VELDARO_MirroredExtent;

    static bool storage(const Model* model, String& address)
    {
        return Instance_Provider_Frame::storageFromSystemName(model->SystemName, address);
    }

    // The set is found through the key's first disk: the disk's DLU and
    // that DLU's RAID group.
    static int getOne(const String& address, const VELDARO_RefTable& table, const Model* model, Model*& instance)
    {
        std::uint16_t firstDisk = 0, secondDisk = 0;
        if (model->DeviceID.null || !Resource::divide_DeviceID(model->DeviceID.value.c_str(), &firstDisk, &secondDisk))
            return 1;
        const int disk = table.searchPlunFromDiskTable(firstDisk);
        if (disk < 0)
            return 1;
        const int dlu = table.searchDlunFromDluTable(table.getDiskDlun(disk));
        if (dlu < 0)
            return 1;
        const int rlu = table.searchRlunFromRluTable(table.getDluRlun(dlu));
        if (rlu < 0)
            return 1;
        return Resource(address).createInstance(instance, rlu, dlu);
    }

    static int enumAll(const String& address, const VELDARO_RefTable& table, Enum_Instances_Handler<Model>* handler)
    {
        Resource resource(address);
        return Instance_Provider_Frame::enumIndexes<Model>(table.getRLUMaxCount(), handler, [&](int r, Model*&) {
            if ((table.getRluStatus(r) & 0xFF) == 3 || table.getRaidLevel(r) != Resource::RAID10)
                return 0;
            const unsigned slots = table.getRluMemberDiskCount(r);
            for (unsigned j = 0; j < slots && j < Resource::MEMBER_SETS; ++j) {
                const std::uint16_t dlun = table.getRluDlun(r, static_cast<int>(j));
                if (dlun == 0xFFFF)
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

VELDARO_MirroredExtent_Provider::VELDARO_MirroredExtent_Provider() {}

VELDARO_MirroredExtent_Provider::~VELDARO_MirroredExtent_Provider() {}

Get_Instance_Status VELDARO_MirroredExtent_Provider::get_instance(const VELDARO_MirroredExtent* model,
                                                                  VELDARO_MirroredExtent*& instance)
{
    return Instance_Provider_Frame::indexedGet<Mirrored_Extent_Frame>(model, instance);
}

Enum_Instances_Status VELDARO_MirroredExtent_Provider::enum_instances(
    const VELDARO_MirroredExtent* model, Enum_Instances_Handler<VELDARO_MirroredExtent>* handler)
{
    return Instance_Provider_Frame::indexedEnum<Mirrored_Extent_Frame>(model, handler);
}

}  // namespace cimple
