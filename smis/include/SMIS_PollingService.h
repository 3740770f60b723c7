#pragma once
// The polling service and the refresh operations of every array's cache.
//
// The refresh operations (getConfigManagementInfo, getCopySessionInfo,
// UpdateAllocatedInfo, isSupportedModel) work without a started service:
// providers and configuration methods call them on demand.
//
// A host process runs the periodic polling:
//
//   SMIS_PollingService* service = SMIS_PollingService::getInstance();
//   if (service->runService()) {            // events, task table, main thread
//       service->setSSLEnvironmentInitialized();   // polling begins
//       ...
//       service->stopService();             // cooperative, bounded wait
//   }
//   SMIS_PollingService::destroy();         // also destroys the cache
//
// Per configured array four tasks run, each in a thread of its own: device
// status, configuration table, copy sessions and synchronous copy sessions.
// They are what marks an array reachable (device flag 0) or not (1).
//
// Results of the refresh operations: 0 success, 1 failure, 2 the array did
// not answer (command time-out), -1 the cancel event ended a command.

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include <cimple/Array.h>

#include "SMIS_AccessCom.h"
#include "SMIS_CMT.h"
#include "SMIS_StaleRefresh.h"
#include "SMIS_VorpakRecords.h"

namespace cimple {

class SMIS_Vorpak;
class SMIS_PollingService;
class SMIS_CMTAccess;
class SMIS_CMT_MANAGER;

struct SMIS_POLLINGTASK {
    SMIS_PollingService* service = nullptr;
    char storageAddress[16] = {};
    std::uint8_t taskType = 0;  // 0 device status, 1 configuration table, 2 copy sessions, 3 sync copy sessions
    std::uint8_t priority = 0;  // taskType + 1; lower wins a tie
    std::atomic<std::uint8_t> running{0};
    std::uint8_t selected = 0;
    std::int64_t nextTime = 0;  // seconds since 1970
    std::uint32_t interval = 0; // seconds
    std::thread thread;
    std::atomic<bool> finished{false};
    const char* taskName = "";
};

class SMIS_PollingService : public SMIS_AccessCom {
public:
    static constexpr const char* STOP_EVENT_NAME = "Global\\SMIS_Event_Polling_Stop";
    static constexpr const char* CANCEL_EVENT_NAME = "Global\\SMIS_Event_Cancel_Connection";
    static constexpr int TASKS_PER_ARRAY = 4;
    static constexpr std::uint32_t SYNC_COPY_INTERVAL = 10;
    // Bounds of the full copy-session listing.
    static constexpr unsigned MAX_COPY_SESSION_PAGES = 1024;
    static constexpr unsigned MAX_COPY_SESSIONS = 65536;

    // Timing of the service; the defaults are the production values, tests
    // shorten them. Zero intervals take the configuration file's values.
    struct Timing {
        std::uint32_t deviceStatusInterval = 0;
        std::uint32_t pollingInterval = 0;
        std::uint32_t syncCopyInterval = SYNC_COPY_INTERVAL;
        std::chrono::milliseconds stopWait{180000};   // stopService waits this long for the main thread
        std::chrono::milliseconds taskWait{60000};    // the main thread waits this long for its tasks
        std::chrono::milliseconds startPause{100};    // pause after starting a task
    };
    // Makes the command object of one array exchange.
    using CommandFactory = std::function<std::unique_ptr<SMIS_Vorpak>(const char* address)>;
    // Called by a refresh once the array has answered and the answer is
    // numbered, before anything is stored; refresh names "table", "copy
    // sessions", "chosen sessions" and "allocation". Tests use it to make two
    // refreshes overlap.
    using FetchHook = std::function<void(const char* address, const char* refresh)>;

    // The singleton, created on first call.
    static SMIS_PollingService* getInstance();
    // Ends the service's use: releases the task table and events, destroys
    // the cache and deletes the singleton. Refused (warning) while a thread
    // of the service still runs.
    static void destroy();

    // Starts the main thread; false when the service already runs, the cache
    // is missing, no array is configured or the thread cannot start.
    bool runService();
    // Lets the main thread begin polling.
    void setSSLEnvironmentInitialized();
    // Sets the stop event and waits (bounded) for the main thread; true.
    bool stopService();
    // True from runService until the main thread has ended.
    bool isRunning() const;

    // ---- refresh operations ----
    // flag 0: whole table; flag 1: only when the revision word changed (or
    // no image is cached). Any other flag or a NULL address: 1.
    int getConfigManagementInfo(const char* address, int flag);
    int getConfigManagementInfoEx(const char* address);
    int getCopySessionInfo(const char* address);
    int getCopySessionInfo(const char* address, const Array<unsigned short>& sessionIds);
    int UpdateAllocatedInfo(const char* address);
    // reason: 0 supported or decided, 1 unsupported model, 2 the model could
    // not be asked, 3 cancelled, 4 no cache.
    bool isSupportedModel(const char* address, int& reason);
    unsigned char getModelInformation(const char* address, CMM_RSP_RD_MODEL_INFO& record);

    // ---- settings for hosts and tests ----
    void setTiming(const Timing& timing);
    Timing timing() const;
    // An empty factory restores plain SMIS_Vorpak objects.
    void setCommandFactory(CommandFactory factory);
    // An empty hook removes it.
    void setFetchHook(FetchHook hook);

    // Arrays whose table or copy sessions missed a method's change: the
    // running service refreshes them again within seconds until it works.
    const SMIS_StaleRefresh& staleMarks() const { return _stale; }

    // Maps a command result: 0 -> 0, 128 -> -1, 132 -> 2, else 1.
    static int _convVORPAKCode(unsigned char code);

    ~SMIS_PollingService();

private:
    SMIS_PollingService();
    SMIS_PollingService(const SMIS_PollingService&) = delete;
    SMIS_PollingService& operator=(const SMIS_PollingService&) = delete;

    std::unique_ptr<SMIS_Vorpak> _newCommand(const char* address) const;
    // What a refresh of one array works with: the cache, the array's
    // manager and a command channel to it. No channel (the cause logged)
    // when the cache, the address or the manager is missing.
    struct Refresh {
        SMIS_CMTAccess* cache = nullptr;
        SMIS_CMT_MANAGER* manager = nullptr;
        std::unique_ptr<SMIS_Vorpak> vpk;
    };
    Refresh _openRefresh(const char* address) const;
    // The refreshes behind the public ones, which record their outcomes.
    int _tableRefresh(const char* address, int flag);
    int _tableIfChanged(const char* address);
    int _copySessionsRefresh(const char* address);
    // True when a valid table of the array is in place.
    static bool _hasTable(const char* address);
    int _allocationsRefresh(const char* address);
    int getConfigManagementInfo(SMIS_Vorpak& vpk, const char* address);
    // The enclosure summaries of one table fetch: status kinds 5 (8 bytes)
    // and 6 (516 bytes), stored only with the image they came with.
    struct EnclosureSummaries {
        std::vector<std::uint8_t> controller;
        std::vector<std::uint8_t> drives;
    };
    int _procTableRevisionSpecific(SMIS_Vorpak& vpk, const char* address, EnclosureSummaries& summaries);
    int _storeEnclosureSummaries(const char* address, const EnclosureSummaries& summaries);
    void _fetched(const char* address, const char* refresh) const;
    // Every page of the copy-session list: the 208-byte answers and their count.
    int _listAllCopySessions(SMIS_Vorpak& vpk, std::vector<std::uint8_t>& answers, unsigned& total);

    bool _init();
    void _term();
    void pollingServiceMain();
    // Index of the next due task (marked selected) and the wait until it.
    int _getWaitTime(std::chrono::milliseconds& wait);
    void _threadExecProc();
    void _reapTasks(bool all);
    // Brings forward the refresh task of every array whose stale mark is due.
    void _pullStaleTasks();
    // Records a refresh's outcome in the stale marks.
    int _settled(const char* address, SMIS_StaleRefresh::Kind kind, int result);
    static void _runTask(SMIS_POLLINGTASK* task);

    int _proc_DeviceStatus(const char* address);
    int _proc_ConfigManagementInfo(const char* address);
    int _proc_CopySessionInfo(const char* address);
    int _proc_SyncCopySessionInfo(const char* address);

    std::vector<std::unique_ptr<SMIS_POLLINGTASK>> _tasks;
    std::thread _mainThread;
    std::atomic<bool> _mainFinished{true};
    SMIS_EventHandle _events[2] = {nullptr, nullptr};
    std::atomic<bool> _sslInitialized{false};
    // Threads of the service still alive (main and tasks); destroy waits for 0.
    std::atomic<int> _liveThreads{0};
    mutable std::mutex _settings;
    Timing _timing;
    CommandFactory _factory;
    FetchHook _fetchHook;
    std::mutex _lifecycle;
    SMIS_StaleRefresh _stale;
};

}  // namespace cimple
