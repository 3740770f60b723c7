#include "PollingHost.h"

#include <cstdio>

// The polling service lives in arraycore; a build without it runs the
// server without polling.
#if __has_include(<SMIS_PollingService.h>)
#include <NamedEvent.h>
#include <SMIS_PollingService.h>
#define CIMSERVER_HAS_POLLING_SERVICE 1
#else
#define CIMSERVER_HAS_POLLING_SERVICE 0
#endif

namespace cimserver {

PollingHost::PollingHost()
{
#if CIMSERVER_HAS_POLLING_SERVICE
    _cancel = smis::platform::NamedEvent::create(cimple::SMIS_PollingService::CANCEL_EVENT_NAME);
#endif
}

PollingHost::~PollingHost()
{
    stop();
}

void PollingHost::cancel()
{
#if CIMSERVER_HAS_POLLING_SERVICE
    if (_cancel)
        _cancel->set();
#endif
}

bool PollingHost::start(unsigned interval)
{
    if (_running)
        return true;
#if CIMSERVER_HAS_POLLING_SERVICE
    try {
        cimple::SMIS_PollingService* service = cimple::SMIS_PollingService::getInstance();
        if (service && interval) {
            cimple::SMIS_PollingService::Timing timing = service->timing();
            timing.deviceStatusInterval = interval;
            timing.pollingInterval = interval;
            timing.syncCopyInterval = interval;
            service->setTiming(timing);
        }
        if (!service || !service->runService()) {
            std::fprintf(stderr, "cimserver: the polling service did not start\n");
            return false;
        }
        service->setSSLEnvironmentInitialized();
        _running = true;
        return true;
    } catch (...) {
        std::fprintf(stderr, "cimserver: the polling service failed to start\n");
        return false;
    }
#else
    (void)interval;
    std::fprintf(stderr, "cimserver: the polling service is not part of this build; running without it\n");
    return false;
#endif
}

void PollingHost::stop()
{
    if (!_running)
        return;
    _running = false;
#if CIMSERVER_HAS_POLLING_SERVICE
    try {
        cimple::SMIS_PollingService::getInstance()->stopService();
    } catch (...) {
        std::fprintf(stderr, "cimserver: the polling service failed to stop\n");
    }
#endif
}

void PollingHost::release()
{
#if CIMSERVER_HAS_POLLING_SERVICE
    try {
        cimple::SMIS_PollingService::destroy();
    } catch (...) {
        std::fprintf(stderr, "cimserver: the polling service could not be released\n");
    }
#endif
}

} // namespace cimserver
