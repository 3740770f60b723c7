#pragma once
// Builds VELDARO_RAIDStoragePool instances: one per RAID group (RLU) in use.
// Also used by the association providers, the configuration services that
// return a new pool and the indication delivery (setRAIDStoragePool with
// values from its change records).

#include <cimple/cimple.h>

#include <cstdint>

#include "VELDARO_RAIDStoragePool.h"

namespace cimple {

class VELDARO_RAIDStoragePool_Resource {
public:
    explicit VELDARO_RAIDStoragePool_Resource(const String& storage) : _storage(storage) {}

    // 0 with an instance, 0 without one (free entry), 1 error.
    int createInstance(VELDARO_RAIDStoragePool*& instance, int rluIndex);

    // Fills every property of the class; 0.
    int setRAIDStoragePool(VELDARO_RAIDStoragePool* instance, std::uint8_t raidLevel, std::uint16_t rlun, int status,
                           std::uint64_t blocks, std::uint64_t remainingBlocks, std::uint16_t statusWord,
                           std::uint8_t currentCMMID, std::uint8_t mode, int memberDisks, int spareDisks,
                           const char* name);

    // An instance holding only its key (InstanceID), for a pool the table
    // does not show yet; NULL when it cannot be made.
    VELDARO_RAIDStoragePool* keyInstance(std::uint16_t number) const;

    // Key "VELDARO:RSP%04d" (then "_" and the storage address).
    static bool divide_InstanceID(const char* key, std::uint16_t* rlun);

    // Usage of a pool from the RAID group's mode byte.
    static std::uint16_t usageOfMode(std::uint8_t mode);

private:
    String instanceID(std::uint16_t number) const;

    String _storage;
};

}  // namespace cimple
