#pragma once
// Builds VELDARO_iSCSISessionStatistics instances: one per login of an iSCSI port of
// one array for which the array returns counters (asked over the array
// channel).
// A failed query leaves the array without instances of the class.

#include <cimple/cimple.h>

#include <cstdint>

#include "SMIS_VorpakRecords.h"
#include "VELDARO_iSCSISessionStatistics.h"

namespace cimple {

class VELDARO_iSCSISessionStatistics_Resource {
public:
    explicit VELDARO_iSCSISessionStatistics_Resource(const String& storage) : _storage(storage) {}
    ~VELDARO_iSCSISessionStatistics_Resource();
    VELDARO_iSCSISessionStatistics_Resource(const VELDARO_iSCSISessionStatistics_Resource&) = delete;
    VELDARO_iSCSISessionStatistics_Resource& operator=(const VELDARO_iSCSISessionStatistics_Resource&) = delete;

    // 0 done (also with nothing found or when the array could not be
    // asked), 1 error (logged), 2 the array's table image is not valid.
    int createiSCSISessionStatistics();

    // Fills the properties of one instance; 0, or 1 after an exception (logged).
    int setiSCSISessionStatistics(VELDARO_iSCSISessionStatistics* instance, std::uint16_t cm, std::uint16_t ca,
                                  std::uint16_t port, const CMM_RSP_RD_PORT_ISCSI_LOGIN_INFO* login,
                                  const CMM_RSP_GET_PORT_ISCSI_STATISTICS_INFO* statistics);

    Array<VELDARO_iSCSISessionStatistics*>& instances() { return _instances; }

private:
    Array<VELDARO_iSCSISessionStatistics*> _instances;
    String _storage;
};

}  // namespace cimple
