#pragma once
// What the replication methods look up about the configured arrays: the box
// ID of an array, the array of a box ID, and whether a setting reference is
// one of the array's replication settings of the right copy kind.

#include <cimple/cimple.h>

#include <cstdint>

namespace cimple {

class SNIA_ReplicationSettingData;

struct Replication_Array_Lookup {
    static constexpr std::size_t BOX_ID_LENGTH = 40;

    // A box ID that may go on a command line: exactly 40 characters, none
    // of them a blank or a control character.
    static bool isValidBoxId(const String& boxId);

    // The array's box ID from its table; empty when it has none.
    static String boxIdOf(const String& storage);

    // The storage address of the configured array with that box ID, or empty
    // (also for an empty box ID and when the address list cannot be read).
    static String getRemoteStorageAddress(const String& boxId);

    // True when the address is one of the configured arrays.
    static bool isConfigured(const String& storage);

    // 0 when no setting is given or the given one is the array's setting of
    // the copy kind of syncType and locality (2 local, 3 remote); 5 for any
    // other setting; 4 when the settings cannot be built.
    static std::uint32_t checkReplicationSettingData(const String& storage, const SNIA_ReplicationSettingData* setting,
                                                     std::uint16_t syncType, std::uint16_t locality);
};

}  // namespace cimple
