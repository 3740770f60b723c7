#pragma once
// Builds VELDARO_ProtocolControllerMaskingCapabilities: the fixed description
// of an array's masking and mapping abilities, one instance per array, keyed
// "VELDARO:PCMC_" + address.

#include <cimple/cimple.h>

#include "Element_List_Resource.h"
#include "VELDARO_ProtocolControllerMaskingCapabilities.h"

namespace cimple {

class VELDARO_ProtocolControllerMaskingCapabilities_Resource
    : public Element_List_Resource<VELDARO_ProtocolControllerMaskingCapabilities> {
public:
    explicit VELDARO_ProtocolControllerMaskingCapabilities_Resource(const String& storage)
        : Element_List_Resource(storage)
    {
    }

    // 0 built, 1 failure (logged), 2 the array's table image is not valid.
    int createProtocolControllerMaskingCapabilities();
};

}  // namespace cimple
