// Remote volumes of the Xmirrex sessions of an array.

#include "VELDARO_RemoteStorageVolume_Resource.h"

#include <cstdio>
#include <cstring>

#include "Copy_Session_Amounts.h"
#include "Instance_Provider_Frame.h"
#include "SMIS_CopyLib.h"
#include "VELDARO_RefTable.h"
#include "VELDARO_ValueConv.h"

namespace cimple {

namespace {

constexpr std::uint8_t COPY_XMIRREX = 2;

String formatted(const char* fmt, unsigned value)
{
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, fmt, value);
    return String(buffer);
}

}  // namespace

int VELDARO_RemoteStorageVolume_Resource::createInstance(VELDARO_RemoteStorageVolume*& instance, std::uint16_t number,
                                                         std::uint8_t kind, const String& boxId)
{
    instance = nullptr;
    VELDARO_RemoteStorageVolume* made = nullptr;
    try {
        VELDARO_RefTable table(_storage.c_str());
        SMIS_CopyLib copies(_storage.c_str());
        if (boxId.size() != BOX_ID_LENGTH)
            return 0;
        Array<unsigned short> sessions;
        const std::uint8_t side = kind == KIND_MLU ? 0 : 1;
        if (copies.getSessionList(COPY_XMIRREX, number, side, boxId.c_str(), sessions) != 0 || sessions.size() == 0)
            return 0;
        std::uint16_t usage = 0;
        std::uint64_t blocks = 0;
        bool firstRemoteSource = false;
        for (size_t i = 0; i < sessions.size(); ++i) {
            SMIS_COPY_SESSION_INFO record{};
            if (copies.getSessionInfo(sessions[i], record) != 0) {
                Instance_Provider_Frame::logBuildFailure(__FILE__, __LINE__);
                return 1;
            }
            const bool remoteSource = record.RemoteSide != 0;
            if (i == 0) {
                firstRemoteSource = remoteSource;
                usage = remoteSource ? USAGE_SOURCE : USAGE_TARGET;
                blocks = copySessionTotal(record);
            } else if (remoteSource != firstRemoteSource) {
                usage = USAGE_BOTH;
                break;
            }
        }
        made = Instance_Provider_Frame::newInstance<VELDARO_RemoteStorageVolume>();
        if (setRemoteStorageVolume(made, number, kind, usage, blocks, boxId) != 0) {
            destroy(made);
            return 1;
        }
        instance = made;
        return 0;
    } catch (...) {
        if (made)
            destroy(made);
        Instance_Provider_Frame::logBuildFailure(__FILE__, __LINE__);
        return 1;
    }
}

int VELDARO_RemoteStorageVolume_Resource::setRemoteStorageVolume(VELDARO_RemoteStorageVolume* v, std::uint16_t number,
                                                                 std::uint8_t kind, std::uint16_t usage,
                                                                 std::uint64_t blocks, const String& boxId)
{
    const bool mainframe = kind == KIND_MLU;
    v->Caption.set("Remote Storage Volume");
    v->Description.set("Remote Storage Volume");
    v->ElementName.set(concat(mainframe ? "Mainframe " : "VOL", formatted("%05d", number)));
    char name[64];
    std::snprintf(name, sizeof name, "%-8s+Logical Volume  +%05X", "VELDARO", static_cast<unsigned>(number));
    v->Name.set(name);
    v->NameFormat.set(7);
    v->NameNamespace.set(7);
    Array<uint16> operational;
    operational.append(0);
    v->OperationalStatus.set(operational);
    v->SystemCreationClassName.set("VELDARO_StorageComputerSystem");
    v->SystemName.set(concat(boxId, "_", _storage));
    v->CreationClassName.set("VELDARO_RemoteStorageVolume");
    v->DeviceID.set(VELDARO_ValueConv::convLuTypeToLVolId(kind, number));
    v->DataOrganization.set(2);
    v->Purpose.set(concat(formatted("%05d", number), "+0x",
                          formatted("%02x", static_cast<unsigned>(VELDARO_ValueConv::convLuTypeToVolumeType(kind)))));
    v->BlockSize.set(512);
    v->NumberOfBlocks.set(blocks);
    v->ConsumableBlocks.set(blocks);
    v->IsBasedOnUnderlyingRedundancy.set(true);
    Array<uint16> extent;
    extent.append(1);
    v->ExtentStatus.set(extent);
    v->NoSinglePointOfFailure.set(true);
    v->DataRedundancy.set(1);
    v->PackageRedundancy.set(0);
    v->DeltaReservation.set(100);
    v->BoxID.set(boxId);
    v->LUN.set(mainframe ? 0xFFFFu : number);
    v->Usage.set(usage);
    return 0;
}

int VELDARO_RemoteStorageVolume_Resource::setKeyProperties(VELDARO_RemoteStorageVolume* instance,
                                                           std::uint16_t number, std::uint8_t kind, const String& boxId)
{
    try {
        setRemoteStorageVolume(instance, number, kind, 0, 0, boxId);
        __set_null_flags(instance, false, true, 1);
        return 0;
    } catch (...) {
        Instance_Provider_Frame::logBuildFailure(__FILE__, __LINE__);
        return 1;
    }
}

bool VELDARO_RemoteStorageVolume_Resource::divide_DeviceID(const char* deviceId, std::uint8_t* kind,
                                                           std::uint16_t* number)
{
    if (!deviceId || !kind || !number || deviceId[0] == '\0')
        return false;
    std::uint8_t found = 0;
    if (std::strncmp(deviceId, "VOL", 3) == 0)
        found = KIND_OLU;
    else if (std::strncmp(deviceId, "MLU", 3) == 0)
        found = KIND_MLU;
    else
        return false;
    // The five digits "%05d" wrote, and nothing after them.
    const char* digits = deviceId + 3;
    if (std::strlen(digits) != 5)
        return false;
    unsigned value = 0;
    for (const char* p = digits; *p; ++p) {
        if (*p < '0' || *p > '9')
            return false;
        value = value * 10 + static_cast<unsigned>(*p - '0');
    }
    if (value > 0xFFFF)
        return false;
    *kind = found;
    *number = static_cast<std::uint16_t>(value);
    return true;
}

}  // namespace cimple
