#pragma once
// The array's records that the typed array commands (SMIS_Vorpak) hand out.
//
// Each is a block of raw bytes of the size the array's reply fixes; fields
// are read at their offsets with the little-endian helpers of ByteOrder.h
// (docs/wire/packets.md lists them). Arrays of them are allocated with
// malloc and released by the caller with free.

#include <cstddef>
#include <cstdint>

template <std::size_t N>
struct CMM_RECORD_BYTES {
    static constexpr std::size_t SIZE = N;
    std::uint8_t bytes[N];
};

// 0x400A: byte 4 model type, byte 17 support flag 6 (bit 7: thin-volume
// alarm query by mode).
struct CMM_RSP_RD_MODEL_INFO : CMM_RECORD_BYTES<32> {};
// 0x41AE.
struct CMM_RSP_MODEL_SUPPLEMENT_INFO : CMM_RECORD_BYTES<528> {};
// 0x4012.
struct CMM_RSP_RD_CE_STS : CMM_RECORD_BYTES<5400> {};
// 0x4013: u32 count at 0, then count entries of CMM_DESTS_DE_INFO from 8.
struct CMM_RSP_RD_DE_STS : CMM_RECORD_BYTES<8> {
    static constexpr std::size_t ENTRY_OFFSET = 8;
};
// One drive enclosure entry of 0x4013: u32 unit id at 0 (0xFFFFFFFF absent),
// status byte at 20.
struct CMM_DESTS_DE_INFO : CMM_RECORD_BYTES<1304> {};
// 0x4021: u32 item id at 0, port link words from 8.
struct CMM_RSP_GET_CA_PORT_LINK_STS : CMM_RECORD_BYTES<64> {};
// 0x41AA: one login.
struct CMM_RSP_RD_PORT_ISCSI_LOGIN_INFO : CMM_RECORD_BYTES<320> {};
// 0x81AB request: module id 0, port 1, initiator name 8-231 (must not be
// empty), TSIH 232-233, ISID 234-239.
struct CMM_REQ_GET_PORT_ISCSI_STATISTICS_INFO : CMM_RECORD_BYTES<240> {};
// 0x81AB answer (the reply parameters).
struct CMM_RSP_GET_PORT_ISCSI_STATISTICS_INFO : CMM_RECORD_BYTES<64> {};
// 0x4199: one copy session (docs/wire/copy-session.md).
struct CMM_RSP_ADV_SSN_INFO : CMM_RECORD_BYTES<208> {};
// 0x4108: one snapshot data pool.
struct CMM_RSP_GET_POOL_INFO : CMM_RECORD_BYTES<64> {};
// 0x4097: one remote box: box id 0-39, path count at 40 (at most 8), path
// entries of 16 bytes from 48.
struct CMM_RSP_CHECK_FRA_PATH_DATA : CMM_RECORD_BYTES<176> {
    static constexpr std::size_t BOX_ID_SIZE = 40;
    static constexpr std::size_t MAX_PATHS = 8;
};
// 0x41BD / 0x41BE.
struct CMM_RD_TP_POOL_ALARM_INFO : CMM_RECORD_BYTES<32> {};
struct CMM_RD_TP_LU_ALARM_INFO : CMM_RECORD_BYTES<32> {};
// 0x41C8: u16 volume number at 0, u32 size at 4.
struct CMM_RD_TP_LU_ALLOC_SIZE_INFO : CMM_RECORD_BYTES<8> {};
// 0x4024 request: byte 1 number of table ids n, ids from byte 4.
struct CMM_REQ_RD_CFG_MGMT_TBL : CMM_RECORD_BYTES<64> {};
// 0x4024 answer: the container header (docs/wire/container.md); the whole
// reply follows it in the same buffer.
struct CMM_CMT_TABLE_HEADER : CMM_RECORD_BYTES<16> {};

static_assert(sizeof(CMM_RSP_RD_MODEL_INFO) == 32);
static_assert(sizeof(CMM_RSP_MODEL_SUPPLEMENT_INFO) == 528);
static_assert(sizeof(CMM_RSP_RD_CE_STS) == 5400);
static_assert(sizeof(CMM_DESTS_DE_INFO) == 1304);
static_assert(sizeof(CMM_RSP_GET_CA_PORT_LINK_STS) == 64);
static_assert(sizeof(CMM_RSP_RD_PORT_ISCSI_LOGIN_INFO) == 320);
static_assert(sizeof(CMM_REQ_GET_PORT_ISCSI_STATISTICS_INFO) == 240);
static_assert(sizeof(CMM_RSP_GET_PORT_ISCSI_STATISTICS_INFO) == 64);
static_assert(sizeof(CMM_RSP_ADV_SSN_INFO) == 208);
static_assert(sizeof(CMM_RSP_GET_POOL_INFO) == 64);
static_assert(sizeof(CMM_RSP_CHECK_FRA_PATH_DATA) == 176);
static_assert(sizeof(CMM_RD_TP_POOL_ALARM_INFO) == 32);
static_assert(sizeof(CMM_RD_TP_LU_ALLOC_SIZE_INFO) == 8);
static_assert(sizeof(CMM_REQ_RD_CFG_MGMT_TBL) == 64);
