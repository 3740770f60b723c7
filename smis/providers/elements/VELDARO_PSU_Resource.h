#pragma once
// Builds VELDARO_PSU: the power supply units of the controller enclosure
// (kind 0x73, keyed PSU<no>_CE0x00_<address>) and of the drive enclosures
// (kind 0xD2, keyed PSU<no>_DE0x<de id>_<address>).

#include <cimple/cimple.h>

#include <cstdint>

#include "VELDARO_PSU.h"
#include "Table_Entries.h"

namespace cimple {

class VELDARO_PSU_Resource {
public:
    // Kind codes: the controller enclosure's table and the drive enclosures' table.
    static constexpr std::uint8_t CE_PSU = 0x73;
    static constexpr std::uint8_t DE_PSU = 0xD2;
    static constexpr int CE_PSU_TABLE_SIZE = tableEntriesOf(CMT_Table::CPSU);
    static constexpr int DE_PSU_TABLE_SIZE = tableEntriesOf(CMT_Table::DPSU);

    explicit VELDARO_PSU_Resource(const String& storage) : _storage(storage) {}

    // Entry index of the kind's table: 0 with an instance, 0 without one
    // (entry not in use, or an unknown kind), 1 error (logged).
    int createInstance(VELDARO_PSU*& instance, std::uint8_t kind, int index);

    // Fills a new instance; 0, or 1 after a failure (logged).
    int setPSU(VELDARO_PSU* instance, std::uint32_t itemId, int operationalStatus, const String& serialNumber,
               const String& revision, const String& partNumber, std::uint16_t factor);

    // Tag "PSU%02d_CE0x00..." (kind 0x73; another enclosure number there
    // does not parse) or "PSU%02d_DE0x%02x..." (kind 0xD2).
    static bool divide_Tag(const char* key, std::uint8_t* kind, std::uint8_t* deId, std::uint8_t* number);

private:
    String _storage;
};

}  // namespace cimple
