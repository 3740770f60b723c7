#pragma once
// Builds VELDARO_DeviceEnclosure: one drive enclosure per in-use entry of the
// drive enclosure table, keyed DE0x<de id>_<address>.

#include <cimple/cimple.h>

#include <cstdint>

#include "VELDARO_DeviceEnclosure.h"
#include "Table_Entries.h"

namespace cimple {

class VELDARO_DeviceEnclosure_Resource {
public:
    static constexpr int DE_TABLE_SIZE = Table_Entries::DRIVE_ENCLOSURES;

    explicit VELDARO_DeviceEnclosure_Resource(const String& storage) : _storage(storage) {}

    // 0 with an instance, 0 without one (entry not in use), 1 error (logged).
    int createInstance(VELDARO_DeviceEnclosure*& instance, int index);

    // Tag "DE0x%02x...": the drive enclosure number.
    static bool divide_Tag(const char* key, std::uint8_t* deId);

private:
    String _storage;
};

}  // namespace cimple
