#include "SMIS_CMTAccess.h"

#include "ByteOrder.h"

#include <chrono>
#include <cstring>
#include <new>

#include "LockRegister.h"
#include "NamedMutex.h"
#include "SMIS_CMTConvert.h"
#include "SMIS_CMTFile.h"
#include "SMIS_EnvAccess.h"
#include "SMIS_TraceLog.h"
#include "VELDARO_RefTable.h"

namespace cimple {

const char* const SMIS_CMTAccess::MutexKindName[SMIS_CMT_MANAGER::MUTEX_KINDS] = {
    "SMIS_ConfigManagementTable_Mutex",   "SMIS_ConfigManagementTableEx_Mutex",
    "SMIS_ConfigManagementFile_Mutex",    "SMIS_ConfigManagementFileEx_Mutex",
    "SMIS_TCPIPCommunication_Mutex",      "SMIS_CheckSupportedModel_Mutex",
    "SMIS_ThreadProcedure_Mutex",         "SMIS_CopySessionTable_Mutex",
    "SMIS_CopySessionFile_Mutex",
};

namespace {

std::mutex& instanceLock()
{
    static std::mutex lock;
    return lock;
}

SMIS_CMTAccess*& instanceSlot()
{
    static SMIS_CMTAccess* instance = nullptr;
    return instance;
}

// The file mutex kind and path index of a file kind (any kind other than 1
// and 3 is the ext file).
int fileMutexKind(int fileKind)
{
    if (fileKind == SMIS_CMTFile::KIND_CMF)
        return SMIS_CMTAccess::MUTEX_CMF_FILE;
    if (fileKind == SMIS_CMTFile::KIND_CPS)
        return SMIS_CMTAccess::MUTEX_COPY_SESSION_FILE;
    return SMIS_CMTAccess::MUTEX_EXT_FILE;
}

int filePathIndex(int fileKind)
{
    if (fileKind == SMIS_CMTFile::KIND_CMF)
        return 0;
    if (fileKind == SMIS_CMTFile::KIND_CPS)
        return 2;
    return 1;
}

// A held mutex for the life of a scope; empty when the mutex was not obtained.
class HeldMutex {
public:
    HeldMutex(SMIS_CMTAccess& cache, const char* address, int kind)
        : _cache(cache), _handle(cache.GetCMTMutex(address, kind)) {}
    ~HeldMutex() { _cache.RelaseCMTMutex(_handle); }
    HeldMutex(const HeldMutex&) = delete;
    HeldMutex& operator=(const HeldMutex&) = delete;
    explicit operator bool() const { return _handle != nullptr; }

private:
    SMIS_CMTAccess& _cache;
    SMIS_MutexHandle _handle;
};

}  // namespace

SMIS_CMTAccess::SMIS_CMTAccess() = default;
SMIS_CMTAccess::~SMIS_CMTAccess() = default;

SMIS_CMTAccess* SMIS_CMTAccess::getInstance()
{
    std::lock_guard<std::mutex> guard(instanceLock());
    SMIS_CMTAccess*& instance = instanceSlot();
    if (instance)
        return instance;
    try {
        SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::INFORMATION, "New SMIS_CMTAccess Instance");
        std::unique_ptr<SMIS_CMTAccess> created(new SMIS_CMTAccess);
        if (!created->_init())
            return nullptr;
        instance = created.release();
    } catch (...) {
        SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::SEVERE, "SMIS_CMTAccess start-up failed");
        return nullptr;
    }
    return instance;
}

void SMIS_CMTAccess::destroy()
{
    std::lock_guard<std::mutex> guard(instanceLock());
    SMIS_CMTAccess*& instance = instanceSlot();
    delete instance;
    instance = nullptr;
}

bool SMIS_CMTAccess::_init()
{
    SMIS_TraceLog::peg_trace(__FILE__, __LINE__, Tracer::LEVEL4, "[in] SMIS_CMTAccess::_init");
    SMIS_EnvAccess* env = SMIS_EnvAccess::getInstance();
    if (!env) {
        SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::SEVERE, "SMIS_EnvAccess instance is NULL");
        return false;
    }
    const int storageCount = env->getStorageCount();
    SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::INFORMATION, "StorageCount is %d", storageCount);

    _managers.reserve(static_cast<std::size_t>(storageCount));
    for (int i = 0; i < storageCount; ++i) {
        auto m = std::make_unique<SMIS_CMT_MANAGER>(env->getStorageIP(static_cast<std::uint16_t>(i)));
        m->filePath[0] = SMIS_CMTFile::defaultPath(m->address(), SMIS_CMTFile::KIND_CMF);
        m->filePath[1] = SMIS_CMTFile::defaultPath(m->address(), SMIS_CMTFile::KIND_EXT);
        m->filePath[2] = SMIS_CMTFile::defaultPath(m->address(), SMIS_CMTFile::KIND_CPS);
        for (int k = 0; k < SMIS_CMT_MANAGER::MUTEX_KINDS; ++k) {
            const std::string name = std::string("Global\\") + MutexKindName[k] + "_" + m->address();
            try {
                smis::platform::NamedMutex& mutex = smis::platform::NamedMutex::get(name);
                SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::INFORMATION, "mutex[%s]=%x", name.c_str(),
                                       mutex.handle());
            } catch (const std::exception& e) {
                SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::SEVERE, "Failed CreateMutex(%s) %s",
                                       name.c_str(), e.what());
                return false;
            }
            m->mutexName[static_cast<std::size_t>(k)] = name;
        }
        _managers.push_back(std::move(m));
    }
    for (auto& m : _managers)
        _loadTables(*m);
    return true;
}

void SMIS_CMTAccess::_loadTables(SMIS_CMT_MANAGER& m)
{
    const char* address = m.address().c_str();

    // Configuration table: a missing or refused file, or one that does not
    // convert, leaves the array without an image.
    SMIS_CMTPtr container;
    if (ReadCMTFile(address, SMIS_CMTFile::KIND_CMF, container) == SMIS_CMTFile::OK && container) {
        std::unique_ptr<CMM_CMT_GLOBAL_VAL_ELEM> block = SMIS_CMTConvert::ConvertCMTFile2Global(*container);
        std::unique_ptr<cnfg_config_mgmt_table> image;
        if (block)
            image = SMIS_CMTConvert::ConvertCMTFile2CMT(*container, *block);
        container.reset();
        if (block && image)
            SetCurrentCMT(address, std::move(block), std::move(image));
        else
            SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::WARNING,
                                   "The configuration table of %s could not be converted", address);
    }

    // Status and copy-session tables: the file's, or an empty container.
    // They are loaded whatever became of the image, so that status data can
    // be stored once the array has been reached.
    try {
        SMIS_CMTPtr ex;
        if (ReadCMTFile(address, SMIS_CMTFile::KIND_EXT, ex) != SMIS_CMTFile::OK || !ex)
            ex = std::make_unique<SMIS_CMT>();
        SetCurrentCMTEx(address, std::shared_ptr<const SMIS_CMT>(std::move(ex)));

        SMIS_CMTPtr cps;
        if (ReadCMTFile(address, SMIS_CMTFile::KIND_CPS, cps) == SMIS_CMTFile::OK && cps)
            m.copySessionsKnown = true;
        else
            cps = std::make_unique<SMIS_CMT>();
        SetCurrentCopySessionTable(address, std::shared_ptr<const SMIS_CMT>(std::move(cps)));
    } catch (const std::bad_alloc&) {
        SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::SEVERE, "Memory allocation error");
    }
}

SMIS_CMT_MANAGER* SMIS_CMTAccess::findManager(const char* address) const
{
    if (_managers.empty()) {
        SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::INFORMATION, "Storage count is 0");
        return nullptr;
    }
    if (!address)
        return _managers.front().get();
    for (const auto& m : _managers)
        if (m->address() == address)
            return m.get();
    SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::WARNING, "IP is invalid(%s)", address);
    return nullptr;
}

SMIS_MutexHandle SMIS_CMTAccess::GetCMTMutex(const char* address, int kind)
{
    return GetCMTMutex(address, kind, std::chrono::milliseconds::max(), nullptr);
}

SMIS_MutexHandle SMIS_CMTAccess::GetCMTMutex(const char* address, int kind, std::chrono::milliseconds bound,
                                             bool* timedOut)
{
    if (timedOut)
        *timedOut = false;
    if (kind < 0 || kind >= SMIS_CMT_MANAGER::MUTEX_KINDS)
        return nullptr;
    SMIS_CMT_MANAGER* m = findManager(address);
    if (!m)
        return nullptr;
    const std::string& name = m->mutexName[static_cast<std::size_t>(kind)];
    const unsigned handleNumber = smis::platform::NamedMutex::get(name).handle();
    SMIS_TraceLog::peg_trace(__FILE__, __LINE__, Tracer::LEVEL4, "wait mutex(%s,%s,0x%x)", m->address().c_str(),
                             MutexKindName[kind], handleNumber);
    const auto start = std::chrono::steady_clock::now();
    auto waited = [&start] {
        return static_cast<int>(
            std::chrono::duration_cast<std::chrono::seconds>(std::chrono::steady_clock::now() - start).count());
    };
    SMIS_MutexHandle handle = nullptr;
    try {
        if (bound == std::chrono::milliseconds::max())
            handle = new smis::platform::NamedMutexLock(name);
        else
            handle = new smis::platform::NamedMutexLock(name, bound);
    } catch (const smis::platform::NamedMutexTimeout&) {
        // A bounded wait is one slice of a caller's longer wait: a trace, not a log line per slice.
        SMIS_TraceLog::peg_trace(__FILE__, __LINE__, Tracer::LEVEL4, "wait mutex(%s,%s,0x%x) - busy for %lld ms",
                               m->address().c_str(), MutexKindName[kind], handleNumber,
                               static_cast<long long>(bound.count()));
        if (timedOut)
            *timedOut = true;
        return nullptr;
    } catch (const std::exception& e) {
        // Nothing is held: every caller answers its failure (9 from the
        // setters, NULL from the readers) and changes nothing.
        SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::WARNING, "wait mutex error(%s,%s,0x%x) - Failed(%s) - %d sec",
                               m->address().c_str(), MutexKindName[kind], handleNumber, e.what(), waited());
        return nullptr;
    }
    SMIS_TraceLog::peg_trace(__FILE__, __LINE__, Tracer::LEVEL4, "get mutex(%s,%s,0x%x) - %d sec",
                             m->address().c_str(), MutexKindName[kind], handleNumber, waited());
    // The tables' and files' mutexes are never held while the array is
    // asked; the command mutex (the exchange itself), the model check's and
    // the polling task's are.
    if (kind != MUTEX_TCPIP && kind != MUTEX_MODEL && kind != MUTEX_THREAD_PROCEDURE)
        smis::platform::LockRegister::held(handle, name);
    return handle;
}

void SMIS_CMTAccess::RelaseCMTMutex(SMIS_MutexHandle handle)
{
    if (!handle)
        return;
    SMIS_TraceLog::peg_trace(__FILE__, __LINE__, Tracer::LEVEL4, "release mutex(0x%x)", handle->handle());
    smis::platform::LockRegister::released(handle);
    delete handle;
}

String SMIS_CMTAccess::GetCurrentIP() const
{
    return _managers.empty() ? String() : String(_managers.front()->address().c_str());
}

// ---- image ----

void SMIS_CMTAccess::GetCurrentCMT(const char* address, std::shared_ptr<const CMM_CMT_GLOBAL_VAL_ELEM>& block,
                                   std::shared_ptr<const cnfg_config_mgmt_table>& image) const
{
    block.reset();
    image.reset();
    if (SMIS_CMT_MANAGER* m = findManager(address))
        m->getImage(block, image);
}

int SMIS_CMTAccess::SetCurrentCMT(const char* address, std::shared_ptr<const CMM_CMT_GLOBAL_VAL_ELEM> block,
                                  std::shared_ptr<const cnfg_config_mgmt_table> image)
{
    SMIS_CMT_MANAGER* m = findManager(address);
    if (!m)
        return OK;
    HeldMutex held(*this, address, MUTEX_CMT);
    if (!held)
        return MUTEX_ERROR;
    VELDARO_RefTable::installedOnThisThread(m->address().c_str(), block, image);
    m->setImage(std::move(block), std::move(image));
    return OK;
}

bool SMIS_CMTAccess::GetManagementInfo(const char* address, CMM_CMT_MGMNT_ELEM& out)
{
    SMIS_CMT_MANAGER* m = findManager(address);
    if (!m)
        return false;
    HeldMutex held(*this, address, MUTEX_CMT);
    if (!held)
        return false;
    std::shared_ptr<const CMM_CMT_GLOBAL_VAL_ELEM> block;
    std::shared_ptr<const cnfg_config_mgmt_table> image;
    m->getImage(block, image);
    if (!image)
        return false;
    std::memcpy(out.bytes.data(), image->MgmtInfo().bytes(), out.bytes.size());
    return true;
}

// ---- copy-session table ----

std::shared_ptr<const SMIS_CMT> SMIS_CMTAccess::GetCurrentCopySessionTable(const char* address) const
{
    SMIS_CMT_MANAGER* m = findManager(address);
    return m ? m->copySessionTable() : nullptr;
}

int SMIS_CMTAccess::SetCurrentCopySessionTable(const char* address, std::shared_ptr<const SMIS_CMT> table)
{
    SMIS_CMT_MANAGER* m = findManager(address);
    if (!m)
        return OK;
    HeldMutex held(*this, address, MUTEX_COPY_SESSION_TABLE);
    if (!held)
        return MUTEX_ERROR;
    m->setCopySessionTable(std::move(table));
    return OK;
}

int SMIS_CMTAccess::SetCurrentCopySessionInfo(const char* address, const std::uint8_t* record)
{
    SMIS_CMT_MANAGER* m = findManager(address);
    if (!m || !record)
        return OK;
    HeldMutex held(*this, address, MUTEX_COPY_SESSION_TABLE);
    if (!held)
        return MUTEX_ERROR;
    const std::uint16_t sessionId = smis::loadLE16(record);
    std::shared_ptr<const SMIS_CMT> current = m->copySessionTable();
    if (current && !current->index.empty()) {
        const SMIS_INDEX& e = current->index.front();
        if (e.ElementSize == COPY_SESSION_RECORD_SIZE) {
            for (std::size_t i = 0; i < e.ElementCount; ++i) {
                const std::uint8_t* r = e.element(i);
                if (!r || smis::loadLE16(r) != sessionId)
                    continue;
                try {
                    auto updated = std::make_shared<SMIS_CMT>(*current);
                    std::memcpy(updated->index.front().data.data() + i * COPY_SESSION_RECORD_SIZE, record,
                                COPY_SESSION_RECORD_SIZE);
                    m->setCopySessionTable(std::move(updated));
                } catch (const std::bad_alloc&) {
                    return NO_MEMORY;
                }
                return OK;
            }
        }
    }
    SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::WARNING, "Session is not found: %u", sessionId);
    return OK;
}

// ---- model and flags ----

int SMIS_CMTAccess::SetModelInformation(const char* address, const SMIS_CMT_MANAGER::ModelInfo& record)
{
    SMIS_CMT_MANAGER* m = findManager(address);
    if (!m)
        return OK;
    HeldMutex held(*this, address, MUTEX_MODEL);
    if (!held)
        return MUTEX_ERROR;
    m->modelInformation = record;
    return OK;
}

int SMIS_CMTAccess::GetModelInformation(const char* address, SMIS_CMT_MANAGER::ModelInfo& record)
{
    SMIS_CMT_MANAGER* m = findManager(address);
    if (!m)
        return OK;
    HeldMutex held(*this, address, MUTEX_MODEL);
    if (!held)
        return MUTEX_ERROR;
    record = m->modelInformation;
    return OK;
}

void SMIS_CMTAccess::SetSupportInformation(const char* address, int value)
{
    if (SMIS_CMT_MANAGER* m = findManager(address))
        m->supportInformation = value;
}

int SMIS_CMTAccess::GetSupportInformation(const char* address) const
{
    SMIS_CMT_MANAGER* m = findManager(address);
    return m ? m->supportInformation.load() : 0;
}

void SMIS_CMTAccess::SetDeviceAvailable(const char* address, int value)
{
    if (SMIS_CMT_MANAGER* m = findManager(address))
        m->deviceFlag = value;
}

int SMIS_CMTAccess::GetDeviceAvailable(const char* address) const
{
    SMIS_CMT_MANAGER* m = findManager(address);
    return m ? m->deviceFlag.load() : 1;
}

void SMIS_CMTAccess::SetErrorStatus(const char* address, std::uint8_t value)
{
    if (SMIS_CMT_MANAGER* m = findManager(address))
        m->errorStatus = value;
}

std::uint8_t SMIS_CMTAccess::GetErrorStatus(const char* address) const
{
    SMIS_CMT_MANAGER* m = findManager(address);
    return m ? m->errorStatus.load() : 255;
}

// ---- cache files ----

int SMIS_CMTAccess::ReadCMTFile(const char* address, int fileKind, SMIS_CMTPtr& out)
{
    out.reset();
    SMIS_CMT_MANAGER* m = findManager(address);
    if (!m) {
        SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::SEVERE, "Internal Error");
        return SMIS_CMTFile::NOT_CONFIGURED;
    }
    HeldMutex held(*this, address, fileMutexKind(fileKind));
    if (!held)
        return SMIS_CMTFile::MUTEX_ERROR;
    return SMIS_CMTFile::ReadCMTFilePath(m->filePath[static_cast<std::size_t>(filePathIndex(fileKind))], out);
}

int SMIS_CMTAccess::WriteCMTFile(const char* address, int fileKind, SMIS_CMT& cmt)
{
    SMIS_CMT_MANAGER* m = findManager(address);
    if (!m) {
        SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::SEVERE, "Internal Error");
        return SMIS_CMTFile::NOT_CONFIGURED;
    }
    HeldMutex held(*this, address, fileMutexKind(fileKind));
    if (!held)
        return SMIS_CMTFile::MUTEX_ERROR;
    SMIS_CMTFile::makeDataDirectory();
    return SMIS_CMTFile::WriteCMTFilePath(m->filePath[static_cast<std::size_t>(filePathIndex(fileKind))], cmt);
}

const char* SMIS_CMTAccess::GetCMTFilePath(const char* address, int pathIndex) const
{
    if (pathIndex < 0 || pathIndex >= SMIS_CMT_MANAGER::FILE_PATHS)
        return nullptr;
    SMIS_CMT_MANAGER* m = findManager(address);
    return m ? m->filePath[static_cast<std::size_t>(pathIndex)].c_str() : nullptr;
}

// ---- clock ----

void SMIS_CMTAccess::setClock(Clock clock)
{
    std::lock_guard<std::mutex> guard(_clockLock);
    _clock = std::move(clock);
}

std::int64_t SMIS_CMTAccess::now() const
{
    {
        std::lock_guard<std::mutex> guard(_clockLock);
        if (_clock)
            return _clock();
    }
    return std::chrono::duration_cast<std::chrono::seconds>(std::chrono::system_clock::now().time_since_epoch())
        .count();
}

}  // namespace cimple
