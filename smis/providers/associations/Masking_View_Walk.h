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
#include "Matching_Pair_Walk.h"
#include "Port_Identity.h"
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

    // What the keys of masking sources name in the tables.
    struct Binding {
        int affinity = -1;
        CA_Port_Name port;
        int host = -1;
        int idType = 0;
    };
    // An affinity-group controller source (DeviceID): its group's affinity
    // index and its port. False when the key does not parse, names no
    // group or names a port that is not usable in affinity mode.
    static bool controllerOf(const VELDARO_RefTable& table, const Instance* source, Binding& binding);
    // A privilege source (InstanceID): its group, port and host with the
    // host's identifier kind. False when the key does not parse, names no
    // group or host or names a port that is not usable in affinity mode.
    static bool privilegeOf(const VELDARO_RefTable& table, const Instance* source, Binding& binding);
    // A hardware ID source (InstanceID): its host and identifier kind.
    static bool identifierOf(const VELDARO_RefTable& table, const Instance* source, Binding& binding);

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

    // Whether an element's key property holds text.
    static bool hasKey(const Instance* element, const char* key, const char* text)
    {
        const char* value = Association_Provider_Frame::keyText(element, key);
        return value && text && std::strcmp(value, text) == 0;
    }

    // Each listed element of `each` (only the one whose key eachKey is
    // eachText, when that is given) with the first listed element of
    // `candidates` on its port (paired only when its key candidateKey is
    // candidateText, when that is given): pair(element, candidate). A list
    // builder's failure gives false; no candidates, true.
    template <class Each, class Candidates, class Pair>
    static bool eachWithFirstOnPort(Each& each, int (Each::*buildEach)(), const char* eachKey, const char* eachText,
                                    Candidates& candidates, int (Candidates::*buildCandidates)(),
                                    const char* candidateKey, const char* candidateText, Pair pair)
    {
        if (!buildList(candidates, buildCandidates))
            return false;
        auto& listed = listedOf(candidates);
        if (listed.size() == 0)
            return true;
        return eachListed(each, buildEach, [&](auto* element) {
            if (eachText && !hasKey(element, eachKey, eachText))
                return true;
            const auto* candidate = Matching_Pair_Walk::firstMatch(listed, *element, port_identity::Same_Port());
            if (candidate && (!candidateText || hasKey(candidate, candidateKey, candidateText)))
                pair(element, candidate);
            return true;
        });
    }

    // The first non-null element of a list whose key property equals text,
    // or null.
    template <class List>
    static auto withKey(List& list, const char* name, const char* text) -> std::remove_reference_t<decltype(list[0])>
    {
        for (std::size_t k = 0; k < list.size(); ++k) {
            if (list[k] && hasKey(list[k], name, text))
                return list[k];
        }
        return nullptr;
    }
};

}  // namespace cimple
