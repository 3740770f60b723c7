#pragma once
// Builds VELDARO_LayerixSubExtent instances: one composite extent per tiering
// sub-pool (a TPP entry that belongs to a tiering pool).

#include <cimple/cimple.h>

#include <cstdint>

#include "VELDARO_LayerixSubExtent.h"
#include "Table_Entries.h"

namespace cimple {

class VELDARO_LayerixSubExtent_Resource {
public:
    static constexpr int TPP_TABLE_SIZE = Table_Entries::THIN_POOLS;

    explicit VELDARO_LayerixSubExtent_Resource(const String& storage) : _storage(storage) {}

    // 0 with an instance, 0 without one (index out of the table, no member
    // disks, or not a tiering sub-pool), 1 error.
    int createInstance(VELDARO_LayerixSubExtent*& instance, int tppIndex);

    // Key "LXSE%04d" of the sub-pool number.
    static bool divide_DeviceID(const char* key, std::uint16_t* poolNumber);

private:
    String _storage;
};

}  // namespace cimple
