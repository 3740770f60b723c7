#pragma once
// What the masking-view associations share beyond the port map: the
// volume a LUN slot names (OLU number -> its first SLU -> the volume), the
// walk over the LUN slots of one view, the first slot that names one
// volume, the port numbers of an element and the listed element with a
// given key.

#include <cimple/cimple.h>

#include <cstdint>
#include <cstring>
#include <set>
#include <type_traits>

#include "Association_End.h"
#include "Association_Provider_Frame.h"
#include "CA_Port_Name.h"
#include "Masking_Port_Map.h"
#include "Table_Entries.h"
#include "VELDARO_RefTable.h"
#include "VELDARO_StorageVolume.h"
#include "VELDARO_StorageVolume_Resource.h"

namespace cimple {

class Masking_View_Walk {
public:
    // LUN slots of an affinity group or a LUN-mapping entry.
    static constexpr int LUNS = 512;
    static constexpr int LUN_MAP_ENTRIES = tableEntriesOf(CMT_Table::LUNMap);

    // The SLU index of the volume an OLU number names, or -1.
    static int sluOfOlu(const VELDARO_RefTable& table, std::uint16_t olu)
    {
        if (olu == Masking_Port_Map::NONE)
            return -1;
        const int oluIndex = table.searchOlunFromOluTable(olu);
        if (oluIndex < 0)
            return -1;
        return table.searchSlunFromSluTable(table.getOluSlun(oluIndex, 0));
    }

    // For each volume the slots olun(l) name, once, under its lowest LUN:
    // body(volume end, l). (An association is keyed by its two ends, so a
    // volume that one view maps under two LUNs is one association.) A
    // volume builder error stops with false, a slot without a volume is
    // passed over, body's false stops with false.
    template <class Olun, class Body>
    static bool eachMappedVolume(const VELDARO_RefTable& table, VELDARO_StorageVolume_Resource& volumes, Olun olun,
                                 Body body)
    {
        std::set<std::uint16_t> seen;
        for (int lun = 0; lun < LUNS; ++lun) {
            const std::uint16_t olu = olun(lun);
            if (olu == Masking_Port_Map::NONE || !seen.insert(olu).second)
                continue;
            const int slu = sluOfOlu(table, olu);
            if (slu < 0)
                continue;
            auto volume = Association_End<VELDARO_StorageVolume>::build(volumes, slu);
            if (volume.failed())
                return false;
            if (volume.built() && !body(volume, lun))
                return false;
        }
        return true;
    }

    // The first LUN whose slot olun(l) holds olu, or -1.
    template <class Olun>
    static int firstLunOf(std::uint16_t olu, Olun olun)
    {
        for (int lun = 0; lun < LUNS; ++lun)
            if (olun(lun) == olu)
                return lun;
        return -1;
    }

    // The SLU index a volume source names (LU types of plain and
    // concatenated volumes only), or -1.
    static int volumeSlu(const VELDARO_RefTable& table, const Instance* source)
    {
        const char* key = Association_Provider_Frame::keyText(source, "DeviceID");
        std::uint8_t type = 0;
        std::uint16_t number = 0;
        if (!key || !VELDARO_StorageVolume_Resource::divide_DeviceID(key, &type, &number))
            return -1;
        switch (type) {
        case 1: case 3: case 4: case 7: case 9: case 11: case 13:
            return table.searchLunByLuTypeFromSluTable(type, number);
        default:
            return -1;
        }
    }

    // The published port numbers of an element.
    template <class T>
    static CA_Port_Name portOf(const T& element)
    {
        return CA_Port_Name::fields(static_cast<std::uint16_t>(element.CMSlotNumber.value),
                                    static_cast<std::uint16_t>(element.CASlotNumber.value),
                                    static_cast<std::uint16_t>(element.PortNo.value));
    }

    // An element on the port given by its numbers, as a match of the pair
    // walks.
    struct On_Port {
        template <class T>
        bool operator()(const T& element, const CA_Port_Name& port) const
        {
            const CA_Port_Name at = portOf(element);
            return at.cm == port.cm && at.ca == port.ca && at.port == port.port;
        }
    };

    // The first non-null element of a list whose key property equals text,
    // or null.
    template <class List>
    static auto withKey(List& list, const char* name, const char* text) -> std::remove_reference_t<decltype(list[0])>
    {
        for (std::size_t k = 0; k < list.size(); ++k) {
            const char* key = list[k] ? Association_Provider_Frame::keyText(list[k], name) : nullptr;
            if (key && text && std::strcmp(key, text) == 0)
                return list[k];
        }
        return nullptr;
    }
};

}  // namespace cimple
