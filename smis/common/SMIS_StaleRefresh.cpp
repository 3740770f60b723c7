#include "SMIS_StaleRefresh.h"

#include "SMIS_TraceLog.h"

namespace cimple {

namespace {

thread_local bool pollingTaskThread = false;

const char* kindName(SMIS_StaleRefresh::Kind kind)
{
    return kind == SMIS_StaleRefresh::TABLE ? "table" : "copy sessions";
}

}  // namespace

void SMIS_StaleRefresh::settle(const std::string& address, Kind kind, int result, bool mayMark)
{
    if (result == -1)
        return;  // cancelled: the server stops
    std::lock_guard<std::mutex> lock(_mutex);
    const auto key = std::make_pair(address, kind);
    if (result == 0) {
        if (_marks.erase(key))
            SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::INFORMATION,
                                   "The %s of %s is refreshed again after a change", kindName(kind), address.c_str());
        return;
    }
    if (!mayMark || _marks.count(key))
        return;
    _marks[key] = Mark{Clock::now() + FIRST_RETRY, FIRST_RETRY};
    SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::WARNING,
                           "The %s of %s missed a change (refresh result %d): refreshed again shortly",
                           kindName(kind), address.c_str(), result);
}

void SMIS_StaleRefresh::dueNow(const std::string& address, Kind kind)
{
    std::lock_guard<std::mutex> lock(_mutex);
    _marks[std::make_pair(address, kind)] = Mark{Clock::now(), FIRST_RETRY};
}

bool SMIS_StaleRefresh::marked(const std::string& address, Kind kind) const
{
    std::lock_guard<std::mutex> lock(_mutex);
    return _marks.count(std::make_pair(address, kind)) != 0;
}

bool SMIS_StaleRefresh::onPollingTask() { return pollingTaskThread; }

SMIS_StaleRefresh::PollingTaskScope::PollingTaskScope() : _previous(pollingTaskThread) { pollingTaskThread = true; }

SMIS_StaleRefresh::PollingTaskScope::~PollingTaskScope() { pollingTaskThread = _previous; }

}  // namespace cimple
