// The status ("Ex") table of SMIS_CMTAccess: storing status answers with
// their time stamps and handing out copies of them.
//
// A kind's entry holds either plain elements (u32 time stamp, for kind 4 the
// 240-byte request, then the data) or 24-byte sub-index records, each with
// its own block of records. The table is copied on every change and the copy
// published whole, so a reader of GetCurrentCMTEx never sees a half-made
// change and a failed change leaves the table as it was.

#include "SMIS_CMTAccess.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <new>

#include "ByteOrder.h"
#include "SMIS_CMTFile.h"
#include "SMIS_EnvAccess.h"
#include "SMIS_TraceLog.h"

namespace cimple {

namespace {

// The low 32 bits of an address, as the log and trace records show it.
unsigned addressWord(const void* p)
{
    return static_cast<unsigned>(reinterpret_cast<std::uintptr_t>(p));
}

struct ExKindInfo {
    unsigned elementSize;
    unsigned dataSize;
    bool subIndexed;
};

// Index = kind; kind 0 is not a status kind.
constexpr ExKindInfo kExKinds[SMIS_CMTAccess::EX_KIND_MAX + 1] = {
    {0, 0, false},        {20, 16, false},  {68, 64, false},  {24, 320, true},
    {308, 64, false},     {12, 8, false},   {520, 516, false}, {24, 8, true},
    {2824, 2820, false},  {24, 64, true},   {24, 32, true},    {24, 32, true},
};
static_assert(kExKinds[4].elementSize == 4 + SMIS_CMTAccess::ISCSI_STATISTICS_KEY_SIZE + kExKinds[4].dataSize);
static_assert(kExKinds[6].dataSize == 4 + 4 * SMIS_CMTAccess::DE_SUMMARY_ENTRIES);

bool subIndexed(unsigned kind)
{
    return kind <= SMIS_CMTAccess::EX_KIND_MAX && kExKinds[kind].subIndexed;
}

// Offset of the data inside a plain element.
unsigned dataOffset(unsigned kind)
{
    return kind == SMIS_CMTAccess::EX_ISCSI_STATISTICS ? 4 + SMIS_CMTAccess::ISCSI_STATISTICS_KEY_SIZE : 4;
}

// Statistics requests are equal when module id, port, the iSCSI name (up to
// 224 characters) and bytes 232 to 239 are.
bool sameStatisticsKey(const std::uint8_t* stored, const std::uint8_t* key)
{
    return stored[0] == key[0] && stored[1] == key[1] &&
           std::strncmp(reinterpret_cast<const char*>(stored + 8), reinterpret_cast<const char*>(key + 8), 224) == 0 &&
           std::memcmp(stored + 232, key + 232, 8) == 0;
}

// The element of an entry that a key selects, or -1.
long selectElement(const SMIS_INDEX& e, unsigned kind, const void* key)
{
    if (e.ElementCount == 0)
        return -1;
    const auto* k = static_cast<const std::uint8_t*>(key);
    if (!k || (kind != SMIS_CMTAccess::EX_PORT_LINK_STATUS && kind != SMIS_CMTAccess::EX_ISCSI_LOGIN &&
               kind != SMIS_CMTAccess::EX_ISCSI_STATISTICS))
        return e.element(0) ? 0 : -1;
    for (std::size_t i = 0; i < e.ElementCount; ++i) {
        const std::uint8_t* p = e.element(i);
        if (!p)
            break;
        switch (kind) {
        case SMIS_CMTAccess::EX_PORT_LINK_STATUS: {
            std::uint32_t itemId;
            std::memcpy(&itemId, k, sizeof itemId);
            if (smis::loadLE32(p + 4) == itemId)
                return static_cast<long>(i);
            break;
        }
        case SMIS_CMTAccess::EX_ISCSI_LOGIN: {
            SMIS_SUB_INDEX s;
            s.decode(p);
            if ((s.KeyWord & 0xFF) == k[0] && ((s.KeyWord >> 8) & 0xFF) == k[1])
                return static_cast<long>(i);
            break;
        }
        default:
            if (sameStatisticsKey(p + 4, k))
                return static_cast<long>(i);
            break;
        }
    }
    return -1;
}

}  // namespace

unsigned SMIS_CMTAccess::GetExElementSize(unsigned kind)
{
    return kind <= EX_KIND_MAX ? kExKinds[kind].elementSize : 0;
}

unsigned SMIS_CMTAccess::GetExDataSize(unsigned kind)
{
    return kind <= EX_KIND_MAX ? kExKinds[kind].dataSize : 0;
}

bool SMIS_CMTAccess::isValidLifeCycle(std::uint32_t timeStamp, std::uint32_t lifetime) const
{
    return now() < static_cast<std::int64_t>(timeStamp) + static_cast<std::int64_t>(lifetime);
}

std::uint32_t SMIS_CMTAccess::_lifetime(unsigned kind) const
{
    SMIS_EnvAccess* env = SMIS_EnvAccess::getInstance();
    if (!env)
        return 0;
    switch (kind) {
    case EX_PORT_LINK_STATUS: return env->getPortLinkStatus();
    case EX_ISCSI_LOGIN: return env->getSession();
    case EX_ISCSI_STATISTICS: return env->getSessionStatistics();
    case EX_XMIRREX_PATH: return env->getRecPath();
    default: return 0;
    }
}

std::shared_ptr<const SMIS_CMT> SMIS_CMTAccess::GetCurrentCMTEx(const char* address) const
{
    SMIS_CMT_MANAGER* m = findManager(address);
    return m ? m->exTable() : nullptr;
}

int SMIS_CMTAccess::SetCurrentCMTEx(const char* address, std::shared_ptr<const SMIS_CMT> table)
{
    SMIS_CMT_MANAGER* m = findManager(address);
    if (!m)
        return OK;
    SMIS_MutexHandle held = GetCMTMutex(address, MUTEX_CMT_EX);
    if (!held)
        return MUTEX_ERROR;
    m->setExTable(std::move(table));
    RelaseCMTMutex(held);
    return OK;
}

void* SMIS_CMTAccess::GetExTableInfo(const char* address, unsigned short kind, const void* key, long& count,
                                     bool anyAge)
{
    count = -1;
    void* result = nullptr;
    SMIS_CMT_MANAGER* m = findManager(address);
    if (!m)
        return nullptr;
    SMIS_MutexHandle held = GetCMTMutex(address, MUTEX_CMT_EX);
    if (!held)
        return nullptr;
    try {
        do {
            std::shared_ptr<const SMIS_CMT> table = m->exTable();
            const SMIS_INDEX* e = table ? SMIS_CMTFile::GetIndexTable(table.get(), kind) : nullptr;
            const unsigned elementSize = GetExElementSize(kind);
            const unsigned dataSize = GetExDataSize(kind);
            if (!e || elementSize == 0)
                break;
            // An entry stored with another layout than the kind's is absent:
            // copying the kind's size from it would read past its records.
            if (e->ElementSize != elementSize || e->isSubIndexed() != subIndexed(kind)) {
                SMIS_TraceLog::peg_trace(__FILE__, __LINE__, Tracer::LEVEL4,
                                         "Status table %u has element size %u, expected %u", kind, e->ElementSize,
                                         elementSize);
                break;
            }
            const long at = selectElement(*e, kind, key);
            if (at < 0) {
                SMIS_TraceLog::peg_trace(__FILE__, __LINE__, Tracer::LEVEL4,
                                         "The Data which matches Key was not found.");
                break;
            }
            const std::uint8_t* element = e->element(static_cast<std::size_t>(at));

            std::uint32_t timeStamp = 0;
            const std::uint8_t* src = nullptr;
            std::uint64_t n = 0;
            if (subIndexed(kind)) {
                SMIS_SUB_INDEX s;
                s.decode(element);
                timeStamp = s.TimeStamp;
                const std::vector<std::uint8_t>* block =
                    static_cast<std::size_t>(at) < e->subTables.size() ? &e->subTables[static_cast<std::size_t>(at)]
                                                                        : nullptr;
                if (s.ElementCount != 0 &&
                    (s.ElementSize != dataSize || !block || block->size() < s.dataSize())) {
                    SMIS_TraceLog::peg_trace(__FILE__, __LINE__, Tracer::LEVEL4,
                                             "Status table %u has record size %u, expected %u", kind, s.ElementSize,
                                             dataSize);
                    break;
                }
                n = s.ElementCount;
                src = n ? block->data() : nullptr;
                if (kind == EX_THIN_VOLUME_ALLOCATION && key && n) {
                    std::uint16_t volume;
                    std::memcpy(&volume, key, sizeof volume);
                    if (m->kind7Source != table) {
                        m->kind7Index.clear();
                        m->kind7Source.reset();
                        m->kind7Index.reserve(n);
                        for (std::uint32_t r = 0; r < n; ++r)
                            m->kind7Index.emplace(smis::loadLE16(src + std::size_t(r) * dataSize), r);
                        m->kind7Source = table;
                    }
                    auto it = m->kind7Index.find(volume);
                    if (it == m->kind7Index.end()) {
                        SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::INFORMATION,
                                               "The Data which matches OLUN was not found.");
                        break;
                    }
                    src += std::size_t(it->second) * dataSize;
                    n = 1;
                }
            } else {
                timeStamp = smis::loadLE32(element);
                src = element + dataOffset(kind);
                n = 1;
            }

            const std::uint32_t lifetime = _lifetime(kind);
            const bool hasLifetime = kind == EX_PORT_LINK_STATUS || kind == EX_ISCSI_LOGIN ||
                                     kind == EX_ISCSI_STATISTICS || kind == EX_XMIRREX_PATH;
            if (hasLifetime && !anyAge && !isValidLifeCycle(timeStamp, lifetime)) {
                SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::INFORMATION, "Lifetime is over");
                break;
            }
            if (n == 0 || !src) {
                count = static_cast<long>(n);
                break;
            }
            const std::size_t bytes = static_cast<std::size_t>(n * dataSize);
            result = std::malloc(bytes);
            if (!result) {
                SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::SEVERE, "Memory allocation error");
                break;
            }
            std::memcpy(result, src, bytes);
            if (kind == EX_DE_SUMMARY) {
                // The summary holds at most its 128 entries, whatever a file says.
                auto* p = static_cast<std::uint8_t*>(result);
                smis::storeLE32(p, std::min<std::uint32_t>(smis::loadLE32(p), DE_SUMMARY_ENTRIES));
            }
            count = static_cast<long>(n);
        } while (false);
    } catch (const std::bad_alloc&) {
        std::free(result);
        result = nullptr;
        count = -1;
    }
    RelaseCMTMutex(held);
    SMIS_TraceLog::peg_trace(__FILE__, __LINE__, Tracer::LEVEL4, "GetExTableInfo(%s,%d) = 0x%x", m->address().c_str(),
                             kind, addressWord(result));
    return result;
}

int SMIS_CMTAccess::SetExTableInfo(const char* address, unsigned short kind, const void* key, const void* data,
                                   unsigned recordSize, unsigned recordCount, int writeFlag)
{
    SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::INFORMATION,
                           "SMIS_CMTAccess::SetExTableInfo(ip=%s, tabel=%d, addr=0x%x, size=%d, count=%d, key=0x%x)",
                           address ? address : "(null)", kind, addressWord(data), static_cast<int>(recordSize),
                           static_cast<int>(recordCount), addressWord(key));
    SMIS_CMT_MANAGER* m = findManager(address);
    if (!m)
        return OK;
    const unsigned elementSize = GetExElementSize(kind);
    const unsigned dataSize = GetExDataSize(kind);
    if (elementSize == 0) {
        SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::WARNING, "Specified Type is wrong.");
        return NO_STATUS_TABLE;
    }
    const std::uint64_t bytes = data ? std::uint64_t(recordSize) * recordCount : 0;
    const auto* src = static_cast<const std::uint8_t*>(data);
    const bool sub = subIndexed(kind);
    if (sub && (recordCount > 0xFFFF || bytes > 0xFFFFFFFFull)) {
        SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::WARNING, "Too many records: %u", recordCount);
        return NO_MEMORY;
    }

    SMIS_MutexHandle held = GetCMTMutex(address, MUTEX_CMT_EX);
    if (!held)
        return MUTEX_ERROR;
    int status = OK;
    try {
        std::shared_ptr<const SMIS_CMT> current = m->exTable();
        if (!current) {
            RelaseCMTMutex(held);
            return NO_STATUS_TABLE;
        }
        auto table = std::make_shared<SMIS_CMT>(*current);
        auto it = std::find_if(table->index.begin(), table->index.end(),
                               [&](const SMIS_INDEX& x) { return x.TableId == kind; });
        SMIS_INDEX* e = nullptr;
        long at = -1;
        if (it == table->index.end()) {
            if (table->index.size() >= SMIS_CMT::MAX_TABLES)
                throw std::bad_alloc();
            SMIS_TraceLog::peg_trace(__FILE__, __LINE__, Tracer::LEVEL4, "Index table is extended. %zu -> %zu",
                                     table->index.size(), table->index.size() + 1);
            table->index.emplace_back();
            e = &table->index.back();
            e->TableId = static_cast<std::uint8_t>(kind);
            e->Flags = sub ? SMIS_INDEX::FLAG_SUB_INDEXED : 0;
            e->ElementSize = elementSize;
            table->header[1] = static_cast<std::uint8_t>(table->index.size());
        } else {
            e = &*it;
            if (e->ElementSize != elementSize || e->isSubIndexed() != sub ||
                e->data.size() < e->dataSize() || (sub && e->subTables.size() < e->ElementCount)) {
                // Elements of another layout cannot be updated in place: the
                // kind starts again with the new element.
                SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::WARNING, "Table size has mismatching");
                e->Flags = sub ? SMIS_INDEX::FLAG_SUB_INDEXED : 0;
                e->ElementSize = elementSize;
                e->ElementCount = 0;
                e->data.clear();
                e->subTables.clear();
            }
            at = selectElement(*e, kind, key);
        }
        if (at < 0) {
            if (e->ElementCount == 0xFFFF)
                throw std::bad_alloc();
            if (e->ElementCount > 0)
                SMIS_TraceLog::peg_trace(__FILE__, __LINE__, Tracer::LEVEL4, "Data table is extended. %u -> %u",
                                         unsigned(e->ElementCount), unsigned(e->ElementCount) + 1);
            e->data.resize(std::size_t(e->ElementCount + 1) * elementSize, 0);
            if (sub)
                e->subTables.resize(std::size_t(e->ElementCount) + 1);
            at = e->ElementCount;
            ++e->ElementCount;
        }

        std::uint8_t* p = e->data.data() + std::size_t(at) * elementSize;
        const auto stamp = static_cast<std::uint32_t>(now());
        const auto* k = static_cast<const std::uint8_t*>(key);
        if (!sub) {
            std::memset(p, 0, elementSize);
            smis::storeLE32(p, stamp);
            if (kind == EX_ISCSI_STATISTICS && k)
                std::memcpy(p + 4, k, ISCSI_STATISTICS_KEY_SIZE);
            const std::size_t n = static_cast<std::size_t>(std::min<std::uint64_t>(bytes, dataSize));
            if (n)
                std::memcpy(p + dataOffset(kind), src, n);
            if (kind == EX_DE_SUMMARY && n >= 4)
                smis::storeLE32(p + 4, std::min<std::uint32_t>(smis::loadLE32(p + 4), DE_SUMMARY_ENTRIES));
        } else {
            SMIS_SUB_INDEX s;
            s.decode(p);
            std::vector<std::uint8_t> block;
            if (bytes)
                block.assign(src, src + bytes);
            s.TimeStamp = stamp;
            s.ElementCount = static_cast<std::uint16_t>(recordCount);
            s.ElementSize = recordSize;
            if (kind == EX_ISCSI_LOGIN && k)
                s.KeyWord = std::uint32_t(k[0]) | (std::uint32_t(k[1]) << 8);
            s.encode(p);
            e->subTables[std::size_t(at)] = std::move(block);
        }
        if (kind == EX_ISCSI_STATISTICS)
            Discard_iSCSIStatisticsInfo(*e);
        SMIS_CMTCodec::updateOffset(*table);
        // The ext file only seeds the next start: the table is installed
        // whether or not it could be written.
        if (writeFlag == 1) {
            const int written = WriteCMTFile(address, SMIS_CMTFile::KIND_EXT, *table);
            if (written != 0)
                SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::SEVERE,
                                       "0x%x = SMIS_CMTAccess.WriteCMTFile error; the ext table is installed unsaved",
                                       written);
        }
        m->setExTable(std::move(table));
    } catch (const std::bad_alloc&) {
        SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::SEVERE, "Memory allocation error");
        status = NO_MEMORY;
    }
    RelaseCMTMutex(held);
    return status;
}

void SMIS_CMTAccess::Discard_iSCSIStatisticsInfo(SMIS_INDEX& entry) const
{
    const std::uint32_t lifetime = _lifetime(EX_ISCSI_STATISTICS);
    const std::size_t size = entry.ElementSize;
    std::size_t valid = 0;
    for (std::size_t i = 0; i < entry.ElementCount; ++i) {
        const std::uint8_t* p = entry.element(i);
        if (p && isValidLifeCycle(smis::loadLE32(p), lifetime))
            ++valid;
    }
    if (valid == entry.ElementCount) {
        SMIS_TraceLog::peg_trace(__FILE__, __LINE__, Tracer::LEVEL4,
                                 "There is no invalid information or the data number is 0.");
        return;
    }
    SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::INFORMATION, "The number of the data to discard : %zu",
                           std::size_t(entry.ElementCount) - valid);
    std::vector<std::uint8_t> kept;
    kept.reserve(valid * size);
    for (std::size_t i = 0; i < entry.ElementCount; ++i) {
        const std::uint8_t* p = entry.element(i);
        if (p && isValidLifeCycle(smis::loadLE32(p), lifetime))
            kept.insert(kept.end(), p, p + size);
    }
    if (valid == 0)
        SMIS_TraceLog::peg_trace(__FILE__, __LINE__, Tracer::LEVEL4, "There is no valid information, all clear.");
    entry.data = std::move(kept);
    entry.ElementCount = static_cast<std::uint16_t>(valid);
}

}  // namespace cimple
