#pragma once
// Walks that the packaging associations of the physical parts share: the
// controller enclosure paired with each element of a list builder, the
// drive enclosures with the disks, power supplies and I/O modules they
// hold, the drive enclosure of one part, and the Tag of a source.
//
// Each walk takes the provider's emitter as emit(frame, first, second, far):
// first and second are the association's ends (the association takes both),
// far is the one of them that a request hands on.

#include <cstdint>
#include <cstring>

#include "Association_End.h"
#include "Association_Parent_Frame.h"
#include "Key_Index.h"
#include "VELDARO_ControllerEnclosure.h"
#include "VELDARO_ControllerEnclosure_Resource.h"
#include "VELDARO_DeviceEnclosure.h"
#include "VELDARO_DeviceEnclosure_Resource.h"
#include "VELDARO_RefTable.h"
#include "Table_Entries.h"

namespace cimple::packaging {

using Frame = Association_Parent_Frame;
using Common = Association_Provider_Frame;

// The Tag of an instance, "" when it has none.
inline const char* tagOf(const Instance* instance)
{
    const String* tag = Common::stringValue(instance, "Tag");
    return tag ? tag->c_str() : "";
}

inline bool sameTag(const Instance* instance, const char* tag)
{
    return tag && std::strcmp(tagOf(instance), tag) == 0;
}

// Equal values of two unsigned 32-bit properties (nulls compare by value).
inline bool sameNumber(const Property<uint32>& a, const Property<uint32>& b)
{
    return a.value == b.value;
}

// Route rows of sources keyed by Tag: the index the Tag names, and the
// answer for a Tag that names no configured array (as for any source of
// the class).
template <auto Parse, auto Find>
constexpr auto BY_TAG = Key_Index::of<Parse, Find, Key_Index::TAG>;
constexpr bool ASK = true;

// Builds the controller enclosure list; false when the build fails. The
// enclosure is null when the list is empty.
inline bool controllerEnclosure(VELDARO_ControllerEnclosure_Resource& resource, VELDARO_ControllerEnclosure*& ce)
{
    ce = nullptr;
    if (resource.createControllerEnclosureChassis() == 1)
        return false;
    if (resource.list().size() > 0)
        ce = resource.list()[0];
    return true;
}

// The controller enclosure with the elements that build(list) fills, in list
// order: every element while tag is null, (CE, element, element); else only
// the first element whose Tag equals tag, (CE, element, CE). An array
// without a controller enclosure gives nothing.
template <class List_Resource, class Emit>
bool enclosureWithListed(Frame& frame, int (List_Resource::*build)(), const char* tag, Emit emit)
{
    VELDARO_ControllerEnclosure_Resource enclosures(frame.storage());
    VELDARO_ControllerEnclosure* ce = nullptr;
    if (!controllerEnclosure(enclosures, ce))
        return false;
    if (!ce)
        return true;
    List_Resource elements(frame.storage());
    if ((elements.*build)() == 1)
        return false;
    auto& list = elements.list();
    for (std::size_t k = 0; k < list.size(); ++k) {
        if (!list[k])
            continue;
        if (!tag) {
            Instance* element = clone(list[k]);
            emit(frame, clone(ce), element, element);
            continue;
        }
        if (sameTag(list[k], tag)) {
            Instance* enclosure = clone(ce);
            emit(frame, enclosure, clone(list[k]), enclosure);
            break;
        }
    }
    return true;
}

// The drive enclosures of the walk (every DE entry while enumerating, the
// given one in a request) that are in use, each with its number:
// inner(de, table, deIndex, number) gets the enclosure it must clone per pair.
template <class Inner>
bool eachDriveEnclosure(Frame& frame, int deIndex, Inner inner)
{
    VELDARO_RefTable table(frame.storage().c_str());
    VELDARO_DeviceEnclosure_Resource enclosures(frame.storage());
    const auto range = frame.walk(deIndex, VELDARO_DeviceEnclosure_Resource::DE_TABLE_SIZE);
    for (int i = range.begin; i < range.end; ++i) {
        auto de = Association_End<VELDARO_DeviceEnclosure>::build(enclosures, i);
        if (de.failed())
            return false;
        if (!de.built())
            continue;
        if (!inner(de.get(), table, i, table.getDEDeId(i)))
            return false;
    }
    return true;
}

// The disk entries of the drive enclosure numbered deId, by position:
// part(diskIndex) for each position whose disk entry exists.
template <class Part>
bool eachDiskOf(const VELDARO_RefTable& table, int deIndex, std::uint8_t deId, Part part)
{
    const int count = table.getDEDiskCount(deIndex);
    for (int position = 0; position < count && position < Table_Entries::POSITIONS_PER_ENCLOSURE; ++position) {
        const auto key = static_cast<std::uint16_t>((static_cast<unsigned>(deId) << 8) | static_cast<unsigned>(position));
        const int disk = table.searchPlunFromDiskTable(key);
        if (disk < 0)
            continue;
        if (!part(disk))
            return false;
    }
    return true;
}

// One part paired with its drive enclosure, the enclosure number taken from
// bits 8 to 15 of the part's item id. build(part) makes the part (0 with or
// without an instance, nonzero failure); emit gets (DE, part, DE).
template <class Model, class Build, class Emit>
bool partWithDriveEnclosure(Frame& frame, std::uint32_t itemId, Build build, Emit emit)
{
    VELDARO_RefTable table(frame.storage().c_str());
    const int deIndex = table.searchDeIdFromDETable(static_cast<std::uint8_t>((itemId >> 8) & 0xFF));
    if (deIndex < 0)
        return true;
    Model* made = nullptr;
    if (build(made) != 0)
        return false;
    Owned<Model> part(made);
    if (!part)
        return true;
    VELDARO_DeviceEnclosure* built = nullptr;
    if (VELDARO_DeviceEnclosure_Resource(frame.storage()).createInstance(built, deIndex) != 0)
        return false;
    if (!built)
        return true;
    emit(frame, built, part.release(), built);
    return true;
}

}  // namespace cimple::packaging
