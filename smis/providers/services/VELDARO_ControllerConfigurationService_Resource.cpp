// The controller configuration service of one array, with the array's status.

#include "VELDARO_ControllerConfigurationService_Resource.h"

namespace cimple {

int VELDARO_ControllerConfigurationService_Resource::createControllerConfigurationService()
{
    return buildService("Controller Configuration Service");
}

}  // namespace cimple
