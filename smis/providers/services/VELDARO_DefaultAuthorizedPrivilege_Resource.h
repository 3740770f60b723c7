#pragma once
// Builds VELDARO_DefaultAuthorizedPrivilege: the all-hosts privilege of
// each port in default LUN-mapping view, keyed by InstanceID
// "VELDARO:DAP_CM%02dCA%02dP%02d_" + storage address.

#include <cimple/cimple.h>

#include "Instance_List_Resource.h"
#include "VELDARO_DefaultAuthorizedPrivilege.h"

namespace cimple {

class VELDARO_DefaultAuthorizedPrivilege_Resource : public Instance_List_Resource<VELDARO_DefaultAuthorizedPrivilege> {
public:
    explicit VELDARO_DefaultAuthorizedPrivilege_Resource(const String& storage) : Instance_List_Resource(storage) {}

    // 0 built, 1 failure (logged), 2 the array's table image is not valid.
    int createDefaultAuthorizedPrivilege();

    void setDefaultAuthorizedPrivilege(VELDARO_DefaultAuthorizedPrivilege* instance, std::uint8_t moduleId,
                                       std::uint8_t portNo);
};

}  // namespace cimple
