#pragma once
// The process-wide cache of every configured array's tables.
//
// At its creation the cache reads the configuration file and, for every
// configured array in file order, creates the array's nine named mutexes and
// loads its configuration table image (cmf file), status table (ext file)
// and copy-session table (cps file). Afterwards:
//   - views (VELDARO_RefTable) read the image while they hold the kind 0 mutex;
//   - the refresh replaces the image with SetCurrentCMT;
//   - status data is stored with SetExTableInfo and handed out as heap
//     copies by GetExTableInfo, under the kind 1 mutex.
//
// Images and tables are shared and immutable once published: a view or a
// reader that holds a pointer keeps its object alive after a refresh has
// replaced it, so nothing is ever read from freed memory.
//
// Lock order where several are held: kind 6, then 0, then 1, then the file
// kinds 2 and 3; kind 5 inside 6; kind 4 innermost; 7 and 8 never together.
// Every mutex is re-entrant for its owning thread.
//
//   SMIS_CMTAccess* cache = SMIS_CMTAccess::getInstance();
//   long count = 0;
//   void* data = cache->GetExTableInfo("10.0.0.1", SMIS_CMTAccess::EX_DEVICE_STATUS, nullptr, count);
//   ... free(data);

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <chrono>
#include <string>
#include <vector>

#include <cimple/String.h>

#include "CMM_CMT_GLOBAL_VAL_ELEM.h"
#include "CMM_CMT_MGMNT_ELEM.h"
#include "NamedMutexLock.h"
#include "SMIS_AccessCom.h"
#include "SMIS_CMT.h"
#include "SMIS_CMT_MANAGER.h"
#include "cnfg_config_mgmt_table.h"

namespace cimple {

// A held named mutex, from GetCMTMutex until RelaseCMTMutex. It must be
// released by the thread that took it.
using SMIS_MutexHandle = smis::platform::NamedMutexLock*;

class SMIS_CMTAccess : public SMIS_AccessCom {
public:
    // Mutex kinds.
    enum MutexKind : int {
        MUTEX_CMT = 0,               // image and block
        MUTEX_CMT_EX = 1,            // status table
        MUTEX_CMF_FILE = 2,          // cmf file
        MUTEX_EXT_FILE = 3,          // ext file
        MUTEX_TCPIP = 4,             // one binary command exchange
        MUTEX_MODEL = 5,             // model information
        MUTEX_THREAD_PROCEDURE = 6,  // one polling task at a time
        MUTEX_COPY_SESSION_TABLE = 7,
        MUTEX_COPY_SESSION_FILE = 8,
    };
    static const char* const MutexKindName[SMIS_CMT_MANAGER::MUTEX_KINDS];

    // Status table kinds.
    enum ExKind : unsigned short {
        EX_DEVICE_STATUS = 1,
        EX_PORT_LINK_STATUS = 2,
        EX_ISCSI_LOGIN = 3,
        EX_ISCSI_STATISTICS = 4,
        EX_CE_SUMMARY = 5,
        EX_DE_SUMMARY = 6,
        EX_THIN_VOLUME_ALLOCATION = 7,
        EX_XMIRREX_PATH = 8,
        EX_SNAP_DATA_POOL = 9,
        EX_THIN_VOLUME_ALARM = 10,
        EX_THIN_POOL_ALARM = 11,
    };
    static constexpr unsigned EX_KIND_MAX = 11;
    // Kind 4 elements carry the request they answer: time stamp, this key, data.
    static constexpr unsigned ISCSI_STATISTICS_KEY_SIZE = 240;
    // Kind 6 data: a u32 count, then this many 4-byte entries (id, status).
    static constexpr unsigned DE_SUMMARY_ENTRIES = 128;

    // Result codes of the setters.
    enum Status : int {
        OK = 0,
        NO_STATUS_TABLE = 1,
        NO_MEMORY = 2,
        MUTEX_ERROR = 9,
    };

    // The singleton, created and initialised under a lock on first call;
    // NULL when the start-up fails (the next call tries again).
    static SMIS_CMTAccess* getInstance();
    // Releases every array's tables and deletes the singleton. Views still
    // open keep their images; nothing else may use the cache meanwhile.
    static void destroy();

    // ---- arrays and mutexes ----
    int getStorageCount() const { return static_cast<int>(_managers.size()); }
    // The record of an address (NULL: the first array); NULL when not configured.
    SMIS_CMT_MANAGER* findManager(const char* address) const;
    // Waits without time limit for the array's mutex of that kind; NULL for
    // an address that is not configured or a kind outside 0-8.
    SMIS_MutexHandle GetCMTMutex(const char* address, int kind);
    // The same, waiting at most bound: NULL with *timedOut true (when given)
    // when another holder kept it that long.
    SMIS_MutexHandle GetCMTMutex(const char* address, int kind, std::chrono::milliseconds bound, bool* timedOut);
    void RelaseCMTMutex(SMIS_MutexHandle handle);
    // The first configured address, or the empty text.
    String GetCurrentIP() const;

    // ---- image (kind 0) ----
    // The current pointers (empty for an address that is not configured).
    void GetCurrentCMT(const char* address, std::shared_ptr<const CMM_CMT_GLOBAL_VAL_ELEM>& block,
                       std::shared_ptr<const cnfg_config_mgmt_table>& image) const;
    // Under kind 0 puts the new pair in place; the previous pair lives on
    // while any view still holds it. 0; an unknown address stores nothing.
    int SetCurrentCMT(const char* address, std::shared_ptr<const CMM_CMT_GLOBAL_VAL_ELEM> block,
                      std::shared_ptr<const cnfg_config_mgmt_table> image);
    // Under kind 0 copies the management record; false (out untouched)
    // without an image.
    bool GetManagementInfo(const char* address, CMM_CMT_MGMNT_ELEM& out);

    // ---- status table (kind 1) ----
    std::shared_ptr<const SMIS_CMT> GetCurrentCMTEx(const char* address) const;
    int SetCurrentCMTEx(const char* address, std::shared_ptr<const SMIS_CMT> table);
    // A heap copy (release with free) of the kind's data selected by key, and
    // its record count; NULL with count -1 when absent, expired, stored with
    // a record size other than the kind's, or out of memory.
    // Keys: kind 2 a u32 port item id; kind 3 two bytes (module id, port);
    // kind 4 the 240-byte statistics request; kind 7 a u16 volume number.
    // anyAge also hands out data whose lifetime is over: the last answer the
    // array gave, for a reader that could not ask it.
    void* GetExTableInfo(const char* address, unsigned short kind, const void* key, long& count,
                         bool anyAge = false);
    // Stores recordSize x recordCount bytes of data for a kind; with
    // writeFlag 1 also writes the ext file. A failed write is logged and
    // leaves the stored data in place (the file only seeds the next start).
    int SetExTableInfo(const char* address, unsigned short kind, const void* key, const void* data,
                       unsigned recordSize, unsigned recordCount, int writeFlag);
    // True while now is before timeStamp + lifetime seconds.
    bool isValidLifeCycle(std::uint32_t timeStamp, std::uint32_t lifetime) const;
    static unsigned GetExElementSize(unsigned kind);
    static unsigned GetExDataSize(unsigned kind);
    // Drops the kind 4 elements whose lifetime is over.
    void Discard_iSCSIStatisticsInfo(SMIS_INDEX& entry) const;

    // ---- copy-session table (kind 7) ----
    std::shared_ptr<const SMIS_CMT> GetCurrentCopySessionTable(const char* address) const;
    int SetCurrentCopySessionTable(const char* address, std::shared_ptr<const SMIS_CMT> table);
    // Overwrites the 96-byte record whose u16 session id (bytes 0-1) equals
    // the given record's.
    static constexpr unsigned COPY_SESSION_RECORD_SIZE = 96;
    int SetCurrentCopySessionInfo(const char* address, const std::uint8_t* record);
    // Converts the array's 208-byte session records into 96-byte copy-session
    // records (SMIS_COPY_SESSION_INFO), skipping records of an unsupported copy
    // type or whose volumes the address's image does not hold (each kind
    // logged once per answer, with its count). count: in the
    // answered records, out the converted ones. A malloc'ed array (release
    // with free), or NULL with count 0 when none converted.
    static std::uint8_t* ConvertVPK2CopySessionInfo(const char* address, unsigned& count, const std::uint8_t* answer);
    // A copy-session table of one index entry (id 0, byte 1 = 1, element
    // size 96) holding count records; NULL when memory runs out.
    static SMIS_CMTPtr ConvertCopySessionInfo2CMT(unsigned count, const std::uint8_t* records);

    // ---- model and flags ----
    int SetModelInformation(const char* address, const SMIS_CMT_MANAGER::ModelInfo& record);
    int GetModelInformation(const char* address, SMIS_CMT_MANAGER::ModelInfo& record);
    void SetSupportInformation(const char* address, int value);
    int GetSupportInformation(const char* address) const;  // 0 when not configured
    void SetDeviceAvailable(const char* address, int value);
    int GetDeviceAvailable(const char* address) const;  // 1 when not configured
    void SetErrorStatus(const char* address, std::uint8_t value);
    std::uint8_t GetErrorStatus(const char* address) const;  // 255 when not configured

    // ---- cache files ----
    // File kinds 1 cmf, 2 ext, 3 cps, each under its file mutex; statuses of
    // SMIS_CMTFile (10 for an address that is not configured).
    int ReadCMTFile(const char* address, int fileKind, SMIS_CMTPtr& out);
    int WriteCMTFile(const char* address, int fileKind, SMIS_CMT& cmt);
    // Path index 0 cmf, 1 ext, 2 cps; NULL for an unknown address or index.
    const char* GetCMTFilePath(const char* address, int pathIndex) const;

    // ---- clock of the status time stamps ----
    using Clock = std::function<std::int64_t()>;
    // Seconds since 1970; an empty clock restores the system clock.
    void setClock(Clock clock);
    std::int64_t now() const;

    // Use destroy().
    ~SMIS_CMTAccess();

private:
    SMIS_CMTAccess();
    SMIS_CMTAccess(const SMIS_CMTAccess&) = delete;
    SMIS_CMTAccess& operator=(const SMIS_CMTAccess&) = delete;

    bool _init();
    void _loadTables(SMIS_CMT_MANAGER& m);
    std::uint32_t _lifetime(unsigned kind) const;

    std::vector<std::unique_ptr<SMIS_CMT_MANAGER>> _managers;
    mutable std::mutex _clockLock;
    Clock _clock;
};

}  // namespace cimple
