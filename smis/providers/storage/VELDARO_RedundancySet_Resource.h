#pragma once
// Builds the one VELDARO_RedundancySet of an array: the set of its
// controller modules.

#include <cimple/cimple.h>

#include "VELDARO_RedundancySet.h"

namespace cimple {

class VELDARO_RedundancySet_Resource {
public:
    explicit VELDARO_RedundancySet_Resource(const String& storage) : _storage(storage) {}
    ~VELDARO_RedundancySet_Resource();
    VELDARO_RedundancySet_Resource(const VELDARO_RedundancySet_Resource&) = delete;
    VELDARO_RedundancySet_Resource& operator=(const VELDARO_RedundancySet_Resource&) = delete;

    // 0 built, 1 error, 2 the array's table is not valid (nothing built).
    int createRedundancySet();

    // The instances built; the builder owns them.
    Array<VELDARO_RedundancySet*>& list() { return _list; }

private:
    Array<VELDARO_RedundancySet*> _list;
    String _storage;
};

}  // namespace cimple
