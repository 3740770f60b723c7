#include "SMIS_CopySessionIndex.h"

#include <cstring>

#include "SMIS_ImageIndexCache.h"

namespace cimple {

namespace {

constexpr std::size_t RECORD_SIZE = sizeof(SMIS_COPY_SESSION_INFO);

SMIS_ImageIndexCache<SMIS_CopySessionIndex>& cache()
{
    static auto* c = new SMIS_ImageIndexCache<SMIS_CopySessionIndex>;  // outlives every static reader
    return *c;
}

const SMIS_CopySessionIndex::Positions NONE;

}  // namespace

const SMIS_INDEX* SMIS_CopySessionIndex::recordsOf(const SMIS_CMT& table)
{
    const SMIS_INDEX* entry = SMIS_CMTCodec::GetIndexTable(table, 0);
    return entry && entry->ElementSize == RECORD_SIZE ? entry : nullptr;
}

std::size_t SMIS_CopySessionIndex::countOf(const SMIS_INDEX* records)
{
    return records ? records->ElementCount : 0;
}

SMIS_COPY_SESSION_INFO SMIS_CopySessionIndex::recordAt(const SMIS_INDEX& records, std::size_t i)
{
    SMIS_COPY_SESSION_INFO r;
    std::memcpy(&r, records.element(i), RECORD_SIZE);
    return r;
}

std::shared_ptr<const SMIS_CopySessionIndex> SMIS_CopySessionIndex::of(const std::shared_ptr<const SMIS_CMT>& table)
{
    if (!table)
        return nullptr;
    return cache().get([&](const SMIS_CopySessionIndex& x) { return x.isFor(table); },
                       [&] { return std::make_shared<const SMIS_CopySessionIndex>(table); });
}

std::size_t SMIS_CopySessionIndex::cachedCount()
{
    return cache().liveCount();
}

SMIS_CopySessionIndex::SMIS_CopySessionIndex(const std::shared_ptr<const SMIS_CMT>& table) : _owner(table)
{
    const SMIS_INDEX* records = recordsOf(*table);
    const std::size_t count = countOf(records);
    for (std::size_t i = 0; i < count; ++i) {
        const SMIS_COPY_SESSION_INFO r = recordAt(*records, i);
        const auto at = static_cast<std::uint32_t>(i);
        _first.try_emplace(r.SessionId, at);
        const auto source = static_cast<std::uint16_t>(r.SourceVolume);
        const auto destination = static_cast<std::uint16_t>(r.DestinationVolume);
        _naming[source].push_back(at);
        if (destination != source)
            _naming[destination].push_back(at);
    }
}

int SMIS_CopySessionIndex::first(std::uint16_t sessionId) const
{
    auto it = _first.find(sessionId);
    return it == _first.end() ? -1 : static_cast<int>(it->second);
}

const SMIS_CopySessionIndex::Positions& SMIS_CopySessionIndex::naming(std::uint16_t volume) const
{
    auto it = _naming.find(volume);
    return it == _naming.end() ? NONE : it->second;
}

}  // namespace cimple
