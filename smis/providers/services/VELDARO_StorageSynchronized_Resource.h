#pragma once
// Builds VELDARO_StorageSynchronized: one copy session of an array as the
// relationship between its source (SystemElement) and target
// (SyncedElement). Local copies join two VELDARO_StorageVolume instances of
// the array; a remote mirror joins the local volume with the
// VELDARO_RemoteStorageVolume of the other array, the direction flag of the
// session telling which side is the source.
//
// Used by the association provider, the replication service (to return and
// to check Synchronization references) and the change-indication delivery.
//
//   VELDARO_StorageSynchronized_Resource builder(address);
//   VELDARO_StorageSynchronized* s = nullptr;
//   if (builder.buildSynchronized(sessionId, s) == 1 && s) ...   // s is the caller's

#include <cimple/cimple.h>

#include <cstdint>

#include "SMIS_COPY_SESSION_INFO.h"
#include "VELDARO_StorageSynchronized.h"

namespace cimple {

class VELDARO_StorageSynchronized_Resource {
public:
    static constexpr int BUILD_OK = 1;
    static constexpr int BUILD_FAILED = 0;
    // A time stamp of all ones stands for "none".
    static constexpr std::uint32_t NO_TIME = 0xFFFFFFFF;

    explicit VELDARO_StorageSynchronized_Resource(const String& storage) : _storage(storage) {}

    const String& storage() const { return _storage; }

    // The relationship of that session of the array: 1 with an instance
    // (owned by the caller), 1 without one (no such session, an end that is
    // no longer in the table, a copy type or state without synchronisation
    // values: a warning is logged for the last), 0 on failure (logged).
    int buildSynchronized(std::uint16_t sessionId, VELDARO_StorageSynchronized*& out);
    // The same for a record already read from the copy-session table.
    int buildFromRecord(const SMIS_COPY_SESSION_INFO& record, VELDARO_StorageSynchronized*& out);

    // Fills the relationship from the session values; the instance gets
    // copies of both ends. defaultRow: the default synchronisation values
    // and TargetAccessibility 0 instead of the row of (copy type, status,
    // phase). 0 done, 1 when no synchronisation row exists (or an end is
    // missing).
    static int setStorageSynchronized(VELDARO_StorageSynchronized* instance, const Instance* source,
                                      const Instance* target, std::uint8_t copyType, std::uint8_t status,
                                      std::uint8_t phase, std::uint8_t modeDetail, std::uint8_t accessDetail,
                                      std::uint32_t firstTime, std::uint32_t secondTime, std::uint64_t total,
                                      std::uint64_t copied, bool defaultRow);

    // copied * 100 / total for the mirrors (copy types 1 and 2), never above
    // 100; 0 for a total of 0 and for snapshots.
    static std::uint16_t percentSynced(std::uint8_t copyType, std::uint64_t total, std::uint64_t copied);

    // The WhenSynced value of a date selector: 1 the first time stamp, 2 the
    // second; none (all ones) and any other selector give the zero interval.
    static Datetime whenSynced(std::uint16_t selector, std::uint32_t firstTime, std::uint32_t secondTime);

private:
    String _storage;
};

}  // namespace cimple
