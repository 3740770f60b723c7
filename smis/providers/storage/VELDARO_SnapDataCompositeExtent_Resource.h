#pragma once
// Builds VELDARO_SnapDataCompositeExtent instances: one per snap data pool
// that the array's pool records list.

#include <cimple/cimple.h>

#include "VELDARO_SnapDataCompositeExtent.h"

namespace cimple {

class VELDARO_SnapDataCompositeExtent_Resource {
public:
    explicit VELDARO_SnapDataCompositeExtent_Resource(const String& storage) : _storage(storage) {}
    ~VELDARO_SnapDataCompositeExtent_Resource();
    VELDARO_SnapDataCompositeExtent_Resource(const VELDARO_SnapDataCompositeExtent_Resource&) = delete;
    VELDARO_SnapDataCompositeExtent_Resource& operator=(const VELDARO_SnapDataCompositeExtent_Resource&) = delete;

    // 0 built, 1 error, 2 the array's table is not valid (nothing built).
    int createSnapDataCompositeExtent();

    // The instances built; the builder owns them.
    Array<VELDARO_SnapDataCompositeExtent*>& list() { return _list; }

private:
    Array<VELDARO_SnapDataCompositeExtent*> _list;
    String _storage;
};

}  // namespace cimple
