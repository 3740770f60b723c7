#pragma once
// Builds VELDARO_IOM: one I/O module per in-use entry of the I/O module
// table, keyed IOM<number>_DE0x<de id>_<address>.

#include <cimple/cimple.h>

#include <cstdint>

#include "VELDARO_IOM.h"
#include "Table_Entries.h"

namespace cimple {

class VELDARO_IOM_Resource {
public:
    static constexpr int EXP_TABLE_SIZE = tableEntriesOf(CMT_Table::EXP);

    explicit VELDARO_IOM_Resource(const String& storage) : _storage(storage) {}

    // 0 with an instance, 0 without one (entry not in use), 1 error (logged).
    int createInstance(VELDARO_IOM*& instance, int index);

    // Fills a new instance; 0, or 1 after a failure (logged).
    int setIOM(VELDARO_IOM* instance, std::uint32_t itemId, const String& partNumber, const String& serialNumber,
               const String& revision, int operationalStatus, std::uint16_t factor);

    // Tag "IOM%02d_DE0x%02x...": the I/O module number and its drive enclosure.
    static bool divide_Tag(const char* key, std::uint8_t* iomNumber, std::uint8_t* deId);

private:
    String _storage;
};

}  // namespace cimple
