#pragma once
// The total and copied amounts of a cached copy-session record, 64 bits
// each: the low words at record bytes 28 and 24, the high words at 36 and
// 32. For a remote mirror the total is the remote volume's size in blocks.

#include <cstdint>

#include "SMIS_COPY_SESSION_INFO.h"

namespace cimple {

inline std::uint64_t copySessionTotal(const SMIS_COPY_SESSION_INFO& r)
{
    return static_cast<std::uint64_t>(r.Value36) << 32 | r.Value28;
}

inline std::uint64_t copySessionCopied(const SMIS_COPY_SESSION_INFO& r)
{
    return static_cast<std::uint64_t>(r.Value32) << 32 | r.Value24;
}

}  // namespace cimple
