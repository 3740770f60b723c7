#pragma once
// Builds VELDARO_iSCSICapabilities instances: the one iSCSI capabilities instance of an array.
// Reads the configuration table only. Also used by the association
// providers.

#include <cimple/cimple.h>

#include <cstdint>

#include "VELDARO_iSCSICapabilities.h"

namespace cimple {

class VELDARO_iSCSICapabilities_Resource {
public:
    explicit VELDARO_iSCSICapabilities_Resource(const String& storage) : _storage(storage) {}
    ~VELDARO_iSCSICapabilities_Resource();
    VELDARO_iSCSICapabilities_Resource(const VELDARO_iSCSICapabilities_Resource&) = delete;
    VELDARO_iSCSICapabilities_Resource& operator=(const VELDARO_iSCSICapabilities_Resource&) = delete;

    // 0 done (also with nothing found), 1 error (logged), 2 the array's
    // table image is not valid.
    int createiSCSICapabilities();

    // Fills the properties of one instance; 0, or 1 after an exception (logged).
    int setiSCSICapabilities(VELDARO_iSCSICapabilities* instance);

    Array<VELDARO_iSCSICapabilities*>& instances() { return _instances; }

private:
    Array<VELDARO_iSCSICapabilities*> _instances;
    String _storage;
};

}  // namespace cimple
