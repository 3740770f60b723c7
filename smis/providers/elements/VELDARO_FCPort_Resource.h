#pragma once
// Builds VELDARO_FCPort instances: one per present port of every present
// Fibre Channel CA (masked real type 0 or 0x5000) of one array, with the
// current link speed from the array's port link status. Also used by the
// association providers for the port end points.

#include <cimple/cimple.h>

#include "VELDARO_FCPort.h"

namespace cimple {

class VELDARO_FCPort_Resource {
public:
    explicit VELDARO_FCPort_Resource(const String& storage) : _storage(storage) {}
    ~VELDARO_FCPort_Resource();
    VELDARO_FCPort_Resource(const VELDARO_FCPort_Resource&) = delete;
    VELDARO_FCPort_Resource& operator=(const VELDARO_FCPort_Resource&) = delete;

    // Fills the list: 0 done (also with nothing found), 1 error (logged,
    // the list may hold the ports built before it), 2 the array's table
    // image is not valid.
    int createFCPort();

    Array<VELDARO_FCPort*>& instances() { return _instances; }

private:
    Array<VELDARO_FCPort*> _instances;
    String _storage;
};

}  // namespace cimple
