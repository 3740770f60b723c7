#pragma once
// Questions about one array's copy sessions (from the cached copy-session
// table) and snapshot data pools (from status kind 9). Made on the stack for
// one request; every answer is a copy. Questions about one session or one
// volume are answered from lookups built once per table image, so they cost
// in proportion to their answer.
//
//   SMIS_CopyLib lib("10.0.0.1");
//   Array<unsigned short> ids;
//   if (lib.getSessionList(3, 0xFFFF, 0, nullptr, ids) == 0) ...

#include <cstdint>
#include <vector>

#include <cimple/Array.h>

#include "SMIS_COPY_SESSION_INFO.h"

namespace cimple {

class VELDARO_RefTable;

struct SMIS_COPY_SDP_INFO {
    std::uint8_t PoolNumber;
    std::uint32_t Values32[6];  // pool record bytes 32-55
    std::uint32_t Values8[6];   // pool record bytes 8-31
};

class SMIS_CopyLib {
public:
    static constexpr std::uint8_t ALL_POOLS = 255;
    static constexpr std::uint16_t ALL_VOLUMES = 0xFFFF;

    explicit SMIS_CopyLib(const char* storageAddress);
    ~SMIS_CopyLib() = default;

    // True when the array's copy-session table has been loaded.
    bool isInitialized();
    // Refreshes the array's copy-session table now: the refresh's result (0
    // done, -1 cancelled, else the table still holds the earlier answer).
    int updateSessionInfo();
    // 0 found (record copied), 2 not found, 1 table not available.
    int getSessionInfo(std::uint16_t sessionId, SMIS_COPY_SESSION_INFO& out);
    // typeFilter 0 every type, 3 types 3 and 4, else that type. 0 or 1.
    int getSessionList(std::uint8_t typeFilter, std::uint16_t volume, std::uint8_t side, const char* remoteBoxId,
                       Array<unsigned short>& out);
    // The records that getSessionList would name, in table order, read under
    // one hold of the table. 0 or 1.
    int getSessionRecords(std::uint8_t typeFilter, std::uint16_t volume, std::uint8_t side, const char* remoteBoxId,
                          std::vector<SMIS_COPY_SESSION_INFO>& out);
    // The records (of the types typeFilter passes) of the sessions one of
    // whose relationship ends may be the volume numbered `volume`, as the
    // view's image resolves the records' numbers (SMIS_CopySessionEnds), in
    // table order: every session whose built relationship has that volume
    // at an end, and perhaps others, which the caller tells apart by the
    // ends' keys. The view is the caller's, already held. 0 or 1.
    int getSessionRecordsNaming(const VELDARO_RefTable& view, std::uint8_t typeFilter, std::uint16_t volume,
                                std::vector<SMIS_COPY_SESSION_INFO>& out);
    // 0 found, 2 not found, 1 table not available.
    int getSessionID(std::uint16_t sourceVolume, std::uint16_t destinationVolume, std::uint8_t side,
                     const char* remoteBoxId, std::uint8_t remoteSide, std::uint16_t* out);
    // Pool 255: every pool; else the first with that number (out NULL when
    // none). out is malloc'ed; the caller frees it. 0, or 1 on failure.
    int getSDPInfo(std::uint8_t poolNumber, SMIS_COPY_SDP_INFO*& out, std::uint8_t& count);

private:
    char _address[16];
};

}  // namespace cimple
