#pragma once
// Builds VELDARO_FreeExtent instances: the unallocated block ranges of one
// RAID group (RLU), all at once, in ascending address order. Also serves the
// RAID pool's GetAvailableExtents, element creation (which parses free-extent
// keys with divide_DeviceID) and the association providers.

#include <cimple/cimple.h>

#include <cstdint>

#include "VELDARO_FreeExtent.h"

namespace cimple {

class VELDARO_FreeExtent_Resource {
public:
    explicit VELDARO_FreeExtent_Resource(const String& storage) : _storage(storage) {}

    // Appends the group's free ranges (sizes and starts in blocks, ascending
    // start). False, with nothing appended, when the group's stripe size is 0
    // while it holds slices (no stripe multiple exists).
    bool getFreeSpace(int rluIndex, Array<uint64>* sizes, Array<uint64>* starts);

    // Appends one instance per free range of the group to list (not emptied
    // first); 0 success (possibly nothing appended), 1 error.
    int createInstance(Array<VELDARO_FreeExtent*>& list, int rluIndex);

    // Key "FE%04d_F%03d" of the RLU number and the range's ordinal.
    static bool divide_DeviceID(const char* key, std::uint16_t* rlun, int* ordinal);

private:
    String _storage;
};

}  // namespace cimple
