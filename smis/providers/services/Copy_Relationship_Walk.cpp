#include "Copy_Relationship_Walk.h"

#include <algorithm>
#include <vector>

#include "Copy_Volume_Numbering.h"
#include "SMIS_CopyLib.h"
#include "VELDARO_RemoteStorageVolume.h"
#include "VELDARO_RemoteStorageVolume_Resource.h"
#include "VELDARO_StorageSynchronized_Resource.h"
#include "VELDARO_StorageVolume.h"
#include "VELDARO_StorageVolume_Resource.h"
#include "Instance_Keys.h"

namespace cimple {

namespace {

using Common = Association_Provider_Frame;
using Builder = VELDARO_StorageSynchronized_Resource;

constexpr std::size_t BOX_ID_LENGTH = 40;

// Builds, shapes and hands over each relationship of the records; false at
// the first failing build. With a source, the far end is the end whose keys
// are not the source's.
bool emitAll(Association_Parent_Frame& frame, const std::vector<SMIS_COPY_SESSION_INFO>& records,
             const Instance* source, Copy_Relationship_Walk::Shape shape)
{
    Builder builder(frame.storage());
    for (const SMIS_COPY_SESSION_INFO& r : records) {
        VELDARO_StorageSynchronized* built = nullptr;
        if (builder.buildFromRecord(r, built) != Builder::BUILD_OK)
            return false;
        if (!built)
            continue;
        Instance* far = nullptr;
        if (source) {
            // The session search matches volume numbers of either numbering:
            // keep only the relationships that hold the source itself.
            const bool system = same_instance(source, built->SystemElement);
            if (!system && !same_instance(source, built->SyncedElement)) {
                destroy(built);
                continue;
            }
            far = system ? static_cast<Instance*>(built->SyncedElement) : static_cast<Instance*>(built->SystemElement);
        }
        frame.deliver(shape(built), far);
    }
    return true;
}

}  // namespace

Copy_Relationship_Walk::Read Copy_Relationship_Walk::readSource(const Instance* source, Source& out)
{
    std::uint8_t luKind = 0;
    out.box.clear();
    if (Common::isOf(source, VELDARO_StorageVolume::static_meta_class)) {
        if (!Common::storageFromProperty(source, "SystemName", out.address))
            return Read::NOTHING;
        const String* id = Common::stringValue(source, "DeviceID");
        if (!id || !VELDARO_StorageVolume_Resource::divide_DeviceID(id->c_str(), &luKind, &out.number))
            return Read::NOTHING;
    } else if (Common::isOf(source, VELDARO_RemoteStorageVolume::static_meta_class)) {
        // SystemName: the remote box ID, "_", the array that sees the copy.
        if (!Common::storageFromKeySuffix(source, "SystemName", out.address))
            return Read::NOTHING;
        const String* id = Common::stringValue(source, "DeviceID");
        if (!id || !VELDARO_RemoteStorageVolume_Resource::divide_DeviceID(id->c_str(), &luKind, &out.number))
            return Read::NOTHING;
        const String* system = Common::stringValue(source, "SystemName");
        out.box.assign(system->c_str(), std::min<std::size_t>(system->size(), BOX_ID_LENGTH));
    } else {
        return Read::NOT_A_VOLUME;
    }
    const auto kind = copy_volume::numberingOf(luKind);
    if (!kind)
        return Read::NOTHING;
    out.kind = *kind;
    return Read::VOLUME;
}

bool Copy_Relationship_Walk::ofArray(Association_Parent_Frame& frame, Shape shape)
{
    return Common::guard(__FILE__, __LINE__, [&] {
        SMIS_CopyLib copies(frame.storage().c_str());
        std::vector<SMIS_COPY_SESSION_INFO> records;
        // An array whose sessions cannot be listed has none to show.
        if (copies.getSessionRecords(0, SMIS_CopyLib::ALL_VOLUMES, 0, nullptr, records) != 0)
            return true;
        return emitAll(frame, records, nullptr, shape);
    });
}

bool Copy_Relationship_Walk::ofSource(Association_Parent_Frame& frame, const VELDARO_RefTable& table,
                                      const Source& read, const Instance* source, Shape shape)
{
    return Common::guard(__FILE__, __LINE__, [&] {
        SMIS_CopyLib copies(frame.storage().c_str());
        std::vector<SMIS_COPY_SESSION_INFO> records;
        // The sessions that may hold a volume of the source's number: of
        // either numbering, of other boxes too. The relationships that hold
        // the source itself are kept.
        if (copies.getSessionRecordsNaming(table, 0, read.number, records) != 0)
            return true;
        return emitAll(frame, records, source, shape);
    });
}

}  // namespace cimple
