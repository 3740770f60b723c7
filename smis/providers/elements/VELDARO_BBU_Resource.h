#pragma once
// Builds VELDARO_BBU: the battery backup units of the controller enclosure,
// keyed BBU<no>_<address>.

#include <cimple/cimple.h>

#include <cstdint>

#include "Element_List_Resource.h"
#include "VELDARO_BBU.h"
#include "Table_Entries.h"

namespace cimple {

class VELDARO_BBU_Resource : public Element_List_Resource<VELDARO_BBU> {
public:
    static constexpr int BBU_TABLE_SIZE = tableEntriesOf(CMT_Table::BBU);

    explicit VELDARO_BBU_Resource(const String& storage) : Element_List_Resource(storage) {}

    // 0 built, 1 failure (logged), 2 the array's table image is not valid.
    int createBBU();

    // Fills a new instance; 0, or 1 after a failure (logged).
    int setBBU(VELDARO_BBU* instance, std::uint32_t itemId, int operationalStatus, std::uint8_t charge,
               std::uint16_t factor, const String& serialNumber, const String& revision, const String& partNumber);
};

}  // namespace cimple
