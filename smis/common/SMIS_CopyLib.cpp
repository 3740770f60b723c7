// Readers of the cached copy-session table and snapshot data pool status.

#include "SMIS_CopyLib.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "ByteOrder.h"
#include "LockRegister.h"
#include "SMIS_CMTAccess.h"
#include "SMIS_CopySessionEnds.h"
#include "SMIS_CopySessionIndex.h"
#include "SMIS_PollingService.h"
#include "SMIS_TraceLog.h"

namespace cimple {

namespace {

constexpr std::size_t POOL_RECORD_SIZE = 64;

// The copy-session records held under the table mutex for one reader call,
// with the table's shared lookups.
class SessionTable {
public:
    explicit SessionTable(const char* address)
    {
        _cache = SMIS_CMTAccess::getInstance();
        if (!_cache)
            return;
        _lock = _cache->GetCMTMutex(address, SMIS_CMTAccess::MUTEX_COPY_SESSION_TABLE);
        if (!_lock)
            return;
        _table = _cache->GetCurrentCopySessionTable(address);
        if (!_table) {
            SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::SEVERE, "SMIS_CopyLib::_getCopySessionTable failed");
            return;
        }
        _records = SMIS_CopySessionIndex::recordsOf(*_table);
        _ok = true;
    }
    ~SessionTable()
    {
        if (_lock)
            _cache->RelaseCMTMutex(_lock);
    }
    SessionTable(const SessionTable&) = delete;
    SessionTable& operator=(const SessionTable&) = delete;

    bool ok() const { return _ok; }
    std::size_t count() const { return SMIS_CopySessionIndex::countOf(_records); }
    SMIS_COPY_SESSION_INFO at(std::size_t i) const { return SMIS_CopySessionIndex::recordAt(*_records, i); }
    // The lookups of the image; NULL when memory runs out (the reader then
    // walks every record).
    std::shared_ptr<const SMIS_CopySessionIndex> index() const { return SMIS_CopySessionIndex::of(_table); }
    std::shared_ptr<const SMIS_CopySessionEnds> ends(const VELDARO_RefTable& table) const
    {
        return SMIS_CopySessionEnds::of(_table, table);
    }

    // body(record) for the records at the positions, or for every record
    // when there are none (no lookups): false stops the walk.
    template <class Body>
    void each(const SMIS_CopySessionIndex::Positions* positions, Body body) const
    {
        if (positions) {
            for (const std::uint32_t i : *positions)
                if (i < count() && !body(at(i)))
                    return;
            return;
        }
        for (std::size_t i = 0; i < count(); ++i)
            if (!body(at(i)))
                return;
    }

private:
    SMIS_CMTAccess* _cache = nullptr;
    SMIS_MutexHandle _lock = nullptr;
    std::shared_ptr<const SMIS_CMT> _table;
    const SMIS_INDEX* _records = nullptr;
    bool _ok = false;
};

bool boxEquals(const char* recordBox, const char* given)
{
    return std::strncmp(recordBox, given, 40) == 0;
}

bool boxEmpty(const char* recordBox) { return recordBox[0] == '\0'; }

bool typePasses(std::uint8_t filter, std::uint8_t type)
{
    if (filter == 0)
        return true;
    if (filter == 3)
        return type == 3 || type == 4;
    return type == filter;
}

}  // namespace

SMIS_CopyLib::SMIS_CopyLib(const char* storageAddress)
{
    std::snprintf(_address, sizeof _address, "%s", storageAddress ? storageAddress : "");
}

bool SMIS_CopyLib::isInitialized()
{
    SMIS_CMTAccess* cache = SMIS_CMTAccess::getInstance();
    if (cache && cache->GetCurrentCopySessionTable(_address))
        return true;
    SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::SEVERE, "Copy session table is uninitialized:%s", _address);
    return false;
}

int SMIS_CopyLib::updateSessionInfo()
{
    smis::platform::LockRegister::exchange("copy-state poll");
    SMIS_PollingService* service = SMIS_PollingService::getInstance();
    return service ? service->getCopySessionInfo(_address) : 1;
}

int SMIS_CopyLib::getSessionInfo(std::uint16_t sessionId, SMIS_COPY_SESSION_INFO& out) try {
    SessionTable table(_address);
    if (!table.ok())
        return 1;
    if (const auto index = table.index()) {
        const int at = index->first(sessionId);
        if (at < 0 || static_cast<std::size_t>(at) >= table.count())
            return 2;
        out = table.at(static_cast<std::size_t>(at));
        return 0;
    }
    for (std::size_t i = 0; i < table.count(); ++i) {
        const SMIS_COPY_SESSION_INFO r = table.at(i);
        if (r.SessionId == sessionId) {
            out = r;
            return 0;
        }
    }
    return 2;
} catch (...) {
    return 1;
}

namespace {

// True when the record passes the filter of getSessionList.
bool sessionMatches(const SMIS_COPY_SESSION_INFO& r, std::uint8_t typeFilter, std::uint16_t volume, std::uint8_t side,
                    const char* remoteBoxId)
{
    if (!typePasses(typeFilter, r.CopyType))
        return false;
    if (volume == SMIS_CopyLib::ALL_VOLUMES)
        return true;
    if (r.VolumeType != side)
        return false;
    const bool haveBox = remoteBoxId && remoteBoxId[0] != '\0';
    const std::uint16_t src = static_cast<std::uint16_t>(r.SourceVolume);
    const std::uint16_t dst = static_cast<std::uint16_t>(r.DestinationVolume);
    if (r.CopyType == 2 && !haveBox)
        return volume == (r.RemoteSide ? dst : src);
    if (r.CopyType == 2)
        return boxEquals(r.RemoteBoxId, remoteBoxId) && volume == (r.RemoteSide ? src : dst);
    return volume == src || volume == dst;
}

}  // namespace

int SMIS_CopyLib::getSessionList(std::uint8_t typeFilter, std::uint16_t volume, std::uint8_t side,
                                 const char* remoteBoxId, Array<unsigned short>& out) try {
    out.clear();
    std::vector<SMIS_COPY_SESSION_INFO> records;
    if (getSessionRecords(typeFilter, volume, side, remoteBoxId, records) != 0)
        return 1;
    for (const SMIS_COPY_SESSION_INFO& r : records)
        out.append(r.SessionId);
    return 0;
} catch (...) {
    return 1;
}

int SMIS_CopyLib::getSessionRecords(std::uint8_t typeFilter, std::uint16_t volume, std::uint8_t side,
                                    const char* remoteBoxId, std::vector<SMIS_COPY_SESSION_INFO>& out) try {
    out.clear();
    SessionTable table(_address);
    if (!table.ok())
        return 1;
    // A record of one volume names it as its source or its destination.
    std::shared_ptr<const SMIS_CopySessionIndex> index;
    if (volume != ALL_VOLUMES)
        index = table.index();
    table.each(index ? &index->naming(volume) : nullptr, [&](const SMIS_COPY_SESSION_INFO& r) {
        if (sessionMatches(r, typeFilter, volume, side, remoteBoxId))
            out.push_back(r);
        return true;
    });
    return 0;
} catch (...) {
    out.clear();
    return 1;
}

int SMIS_CopyLib::getSessionRecordsNaming(const VELDARO_RefTable& view, std::uint8_t typeFilter,
                                          std::uint16_t volume, std::vector<SMIS_COPY_SESSION_INFO>& out) try {
    out.clear();
    SessionTable table(_address);
    if (!table.ok())
        return 1;
    const auto ends = table.ends(view);
    table.each(ends ? &ends->naming(volume) : nullptr, [&](const SMIS_COPY_SESSION_INFO& r) {
        if (typePasses(typeFilter, r.CopyType))
            out.push_back(r);
        return true;
    });
    return 0;
} catch (...) {
    out.clear();
    return 1;
}

int SMIS_CopyLib::getSessionID(std::uint16_t sourceVolume, std::uint16_t destinationVolume, std::uint8_t side,
                               const char* remoteBoxId, std::uint8_t remoteSide, std::uint16_t* out) try {
    SessionTable table(_address);
    if (!table.ok())
        return 1;
    const bool haveBox = remoteBoxId && remoteBoxId[0] != '\0';
    const auto index = table.index();
    bool found = false;
    table.each(index ? &index->naming(sourceVolume) : nullptr, [&](const SMIS_COPY_SESSION_INFO& r) {
        if (static_cast<std::uint16_t>(r.SourceVolume) != sourceVolume ||
            static_cast<std::uint16_t>(r.DestinationVolume) != destinationVolume || r.VolumeType != side)
            return true;
        if (haveBox ? (!boxEquals(r.RemoteBoxId, remoteBoxId) || r.RemoteSide != remoteSide) : !boxEmpty(r.RemoteBoxId))
            return true;
        if (out)
            *out = r.SessionId;
        found = true;
        return false;
    });
    return found ? 0 : 2;
} catch (...) {
    return 1;
}

int SMIS_CopyLib::getSDPInfo(std::uint8_t poolNumber, SMIS_COPY_SDP_INFO*& out, std::uint8_t& count) try {
    SMIS_CMTAccess* cache = SMIS_CMTAccess::getInstance();
    if (!cache)
        return 1;
    long records = 0;
    std::unique_ptr<std::uint8_t, decltype(&std::free)> pools(
        static_cast<std::uint8_t*>(cache->GetExTableInfo(_address, SMIS_CMTAccess::EX_SNAP_DATA_POOL, nullptr,
                                                         records)),
        &std::free);
    if (!pools || records <= 0) {
        count = 0;
        return 0;
    }
    const std::size_t n = std::min<std::size_t>(static_cast<std::size_t>(records), 255);
    std::unique_ptr<SMIS_COPY_SDP_INFO, decltype(&std::free)> all(
        static_cast<SMIS_COPY_SDP_INFO*>(std::calloc(n, sizeof(SMIS_COPY_SDP_INFO))), &std::free);
    if (!all) {
        SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::SEVERE, "SMIS_CopyLib::_makeSDPInfo failed to allocation");
        return 1;
    }
    for (std::size_t i = 0; i < n; ++i) {
        const std::uint8_t* p = pools.get() + i * POOL_RECORD_SIZE;
        SMIS_COPY_SDP_INFO& d = all.get()[i];
        d.PoolNumber = p[0];
        for (int k = 0; k < 6; ++k) {
            d.Values32[k] = smis::loadLE32(p + 32 + 4 * k);
            d.Values8[k] = smis::loadLE32(p + 8 + 4 * k);
        }
    }
    if (poolNumber == ALL_POOLS) {
        out = all.release();
        count = static_cast<std::uint8_t>(n);
        return 0;
    }
    out = nullptr;
    count = 0;
    for (std::size_t i = 0; i < n; ++i) {
        if (all.get()[i].PoolNumber != poolNumber)
            continue;
        auto* one = static_cast<SMIS_COPY_SDP_INFO*>(std::malloc(sizeof(SMIS_COPY_SDP_INFO)));
        if (!one) {
            SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::SEVERE, "SMIS_CopyLib::getSDPInfo failed to allocation");
            return 1;
        }
        *one = all.get()[i];
        out = one;
        count = 1;
        break;
    }
    return 0;
} catch (...) {
    return 1;
}

}  // namespace cimple
