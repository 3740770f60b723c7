// Each iSCSI session of an array with the statistics of that session.

#include "CIM_ElementStatisticalData_Provider.h"

#include "CIM_ElementStatisticalData.h"
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

bool sessionsWithStatistics(Association_Map_Frame& frame)
{
    const bool done = Common::guard(__FILE__, __LINE__, [&] {
        VELDARO_iSCSISession_Resource sessions(frame.storage());
        if (sessions.createiSCSISession() == 1)
            return false;
        const Array<VELDARO_iSCSISession*>& sessionList = sessions.instances();
        if (sessionList.size() == 0)
            return true;
        VELDARO_iSCSISessionStatistics_Resource statistics(frame.storage());
        if (statistics.createiSCSISessionStatistics() == 1)
            return false;
        const Array<VELDARO_iSCSISessionStatistics*>& statisticsList = statistics.instances();
        for (std::size_t i = 0; i < statisticsList.size(); ++i) {
            if (!statisticsList[i])
                continue;
            for (std::size_t k = 0; k < sessionList.size(); ++k) {
                if (!sessionList[k] || !sameSession(*sessionList[k], *statisticsList[i]))
                    continue;
                frame.add(Common::newAssociation(&CIM_ElementStatisticalData::static_meta_class,
                                                 clone(sessionList[k]), clone(statisticsList[i])));
                break;
            }
        }
        return true;
    });
    if (!done)
        frame.discard();
    return done;
}

}  // namespace

CIM_ElementStatisticalData_Provider::CIM_ElementStatisticalData_Provider()
    : Association_Map_Frame(&CIM_ElementStatisticalData::static_meta_class)
{
}

CIM_ElementStatisticalData_Provider::~CIM_ElementStatisticalData_Provider() {}

bool CIM_ElementStatisticalData_Provider::_enumPairs()
{
    return sessionsWithStatistics(*this);
}

}  // namespace cimple
