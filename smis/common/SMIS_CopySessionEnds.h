#pragma once
// The copy sessions by the volume numbers their ends may be built under,
// as one image of the configuration table resolves them.
//
// A relationship end is a volume built from the SLU entry that the record's
// number names (searchCopyLunFromSluTable), or, for the remote side of a
// remote copy, from the record's number itself. A volume is keyed by the
// OLU, MLU or SLU number of its entry, so a session is listed under the
// numbers of its record and under those three numbers of each entry its
// numbers name as an MLU or as an OLU number (whatever the record's kind,
// so readers that resolve the numbers in one kind are covered too). The
// list of a number thus holds every session one of whose built ends may be
// the volume of that number, in table order (and perhaps some more, which
// the reader tells apart by the ends' keys).
//
// Built once per pair of images (copy sessions and configuration, with the
// configuration's bounds) and shared by their readers.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <unordered_map>
#include <vector>

#include "SMIS_CMT.h"
#include "SMIS_CopySessionIndex.h"
#include "VELDARO_RefTable.h"

namespace cimple {

class SMIS_CopySessionEnds {
public:
    using Positions = SMIS_CopySessionIndex::Positions;

    // The shared lists of the copy-session image as the view's image
    // resolves them (built on first use); NULL without a copy-session image
    // or when memory runs out.
    static std::shared_ptr<const SMIS_CopySessionEnds> of(const std::shared_ptr<const SMIS_CMT>& sessions,
                                                          const VELDARO_RefTable& table);
    // Lists held for live images (for tests).
    static std::size_t cachedCount();

    SMIS_CopySessionEnds(const std::shared_ptr<const SMIS_CMT>& sessions, const VELDARO_RefTable& table);

    // True when built for these very images (by ownership) and bounds.
    bool isFor(const std::shared_ptr<const SMIS_CMT>& sessions, const VELDARO_RefTable& table) const;
    bool stale() const { return _sessions.expired() || (_configured && _config.expired()); }

    // The sessions that may have the volume of that number at an end, each
    // once, in table order.
    const Positions& naming(std::uint16_t volume) const;

private:
    std::weak_ptr<const SMIS_CMT> _sessions;
    std::weak_ptr<const cnfg_config_mgmt_table> _config;
    const CMM_CMT_GLOBAL_VAL_ELEM* _block;
    bool _configured;
    std::unordered_map<std::uint16_t, Positions> _naming;
};

}  // namespace cimple
