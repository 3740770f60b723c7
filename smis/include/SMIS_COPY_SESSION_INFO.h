#pragma once
// The 96-byte copy-session record of the cps file and of the cached
// copy-session table (little-endian on disk; the field order below is the
// byte layout, with no padding).

#include <cstddef>
#include <cstdint>

#pragma pack(push, 1)
struct SMIS_COPY_SESSION_INFO {
    std::uint16_t SessionId;        // 0
    std::uint8_t CopyType;          // 2: 1 to 4
    std::uint8_t VolumeType;        // 3: the kind used to find the volumes in the SLU table
    std::int16_t SourceVolume;      // 4
    std::int16_t DestinationVolume; // 6
    std::uint8_t SourceLuType;      // 8
    std::uint8_t DestinationLuType; // 9
    std::uint8_t Reserved10[2];     // 10
    std::int32_t StartTime;         // 12: now minus the elapsed seconds
    std::uint32_t TimeStamp;        // 16: types 1 and 2, local time of the BCD stamp
    std::uint8_t Reserved20[4];     // 20
    std::uint32_t Value24;          // 24: answer bytes 56-59
    std::uint32_t Value28;          // 28: answer bytes 60-63
    std::uint32_t Value32;          // 32: answer bytes 160-163
    std::uint32_t Value36;          // 36: answer bytes 164-167
    std::uint32_t Value40;          // 40: answer bytes 184-187
    std::uint32_t Value44;          // 44: answer bytes 188-191
    char RemoteBoxId[40];           // 48: type 2 only
    std::uint8_t SessionState;      // 88
    std::uint8_t SessionPhase;      // 89
    std::uint8_t SyncFlag;          // 90: type 2, bit 2 of answer byte 10
    std::uint8_t RemoteSide;        // 91: type 2, 1 the remote volume is the source
    std::uint8_t Byte92;            // 92: types 1 and 2, bit 0 of answer byte 9
    std::uint8_t Byte93;            // 93: answer byte 20
    std::uint16_t SyncCode;         // 94
};
#pragma pack(pop)

static_assert(sizeof(SMIS_COPY_SESSION_INFO) == 96, "copy-session record is 96 bytes");
static_assert(offsetof(SMIS_COPY_SESSION_INFO, RemoteBoxId) == 48, "box id at 48");
static_assert(offsetof(SMIS_COPY_SESSION_INFO, SyncCode) == 94, "sync code at 94");
