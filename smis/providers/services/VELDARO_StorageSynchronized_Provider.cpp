// The copy relationships of every configured array: enumeration array by
// array, and associators, associator names and references from a local or a
// remote volume.

#include "VELDARO_StorageSynchronized_Provider.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "CIM_ManagedElement.h"
#include "SMIS_CopyLib.h"
#include "VELDARO_RemoteStorageVolume.h"
#include "VELDARO_RemoteStorageVolume_Resource.h"
#include "VELDARO_StorageSynchronized_Resource.h"
#include "VELDARO_StorageVolume.h"
#include "VELDARO_StorageVolume_Resource.h"

namespace cimple {

namespace {

using Common = Association_Provider_Frame;
using Builder = VELDARO_StorageSynchronized_Resource;

constexpr std::size_t BOX_ID_LENGTH = 40;

// Volume kind of the session search for an LU kind: 0 MLU-numbered, 1
// OLU-numbered, -1 a kind that takes part in no copy.
int volumeKindOf(std::uint8_t luKind)
{
    switch (luKind) {
    case 2: return 0;
    case 1: case 3: case 4: case 9: case 11: case 13: return 1;
    default: return -1;
    }
}

// Builds and hands over each relationship of the records; false at the
// first failing build. With a source, the far end is the end whose keys are
// not the source's.
bool emitAll(Association_Parent_Frame& frame, const std::vector<SMIS_COPY_SESSION_INFO>& records,
             const Instance* source)
{
    Builder builder(frame.storage());
    for (const SMIS_COPY_SESSION_INFO& r : records) {
        VELDARO_StorageSynchronized* s = nullptr;
        if (builder.buildFromRecord(r, s) != Builder::BUILD_OK)
            return false;
        if (!s)
            continue;
        Instance* far = nullptr;
        if (source)
            far = key_eq(source, s->SystemElement) ? static_cast<Instance*>(s->SyncedElement)
                                                   : static_cast<Instance*>(s->SystemElement);
        frame.deliver(s, far);
    }
    return true;
}

}  // namespace

VELDARO_StorageSynchronized_Provider::VELDARO_StorageSynchronized_Provider() = default;

VELDARO_StorageSynchronized_Provider::~VELDARO_StorageSynchronized_Provider() = default;

bool VELDARO_StorageSynchronized_Provider::_enumPairs()
{
    return Common::guard(__FILE__, __LINE__, [&] {
        SMIS_CopyLib copies(storage().c_str());
        std::vector<SMIS_COPY_SESSION_INFO> records;
        // An array whose sessions cannot be listed has none to show.
        if (copies.getSessionRecords(0, SMIS_CopyLib::ALL_VOLUMES, 0, nullptr, records) != 0)
            return true;
        return emitAll(*this, records, nullptr);
    });
}

int VELDARO_StorageSynchronized_Provider::_request(const Instance* source)
{
    String address;
    std::uint8_t luKind = 0;
    std::uint16_t number = 0;
    std::string box;
    if (Common::isOf(source, VELDARO_StorageVolume::static_meta_class)) {
        if (!Common::storageFromProperty(source, "SystemName", address))
            return 0;
        const String* id = Common::stringValue(source, "DeviceID");
        if (!id || !VELDARO_StorageVolume_Resource::divide_DeviceID(id->c_str(), &luKind, &number))
            return 0;
    } else if (Common::isOf(source, VELDARO_RemoteStorageVolume::static_meta_class)) {
        // SystemName: the remote box ID, "_", the array that sees the copy.
        if (!Common::storageFromKeySuffix(source, "SystemName", address))
            return 0;
        const String* id = Common::stringValue(source, "DeviceID");
        if (!id || !VELDARO_RemoteStorageVolume_Resource::divide_DeviceID(id->c_str(), &luKind, &number))
            return 0;
        const String* system = Common::stringValue(source, "SystemName");
        box.assign(system->c_str(), std::min<std::size_t>(system->size(), BOX_ID_LENGTH));
    } else {
        return Common::checkProviderClass(source);
    }
    const int kind = volumeKindOf(luKind);
    if (kind < 0)
        return 0;
    return onStorage(address, [&](VELDARO_RefTable&) {
        SMIS_CopyLib copies(storage().c_str());
        std::vector<SMIS_COPY_SESSION_INFO> records;
        if (copies.getSessionRecords(0, number, static_cast<std::uint8_t>(kind), box.empty() ? nullptr : box.c_str(),
                                     records) != 0)
            return true;
        return emitAll(*this, records, source);
    });
}

}  // namespace cimple
