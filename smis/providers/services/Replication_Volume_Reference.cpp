// Volume references of the replication methods.

#include "Replication_Volume_Reference.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

#include "Association_Provider_Frame.h"
#include "Method_Reference.h"
#include "Replication_Array_Lookup.h"
#include "VELDARO_RefTable.h"
#include "VELDARO_RemoteStorageVolume_Resource.h"
#include "VELDARO_StorageVolume_Resource.h"
#include "Instance_Keys.h"

namespace cimple {

namespace {

constexpr std::uint32_t OK = 0;
constexpr std::uint32_t FAILED = 4;
constexpr std::uint32_t INVALID = 5;
constexpr std::uint32_t LU_MLU = 0x8022;
constexpr std::uint32_t LU_THIN = 0x8025;
constexpr std::uint32_t LU_OTHER = 0x8027;

struct Short_Prefix {
    const char* text;
    std::uint8_t luKind;
};
constexpr Short_Prefix SHORT_PREFIXES[] = {{"VOL", 1}, {"MLU", 2}, {"MVV", 3}, {"SDV", 4}, {"SDP", 7}};
constexpr std::size_t SHORT_LENGTH = 7;

bool isHex(char c)
{
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

bool divideShortForm(const char* id, std::uint8_t& kind, std::uint16_t& number)
{
    if (std::strlen(id) != SHORT_LENGTH)
        return false;
    for (const Short_Prefix& p : SHORT_PREFIXES) {
        if (std::strncmp(id, p.text, 3) != 0)
            continue;
        for (std::size_t i = 3; i < SHORT_LENGTH; ++i)
            if (!isHex(id[i]))
                return false;
        unsigned value = 0;
        std::sscanf(id + 3, "%4x", &value);
        kind = p.luKind;
        number = static_cast<std::uint16_t>(value);
        return true;
    }
    return false;
}

std::uint32_t copyableKind(std::uint8_t kind)
{
    switch (kind) {
    case 1: case 3: case 4: case 9: case 11: case 13: return OK;
    case 2: return LU_MLU;
    case 8: return LU_THIN;
    default: return LU_OTHER;
    }
}

// The volume of the array with the reference's kind and number, built and
// compared with the reference key by key.
std::uint32_t resolveOn(const String& storage, const Instance* reference, const Replication_Volume_Reference::Volume& v)
{
    VELDARO_RefTable table(storage.c_str());
    const int slu = table.searchLunByLuTypeFromSluTable(v.luKind, v.number);
    if (slu < 0)
        return INVALID;
    VELDARO_StorageVolume_Resource volumes(storage);
    VELDARO_StorageVolume* built = nullptr;
    if (volumes.createInstance(built, slu) != 0)
        return FAILED;
    Owned<VELDARO_StorageVolume> held(built);
    if (!held)
        return INVALID;
    return same_instance(reference, held.get()) ? OK : INVALID;
}

// A remote volume on an array this server manages as well: the access
// point must name that array's box, and the volume must be in its table
// when the table is loaded (an array not yet read is taken as named).
std::uint32_t checkOnConfigured(const String& storage, const Instance* accessPoint,
                                const Replication_Volume_Reference::Volume& v)
{
    const String* box = Association_Provider_Frame::stringValue(accessPoint, "Name");
    const String boxId = Replication_Array_Lookup::boxIdOf(storage);
    if (boxId.size() != 0 && !(box && *box == boxId))
        return INVALID;
    VELDARO_RefTable table(storage.c_str());
    if (table.isValidCMT() && table.searchLunByLuTypeFromSluTable(v.luKind, v.number) < 0)
        return INVALID;
    return OK;
}

}  // namespace

std::uint32_t Replication_Volume_Reference::divideVolumeReference(const Instance* reference, bool remote, Volume& out)
{
    if (!reference)
        return INVALID;
    const String* id = Association_Provider_Frame::stringValue(reference, "DeviceID");
    if (!id)
        return INVALID;
    std::uint8_t kind = 0;
    std::uint16_t number = 0;
    const bool parsed = remote && id->size() <= SHORT_LENGTH
                            ? divideShortForm(id->c_str(), kind, number)
                            : VELDARO_StorageVolume_Resource::divide_DeviceID(id->c_str(), &kind, &number);
    if (!parsed)
        return INVALID;
    const std::uint32_t rc = copyableKind(kind);
    if (rc != OK)
        return rc;
    out.luKind = kind;
    out.number = number;
    return OK;
}

std::uint32_t Replication_Volume_Reference::divideRemoteVolumeReference(const Instance* reference, Volume& out)
{
    if (!reference)
        return INVALID;
    const String* id = Association_Provider_Frame::stringValue(reference, "DeviceID");
    std::uint8_t kind = 0;
    std::uint16_t number = 0;
    if (!id || !VELDARO_RemoteStorageVolume_Resource::divide_DeviceID(id->c_str(), &kind, &number))
        return INVALID;
    if (kind == VELDARO_RemoteStorageVolume_Resource::KIND_MLU)
        return LU_MLU;
    if (kind != VELDARO_RemoteStorageVolume_Resource::KIND_OLU)
        return LU_OTHER;
    const String* system = Association_Provider_Frame::stringValue(reference, "SystemName");
    const std::size_t n = system ? std::min<std::size_t>(system->size(), Replication_Array_Lookup::BOX_ID_LENGTH) : 0;
    out.luKind = kind;
    out.number = number;
    out.boxId = String(std::string(system ? system->c_str() : "", n).c_str());
    return OK;
}

std::uint32_t Replication_Volume_Reference::getElementLUN(const String& storage, const Instance* reference,
                                                          const Instance* accessPoint, std::uint16_t& number)
{
    try {
        if (!Method_Reference::servedNameSpace(reference))
            return INVALID;
        Volume v;
        const std::uint32_t rc = divideVolumeReference(reference, accessPoint != nullptr, v);
        if (rc != OK)
            return rc;
        const String* system = Association_Provider_Frame::stringValue(reference, "SystemName");
        if (!system)
            return INVALID;
        if (*system == storage) {
            // A volume of this array: a copy within it, without access point.
            if (accessPoint)
                return INVALID;
            const std::uint32_t resolved = resolveOn(*system, reference, v);
            if (resolved != OK)
                return resolved;
        } else {
            // A volume of the other array of a remote copy, named by the
            // access point: its number is the one the reference gives, on
            // any array, managed here or not. An array this server also
            // manages is checked against what it is known to hold.
            if (!accessPoint)
                return INVALID;
            if (Replication_Array_Lookup::isConfigured(*system)) {
                const std::uint32_t checked = checkOnConfigured(*system, accessPoint, v);
                if (checked != OK)
                    return checked;
            }
        }
        number = v.number;
        return OK;
    } catch (...) {
        return FAILED;
    }
}

}  // namespace cimple
