#pragma once
// Lookups into one image of an array's copy-session table: the record of a
// session id and the records that name a volume number at either end.
//
// An index is built once per image and shared by its readers (the image
// never changes once published: an update publishes a new image), so a
// question about one session or one volume costs in proportion to its
// answer instead of a walk over every session of the array. The lookups
// answer exactly what a walk in table order answers: the first record of a
// session id, every record of a volume number in table order.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <unordered_map>
#include <vector>

#include "SMIS_CMT.h"
#include "SMIS_COPY_SESSION_INFO.h"

namespace cimple {

class SMIS_CopySessionIndex {
public:
    // Record positions in table order.
    using Positions = std::vector<std::uint32_t>;

    // The records of a copy-session table image (its table 0 of 96-byte
    // records), or NULL when it holds none of that size.
    static const SMIS_INDEX* recordsOf(const SMIS_CMT& table);
    static std::size_t countOf(const SMIS_INDEX* records);
    // Record i (i < countOf(records)).
    static SMIS_COPY_SESSION_INFO recordAt(const SMIS_INDEX& records, std::size_t i);

    // The shared index of the image (built on first use); NULL without an
    // image or when memory runs out.
    static std::shared_ptr<const SMIS_CopySessionIndex> of(const std::shared_ptr<const SMIS_CMT>& table);
    // Indexes held for live images (for tests).
    static std::size_t cachedCount();

    explicit SMIS_CopySessionIndex(const std::shared_ptr<const SMIS_CMT>& table);

    // True when built for this very image (by ownership).
    bool isFor(const std::shared_ptr<const SMIS_CMT>& table) const
    {
        return table && !_owner.owner_before(table) && !table.owner_before(_owner);
    }
    bool stale() const { return _owner.expired(); }

    // The position of the first record of the session, or -1.
    int first(std::uint16_t sessionId) const;
    // The records whose source or destination volume number (its low 16
    // bits) is volume, each once.
    const Positions& naming(std::uint16_t volume) const;

private:
    std::weak_ptr<const SMIS_CMT> _owner;
    std::unordered_map<std::uint16_t, std::uint32_t> _first;
    std::unordered_map<std::uint16_t, Positions> _naming;
};

}  // namespace cimple
