#pragma once
// One row of the copy synchronisation table (VELDARO_ValueConv): the key
// that the caller fills (copy type, copy mode, sub-state; a row's sub-state
// 0 matches any) and the values the copy-relationship builders publish.
// An in-memory record of 14 bytes; it is never stored or sent.

#include <cstddef>
#include <cstdint>

struct COPY_SYNC_INFO_LIST {
    std::uint8_t CopyType;
    std::uint8_t CopyMode;
    std::uint8_t SubState;
    std::uint8_t SyncMaintained;        // flag
    std::uint16_t SyncState;            // value A
    std::uint16_t TimeSelector;         // value B: 1 first time value, 2 second, other none
    std::uint16_t CopyState;            // value C
    std::uint16_t ProgressStatus;       // value D
    std::uint16_t RequestedCopyState;   // value E
};
static_assert(sizeof(COPY_SYNC_INFO_LIST) == 14, "a copy synchronisation row is 14 bytes");
static_assert(offsetof(COPY_SYNC_INFO_LIST, SyncState) == 4 && offsetof(COPY_SYNC_INFO_LIST, TimeSelector) == 6,
              "values follow the four key and flag bytes");
