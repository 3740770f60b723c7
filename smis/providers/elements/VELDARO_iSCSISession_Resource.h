#pragma once
// Builds VELDARO_iSCSISession instances: one per login that an iSCSI port of one array
// reports at the time of the build (asked over the array channel).
// A failed query leaves the array without instances of the class.

#include <cimple/cimple.h>

#include <cstdint>

#include "SMIS_VorpakRecords.h"
#include "VELDARO_iSCSISession.h"

namespace cimple {

class VELDARO_iSCSISession_Resource {
public:
    explicit VELDARO_iSCSISession_Resource(const String& storage) : _storage(storage) {}
    ~VELDARO_iSCSISession_Resource();
    VELDARO_iSCSISession_Resource(const VELDARO_iSCSISession_Resource&) = delete;
    VELDARO_iSCSISession_Resource& operator=(const VELDARO_iSCSISession_Resource&) = delete;

    // 0 done (also with nothing found or when the array could not be
    // asked), 1 error (logged), 2 the array's table image is not valid.
    int createiSCSISession();

    // Fills the properties of one instance; 0, or 1 after an exception (logged).
    int setiSCSISession(VELDARO_iSCSISession* instance, std::uint16_t cm, std::uint16_t ca, std::uint16_t port,
                        const CMM_RSP_RD_PORT_ISCSI_LOGIN_INFO* login);

    Array<VELDARO_iSCSISession*>& instances() { return _instances; }

private:
    Array<VELDARO_iSCSISession*> _instances;
    String _storage;
};

}  // namespace cimple
