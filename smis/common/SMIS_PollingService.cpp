// The polling service: its lifecycle, scheduling and the four tasks per
// array. The refresh operations it offers live in SMIS_PollingServiceRefresh.

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <ctime>

#include "ByteOrder.h"
#include "SMIS_CMSLib.h"
#include "SMIS_CMTAccess.h"
#include "SMIS_COPY_SESSION_INFO.h"
#include "SMIS_EnvAccess.h"
#include "SMIS_Indication.h"
#include "SMIS_PollingService.h"
#include "SMIS_TraceLog.h"
#include "SMIS_Vorpak.h"
#include "VELDARO_RefTable.h"

namespace cimple {

namespace {

std::mutex g_instanceLock;
SMIS_PollingService* g_instance = nullptr;

const char* const kTaskNames[SMIS_PollingService::TASKS_PER_ARRAY] = {
    "SMIS_PollingTask_DeviceStatus",
    "SMIS_PollingTask_ConfigManagementInfo",
    "SMIS_PollingTask_CopySessionInfo",
    "SMIS_PollingTask_SyncCopySessionInfo",
};

std::int64_t nowSeconds() { return static_cast<std::int64_t>(std::time(nullptr)); }

std::string timeText(std::int64_t t)
{
    const std::time_t v = static_cast<std::time_t>(t);
    char buffer[64] = {};
    std::tm tm{};
    localtime_r(&v, &tm);
    std::strftime(buffer, sizeof buffer, "%a %b %d %H:%M:%S %Y", &tm);
    return buffer;
}

// Holds one named mutex of an array for a scope.
class TaskMutex {
public:
    TaskMutex(SMIS_CMTAccess* cache, const char* address, int kind)
        : _cache(cache), _handle(cache ? cache->GetCMTMutex(address, kind) : nullptr)
    {
    }
    ~TaskMutex()
    {
        if (_handle)
            _cache->RelaseCMTMutex(_handle);
    }
    TaskMutex(const TaskMutex&) = delete;
    TaskMutex& operator=(const TaskMutex&) = delete;
    bool held() const { return _handle != nullptr; }

private:
    SMIS_CMTAccess* _cache;
    SMIS_MutexHandle _handle;
};

// The device flag a task decided: -1 none, else 0 reachable, 1 not.
void applyDecision(SMIS_CMTAccess* cache, const char* address, int decision)
{
    if (cache && decision >= 0)
        cache->SetDeviceAvailable(address, decision);
}

// Frame of a polling task: holds the array's procedure mutex while body(cache,
// decision) runs, logs an exception from it under the task's name and applies
// the decision reached. Returns 1 when the cache or mutex is missing, else 0.
template <class Body>
int runProcedureTask(const char* address, const char* name, Body&& body)
{
    SMIS_CMTAccess* cache = SMIS_CMTAccess::getInstance();
    if (!cache)
        return 1;
    TaskMutex lock(cache, address, SMIS_CMTAccess::MUTEX_THREAD_PROCEDURE);
    if (!lock.held())
        return 1;
    int decision = -1;
    try {
        body(cache, decision);
    } catch (...) {
        SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::SEVERE, "Exception Error(%s)", name);
    }
    applyDecision(cache, address, decision);
    return 0;
}

}  // namespace

SMIS_PollingService::SMIS_PollingService() = default;

SMIS_PollingService::~SMIS_PollingService() = default;

SMIS_PollingService* SMIS_PollingService::getInstance()
{
    std::lock_guard<std::mutex> lock(g_instanceLock);
    if (!g_instance) {
        try {
            g_instance = new SMIS_PollingService();
            SMIS_TraceLog::peg_trace(__FILE__, __LINE__, Tracer::LEVEL4, "New SMIS_PollingService Instance");
        } catch (...) {
            g_instance = nullptr;
        }
    }
    return g_instance;
}

void SMIS_PollingService::destroy()
{
    SMIS_TraceLog::peg_trace(__FILE__, __LINE__, Tracer::LEVEL4, "[in] SMIS_PollingService::destroy");
    std::lock_guard<std::mutex> lock(g_instanceLock);
    if (g_instance) {
        SMIS_PollingService* s = g_instance;
        {
            std::lock_guard<std::mutex> life(s->_lifecycle);
            // A thread that outlived its bounded wait still uses the service.
            if (s->_liveThreads.load() > 0) {
                SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::WARNING,
                                       "SMIS_PollingService threads are still running; not destroyed");
                return;
            }
            if (s->_mainThread.joinable())
                s->_mainThread.join();
            s->_reapTasks(true);
            s->_term();
        }
        delete s;
        g_instance = nullptr;
    }
    SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::INFORMATION, "PollingService/CMTAccess is all closed");
}

void SMIS_PollingService::setTiming(const Timing& timing)
{
    std::lock_guard<std::mutex> lock(_settings);
    _timing = timing;
}

SMIS_PollingService::Timing SMIS_PollingService::timing() const
{
    std::lock_guard<std::mutex> lock(_settings);
    return _timing;
}

void SMIS_PollingService::setCommandFactory(CommandFactory factory)
{
    std::lock_guard<std::mutex> lock(_settings);
    _factory = std::move(factory);
}

void SMIS_PollingService::setFetchHook(FetchHook hook)
{
    std::lock_guard<std::mutex> lock(_settings);
    _fetchHook = std::move(hook);
}

void SMIS_PollingService::_fetched(const char* address, const char* refresh) const
{
    FetchHook hook;
    {
        std::lock_guard<std::mutex> lock(_settings);
        hook = _fetchHook;
    }
    if (hook)
        hook(address, refresh);
}

std::unique_ptr<SMIS_Vorpak> SMIS_PollingService::_newCommand(const char* address) const
{
    CommandFactory factory;
    {
        std::lock_guard<std::mutex> lock(_settings);
        factory = _factory;
    }
    try {
        if (factory)
            return factory(address);
        return std::make_unique<SMIS_Vorpak>(address);
    } catch (...) {
        return nullptr;
    }
}

// ---------------------------------------------------------------- lifecycle

bool SMIS_PollingService::_init()
{
    SMIS_TraceLog::peg_trace(__FILE__, __LINE__, Tracer::LEVEL4, "[in] SMIS_PollingService::_init");
    SMIS_CMTAccess* cache = SMIS_CMTAccess::getInstance();
    if (!cache) {
        SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::SEVERE, "SMIS_CMTAccess instance is NULL");
        return false;
    }
    const char* names[2] = {STOP_EVENT_NAME, CANCEL_EVENT_NAME};
    for (int i = 0; i < 2; ++i) {
        if (!_events[i])
            _events[i] = createEvent(names[i]);
        if (!_events[i]) {
            for (auto& e : _events)
                if (e) {
                    closeEvent(e);
                    e = nullptr;
                }
            return false;
        }
        // A previous stop left the events signalled: every command would give
        // up at once and the new main thread would end at once.
        _events[i]->reset();
        SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::INFORMATION, "CreateEvent(%s)=%x", names[i],
                               _events[i]->id());
    }
    SMIS_EnvAccess* env = SMIS_EnvAccess::getInstance();
    if (!env) {
        SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::SEVERE, "SMIS_EnvAccess instance is NULL");
        return false;
    }
    const int storageCount = env->getStorageCount();
    SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::INFORMATION, "StorageCount is %d", storageCount);
    if (storageCount == 0)
        return false;
    SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::INFORMATION, "TaskCount is %d",
                           storageCount * TASKS_PER_ARRAY);
    const Timing t = timing();
    const std::uint32_t intervals[TASKS_PER_ARRAY] = {
        t.deviceStatusInterval ? t.deviceStatusInterval : env->getDeviceStatusInterval(),
        t.pollingInterval ? t.pollingInterval : env->getPollingInterval(),
        t.pollingInterval ? t.pollingInterval : env->getPollingInterval(),
        t.syncCopyInterval ? t.syncCopyInterval : SYNC_COPY_INTERVAL,
    };
    _tasks.clear();
    const std::int64_t now = nowSeconds();
    for (int s = 0; s < storageCount; ++s) {
        const std::string address = env->getStorageIP(static_cast<std::uint16_t>(s));
        for (int type = 0; type < TASKS_PER_ARRAY; ++type) {
            auto task = std::make_unique<SMIS_POLLINGTASK>();
            task->service = this;
            std::snprintf(task->storageAddress, sizeof task->storageAddress, "%s", address.c_str());
            task->taskType = static_cast<std::uint8_t>(type);
            task->priority = static_cast<std::uint8_t>(type + 1);
            task->nextTime = now;
            task->interval = std::max<std::uint32_t>(intervals[type], 1);
            task->taskName = kTaskNames[type];
            SMIS_TraceLog::peg_trace(__FILE__, __LINE__, Tracer::LEVEL4, "[%s-%d]:nexttime:%s", task->storageAddress,
                                     type, timeText(now).c_str());
            _tasks.push_back(std::move(task));
        }
    }
    return true;
}

void SMIS_PollingService::_term()
{
    _tasks.clear();
    for (auto& e : _events)
        if (e) {
            closeEvent(e);
            e = nullptr;
        }
    SMIS_CMTAccess::destroy();
}

bool SMIS_PollingService::runService()
{
    SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::INFORMATION, "SMIS_PollingService::runService()");
    std::lock_guard<std::mutex> life(_lifecycle);
    if (_mainThread.joinable() && _mainFinished.load())
        _mainThread.join();
    // A running service, or threads left from a stop that timed out, refuse
    // a second start.
    if (_mainThread.joinable() || _liveThreads.load() > 0) {
        SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::WARNING, "SMIS_PollingService is already running");
        return false;
    }
    _reapTasks(true);
    if (!_init())
        return false;
    // The TLS flag stays as the host set it: a restart needs no second call.
    _mainFinished = false;
    try {
        ++_liveThreads;
        _mainThread = std::thread([this] {
            pollingServiceMain();
            _mainFinished = true;
            --_liveThreads;
        });
    } catch (...) {
        --_liveThreads;
        _mainFinished = true;
        SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::SEVERE, "Error _beginthreadex-pollingServiceMain(%d)",
                               errno);
        return false;
    }
    SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::INFORMATION, "pollingServiceMain : thread hwnd=%x, id=%x", 1u,
                           static_cast<unsigned>(std::hash<std::thread::id>()(_mainThread.get_id())));
    return true;
}

void SMIS_PollingService::setSSLEnvironmentInitialized() { _sslInitialized = true; }

bool SMIS_PollingService::isRunning() const { return !_mainFinished.load(); }

bool SMIS_PollingService::stopService()
{
    SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::INFORMATION, "SMIS_PollingService::stopService()");
    std::lock_guard<std::mutex> life(_lifecycle);
    if (!_mainThread.joinable())
        return true;
    if (_events[0])
        _events[0]->set();
    const auto deadline = std::chrono::steady_clock::now() + timing().stopWait;
    while (!_mainFinished.load() && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    if (_mainFinished.load()) {
        _mainThread.join();
        SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::INFORMATION, "pollingServiceMain thread exit(%d)", 0);
    } else {
        // No thread is killed: the main thread ends on its own once its tasks
        // have given up; until then the service cannot start or be destroyed.
        SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::WARNING,
                               "Timedout WaitForSingleObject, pollingServiceMain still ending");
        _mainThread.detach();
    }
    return true;
}

// ---------------------------------------------------------------- main thread

int SMIS_PollingService::_getWaitTime(std::chrono::milliseconds& wait)
{
    if (_tasks.empty()) {
        wait = std::chrono::milliseconds::max();
        return -1;
    }
    const std::int64_t now = nowSeconds();
    int candidate = -1;
    std::int64_t best = 0;
    for (std::size_t i = 0; i < _tasks.size(); ++i) {
        SMIS_POLLINGTASK& t = *_tasks[i];
        t.selected = 0;
        const std::int64_t diff = t.nextTime - now;
        if (candidate < 0 || diff < best || (diff == best && t.priority < _tasks[candidate]->priority)) {
            candidate = static_cast<int>(i);
            best = diff;
        }
    }
    _tasks[candidate]->selected = 1;
    SMIS_TraceLog::peg_trace(__FILE__, __LINE__, Tracer::LEVEL4, "[%s-%d]:next task",
                             _tasks[candidate]->storageAddress, _tasks[candidate]->taskType);
    wait = best < 0 ? std::chrono::milliseconds(0) : std::chrono::milliseconds(best * 1000);
    return candidate;
}

void SMIS_PollingService::_runTask(SMIS_POLLINGTASK* task)
{
    SMIS_PollingService* s = task->service;
    SMIS_StaleRefresh::PollingTaskScope scope;
    switch (task->taskType) {
    case 0: s->_proc_DeviceStatus(task->storageAddress); break;
    case 1: s->_proc_ConfigManagementInfo(task->storageAddress); break;
    case 2: s->_proc_CopySessionInfo(task->storageAddress); break;
    default: s->_proc_SyncCopySessionInfo(task->storageAddress); break;
    }
}

void SMIS_PollingService::_threadExecProc()
{
    SMIS_POLLINGTASK* task = nullptr;
    for (auto& t : _tasks)
        if (t->selected) {
            task = t.get();
            break;
        }
    if (!task) {
        SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::WARNING,
                               "The thread for execution does not exist in a table");
        return;
    }
    if (task->running.load()) {
        SMIS_TraceLog::peg_trace(__FILE__, __LINE__, Tracer::LEVEL4, "[%s-%d]:thread skipped", task->storageAddress,
                                 task->taskType);
    } else {
        try {
            task->finished = false;
            task->running = 1;
            ++_liveThreads;
            task->thread = std::thread([this, task] {
                _runTask(task);
                task->finished = true;
                --_liveThreads;
            });
            SMIS_TraceLog::peg_trace(__FILE__, __LINE__, Tracer::LEVEL4, "[%s-%d]:thread started(hwnd=%x,id=%x)",
                                     task->storageAddress, task->taskType, 1u,
                                     static_cast<unsigned>(std::hash<std::thread::id>()(task->thread.get_id())));
            const auto pause = timing().startPause;
            if (pause.count() > 0)
                std::this_thread::sleep_for(pause);
        } catch (...) {
            task->running = 0;
            --_liveThreads;
            SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::SEVERE, "thread(%s-%d) start error(%d)",
                                   task->storageAddress, task->taskType, errno);
        }
    }
    task->selected = 0;
    // A skipped run is not made up: move on by whole intervals past now.
    const std::int64_t now = nowSeconds();
    if (task->nextTime <= now) {
        const std::int64_t behind = now - task->nextTime;
        task->nextTime += (behind / task->interval + 1) * static_cast<std::int64_t>(task->interval);
    }
    SMIS_TraceLog::peg_trace(__FILE__, __LINE__, Tracer::LEVEL4, "[%s-%d]:nexttime:%s", task->storageAddress,
                             task->taskType, timeText(task->nextTime).c_str());
}

void SMIS_PollingService::_reapTasks(bool all)
{
    for (auto& t : _tasks) {
        if (t->thread.joinable() && (all || t->finished.load())) {
            t->thread.join();
            SMIS_TraceLog::peg_trace(__FILE__, __LINE__, Tracer::LEVEL4, "[%s-%d]:thread finished(%d)",
                                     t->storageAddress, t->taskType, 0);
            t->running = 0;
            t->selected = 0;
        }
    }
}

void SMIS_PollingService::_pullStaleTasks()
{
    auto taskOf = [this](const std::string& address, SMIS_StaleRefresh::Kind kind) -> SMIS_POLLINGTASK* {
        const std::uint8_t type = kind == SMIS_StaleRefresh::TABLE ? 1 : 2;
        for (auto& t : _tasks)
            if (t->taskType == type && address == t->storageAddress)
                return t.get();
        return nullptr;
    };
    const auto due = _stale.takeDue(SMIS_StaleRefresh::Clock::now(), [&](const std::string& a, auto kind) {
        const SMIS_POLLINGTASK* t = taskOf(a, kind);
        return t && !t->running.load();
    });
    for (const auto& [address, kind] : due) {
        SMIS_POLLINGTASK* t = taskOf(address, kind);
        t->nextTime = nowSeconds();
        SMIS_TraceLog::peg_trace(__FILE__, __LINE__, Tracer::LEVEL4, "[%s-%d]:refreshed again after a change",
                                 t->storageAddress, t->taskType);
    }
}

int SMIS_PollingService::_settled(const char* address, SMIS_StaleRefresh::Kind kind, int result)
{
    if (address)
        _stale.settle(address, kind, result, !SMIS_StaleRefresh::onPollingTask());
    return result;
}

void SMIS_PollingService::pollingServiceMain()
{
    SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::INFORMATION,
                           "SMIS_PollingService::pollingServiceMain() Wait SSL Environment Initialized...");
    SMIS_EventHandle stop = _events[0];
    bool stopping = false;
    while (!_sslInitialized.load()) {
        if (stop && stop->wait(std::chrono::milliseconds(100))) {
            stopping = true;
            break;
        }
    }
    if (!stopping)
        SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::INFORMATION,
                               "SMIS_PollingService::pollingServiceMain() Start");
    while (!stopping) {
        _reapTasks(false);
        _pullStaleTasks();
        std::chrono::milliseconds wait{};
        _getWaitTime(wait);
        if (wait.count() == 0) {
            _threadExecProc();
            continue;
        }
        // Wake at least every 50 ms to collect finished tasks.
        const auto slice = std::min(wait, std::chrono::milliseconds(50));
        if (stop && stop->wait(slice)) {
            SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::INFORMATION, "event(%s) is signaled",
                                   STOP_EVENT_NAME);
            stop->reset();
            stopping = true;
        }
    }
    // Commands in progress give up, then the tasks get a bounded time to end.
    if (_events[1])
        _events[1]->set();
    const auto deadline = std::chrono::steady_clock::now() + timing().taskWait;
    for (;;) {
        bool anyRunning = false;
        for (auto& t : _tasks)
            anyRunning = anyRunning || (t->thread.joinable() && !t->finished.load());
        if (!anyRunning || std::chrono::steady_clock::now() >= deadline)
            break;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    for (auto& t : _tasks) {
        if (!t->thread.joinable())
            continue;
        if (t->finished.load()) {
            t->thread.join();
        } else {
            // Not killed: it ends on its own; the service stays alive for it.
            SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::WARNING,
                                   "Timedout WaitForSingleObject, task [%s-%d] still ending", t->storageAddress,
                                   t->taskType);
            t->thread.detach();
        }
        t->running = 0;
        t->selected = 0;
    }
    SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::INFORMATION, "SMIS_PollingService::pollingServiceMain() End");
}

// ---------------------------------------------------------------- tasks

int SMIS_PollingService::_proc_DeviceStatus(const char* address)
{
    SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::INFORMATION, "_proc_DeviceStatus start");
    SMIS_CMTAccess* cache = SMIS_CMTAccess::getInstance();
    if (!cache)
        return 1;
    TaskMutex lock(cache, address, SMIS_CMTAccess::MUTEX_THREAD_PROCEDURE);
    if (!lock.held())
        return 1;
    int decision = -1;
    try {
        std::unique_ptr<SMIS_Vorpak> vpk = _newCommand(address);
        if (!vpk)
            return 1;
        int reason = 0;
        std::uint8_t newStatus = 0;
        bool commandFailed = false;
        bool proceed = true;
        if (isSupportedModel(address, reason)) {
            decision = 0;
            unsigned char status = 0;
            const unsigned char rc = vpk->getDeviceStatus(status);
            if (rc == 128) {
                proceed = false;
            } else if (rc != 0) {
                newStatus = cache->GetErrorStatus(address);
                commandFailed = true;
                SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::WARNING, "getDeviceStatus error");
                if (rc == 132)
                    decision = 1;
            } else {
                cache->SetErrorStatus(address, 253);
                newStatus = status;
            }
        } else if (reason == 2) {
            newStatus = cache->GetErrorStatus(address);
            commandFailed = true;
        } else {
            proceed = false;
        }
        if (proceed) {
            long count = 0;
            void* previous = cache->GetExTableInfo(address, SMIS_CMTAccess::EX_DEVICE_STATUS, nullptr, count);
            const bool hadPrevious = previous != nullptr && count > 0;
            const std::uint8_t oldStatus = hadPrevious ? *static_cast<std::uint8_t*>(previous) : 0;
            std::free(previous);
            std::uint8_t record[16] = {};
            record[0] = newStatus;
            const int stored =
                cache->SetExTableInfo(address, SMIS_CMTAccess::EX_DEVICE_STATUS, nullptr, record, sizeof record, 1, 1);
            if (stored != 0)
                SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::WARNING, "0x%x = SMIS_CMTAccess::SetExTableInfo()",
                                       stored);
            SMIS_TraceLog::peg_trace(__FILE__, __LINE__, Tracer::LEVEL4, "Device Status:0x%.2x -> 0x%.2x", oldStatus,
                                     newStatus);
            if (hadPrevious) {
                int n1 = 0, n2 = 0, o1 = 0, o2 = 0;
                SMIS_CMSLib::cms_cnv_smis_sts_machine_ce_de(newStatus, &n1, &n2);
                SMIS_CMSLib::cms_cnv_smis_sts_machine_ce_de(oldStatus, &o1, &o2);
                if (n1 != o1 || n2 != o2) {
                    int r = 0;
                    {
                        VELDARO_RefTable view(address);
                        SMIS_Indication indication;
                        r = indication.indicationStatus(view, newStatus, oldStatus);
                    }
                    if (r != 0) {
                        SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::SEVERE,
                                               "SMIS_Indication::indicationStatus error(%d)", r);
                    } else if (!commandFailed) {
                        const int refreshed = getConfigManagementInfo(*vpk, address);
                        if (refreshed == 2)
                            decision = 1;
                        if (refreshed != -1) {
                            CMM_RSP_RD_MODEL_INFO* raw = nullptr;
                            const unsigned char mrc = vpk->getModelInformation(raw);
                            if (mrc == 0 && raw) {
                                SMIS_CMT_MANAGER::ModelInfo bytes{};
                                std::memcpy(bytes.data(), raw->bytes, bytes.size());
                                cache->SetModelInformation(address, bytes);
                                SMIS_TraceLog::peg_log(
                                    __FILE__, __LINE__, Logger::INFORMATION,
                                    "ModelInfo(%s)+++ Version=%.2x Level=%.2x ModelType=%.2x DeType=%.2x "
                                    "SupportFlag1=%.2x 2=%.2x 3=%.2x 4=%.2x 5=%.2x 6=%.2x",
                                    address, raw->bytes[0], raw->bytes[1], raw->bytes[4], raw->bytes[5],
                                    raw->bytes[12], raw->bytes[13], raw->bytes[14], raw->bytes[15], raw->bytes[16],
                                    raw->bytes[17]);
                            } else if (mrc == 132) {
                                decision = 1;
                            }
                            std::free(raw);
                        }
                    }
                }
            }
        }
    } catch (...) {
        SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::SEVERE, "Exception Error(_proc_DeviceStatus)");
    }
    applyDecision(cache, address, decision);
    SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::INFORMATION, "_proc_DeviceStatus end");
    return 0;
}

int SMIS_PollingService::_proc_ConfigManagementInfo(const char* address)
{
    SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::INFORMATION, "_proc_ConfigManagementInfo start");
    const int rc = runProcedureTask(address, "_proc_ConfigManagementInfo", [&](SMIS_CMTAccess*, int& decision) {
        int reason = 0;
        if (isSupportedModel(address, reason)) {
            const int r = getConfigManagementInfoEx(address);
            if (r == 2)
                decision = 1;
            else if (r == -1)
                decision = 0;
            else
                decision = UpdateAllocatedInfo(address) == 2 ? 1 : 0;
        }
    });
    if (rc == 0)
        SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::INFORMATION, "_proc_ConfigManagementInfo end");
    return rc;
}

int SMIS_PollingService::_proc_CopySessionInfo(const char* address)
{
    const int rc = runProcedureTask(address, "_proc_CopySessionInfo", [&](SMIS_CMTAccess*, int& decision) {
        // A copy session's record takes its volumes' LU types from the
        // table: before the array's first table is in place none could be
        // converted. Nothing is asked then, and nothing decided; the first
        // table's install brings this task forward.
        int reason = 0;
        if (_hasTable(address) && isSupportedModel(address, reason))
            decision = getCopySessionInfo(address) == 2 ? 1 : 0;
    });
    if (rc == 0)
        SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::INFORMATION, "_proc_CopySessionInfo end");
    return rc;
}

int SMIS_PollingService::_proc_SyncCopySessionInfo(const char* address)
{
    const int rc = runProcedureTask(address, "_proc_SyncCopySessionInfo", [&](SMIS_CMTAccess* cache, int& decision) {
        int reason = 0;
        if (!isSupportedModel(address, reason))
            return;
        decision = 0;
        Array<unsigned short> ids;
        {
            TaskMutex tableLock(cache, address, SMIS_CMTAccess::MUTEX_COPY_SESSION_TABLE);
            std::shared_ptr<const SMIS_CMT> table = cache->GetCurrentCopySessionTable(address);
            const SMIS_INDEX* entry = table ? SMIS_CMTCodec::GetIndexTable(*table, 0) : nullptr;
            if (entry && entry->ElementSize == sizeof(SMIS_COPY_SESSION_INFO))
                for (std::size_t i = 0; i < entry->ElementCount; ++i) {
                    const std::uint8_t* r = entry->element(i);
                    if (r && (r[2] == 1 || r[2] == 2) && r[88] == 2 && r[89] == 1)
                        ids.append(smis::loadLE16(r));
                }
        }
        if (ids.size() != 0 && getCopySessionInfo(address, ids) == 2)
            decision = 1;
    });
    if (rc == 0)
        SMIS_TraceLog::peg_trace(__FILE__, __LINE__, Tracer::LEVEL4, "_proc_SyncCopySessionInfo end");
    return rc;
}

}  // namespace cimple
