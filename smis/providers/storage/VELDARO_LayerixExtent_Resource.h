#pragma once
// Builds VELDARO_LayerixExtent instances: one composite extent per tiering
// pool (LXRP entry), the storage the pool is made of.

#include <cimple/cimple.h>

#include <cstdint>

#include "VELDARO_LayerixExtent.h"
#include "Table_Entries.h"

namespace cimple {

class VELDARO_LayerixExtent_Resource {
public:
    static constexpr int LXRP_TABLE_SIZE = Table_Entries::LAYERIX_POOLS;

    explicit VELDARO_LayerixExtent_Resource(const String& storage) : _storage(storage) {}

    // 0 with an instance, 0 without one (index out of the table or entry
    // not valid), 1 error.
    int createInstance(VELDARO_LayerixExtent*& instance, int lxrpIndex);

    // Key "LXE%04d" of the tiering pool number.
    static bool divide_DeviceID(const char* key, std::uint16_t* poolNumber);

private:
    String _storage;
};

}  // namespace cimple
