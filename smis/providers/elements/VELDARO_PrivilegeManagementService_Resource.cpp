// The privilege management service of one array, with the array's status.

#include "VELDARO_PrivilegeManagementService_Resource.h"

namespace cimple {

int VELDARO_PrivilegeManagementService_Resource::createPrivilegeManagementService()
{
    return buildService("Privilege Management Service");
}

}  // namespace cimple
