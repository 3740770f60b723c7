#pragma once
// The array's storage system list, which the associations rooted at the
// storage system start from.

#include "Association_End.h"
#include "VELDARO_StorageComputerSystem.h"
#include "VELDARO_StorageComputerSystem_Resource.h"

namespace cimple {

struct Storage_System_List {
    // Builds the list of the array frame.storage() names and runs
    // body(resource) when it holds a system: an array without one has no
    // pairs (true), a failing build fails (false).
    template <class Frame, class Body>
    static bool with(Frame& frame, Body body)
    {
        VELDARO_StorageComputerSystem_Resource systems(frame.storage());
        if (!buildList(systems, &VELDARO_StorageComputerSystem_Resource::createStorageComputerSystem))
            return false;
        if (!firstListed(systems))
            return true;
        return body(systems);
    }
};

}  // namespace cimple
