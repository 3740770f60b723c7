#include "CimStatus.h"

#include <cimple/Provider.h>

namespace cimserver {

CimError error_of_provider_status(int status, const std::string& provider)
{
    using namespace cimple;
    const std::string from = " (provider " + provider + ", status " + std::to_string(status) + ")";
    switch (status) {
    case 0:
        return {0, ""};
    case GET_INSTANCE_NOT_FOUND:
    case DELETE_INSTANCE_NOT_FOUND:
    case MODIFY_INSTANCE_NOT_FOUND:
        return {CIM_ERR_NOT_FOUND, "instance not found" + from};
    case GET_INSTANCE_UNSUPPORTED:
    case CREATE_INSTANCE_UNSUPPORTED:
    case DELETE_INSTANCE_UNSUPPORTED:
    case MODIFY_INSTANCE_UNSUPPORTED:
    case ENUM_ASSOCIATOR_NAMES_UNSUPPORTED:
    case ENUM_REFERENCES_UNSUPPORTED:
    case ENUM_ASSOCIATORS_UNSUPPORTED:
    case INVOKE_METHOD_UNSUPPORTED:
        return {CIM_ERR_NOT_SUPPORTED, "operation not supported" + from};
    case CREATE_INSTANCE_DUPLICATE:
        return {CIM_ERR_ALREADY_EXISTS, "instance already exists" + from};
    case MODIFY_INSTANCE_INVALID_PARAMETER:
        return {CIM_ERR_INVALID_PARAMETER, "modification rejected" + from};
    default:
        return {CIM_ERR_FAILED, "operation failed" + from};
    }
}

} // namespace cimserver
