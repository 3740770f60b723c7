#pragma once
// Builds VELDARO_FAN: the fans of the controller enclosure, keyed
// FAN<no>_CE0x00_<address>.

#include <cimple/cimple.h>

#include <cstdint>

#include "Element_List_Resource.h"
#include "VELDARO_FAN.h"
#include "Table_Entries.h"

namespace cimple {

class VELDARO_FAN_Resource : public Element_List_Resource<VELDARO_FAN> {
public:
    static constexpr int FAN_TABLE_SIZE = tableEntriesOf(CMT_Table::FAN);

    explicit VELDARO_FAN_Resource(const String& storage) : Element_List_Resource(storage) {}

    // 0 built, 1 failure (logged), 2 the array's table image is not valid.
    int createFAN();

    // Fills a new instance; 0, or 1 after a failure (logged).
    int setFAN(VELDARO_FAN* instance, std::uint32_t itemId, int operationalStatus);
};

}  // namespace cimple
