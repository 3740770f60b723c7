#include "Polling_Lifetime.h"

#include <NamedEvent.h>
#include <SMIS_PollingService.h>
#include <SMIS_TraceLog.h>

#include <memory>
#include <utility>

namespace cimple {

Polling_Lifetime::Polling_Lifetime(Service service) : _service(std::move(service)) {}

Polling_Lifetime& Polling_Lifetime::module()
{
    // The module's hold on the cancel event, from the first start to the last stop.
    static std::unique_ptr<smis::platform::NamedEvent> cancel;
    static Polling_Lifetime lifetime(Service{
        [] {
            cancel = smis::platform::NamedEvent::create(SMIS_PollingService::CANCEL_EVENT_NAME);
            SMIS_PollingService* service = SMIS_PollingService::getInstance();
            if (!service || !service->runService()) {
                SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::WARNING,
                                       "The polling service did not start; the module runs without it");
                return false;
            }
            service->setSSLEnvironmentInitialized();
            return true;
        },
        [](bool running) {
            if (cancel)
                cancel->set();
            if (running && !SMIS_PollingService::getInstance()->stopService())
                SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::WARNING, "The polling service did not stop");
            SMIS_PollingService::destroy();
            cancel.reset();
        }});
    return lifetime;
}

void Polling_Lifetime::acquire()
{
    std::lock_guard<std::mutex> lock(_mutex);
    if (_holders++ > 0)
        return;
    try {
        _running = _service.start();
    } catch (...) {
        _running = false;
        SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::SEVERE, "The polling service failed to start");
    }
}

void Polling_Lifetime::release()
{
    std::lock_guard<std::mutex> lock(_mutex);
    if (_holders == 0 || --_holders > 0)
        return;
    const bool running = std::exchange(_running, false);
    try {
        _service.stop(running);
    } catch (...) {
        SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::SEVERE, "The polling service failed to stop");
    }
}

unsigned Polling_Lifetime::holders() const
{
    std::lock_guard<std::mutex> lock(_mutex);
    return _holders;
}

} // namespace cimple
