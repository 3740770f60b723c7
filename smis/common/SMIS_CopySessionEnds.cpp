#include "SMIS_CopySessionEnds.h"

#include <algorithm>
#include <array>

#include "SMIS_ImageIndexCache.h"

namespace cimple {

namespace {

SMIS_ImageIndexCache<SMIS_CopySessionEnds>& cache()
{
    static auto* c = new SMIS_ImageIndexCache<SMIS_CopySessionEnds>;  // outlives every static reader
    return *c;
}

const SMIS_CopySessionEnds::Positions NONE;

// The kinds of searchCopyLunFromSluTable.
constexpr std::uint8_t MLU_NUMBERED = 0;
constexpr std::uint8_t OLU_NUMBERED = 1;

template <class T>
bool sameOwner(const std::weak_ptr<T>& held, const std::shared_ptr<T>& given)
{
    return !held.owner_before(given) && !given.owner_before(held);
}

}  // namespace

std::shared_ptr<const SMIS_CopySessionEnds> SMIS_CopySessionEnds::of(const std::shared_ptr<const SMIS_CMT>& sessions,
                                                                     const VELDARO_RefTable& table)
{
    if (!sessions)
        return nullptr;
    return cache().get([&](const SMIS_CopySessionEnds& x) { return x.isFor(sessions, table); },
                       [&] { return std::make_shared<const SMIS_CopySessionEnds>(sessions, table); });
}

std::size_t SMIS_CopySessionEnds::cachedCount()
{
    return cache().liveCount();
}

SMIS_CopySessionEnds::SMIS_CopySessionEnds(const std::shared_ptr<const SMIS_CMT>& sessions,
                                           const VELDARO_RefTable& table)
    : _sessions(sessions),
      _config(table.sharedImage()),
      _block(table.globalBlock()),
      _configured(table.sharedImage() != nullptr)
{
    const SMIS_INDEX* records = SMIS_CopySessionIndex::recordsOf(*sessions);
    const std::size_t count = SMIS_CopySessionIndex::countOf(records);
    for (std::size_t i = 0; i < count; ++i) {
        const SMIS_COPY_SESSION_INFO r = SMIS_CopySessionIndex::recordAt(*records, i);
        std::array<std::uint16_t, 14> numbers{};
        std::size_t n = 0;
        for (const std::int16_t end : {r.SourceVolume, r.DestinationVolume}) {
            const auto number = static_cast<std::uint16_t>(end);
            numbers[n++] = number;
            for (const std::uint8_t kind : {MLU_NUMBERED, OLU_NUMBERED}) {
                const int slu = table.searchCopyLunFromSluTable(kind, number);
                if (slu < 0)
                    continue;
                numbers[n++] = table.getSluOlun(slu);
                numbers[n++] = table.getSluMlun(slu);
                numbers[n++] = table.getSluSlun(slu);
            }
        }
        std::sort(numbers.begin(), numbers.begin() + n);
        const auto last = std::unique(numbers.begin(), numbers.begin() + n);
        for (auto it = numbers.begin(); it != last; ++it)
            _naming[*it].push_back(static_cast<std::uint32_t>(i));
    }
}

bool SMIS_CopySessionEnds::isFor(const std::shared_ptr<const SMIS_CMT>& sessions, const VELDARO_RefTable& table) const
{
    return sessions && sameOwner(_sessions, sessions) && sameOwner(_config, table.sharedImage()) &&
           _configured == (table.sharedImage() != nullptr) && _block == table.globalBlock();
}

const SMIS_CopySessionEnds::Positions& SMIS_CopySessionEnds::naming(std::uint16_t volume) const
{
    auto it = _naming.find(volume);
    return it == _naming.end() ? NONE : it->second;
}

}  // namespace cimple
