#pragma once
// Builds VELDARO_FCPort instances: one per present port of every present
// Fibre Channel CA (masked real type 0 or 0x5000) of one array, with the
// current link speed from the array's port link status. Also used by the
// association providers for the port end points.

#include <cimple/cimple.h>

#include "CA_Port_Name.h"
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
    // The same for the ports with the given numbers only (in a consistent
    // table one port, or none): only their CAs' link status is asked, and
    // other ports are not read.
    int createFCPortOn(const CA_Port_Name& port);

    Array<VELDARO_FCPort*>& instances() { return _instances; }

private:
    int build(const CA_Port_Name* only);

    Array<VELDARO_FCPort*> _instances;
    String _storage;
};

}  // namespace cimple
