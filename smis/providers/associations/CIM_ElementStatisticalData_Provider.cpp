// Each iSCSI session of an array with the statistics of that session.

#include "CIM_ElementStatisticalData_Provider.h"

#include "Association_End.h"
#include "CIM_ElementStatisticalData.h"
#include "Matching_Pair_Walk.h"
#include "VELDARO_iSCSISession.h"
#include "VELDARO_iSCSISessionStatistics.h"
#include "VELDARO_iSCSISessionStatistics_Resource.h"
#include "VELDARO_iSCSISession_Resource.h"

namespace cimple {

namespace {

using Common = Association_Provider_Frame;

// One session and its statistics: the same port (CM, CA and port number)
// and the same iSCSI port name.
bool sameSession(const VELDARO_iSCSISession& session, const VELDARO_iSCSISessionStatistics& statistics)
{
    return session.CMSlotNumber.value == statistics.CMSlotNumber.value &&
           session.CASlotNumber.value == statistics.CASlotNumber.value &&
           session.PortNo.value == statistics.PortNo.value &&
           session.iSCSIPortName.value == statistics.iSCSIPortName.value;
}

// Each statistics record with the first session it belongs to.
bool sessionsWithStatistics(Association_Map_Frame& frame)
{
    const bool done = Common::guard(__FILE__, __LINE__, [&] {
        VELDARO_iSCSISession_Resource sessions(frame.storage());
        if (!buildList(sessions, &VELDARO_iSCSISession_Resource::createiSCSISession))
            return false;
        if (listedOf(sessions).size() == 0)
            return true;
        VELDARO_iSCSISessionStatistics_Resource statistics(frame.storage());
        if (!buildList(statistics, &VELDARO_iSCSISessionStatistics_Resource::createiSCSISessionStatistics))
            return false;
        Matching_Pair_Walk::firstWithEach<CIM_ElementStatisticalData>(
            frame, listedOf(statistics), Matching_Pair_Walk::Each::SECOND, listedOf(sessions), sameSession);
        return true;
    });
    if (!done)
        frame.discard();
    return done;
}

bool sessionPairs(Association_Map_Frame& frame, const Instance*)
{
    return sessionsWithStatistics(frame);
}

// Only sessions and their statistics are ends.
const Association_Map_Frame::Source_Route ROUTES[] = {
    {&VELDARO_iSCSISession::static_meta_class, sessionPairs},
    {&VELDARO_iSCSISessionStatistics::static_meta_class, sessionPairs},
};

}  // namespace

CIM_ElementStatisticalData_Provider::CIM_ElementStatisticalData_Provider()
    : Association_Map_Frame(&CIM_ElementStatisticalData::static_meta_class)
{
    routeSources(ROUTES);
}

CIM_ElementStatisticalData_Provider::~CIM_ElementStatisticalData_Provider() {}

bool CIM_ElementStatisticalData_Provider::_enumPairs()
{
    return sessionsWithStatistics(*this);
}

}  // namespace cimple
