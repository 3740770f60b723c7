#include "PollingHost.h"

#include <cstdio>

namespace cimserver {

// The calls into the polling service live here and nowhere else:
//   start: SMIS_PollingService::setSSLEnvironmentInitialized(), then
//          SMIS_PollingService::runService();
//   stop:  SMIS_PollingService::stopService(), then destroy().
// POLLING-SERVICE-HOOK: the service class is not in arraycore yet; until it
// is, start() reports that it is absent and the server runs without polling.
bool PollingHost::start()
{
    if (_running)
        return true;
    std::fprintf(stderr, "cimserver: the polling service is not part of this build; running without it\n");
    return false;
}

void PollingHost::stop()
{
    if (!_running)
        return;
    _running = false;
}

} // namespace cimserver
