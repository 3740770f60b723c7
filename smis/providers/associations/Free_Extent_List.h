#pragma once
// The free extents of one RAID group, owned until each is handed to an
// association: what is still held when the list goes is destroyed.

#include <cstddef>

#include "Association_End.h"
#include "VELDARO_FreeExtent.h"
#include "VELDARO_FreeExtent_Resource.h"

namespace cimple {

class Free_Extent_List {
public:
    Free_Extent_List() = default;
    ~Free_Extent_List()
    {
        for (std::size_t i = 0; i < _list.size(); ++i)
            if (_list[i])
                destroy(_list[i]);
    }
    Free_Extent_List(const Free_Extent_List&) = delete;
    Free_Extent_List& operator=(const Free_Extent_List&) = delete;

    // For each group of range whose owner (a pool or a composite, built by
    // owners.createInstance) exists, the group's free extents in list
    // order: take(owner, extent, place) gets each extent to keep (null when
    // the list holds none there) and its place from 0. False when a build
    // fails.
    template <class Owner, class Owner_Resource, class Take>
    static bool eachGroup(Owner_Resource& owners, VELDARO_FreeExtent_Resource& frees, Index_Range range, Take take)
    {
        return eachEnd<Owner>(owners, range, [&](Association_End<Owner>& owner, int rlu) {
            Free_Extent_List list;
            if (!list.build(frees, rlu))
                return false;
            for (std::size_t i = 0; i < list.size(); ++i)
                take(owner, list.take(i), i);
            return true;
        });
    }

    // Builds the group's free extents; false when the build fails.
    bool build(VELDARO_FreeExtent_Resource& resource, int rlu) { return resource.createInstance(_list, rlu) == 0; }

    std::size_t size() const { return _list.size(); }
    // The extent at place i, still held by the list (null when taken).
    const VELDARO_FreeExtent* at(std::size_t i) const { return _list[i]; }
    // Hands the extent at place i over (null when there is none).
    VELDARO_FreeExtent* take(std::size_t i)
    {
        if (i >= _list.size())
            return nullptr;
        VELDARO_FreeExtent* e = _list[i];
        _list[i] = nullptr;
        return e;
    }

private:
    Array<VELDARO_FreeExtent*> _list;
};

}  // namespace cimple
