// The refresh operations of the polling service: configuration table (whole
// and conditional), copy sessions, thin-provisioning and snapshot pool
// status, and the model check.

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include "ByteOrder.h"
#include "SMIS_CMTAccess.h"
#include "SMIS_CMTConvert.h"
#include "SMIS_CMTFile.h"
#include "SMIS_COPY_SESSION_INFO.h"
#include "SMIS_Indication.h"
#include "SMIS_MethodLock.h"
#include "SMIS_PollingService.h"
#include "SMIS_RequestContext.h"
#include "SMIS_TraceLog.h"
#include "SMIS_Vorpak.h"
#include "VELDARO_RefTable.h"

namespace cimple {

namespace {

constexpr std::size_t SESSION_ANSWER_SIZE = sizeof(CMM_RSP_ADV_SSN_INFO);
constexpr std::size_t SESSION_RECORD_SIZE = sizeof(SMIS_COPY_SESSION_INFO);

// Holds one named mutex of an array for a scope.
class ScopedCMTMutex {
public:
    ScopedCMTMutex(SMIS_CMTAccess* cache, const char* address, int kind)
        : _cache(cache), _handle(cache ? cache->GetCMTMutex(address, kind) : nullptr)
    {
    }
    ~ScopedCMTMutex()
    {
        if (_handle)
            _cache->RelaseCMTMutex(_handle);
    }
    // The command mutex for an exchange of vpk: a configuration method waits
    // for it bounded, as for the exchange's own (SMIS_CommandCom::waitForChannel).
    ScopedCMTMutex(SMIS_CMTAccess* cache, const char* address, const SMIS_Vorpak& vpk) : _cache(cache), _handle(nullptr)
    {
        if (!cache)
            return;
        if (!SMIS_MethodLock::heldOnThisThread()) {
            _handle = cache->GetCMTMutex(address, SMIS_CMTAccess::MUTEX_TCPIP);
            return;
        }
        // The array is not asked again by this request once the exchange
        // waited for met its silence.
        if (SMIS_CommandCom::waitForChannel(address, vpk.timeout(), _handle) ==
            SMIS_CommandCom::ChannelWait::HOLDER_MET_SILENCE)
            SMIS_RequestContext::noteCurrentTimedOut(address);
    }
    ScopedCMTMutex(const ScopedCMTMutex&) = delete;
    ScopedCMTMutex& operator=(const ScopedCMTMutex&) = delete;
    bool held() const { return _handle != nullptr; }

private:
    SMIS_CMTAccess* _cache;
    SMIS_MutexHandle _handle;
};

struct FreeDeleter {
    void operator()(void* p) const { std::free(p); }
};
template <class T>
using Malloced = std::unique_ptr<T, FreeDeleter>;

// The configuration table request for the given ids.
CMM_REQ_RD_CFG_MGMT_TBL tableRequest(const std::vector<std::uint8_t>& ids)
{
    CMM_REQ_RD_CFG_MGMT_TBL request{};
    request.bytes[1] = static_cast<std::uint8_t>(ids.size());
    std::copy(ids.begin(), ids.end(), request.bytes + 4);
    return request;
}

const std::vector<std::uint8_t>& fullTableIds()
{
    static const std::vector<std::uint8_t> ids = [] {
        std::vector<std::uint8_t> v;
        for (int i = 1; i <= 14; ++i)
            v.push_back(static_cast<std::uint8_t>(i));
        for (int i : {16, 17, 18, 20, 21, 22, 23, 24, 26, 27, 28})
            v.push_back(static_cast<std::uint8_t>(i));
        for (int i = 32; i <= 46; ++i)
            v.push_back(static_cast<std::uint8_t>(i));
        return v;
    }();
    return ids;
}

// The management record (table id 4) of a container, or NULL.
const std::uint8_t* managementRecord(const SMIS_CMT& cmt)
{
    const SMIS_INDEX* entry = SMIS_CMTCodec::GetIndexTable(cmt, 4);
    if (!entry || entry->ElementCount == 0 || entry->ElementSize < CMT_MgmtInfo::SIZE ||
        entry->data.size() < CMT_MgmtInfo::SIZE)
        return nullptr;
    return entry->data.data();
}

bool isDateText(const std::uint8_t* date)
{
    return std::all_of(date, date + 14, [](std::uint8_t c) { return c >= '0' && c <= '9'; });
}

// True when management record a is plainly later than b: a configuration
// date ("YYYYMMDDhhmmss") and a validation count that are both at least
// b's, one of them beyond. When the two disagree (a clock set back, a count
// started again) neither is later, so that the answer just fetched is kept.
bool laterRecord(const std::uint8_t* a, const std::uint8_t* b)
{
    if (!isDateText(a) || !isDateText(b))
        return false;
    const int date = std::memcmp(a, b, 14);
    const auto count = static_cast<std::int32_t>(smis::loadLE32(a + 28) - smis::loadLE32(b + 28));
    return date >= 0 && count >= 0 && (date > 0 || count > 0);
}

// True when the cmf file at path holds a table plainly later than cmt (one
// that another process serving the array wrote).
bool laterOnDisk(const char* path, const SMIS_CMT& cmt)
{
    const std::uint8_t* fresh = managementRecord(cmt);
    SMIS_CMTPtr disk;
    if (!path || !fresh || SMIS_CMTFile::ReadCMTFilePath(path, disk) != SMIS_CMTFile::OK || !disk)
        return false;
    const std::uint8_t* held = managementRecord(*disk);
    return held && laterRecord(held, fresh);
}

void logModel(const char* address, const std::uint8_t* m)
{
    SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::INFORMATION,
                           "ModelInfo(%s)+++ Version=%.2x Level=%.2x ModelType=%.2x DeType=%.2x SupportFlag1=%.2x "
                           "2=%.2x 3=%.2x 4=%.2x 5=%.2x 6=%.2x",
                           address, m[0], m[1], m[4], m[5], m[12], m[13], m[14], m[15], m[16], m[17]);
}

// The cache for a refresh of address, or NULL (logged) when there is no
// cache or no address.
SMIS_CMTAccess* refreshCache(const char* address)
{
    SMIS_CMTAccess* cache = SMIS_CMTAccess::getInstance();
    if (!cache || address == nullptr) {
        SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::SEVERE, "SMIS_CMTAccess instance is NULL");
        return nullptr;
    }
    return cache;
}

// The copy-session record of session id in a table's session index, or NULL
// when the index holds none (or no session records).
const std::uint8_t* sessionRecord(const SMIS_INDEX* entry, std::uint16_t id)
{
    if (!entry || entry->ElementSize != SESSION_RECORD_SIZE)
        return nullptr;
    for (std::size_t k = 0; k < entry->ElementCount; ++k) {
        const std::uint8_t* e = entry->element(k);
        if (e && smis::loadLE16(e) == id)
            return e;
    }
    return nullptr;
}

}  // namespace

SMIS_PollingService::Refresh SMIS_PollingService::_openRefresh(const char* address) const
{
    Refresh refresh;
    refresh.cache = refreshCache(address);
    if (!refresh.cache)
        return refresh;
    refresh.manager = refresh.cache->findManager(address);
    if (!refresh.manager)
        return refresh;
    refresh.vpk = _newCommand(address);
    return refresh;
}

int SMIS_PollingService::_convVORPAKCode(unsigned char code)
{
    switch (code) {
    case 0: return 0;
    case 128: return -1;
    case 132: return 2;
    default: return 1;
    }
}

// ---------------------------------------------------------------- configuration table

// The public refreshes record their outcome in the stale marks: a method's
// refresh that failed has the running service refresh the array again soon.
int SMIS_PollingService::getConfigManagementInfo(const char* address, int flag)
{
    return _settled(address, SMIS_StaleRefresh::TABLE, _tableRefresh(address, flag));
}

int SMIS_PollingService::getConfigManagementInfoEx(const char* address)
{
    return _settled(address, SMIS_StaleRefresh::TABLE, _tableIfChanged(address));
}

int SMIS_PollingService::getCopySessionInfo(const char* address)
{
    return _settled(address, SMIS_StaleRefresh::COPY_SESSIONS, _copySessionsRefresh(address));
}

int SMIS_PollingService::UpdateAllocatedInfo(const char* address)
{
    // The allocation records are refreshed with the table: a failure marks
    // the table, a success alone does not make a missed table current.
    const int result = _allocationsRefresh(address);
    return result == 0 ? 0 : _settled(address, SMIS_StaleRefresh::TABLE, result);
}

int SMIS_PollingService::_tableRefresh(const char* address, int flag) try {
    if (address == nullptr) {
        SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::SEVERE, "IP Address is NULL");
        return 1;
    }
    if (flag == 0) {
        std::unique_ptr<SMIS_Vorpak> vpk = _newCommand(address);
        if (!vpk)
            return 1;
        return getConfigManagementInfo(*vpk, address);
    }
    if (flag == 1)
        return _tableIfChanged(address);
    return 1;
} catch (...) {
    SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::SEVERE, "Exception Error(getConfigManagementInfo)");
    return 1;
}

int SMIS_PollingService::getConfigManagementInfo(SMIS_Vorpak& vpk, const char* address) try {
    SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::INFORMATION, "getConfigManagementInfo start");
    SMIS_CMTAccess* cache = SMIS_CMTAccess::getInstance();
    if (!cache) {
        SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::SEVERE, "SMIS_CMTAccess instance is NULL");
        return 1;
    }
    SMIS_CMT_MANAGER* manager = cache->findManager(address);
    if (!manager)
        return 1;

    // No mutex that readers take is held while the array is asked: a view
    // opened meanwhile answers from the image in place, however long the
    // array takes. The fetch is numbered under the command mutex (kind 4,
    // innermost, never taken by readers), so that overlapping refreshes
    // install their answers in the order the array gave them.
    CMM_CMT_TABLE_HEADER* raw = nullptr;
    std::uint32_t length = 0;
    unsigned char rc = 0;
    std::uint64_t fetch = 0;
    {
        ScopedCMTMutex exchange(cache, address, vpk);
        if (!exchange.held())
            return 1;
        rc = vpk.getConfigManagementTable(tableRequest(fullTableIds()), raw, length);
        fetch = ++manager->tableFetches;
    }
    _fetched(address, "table");
    Malloced<CMM_CMT_TABLE_HEADER> answer(raw);
    if (rc != 0) {
        SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::SEVERE,
                               "0x%x = SMIS_Vorpak.getConfigManagementTableCancel Error", rc);
        return _convVORPAKCode(rc);
    }
    SMIS_CMTPtr container = answer ? SMIS_CMTFile::ConvertVPK2CMTFile(answer->bytes, length) : nullptr;
    answer.reset();
    if (!container) {
        SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::SEVERE, "SMIS_CMTAccess.ConvertVPK2CMTFile error");
        return 1;
    }
    EnclosureSummaries summaries;
    const int revision = _procTableRevisionSpecific(vpk, address, summaries);
    if (revision != 0) {
        SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::SEVERE, "_procTableRevisionSpecific error %x", revision);
        return revision;
    }
    // The table is converted before it is written, so that a table that
    // cannot be converted never reaches the cmf file (and later start-ups).
    std::shared_ptr<const CMM_CMT_GLOBAL_VAL_ELEM> block(SMIS_CMTConvert::ConvertCMTFile2Global(*container));
    if (!block) {
        SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::SEVERE, "SMIS_CMTAccess.ConvertCMTFile2Global error");
        return 1;
    }
    std::shared_ptr<const cnfg_config_mgmt_table> image(SMIS_CMTConvert::ConvertCMTFile2CMT(*container, *block));
    if (!image) {
        SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::SEVERE, "SMIS_CMTAccess.ConvertCMTFile2CMT error");
        return 1;
    }
    // The comparison with the image in place and the replacement happen
    // under the image mutex, so no reader sees the old image after the
    // change records of the new one went out. Images are installed in the
    // order of their fetches: only an image fetched later than this one
    // makes it redundant, and then that image is already in place.
    //
    // The image goes in before the file is written: whoever sees the file
    // (the next start, a watcher of the data folder) finds this process
    // already serving the table it holds.
    bool firstTable = false;
    const auto install = [&]() -> int {
        ScopedCMTMutex tableLock(cache, address, SMIS_CMTAccess::MUTEX_CMT);
        if (!tableLock.held())
            return 1;
        if (fetch < manager->installedFetch) {
            SMIS_TraceLog::peg_trace(__FILE__, __LINE__, Tracer::LEVEL4, "A later table of %s is in place", address);
            return 0;
        }
        // The enclosure summaries go with the image they were fetched with
        // (kind 1 inside kind 0).
        const int stored = _storeEnclosureSummaries(address, summaries);
        if (stored != 0)
            return stored;
        {
            std::shared_ptr<const CMM_CMT_GLOBAL_VAL_ELEM> oldBlock;
            std::shared_ptr<const cnfg_config_mgmt_table> oldImage;
            cache->GetCurrentCMT(address, oldBlock, oldImage);
            VELDARO_RefTable newView(address, block, image);
            VELDARO_RefTable oldView(address, oldBlock, oldImage);
            firstTable = !oldView.isValidCMT();
            if (!firstTable) {
                SMIS_Indication indication;
                const int r = indication.indicationConfigManagement(newView, oldView);
                if (r != 0)
                    SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::WARNING,
                                           "SMIS_Indication::indicationConfigManagement error(%d)", r);
            }
        }
        const int set = cache->SetCurrentCMT(address, block, image);
        if (set != 0) {
            SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::SEVERE, "0x%x = SMIS_CMTAccess.SetCurrentCMT error", set);
            return 1;
        }
        manager->installedFetch = fetch;
        return 0;
    };
    const int installed = install();
    {
        ScopedCMTMutex fileLock(cache, address, SMIS_CMTAccess::MUTEX_CMF_FILE);
        if (!fileLock.held())
            return 1;
        if (fetch < manager->writtenFetch) {
            // A later answer is already on disk: it stays.
            SMIS_TraceLog::peg_trace(__FILE__, __LINE__, Tracer::LEVEL4, "A later table of %s is on disk", address);
        } else if (laterOnDisk(cache->GetCMTFilePath(address, 0), *container)) {
            // Fetch numbers are this process's own: another process serving
            // the array may have written a later table meanwhile. It stays;
            // this process has still installed its own answer.
            SMIS_TraceLog::peg_trace(__FILE__, __LINE__, Tracer::LEVEL4,
                                     "The cmf file of %s holds a later table", address);
        } else {
            // The file only seeds the next start: a table that cannot be
            // written is still installed, so that the cache follows the array
            // while the disk is full or read-only.
            const int written = cache->WriteCMTFile(address, SMIS_CMTFile::KIND_CMF, *container);
            if (written != 0)
                SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::SEVERE,
                                       "0x%x = SMIS_CMTAccess.WriteCMTFile error; the table is installed unsaved",
                                       written);
            else
                manager->writtenFetch = fetch;
        }
        container.reset();
    }
    if (installed != 0)
        return installed;
    // The copy-session task waited for this table (_proc_CopySessionInfo):
    // the running service refreshes them at once.
    if (firstTable)
        _stale.dueNow(address, SMIS_StaleRefresh::COPY_SESSIONS);
    SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::INFORMATION, "getConfigManagementInfo end");
    return 0;
} catch (...) {
    SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::SEVERE, "Exception Error(getConfigManagementInfo)");
    return 1;
}

int SMIS_PollingService::_procTableRevisionSpecific(SMIS_Vorpak& vpk, const char* address,
                                                    EnclosureSummaries& summaries) try {
    SMIS_CMTAccess* cache = refreshCache(address);
    if (!cache)
        return 1;
    CMM_RSP_RD_CE_STS* ceRaw = nullptr;
    unsigned char rc = vpk.getCEInformation(ceRaw, 0);
    Malloced<CMM_RSP_RD_CE_STS> ce(ceRaw);
    if (rc != 0)
        return _convVORPAKCode(rc);
    CMM_RSP_RD_DE_STS* deRaw = nullptr;
    rc = vpk.getDEListStatus(deRaw, 0);
    Malloced<CMM_RSP_RD_DE_STS> de(deRaw);
    if (rc != 0)
        return _convVORPAKCode(rc);
    if (!ce || !de)
        return 1;

    summaries.controller.assign(ce->bytes, ce->bytes + 8);
    summaries.drives.assign(4 + 4 * SMIS_CMTAccess::DE_SUMMARY_ENTRIES, 0);
    std::uint8_t* summary = summaries.drives.data();
    const std::uint32_t answered = smis::loadLE32(de->bytes);
    const std::uint32_t entries = std::min<std::uint32_t>(answered, SMIS_CMTAccess::DE_SUMMARY_ENTRIES);
    smis::storeLE32(summary, answered);
    const std::uint8_t* base = de->bytes;
    for (std::uint32_t i = 0; i < entries; ++i) {
        summary[4 + 4 * i] = base[1304u * i + 24];
        summary[4 + 4 * i + 1] = base[1304u * i + 28];
    }
    return 0;
} catch (...) {
    SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::SEVERE, "Exception Error(_procTableRevisionSpecific)");
    return 1;
}

int SMIS_PollingService::_storeEnclosureSummaries(const char* address, const EnclosureSummaries& summaries)
{
    SMIS_CMTAccess* cache = SMIS_CMTAccess::getInstance();
    if (!cache)
        return 1;
    // One ext file write, after both kinds are in the table.
    int status = cache->SetExTableInfo(address, SMIS_CMTAccess::EX_CE_SUMMARY, nullptr, summaries.controller.data(),
                                       static_cast<unsigned>(summaries.controller.size()), 1, 0);
    if (status == 0)
        status = cache->SetExTableInfo(address, SMIS_CMTAccess::EX_DE_SUMMARY, nullptr, summaries.drives.data(),
                                       static_cast<unsigned>(summaries.drives.size()), 1, 1);
    if (status != 0) {
        SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::SEVERE, "0x%x = SMIS_CMTAccess::SetExTableInfo()", status);
        return 1;
    }
    return 0;
}

int SMIS_PollingService::_tableIfChanged(const char* address) try {
    SMIS_CMTAccess* cache = SMIS_CMTAccess::getInstance();
    if (!cache) {
        SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::SEVERE, "SMIS_CMTAccess instance is NULL");
        return 1;
    }
    if (address == nullptr) {
        SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::SEVERE, "IP Address is NULL");
        return 1;
    }
    std::unique_ptr<SMIS_Vorpak> vpk = _newCommand(address);
    if (!vpk)
        return 1;
    CMM_CMT_TABLE_HEADER* raw = nullptr;
    std::uint32_t length = 0;
    const unsigned char rc = vpk->getConfigManagementTable(tableRequest({4}), raw, length);
    Malloced<CMM_CMT_TABLE_HEADER> answer(raw);
    if (rc != 0) {
        SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::SEVERE, "getConfigManagementTable error");
        return _convVORPAKCode(rc);
    }
    SMIS_CMTPtr container = answer ? SMIS_CMTFile::ConvertVPK2CMTFile(answer->bytes, length) : nullptr;
    answer.reset();
    const SMIS_INDEX* entry = container ? SMIS_CMTCodec::GetIndexTable(*container, 4) : nullptr;
    if (!entry || entry->ElementCount == 0 || entry->ElementSize < CMT_MgmtInfo::SIZE ||
        entry->data.size() < CMT_MgmtInfo::SIZE) {
        SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::SEVERE, "Not found Management Information");
        return 1;
    }
    const std::uint8_t* answered = entry->data.data();

    CMM_CMT_MGMNT_ELEM cached;
    // Without a cached image there is nothing to compare with: fetch the
    // whole table.
    if (!cache->GetManagementInfo(address, cached)) {
        SMIS_TraceLog::peg_trace(__FILE__, __LINE__, Tracer::LEVEL4, "No cached table: full fetch");
        return getConfigManagementInfo(*vpk, address);
    }
    const std::uint8_t* held = cached.bytes.data();
    const std::string heldDate(reinterpret_cast<const char*>(held), 14);
    const std::string newDate(reinterpret_cast<const char*>(answered), 14);
    const std::uint32_t heldCount = smis::loadLE32(held + 28);
    const std::uint32_t newCount = smis::loadLE32(answered + 28);
    SMIS_TraceLog::peg_trace(__FILE__, __LINE__, Tracer::LEVEL4,
                             "ConfigurationDate:%s -> %s  ValidationInfoCount:%d -> %d", heldDate.c_str(),
                             newDate.c_str(), static_cast<int>(heldCount), static_cast<int>(newCount));
    if (heldCount == newCount && heldDate == newDate)
        return 0;
    if (smis::loadLE16(held + 14) == smis::loadLE16(answered + 14))
        return 0;
    return getConfigManagementInfo(*vpk, address);
} catch (...) {
    SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::SEVERE, "Exception Error(getConfigManagementInfoEx)");
    return 1;
}

// ---------------------------------------------------------------- copy sessions

int SMIS_PollingService::_listAllCopySessions(SMIS_Vorpak& vpk, std::vector<std::uint8_t>& answers, unsigned& total)
{
    // Page through the list. Each continuation number must lie beyond the
    // previous start, and pages and records are bounded, so that an array
    // that repeats itself cannot keep the refresh going.
    total = 0;
    unsigned short start = 0;
    for (unsigned page = 0;; ++page) {
        if (page >= MAX_COPY_SESSION_PAGES) {
            SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::SEVERE, "Copy session list exceeds %u pages",
                                   MAX_COPY_SESSION_PAGES);
            return 1;
        }
        const unsigned short from = start;
        CMM_RSP_ADV_SSN_INFO* raw = nullptr;
        unsigned short count = 0;
        const unsigned char rc = vpk.getCopySessionList(nullptr, &start, raw, count);
        Malloced<CMM_RSP_ADV_SSN_INFO> records(raw);
        if (rc != 0) {
            SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::SEVERE, "0x%x = SMIS_Vorpak.getCopySessionList Error",
                                   rc);
            return _convVORPAKCode(rc);
        }
        if (count > 0 && records) {
            if (std::uint64_t(total) + count > MAX_COPY_SESSIONS) {
                SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::SEVERE, "Copy session list exceeds %u sessions",
                                       MAX_COPY_SESSIONS);
                return 1;
            }
            const auto* bytes = reinterpret_cast<const std::uint8_t*>(records.get());
            answers.insert(answers.end(), bytes, bytes + std::size_t(count) * SESSION_ANSWER_SIZE);
            total += count;
        }
        if (start == 0)
            break;
        if (start <= from) {
            SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::SEVERE,
                                   "Copy session list does not advance (%u after %u)", static_cast<unsigned>(start),
                                   static_cast<unsigned>(from));
            return 1;
        }
    }
    return 0;
}

bool SMIS_PollingService::_hasTable(const char* address)
{
    VELDARO_RefTable view(address);
    return view.isValidCMT();
}

int SMIS_PollingService::_copySessionsRefresh(const char* address) try {
    auto [cache, manager, vpk] = _openRefresh(address);
    if (!vpk)
        return 1;

    // The answer is numbered before the first page is asked, and each page
    // holds the command mutex (kind 4) only for its own exchange: readers'
    // commands go between the pages. Of overlapping copy-session refreshes
    // the one that started later wins.
    std::vector<std::uint8_t> answers;
    unsigned total = 0;
    const std::uint64_t fetch = ++manager->copyFetches;
    if (const int listed = _listAllCopySessions(*vpk, answers, total); listed != 0)
        return listed;
    _fetched(address, "copy sessions");

    unsigned converted = total;
    Malloced<std::uint8_t> sessions(
        total ? SMIS_CMTAccess::ConvertVPK2CopySessionInfo(address, converted, answers.data()) : nullptr);
    if (total > 0 && converted == 0 && sessions == nullptr) {
        // Only sessions of unsupported types (or not yet in the table) were
        // answered: the table is empty.
        bool anySupported = false;
        for (unsigned i = 0; i < total && !anySupported; ++i) {
            const std::uint8_t* a = answers.data() + std::size_t(i) * SESSION_ANSWER_SIZE;
            anySupported = (a[8] == 2) || (a[8] == 1 && (a[9] & 0x50));
        }
        if (anySupported) {
            SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::SEVERE,
                                   "SMIS_CMTAccess.ConvertVPK2CopySessionInfo error");
            return 1;
        }
    }
    answers.clear();
    SMIS_CMTPtr table = SMIS_CMTAccess::ConvertCopySessionInfo2CMT(converted, sessions.get());
    sessions.reset();
    if (!table) {
        SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::SEVERE, "SMIS_CMTAccess.ConvertCopySessionInfo2CMT error");
        return 1;
    }
    {
        ScopedCMTMutex fileLock(cache, address, SMIS_CMTAccess::MUTEX_COPY_SESSION_FILE);
        if (!fileLock.held())
            return 1;
        if (fetch < manager->copyWrittenFetch) {
            SMIS_TraceLog::peg_trace(__FILE__, __LINE__, Tracer::LEVEL4, "A later copy-session table of %s is on disk",
                                     address);
        } else {
            const int written = cache->WriteCMTFile(address, SMIS_CMTFile::KIND_CPS, *table);
            if (written != 0)
                SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::SEVERE,
                                       "0x%x = SMIS_CMTAccess.WriteCMTFile error; the table is installed unsaved",
                                       written);
            else
                manager->copyWrittenFetch = fetch;
        }
    }
    // Compare and replace under the copy-session table lock, so that two
    // refreshes cannot both compare against the same old table; only a table
    // fetched later than the one in place replaces it.
    ScopedCMTMutex tableLock(cache, address, SMIS_CMTAccess::MUTEX_COPY_SESSION_TABLE);
    if (!tableLock.held())
        return 1;
    if (fetch < manager->copyTableFetch) {
        SMIS_TraceLog::peg_trace(__FILE__, __LINE__, Tracer::LEVEL4, "A later copy-session table of %s is in place",
                                 address);
        return 0;
    }
    std::shared_ptr<const SMIS_CMT> old = cache->GetCurrentCopySessionTable(address);
    // Sessions that a chosen-session refresh fetched after this table keep
    // the records it installed.
    if (old && !manager->sessionFetch.empty() && !table->index.empty() &&
        table->index.front().ElementSize == SESSION_RECORD_SIZE) {
        const SMIS_INDEX* held = SMIS_CMTCodec::GetIndexTable(*old, 0);
        SMIS_INDEX& fresh = table->index.front();
        for (std::size_t i = 0; held && held->ElementSize == SESSION_RECORD_SIZE && i < fresh.ElementCount; ++i) {
            std::uint8_t* rec = fresh.data.data() + i * SESSION_RECORD_SIZE;
            const auto later = manager->sessionFetch.find(smis::loadLE16(rec));
            if (later == manager->sessionFetch.end() || later->second < fetch)
                continue;
            if (const std::uint8_t* e = sessionRecord(held, later->first))
                std::memcpy(rec, e, SESSION_RECORD_SIZE);
        }
    }
    std::shared_ptr<const SMIS_CMT> fresh(std::move(table));
    if (old && manager->copySessionsKnown) {
        SMIS_Indication indication;
        const int r = indication.indicationCopySession(String(address), fresh.get(), old.get());
        if (r != 0)
            SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::WARNING,
                                   "0x%x = SMIS_Indication.indicationCopySession error", r);
    }
    const int set = cache->SetCurrentCopySessionTable(address, fresh);
    if (set != 0) {
        SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::SEVERE,
                               "0x%x = SMIS_CMTAccess.SetCurrentCopySessionTable error", set);
        return 1;
    }
    manager->copyTableFetch = fetch;
    manager->copySessionsKnown = true;
    std::erase_if(manager->sessionFetch, [fetch](const auto& entry) { return entry.second < fetch; });
    return 0;
} catch (...) {
    SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::SEVERE, "Exception Error(getCopySessionInfo)");
    return 1;
}

int SMIS_PollingService::getCopySessionInfo(const char* address, const Array<unsigned short>& sessionIds) try {
    if (sessionIds.size() == 0)
        return refreshCache(address) ? 0 : 1;
    auto [cache, manager, vpk] = _openRefresh(address);
    if (!vpk)
        return 1;
    CMM_RSP_ADV_SSN_INFO* raw = nullptr;
    unsigned short count = 0;
    unsigned char rc = 0;
    std::uint64_t fetch = 0;
    {
        // Numbered with the whole-list fetches, before the first of its
        // exchanges (one per session, each under kind 4 alone; see
        // getCopySessionInfo).
        fetch = ++manager->copyFetches;
        rc = vpk->getCopySessionList(sessionIds, nullptr, raw, count);
    }
    _fetched(address, "chosen sessions");
    Malloced<CMM_RSP_ADV_SSN_INFO> records(raw);
    if (rc != 0) {
        SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::SEVERE, "0x%x = SMIS_Vorpak.getCopySessionList Error", rc);
        return _convVORPAKCode(rc);
    }
    if (count == 0 || !records) {
        SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::INFORMATION, "SMIS_Vorpak.getCopySessionList Not Found");
        return 0;
    }
    unsigned converted = count;
    Malloced<std::uint8_t> sessions(SMIS_CMTAccess::ConvertVPK2CopySessionInfo(
        address, converted, reinterpret_cast<const std::uint8_t*>(records.get())));
    records.reset();
    if (!sessions) {
        SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::SEVERE, "SMIS_CMTAccess.ConvertVPK2CopySessionInfo error");
        return 1;
    }
    ScopedCMTMutex tableLock(cache, address, SMIS_CMTAccess::MUTEX_COPY_SESSION_TABLE);
    if (!tableLock.held())
        return 1;
    std::shared_ptr<const SMIS_CMT> table = cache->GetCurrentCopySessionTable(address);
    const SMIS_INDEX* entry = table ? SMIS_CMTCodec::GetIndexTable(*table, 0) : nullptr;
    if (!table) {
        SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::SEVERE, "SMIS_CMTAccess.GetCurrentCopySessionTable error");
        return 1;
    }
    // A whole table fetched later than these records already holds newer ones.
    if (fetch < manager->copyTableFetch) {
        SMIS_TraceLog::peg_trace(__FILE__, __LINE__, Tracer::LEVEL4, "A later copy-session table of %s is in place",
                                 address);
        return 0;
    }
    for (unsigned i = 0; i < converted; ++i) {
        const std::uint8_t* rec = sessions.get() + std::size_t(i) * SESSION_RECORD_SIZE;
        const std::uint16_t id = smis::loadLE16(rec);
        if (const auto later = manager->sessionFetch.find(id);
            later != manager->sessionFetch.end() && later->second > fetch)
            continue;  // a later answer for this session is in place
        const std::uint8_t* old = sessionRecord(entry, id);
        if (old) {
            SMIS_Indication indication;
            const int r = indication.indicationCopySessionSingle(
                String(address), reinterpret_cast<const SMIS_COPY_SESSION_INFO*>(rec),
                reinterpret_cast<const SMIS_COPY_SESSION_INFO*>(old));
            if (r != 0)
                SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::WARNING,
                                       "0x%x = SMIS_Indication.indicationCopySession error", r);
        }
        const int set = cache->SetCurrentCopySessionInfo(address, rec);
        if (set != 0) {
            SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::SEVERE,
                                   "0x%x = SMIS_CMTAccess.SetCurrentCopySessionInfo error", set);
            return 1;
        }
        if (old)
            manager->sessionFetch[id] = fetch;
    }
    return 0;
} catch (...) {
    SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::SEVERE, "Exception Error(getCopySessionInfo(specific))");
    return 1;
}

// ---------------------------------------------------------------- pool status

int SMIS_PollingService::_allocationsRefresh(const char* address) try {
    SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::INFORMATION, "UpdateTpAllocatedInfo start");
    auto [cache, manager, vpk] = _openRefresh(address);
    if (!vpk)
        return 1;
    SMIS_CMT_MANAGER::ModelInfo modelBytes{};
    cache->GetModelInformation(address, modelBytes);
    CMM_RSP_RD_MODEL_INFO model{};
    std::memcpy(model.bytes, modelBytes.data(), sizeof model.bytes);

    // The answer is numbered before the first command, and each command
    // holds the command mutex (kind 4) only for its own exchange: of
    // overlapping refreshes only the one that started later is stored and
    // compared (see getCopySessionInfo).
    const std::uint64_t fetch = ++manager->allocationFetches;

    CMM_RSP_GET_POOL_INFO* poolsRaw = nullptr;
    unsigned short poolCount = 0;
    unsigned char rc = vpk->getSnapTirnPoolInfomation(poolsRaw, poolCount);
    Malloced<CMM_RSP_GET_POOL_INFO> pools(poolsRaw);
    if (rc != 0)
        return _convVORPAKCode(rc);
    CMM_RD_TP_POOL_ALARM_INFO* poolAlarmRaw = nullptr;
    unsigned short poolAlarmCount = 0;
    rc = vpk->getTpPoolAlarmInfo(poolAlarmRaw, poolAlarmCount);
    Malloced<CMM_RD_TP_POOL_ALARM_INFO> poolAlarms(poolAlarmRaw);
    if (rc != 0)
        return _convVORPAKCode(rc);
    CMM_RD_TP_LU_ALARM_INFO* luAlarmRaw = nullptr;
    unsigned short luAlarmCount = 0;
    rc = vpk->getTpLuAlarmInfo(luAlarmRaw, luAlarmCount, model, 0);
    Malloced<CMM_RD_TP_LU_ALARM_INFO> luAlarms(luAlarmRaw);
    if (rc != 0)
        return _convVORPAKCode(rc);

    std::vector<std::uint8_t> allocation;
    auto addAllocation = [&allocation](std::uint16_t volume, std::uint32_t size) {
        std::uint8_t rec[8] = {};
        smis::storeLE16(rec, volume);
        smis::storeLE32(rec + 4, size);
        allocation.insert(allocation.end(), rec, rec + 8);
    };
    if (model.bytes[17] & 0x80) {
        CMM_RD_TP_LU_ALARM_INFO* listRaw = nullptr;
        unsigned short listCount = 0;
        rc = vpk->getTpLuAlarmInfo(listRaw, listCount, model, 1);
        Malloced<CMM_RD_TP_LU_ALARM_INFO> list(listRaw);
        if (rc != 0)
            return _convVORPAKCode(rc);
        for (unsigned i = 0; list && i < listCount; ++i)
            addAllocation(smis::loadLE16(list.get()[i].bytes), smis::loadLE32(list.get()[i].bytes + 8));
    } else {
        for (unsigned i = 0; luAlarms && i < luAlarmCount; ++i) {
            const std::uint16_t volume = smis::loadLE16(luAlarms.get()[i].bytes);
            CMM_RD_TP_LU_ALLOC_SIZE_INFO* sizesRaw = nullptr;
            unsigned short sizeCount = 0;
            if (vpk->getTpLuAllocationSize(volume, sizesRaw, sizeCount) != 0) {
                std::free(sizesRaw);
                continue;
            }
            Malloced<CMM_RD_TP_LU_ALLOC_SIZE_INFO> sizes(sizesRaw);
            std::uint64_t sum = 0;
            for (unsigned k = 0; sizes && k < sizeCount; ++k)
                sum += smis::loadLE32(sizes.get()[k].bytes + 4);
            addAllocation(volume, static_cast<std::uint32_t>(std::min<std::uint64_t>(sum, 0xFFFFFFFFu)));
        }
    }

    _fetched(address, "allocation");

    // The comparison, the stores and the ext file write happen under the
    // status table lock, so no other writer slips in between.
    // The view (kind 0) is opened first: kind 0 comes before kind 1.
    VELDARO_RefTable view(address);
    ScopedCMTMutex exLock(cache, address, SMIS_CMTAccess::MUTEX_CMT_EX);
    if (!exLock.held())
        return 1;
    if (fetch < manager->allocationStoredFetch) {
        SMIS_TraceLog::peg_trace(__FILE__, __LINE__, Tracer::LEVEL4, "Later pool status of %s is in place", address);
        return 0;
    }
    {
        long oldCount = 0;
        Malloced<CMM_RD_TP_POOL_ALARM_INFO> oldAlarms(static_cast<CMM_RD_TP_POOL_ALARM_INFO*>(
            cache->GetExTableInfo(address, SMIS_CMTAccess::EX_THIN_POOL_ALARM, nullptr, oldCount)));
        SMIS_Indication indication;
        indication.indicationTPPoolAlarmInfo(view, poolAlarms.get(), poolAlarmCount, oldAlarms.get(),
                                             static_cast<unsigned short>(oldAlarms && oldCount > 0 ? oldCount : 0));
    }
    struct Store {
        unsigned short kind;
        const void* data;
        unsigned size;
        unsigned count;
    };
    const Store stores[] = {
        {SMIS_CMTAccess::EX_SNAP_DATA_POOL, pools.get(), sizeof(CMM_RSP_GET_POOL_INFO), poolCount},
        {SMIS_CMTAccess::EX_THIN_POOL_ALARM, poolAlarms.get(), sizeof(CMM_RD_TP_POOL_ALARM_INFO), poolAlarmCount},
        {SMIS_CMTAccess::EX_THIN_VOLUME_ALARM, luAlarms.get(), sizeof(CMM_RD_TP_LU_ALARM_INFO), luAlarmCount},
        {SMIS_CMTAccess::EX_THIN_VOLUME_ALLOCATION, allocation.data(), 8, static_cast<unsigned>(allocation.size() / 8)},
    };
    for (std::size_t i = 0; i < std::size(stores); ++i) {
        const bool last = i + 1 == std::size(stores);
        const int status = cache->SetExTableInfo(address, stores[i].kind, nullptr, stores[i].data, stores[i].size,
                                                 stores[i].count, last ? 1 : 0);
        if (status != 0) {
            SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::SEVERE, "0x%x = SMIS_CMTAccess::SetExTableInfo()",
                                   status);
            return 1;
        }
    }
    manager->allocationStoredFetch = fetch;
    return 0;
} catch (...) {
    SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::SEVERE, "Exception Error(getConfigManagementInfo)");
    return 1;
}

// ---------------------------------------------------------------- model

unsigned char SMIS_PollingService::getModelInformation(const char* address, CMM_RSP_RD_MODEL_INFO& record)
{
    std::unique_ptr<SMIS_Vorpak> vpk = _newCommand(address);
    if (!vpk)
        return 64;
    CMM_RSP_RD_MODEL_INFO* raw = nullptr;
    const unsigned char rc = vpk->getModelInformation(raw);
    Malloced<CMM_RSP_RD_MODEL_INFO> info(raw);
    if (rc == 0 && info)
        record = *info;
    return rc;
}

bool SMIS_PollingService::isSupportedModel(const char* address, int& reason) try {
    reason = 0;
    SMIS_CMTAccess* cache = refreshCache(address);
    if (!cache) {
        reason = 4;
        return false;
    }
    // The model is asked once per process: the check runs under the model
    // mutex, and without it the model counts as not reached.
    ScopedCMTMutex modelLock(cache, address, SMIS_CMTAccess::MUTEX_MODEL);
    if (!modelLock.held()) {
        reason = 2;
        return false;
    }
    const int support = cache->GetSupportInformation(address);
    if (support == 1) {
        reason = 1;
        return false;
    }
    if (support == 2)
        return true;
    CMM_RSP_RD_MODEL_INFO record{};
    const unsigned char rc = getModelInformation(address, record);
    if (rc != 0) {
        reason = rc == 128 ? 3 : 2;
        cache->SetDeviceAvailable(address, rc == 132 ? 1 : 0);
        SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::WARNING, "getModelInformation error");
        return false;
    }
    SMIS_CMT_MANAGER::ModelInfo bytes{};
    std::memcpy(bytes.data(), record.bytes, bytes.size());
    cache->SetModelInformation(address, bytes);
    cache->SetSupportInformation(address, 1);
    logModel(address, record.bytes);
    if (record.bytes[4] == 0x30) {
        cache->SetSupportInformation(address, 2);
        SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::INFORMATION, "%s is supported Model.", address);
        return true;
    }
    reason = 1;
    SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::INFORMATION, "%s is unsupported Model.", address);
    return false;
} catch (...) {
    reason = 2;
    return false;
}

}  // namespace cimple
