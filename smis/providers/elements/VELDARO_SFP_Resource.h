#pragma once
// Builds VELDARO_SFP: the transceivers of the FC and iSCSI channel adapter
// ports of an array, keyed by Tag "SFP_CM%02dCA%02dP%02d_" + address.

#include <cimple/cimple.h>

#include "Element_List_Resource.h"
#include "VELDARO_SFP.h"

namespace cimple {

class VELDARO_SFP_Resource : public Element_List_Resource<VELDARO_SFP> {
public:
    explicit VELDARO_SFP_Resource(const String& storage) : Element_List_Resource(storage) {}

    // 0 built, 1 failure (logged), 2 the array's table image is not valid.
    int createSFP();

    // Fills the SFP of that port: CM = module id & 7, CA = (module id >> 4)
    // & 3, port = bit 3 of the module id as bit 1 | port number & 1; 0.
    int setSFP(VELDARO_SFP* instance, unsigned char caModuleId, unsigned char portNo, const String& serialNumber,
               const String& revision, const String& partNumber, int status);
};

}  // namespace cimple
