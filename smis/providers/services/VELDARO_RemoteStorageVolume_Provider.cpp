// Remote storage volumes: a keyed pair whose enumeration walks the Xmirrex
// sessions of each array instead of table indexes; each remote volume is
// published once however many sessions name it.

#include "VELDARO_RemoteStorageVolume_Provider.h"

#include <string>
#include <tuple>
#include <vector>

#include "Instance_Provider_Frame.h"
#include "SMIS_CopyLib.h"
#include "VELDARO_RemoteStorageVolume_Resource.h"

namespace cimple {

namespace {

using Resource = VELDARO_RemoteStorageVolume_Resource;

struct Remote_Volume_Frame {
    using Model = VELDARO_RemoteStorageVolume;

    // SystemName is the remote box ID, "_" and the configured array.
    static bool storage(const Model* model, String& address)
    {
        return Instance_Provider_Frame::storageFromKeySuffix(model->SystemName, address);
    }

    static int getOne(const String& address, const VELDARO_RefTable&, const Model* model, Model*& instance)
    {
        std::uint8_t kind = 0;
        std::uint16_t number = 0;
        if (model->DeviceID.null || !Resource::divide_DeviceID(model->DeviceID.value.c_str(), &kind, &number))
            return 1;
        const String boxId = substring(model->SystemName.value, 0, Resource::BOX_ID_LENGTH);
        return Resource(address).createInstance(instance, number, kind, boxId);
    }

    static int enumAll(const String& address, const VELDARO_RefTable&, Enum_Instances_Handler<Model>* handler)
    {
        SMIS_CopyLib copies(address.c_str());
        Array<unsigned short> sessions;
        if (copies.getSessionList(2, SMIS_CopyLib::ALL_VOLUMES, 0, nullptr, sessions) != 0 || sessions.size() == 0)
            return 0;
        Resource resource(address);
        std::vector<std::tuple<std::string, std::uint8_t, std::uint16_t>> emitted;
        emitted.reserve(sessions.size());
        for (size_t i = 0; i < sessions.size(); ++i) {
            SMIS_COPY_SESSION_INFO record{};
            if (copies.getSessionInfo(sessions[i], record) != 0) {
                Instance_Provider_Frame::logProviderFailure(__FILE__, __LINE__);
                return 1;
            }
            const std::uint16_t number =
                static_cast<std::uint16_t>(record.RemoteSide ? record.SourceVolume : record.DestinationVolume);
            const std::uint8_t kind = record.VolumeType ? Resource::KIND_OLU : Resource::KIND_MLU;
            const std::string boxId(record.RemoteBoxId, sizeof record.RemoteBoxId);
            const auto key = std::make_tuple(boxId, kind, number);
            bool seen = false;
            for (const auto& e : emitted)
                seen = seen || e == key;
            if (seen)
                continue;
            emitted.push_back(key);
            Model* instance = nullptr;
            if (resource.createInstance(instance, number, kind, String(boxId.c_str())) != 0)
                return 1;
            Instance_Provider_Frame::deliver(handler, instance);
        }
        return 0;
    }
};

}  // namespace

VELDARO_RemoteStorageVolume_Provider::VELDARO_RemoteStorageVolume_Provider() {}

VELDARO_RemoteStorageVolume_Provider::~VELDARO_RemoteStorageVolume_Provider() {}

Get_Instance_Status VELDARO_RemoteStorageVolume_Provider::get_instance(const VELDARO_RemoteStorageVolume* model,
                                                                       VELDARO_RemoteStorageVolume*& instance)
{
    return Instance_Provider_Frame::indexedGet<Remote_Volume_Frame>(model, instance);
}

Enum_Instances_Status VELDARO_RemoteStorageVolume_Provider::enum_instances(
    const VELDARO_RemoteStorageVolume* model, Enum_Instances_Handler<VELDARO_RemoteStorageVolume>* handler)
{
    return Instance_Provider_Frame::indexedEnum<Remote_Volume_Frame>(model, handler);
}

}  // namespace cimple
