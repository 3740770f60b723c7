#pragma once
// The free extents of one RAID group, owned until each is handed to an
// association: what is still held when the list goes is destroyed.

#include <cstddef>

#include "VELDARO_FreeExtent.h"
#include "VELDARO_FreeExtent_Resource.h"

namespace cimple {

class Free_Extent_List {
public:
    Free_Extent_List() = default;
    ~Free_Extent_List()
    {
        for (std::size_t i = 0; i < _list.size(); ++i)
            destroy(_list[i]);
    }
    Free_Extent_List(const Free_Extent_List&) = delete;
    Free_Extent_List& operator=(const Free_Extent_List&) = delete;

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
