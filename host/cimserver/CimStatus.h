// CIM status codes of operation responses and the error a request ends with.
#ifndef HOST_CIMSERVER_CIM_STATUS_H
#define HOST_CIMSERVER_CIM_STATUS_H

#include <string>

namespace cimserver {

enum CimStatus : int {
    CIM_ERR_FAILED = 1,
    CIM_ERR_ACCESS_DENIED = 2,
    CIM_ERR_INVALID_NAMESPACE = 3,
    CIM_ERR_INVALID_PARAMETER = 4,
    CIM_ERR_INVALID_CLASS = 5,
    CIM_ERR_NOT_FOUND = 6,
    CIM_ERR_NOT_SUPPORTED = 7,
    CIM_ERR_ALREADY_EXISTS = 11,
    CIM_ERR_METHOD_NOT_AVAILABLE = 16,
    CIM_ERR_METHOD_NOT_FOUND = 17,
};

// An operation that cannot be answered with a result: its code and a text
// for the client.
struct CimError {
    int code = CIM_ERR_FAILED;
    std::string description;
};

// The error of a provider status (the framework's status values) for the
// operation that returned it; code 0 when the status means success.
CimError error_of_provider_status(int status, const std::string& provider);

} // namespace cimserver

#endif
