#pragma once
// Byte layouts of the configuration table's records and of the image entries.
//
// Each layout is written once, as a field list (name, offset, kind, count);
// from it the macros below generate a read view (Name), a write view (NameW)
// and a descriptor list (Name::FIELD_LIST) that tests walk to compare records
// and image entries field by field. All integers are little-endian and are
// loaded and stored through ByteOrder.h at their offsets.
//
// Field kinds: U8, U16, U32, U64 integers; TXT fixed-width text of n bytes
// (std::string_view, not terminated); RAW n raw bytes (std::array);
// A16 n consecutive u16 values, A16S4 n u16 values 4 bytes apart, A8 n bytes
// (indexed getters and setters; an index out of range reads 0 and is not
// written).
//
// Write views return themselves from every setter so that fixtures can chain:
//   CMT_CMW(p).ItemId(0x01001300).Status(1).ModuleId(0x13);

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

#include "ByteOrder.h"

struct CMT_FieldDesc {
    const char* name;
    std::size_t offset;
    std::size_t size;    // bytes of one element
    std::size_t count;   // elements (1 for scalars and texts)
    std::size_t stride;  // distance between elements
    char kind;           // 'u' integer, 't' text, 'r' raw, 'a' array of integers
};

constexpr bool cmtFieldsFit(const CMT_FieldDesc* f, std::size_t n, std::size_t size) {
    for (std::size_t i = 0; i < n; ++i) {
        if (f[i].count == 0) return false;
        if (f[i].offset + (f[i].count - 1) * f[i].stride + f[i].size > size) return false;
    }
    return true;
}

#define CMT_DESC_U8(name, off, n) CMT_FieldDesc{#name, off, 1, 1, 1, 'u'},
#define CMT_DESC_U16(name, off, n) CMT_FieldDesc{#name, off, 2, 1, 2, 'u'},
#define CMT_DESC_U32(name, off, n) CMT_FieldDesc{#name, off, 4, 1, 4, 'u'},
#define CMT_DESC_U64(name, off, n) CMT_FieldDesc{#name, off, 8, 1, 8, 'u'},
#define CMT_DESC_TXT(name, off, n) CMT_FieldDesc{#name, off, n, 1, n, 't'},
#define CMT_DESC_RAW(name, off, n) CMT_FieldDesc{#name, off, n, 1, n, 'r'},
#define CMT_DESC_A16(name, off, n) CMT_FieldDesc{#name, off, 2, n, 2, 'a'},
#define CMT_DESC_A16S4(name, off, n) CMT_FieldDesc{#name, off, 2, n, 4, 'a'},
#define CMT_DESC_A8(name, off, n) CMT_FieldDesc{#name, off, 1, n, 1, 'a'},
#define CMT_DESC(name, off, kind, n) CMT_DESC_##kind(name, off, n)

#define CMT_GET_U8(name, off, n) \
    std::uint8_t name() const { return p_[off]; }
#define CMT_GET_U16(name, off, n) \
    std::uint16_t name() const { return smis::loadLE16(p_ + (off)); }
#define CMT_GET_U32(name, off, n) \
    std::uint32_t name() const { return smis::loadLE32(p_ + (off)); }
#define CMT_GET_U64(name, off, n) \
    std::uint64_t name() const { return smis::loadLE64(p_ + (off)); }
#define CMT_GET_TXT(name, off, n) \
    std::string_view name() const { return std::string_view(reinterpret_cast<const char*>(p_ + (off)), n); }
#define CMT_GET_RAW(name, off, n)                        \
    std::array<std::uint8_t, n> name() const {           \
        std::array<std::uint8_t, n> a{};                 \
        std::memcpy(a.data(), p_ + (off), n);            \
        return a;                                        \
    }
#define CMT_GET_A16(name, off, n) \
    std::uint16_t name(std::size_t k) const { return k < (n) ? smis::loadLE16(p_ + (off) + 2 * k) : 0; }
#define CMT_GET_A16S4(name, off, n) \
    std::uint16_t name(std::size_t k) const { return k < (n) ? smis::loadLE16(p_ + (off) + 4 * k) : 0; }
#define CMT_GET_A8(name, off, n) \
    std::uint8_t name(std::size_t k) const { return k < (n) ? p_[(off) + k] : 0; }
#define CMT_GET(name, off, kind, n) CMT_GET_##kind(name, off, n)

#define CMT_SET_U8(name, off, n) \
    auto& name(std::uint8_t v) { p_[off] = v; return *this; }
#define CMT_SET_U16(name, off, n) \
    auto& name(std::uint16_t v) { smis::storeLE16(p_ + (off), v); return *this; }
#define CMT_SET_U32(name, off, n) \
    auto& name(std::uint32_t v) { smis::storeLE32(p_ + (off), v); return *this; }
#define CMT_SET_U64(name, off, n) \
    auto& name(std::uint64_t v) { smis::storeLE64(p_ + (off), v); return *this; }
#define CMT_SET_TXT(name, off, n)                                      \
    auto& name(std::string_view v) {                                   \
        std::size_t len = std::min<std::size_t>(v.size(), n);          \
        std::memcpy(p_ + (off), v.data(), len);                        \
        std::memset(p_ + (off) + len, ' ', (n) - len);                 \
        return *this;                                                  \
    }
#define CMT_SET_RAW(name, off, n)                                      \
    auto& name(const std::array<std::uint8_t, n>& v) {                 \
        std::memcpy(p_ + (off), v.data(), n);                          \
        return *this;                                                  \
    }
#define CMT_SET_A16(name, off, n) \
    auto& name(std::size_t k, std::uint16_t v) { if (k < (n)) smis::storeLE16(p_ + (off) + 2 * k, v); return *this; }
#define CMT_SET_A16S4(name, off, n) \
    auto& name(std::size_t k, std::uint16_t v) { if (k < (n)) smis::storeLE16(p_ + (off) + 4 * k, v); return *this; }
#define CMT_SET_A8(name, off, n) \
    auto& name(std::size_t k, std::uint8_t v) { if (k < (n)) p_[(off) + k] = v; return *this; }
#define CMT_SET(name, off, kind, n) CMT_SET_##kind(name, off, n)

#define CMT_LAYOUT(Name, Size, FIELDS)                                                     \
    class Name {                                                                           \
    public:                                                                                \
        static constexpr std::size_t SIZE = Size;                                          \
        static constexpr CMT_FieldDesc FIELD_LIST[] = {FIELDS(CMT_DESC)};                  \
        explicit Name(const std::uint8_t* p) : p_(p) {}                                    \
        const std::uint8_t* bytes() const { return p_; }                                   \
        FIELDS(CMT_GET)                                                                    \
    private:                                                                               \
        const std::uint8_t* p_;                                                            \
    };                                                                                     \
    static_assert(cmtFieldsFit(Name::FIELD_LIST, std::size(Name::FIELD_LIST), Size));     \
    class Name##W {                                                                        \
    public:                                                                                \
        static constexpr std::size_t SIZE = Size;                                          \
        explicit Name##W(std::uint8_t* p) : p_(p) {}                                       \
        std::uint8_t* bytes() const { return p_; }                                         \
        FIELDS(CMT_GET)                                                                    \
        FIELDS(CMT_SET)                                                                    \
    private:                                                                               \
        std::uint8_t* p_;                                                                  \
    };

// ---- id 1: maximum-count block (words named by the readers) ----
#define CMT_FIELDS_GLOBAL(F)                                                              \
    F(OLUMaxCount, 0, U32, 1) F(SLUMaxCount, 4, U32, 1) F(RLUMaxCount, 8, U32, 1)         \
    F(DLUMaxCount, 12, U32, 1) F(Word4, 16, U32, 1) F(CMMaxCount, 20, U32, 1)             \
    F(Word6, 24, U32, 1) F(Word7, 28, U32, 1) F(Word8, 32, U32, 1) F(Word9, 36, U32, 1)   \
    F(AffinityGrpMaxCount, 40, U32, 1) F(HostMaxCount, 44, U32, 1) F(MLUMaxCount, 48, U32, 1)
CMT_LAYOUT(CMT_Global, 80, CMT_FIELDS_GLOBAL)

// ---- id 2: CM table entry ----
#define CMT_FIELDS_CM(F)                                                                  \
    F(ItemId, 0, U32, 1) F(Status, 4, U16, 1) F(Factor, 6, U16, 1) F(ModuleId, 8, U8, 1)  \
    F(Role, 9, U8, 1) F(PairCMCPUMID, 10, U8, 1) F(LANRole, 11, U8, 1)
CMT_LAYOUT(CMT_CM, 32, CMT_FIELDS_CM)

// ---- id 3: CA table entry ----
#define CMT_FIELDS_CA(F)                                                                  \
    F(ItemId, 0, U32, 1) F(Status, 4, U16, 1) F(Factor, 6, U16, 1) F(ModuleId, 8, U8, 1)  \
    F(Type, 10, U16, 1) F(RealType, 12, U16, 1)
CMT_LAYOUT(CMT_CA, 32, CMT_FIELDS_CA)

// ---- id 4: management information record ----
#define CMT_FIELDS_MGMTINFO(F)                                                            \
    F(ConfigurationDate, 0, TXT, 14) F(RevisionWord, 14, U16, 1) F(TableUpdateCount, 28, U32, 1)
CMT_LAYOUT(CMT_MgmtInfo, 32, CMT_FIELDS_MGMTINFO)

// ---- id 5: CM memory entry ----
#define CMT_FIELDS_CMMEMORY(F)                                                            \
    F(ItemId, 0, U32, 1) F(Status, 4, U16, 1) F(Word6, 6, U16, 1) F(Size, 8, U64, 1)      \
    F(PartNo, 16, TXT, 20) F(SerialNo, 36, TXT, 20) F(Revision, 56, TXT, 8)
CMT_LAYOUT(CMT_CMMemory, 80, CMT_FIELDS_CMMEMORY)

// ---- id 6: CE record as the array sends it; the image record adds the sensors ----
#define CMT_FIELDS_CE_RECORD(F)                                                           \
    F(ItemId, 0, U32, 1) F(Status, 4, U16, 1) F(Factor, 6, U16, 1) F(Word8, 8, U16, 1)    \
    F(PartsNo, 16, TXT, 20) F(SerialNo, 36, TXT, 20) F(Revision, 56, TXT, 8)
#define CMT_FIELDS_CE(F)                                                                  \
    CMT_FIELDS_CE_RECORD(F)                                                               \
    F(InletItemId, 80, U32, 1) F(InletStatus, 84, U16, 1) F(InletFactor, 86, U16, 1)      \
    F(OutletItemId, 88, U32, 1) F(OutletStatus, 92, U16, 1) F(OutletFactor, 94, U16, 1)
CMT_LAYOUT(CMT_CERecord, 80, CMT_FIELDS_CE_RECORD)
CMT_LAYOUT(CMT_CE, 96, CMT_FIELDS_CE)

// ---- id 7: DE table entry ----
#define CMT_FIELDS_DE(F)                                                                  \
    F(ItemId, 0, U32, 1) F(Status, 4, U16, 1) F(Factor, 6, U16, 1) F(DeId, 8, U8, 1)      \
    F(DiskCount, 9, U8, 1) F(PartsNo, 16, TXT, 20) F(SerialNo, 36, TXT, 20)               \
    F(Revision, 56, TXT, 8)
CMT_LAYOUT(CMT_DE, 96, CMT_FIELDS_DE)

// ---- id 8: disk record (location word) and image entry (Plun) ----
#define CMT_FIELDS_DISK_COMMON(F)                                                         \
    F(ItemId, 0, U32, 1) F(Status, 4, U16, 1) F(Factor, 6, U8, 1) F(Dlun, 12, U16, 1)     \
    F(Usage, 14, U8, 1) F(Kind, 15, U8, 1) F(Capacity, 16, U16, 1) F(Rotation, 18, U16, 1) \
    F(DedicatedHSRlun, 20, U16, 1) F(WholeBlockCount, 32, U64, 1) F(VenderId, 88, TXT, 8) \
    F(ProductId, 96, TXT, 16) F(Revision, 112, TXT, 8) F(SerialNo, 120, TXT, 16)
#define CMT_FIELDS_DISK_RECORD(F) CMT_FIELDS_DISK_COMMON(F) F(Location, 8, U32, 1)
#define CMT_FIELDS_DISK(F) CMT_FIELDS_DISK_COMMON(F) F(Plun, 8, U16, 1)
CMT_LAYOUT(CMT_DiskRecord, 160, CMT_FIELDS_DISK_RECORD)
CMT_LAYOUT(CMT_Disk, 160, CMT_FIELDS_DISK)

// ---- id 9: system record ----
#define CMT_FIELDS_SYS(F)                                                                 \
    F(SeriesName, 0, TXT, 12) F(ModelName, 12, TXT, 12) F(SerialNumber, 24, TXT, 12)      \
    F(BoxID, 36, TXT, 40) F(NodeWWN, 84, RAW, 8) F(VenderID, 92, TXT, 8)                  \
    F(ProductID, 100, TXT, 16) F(FriendlyName, 116, TXT, 16) F(ModelType, 132, U8, 1)
CMT_LAYOUT(CMT_Sys, 512, CMT_FIELDS_SYS)

// ---- id 10: OLU entry ----
#define CMT_FIELDS_OLU(F)                                                                 \
    F(Olun, 0, U16, 1) F(Status, 2, U16, 1) F(SluCount, 4, U8, 1) F(Threshold, 5, U8, 1)  \
    F(OlbaCount, 8, U64, 1) F(Slun, 16, A16, 20) F(Name, 56, TXT, 16)
CMT_LAYOUT(CMT_OLU, 96, CMT_FIELDS_OLU)

// ---- id 11: SLU entry ----
#define CMT_FIELDS_SLU(F)                                                                 \
    F(Slun, 0, U16, 1) F(Status, 2, U16, 1) F(LuType, 4, U8, 1) F(Rlun, 6, U16, 1)        \
    F(Mlun, 8, U16, 1) F(Olun, 10, U16, 1) F(StartRlba, 16, U64, 1) F(StartOlba, 32, U64, 1) \
    F(OlbaCount, 40, U64, 1) F(SlbaCount, 48, U64, 1) F(VirtualOlbaCount, 56, U64, 1)     \
    F(SDPID, 64, U8, 1) F(NextSlun, 66, U16, 1)
CMT_LAYOUT(CMT_SLU, 176, CMT_FIELDS_SLU)

// ---- id 12: RLU entry (the array's record is 640 bytes, the entry 672) ----
#define CMT_FIELDS_RLU(F)                                                                 \
    F(Rlun, 0, U16, 1) F(Status, 2, U16, 1) F(CurrentCMMID, 4, U8, 1) F(RaidLevel, 5, U8, 1) \
    F(Mode, 8, U8, 1) F(Blockade, 9, U8, 1) F(PoolNumber, 10, U16, 1)                     \
    F(RlbaCount, 16, U64, 1) F(StripeSize, 24, U32, 1) F(SluCount, 48, U8, 1)             \
    F(Slun, 52, A16, 256) F(MemberDiskCount, 564, U8, 1) F(Dlun, 568, A16, 16)            \
    F(Name, 600, TXT, 16)
CMT_LAYOUT(CMT_RLU, 672, CMT_FIELDS_RLU)

// ---- id 13: DLU entry ----
#define CMT_FIELDS_DLU(F)                                                                 \
    F(Dlun, 0, U16, 1) F(Status, 2, U16, 1) F(Rlun, 4, U16, 1) F(MemberDiskNumber, 6, U8, 1) \
    F(BlockCount, 8, U64, 1) F(MemberDiskCount, 16, U8, 1) F(UsePlu, 40, A16, 16)
CMT_LAYOUT(CMT_DLU, 112, CMT_FIELDS_DLU)

// ---- id 14: map entry ----
#define CMT_FIELDS_MAP(F)                                                                 \
    F(MapNo, 0, U16, 1) F(CAModuleID, 2, U8, 1) F(CAPortNo, 3, U8, 1)                     \
    F(LUNMappingNo, 4, U16, 1) F(ValidCnt, 6, U8, 1) F(HostWWNTableNo, 32, A16S4, 256)    \
    F(AffinityTableNo, 34, A16S4, 256)
CMT_LAYOUT(CMT_Map, 2080, CMT_FIELDS_MAP)

// ---- id 16: host record (index at 32) and image entry ----
#define CMT_FIELDS_HOST(F)                                                                \
    F(WWN, 0, RAW, 8) F(ResponseTableNum, 8, U16, 1) F(ValidFlag, 10, U8, 1)              \
    F(Type, 11, U8, 1) F(Name, 12, TXT, 16)
#define CMT_FIELDS_HOST_RECORD(F) CMT_FIELDS_HOST(F) F(Index, 32, U16, 1)
CMT_LAYOUT(CMT_HostRecord, 40, CMT_FIELDS_HOST_RECORD)
CMT_LAYOUT(CMT_Host, 40, CMT_FIELDS_HOST)

// ---- id 17: iSCSI host record (index at 1200) and image entry ----
#define CMT_FIELDS_ISCSIHOST(F)                                                           \
    F(iSCSIName, 0, TXT, 256) F(iSCSIIPAddress, 1024, RAW, 4) F(ValidFlag, 1040, U8, 1)   \
    F(ResponseTableNum, 1042, U16, 1) F(Word1044, 1044, U16, 1) F(FriendlyName, 1046, TXT, 16)
#define CMT_FIELDS_ISCSIHOST_RECORD(F) CMT_FIELDS_ISCSIHOST(F) F(Index, 1200, U16, 1)
CMT_LAYOUT(CMT_iSCSIHostRecord, 1208, CMT_FIELDS_ISCSIHOST_RECORD)
CMT_LAYOUT(CMT_iSCSIHost, 1208, CMT_FIELDS_ISCSIHOST)

// ---- id 18: firmware record; image generation entry ----
#define CMT_FIELDS_FIRMWARE_RECORD(F)                                                     \
    F(CurrentGeneration, 0, U8, 1) F(Version1, 16, TXT, 2) F(Version2, 18, TXT, 2)        \
    F(Version3, 20, TXT, 4)
#define CMT_FIELDS_FIRMWARE_GENERATION(F)                                                 \
    F(Version1, 0, TXT, 2) F(Version2, 2, TXT, 2) F(Version3, 4, TXT, 4)
CMT_LAYOUT(CMT_FirmwareRecord, 32, CMT_FIELDS_FIRMWARE_RECORD)
CMT_LAYOUT(CMT_FirmwareGeneration, 16, CMT_FIELDS_FIRMWARE_GENERATION)

// ---- ids 20-23: sensor record; ids 22, 23: DE inlet / outlet entry ----
#define CMT_FIELDS_SENSOR(F) F(ItemId, 0, U32, 1) F(Status, 4, U16, 1) F(Factor, 6, U16, 1)
CMT_LAYOUT(CMT_SensorRecord, 16, CMT_FIELDS_SENSOR)
CMT_LAYOUT(CMT_DESensor, 8, CMT_FIELDS_SENSOR)

// ---- id 24: CM detail record and image entry ----
#define CMT_FIELDS_CMDETAIL_RECORD(F)                                                     \
    F(MasterCPUMid, 0, U8, 1) F(PartsNo, 16, TXT, 20) F(SerialNo, 36, TXT, 20)            \
    F(HardRevision, 56, TXT, 8)
#define CMT_FIELDS_CMDETAIL(F)                                                            \
    F(MasterCPUMid, 0, U8, 1) F(PartsNo, 160, TXT, 20) F(SerialNo, 180, TXT, 20)          \
    F(HardRevision, 200, TXT, 8)
CMT_LAYOUT(CMT_CMDetailRecord, 80, CMT_FIELDS_CMDETAIL_RECORD)
CMT_LAYOUT(CMT_CMDetail, 224, CMT_FIELDS_CMDETAIL)

// ---- id 26: MLU entry ----
#define CMT_FIELDS_MLU(F) F(Mlun, 0, U16, 1) F(Status, 2, U16, 1) F(Slun, 4, U16, 1)
CMT_LAYOUT(CMT_MLU, 48, CMT_FIELDS_MLU)

// ---- id 27: CA detail (board texts; SFP k at 92 + 60k; port p at 224 + 1728p) ----
#define CMT_FIELDS_CADETAIL(F)                                                            \
    F(Byte0, 0, U8, 1) F(BoardPartsNo, 32, TXT, 20) F(BoardSerialNo, 52, TXT, 20)         \
    F(BoardRevision, 72, TXT, 8)
#define CMT_FIELDS_CADETAIL_RECORD(F) CMT_FIELDS_CADETAIL(F) F(ItemId, 4, U32, 1)
#define CMT_FIELDS_SFP(F) F(PartsNo, 0, TXT, 20) F(SerialNo, 20, TXT, 20) F(Revision, 40, TXT, 8)
#define CMT_FIELDS_CAPORT(F)                                                              \
    F(Status, 0, U16, 1) F(Factor, 2, U8, 1) F(PortNo, 3, U8, 1) F(SecurityMode, 4, U8, 1) \
    F(TransferRate, 5, U8, 1) F(RAMode, 6, U8, 1) F(LuResetScope, 7, U8, 1)               \
    F(ReserveCancel, 8, U8, 1) F(HostConnection, 9, U8, 1) F(Method, 10, U8, 1)           \
    F(LoopID, 11, U8, 1) F(Class, 12, U8, 1) F(FCFrameSize, 14, U16, 1) F(Wwn, 16, RAW, 8) \
    F(iSCSIName, 24, TXT, 256) F(AliasName, 280, TXT, 31) F(IPAddress, 311, RAW, 4)       \
    F(iSCSISubnetMask, 315, RAW, 4) F(MacAddress, 319, RAW, 6) F(TCPPortNo, 326, U16, 1)  \
    F(iSCSIOption, 328, U16, 1) F(MaxConnections, 330, U16, 1)                            \
    F(TaskRetainTime, 332, U16, 1) F(ReconnectionWaitTime, 334, U16, 1)                   \
    F(MaxBurstLength, 336, U32, 1) F(MaxReceiveDataSegmentLength, 340, U32, 1)            \
    F(HeaderDigest, 344, U8, 1) F(DataDigest, 345, U8, 1) F(ErrorRecoveryLevel, 346, U8, 1)
CMT_LAYOUT(CMT_CADetail, 3680, CMT_FIELDS_CADETAIL)
CMT_LAYOUT(CMT_CADetailRecord, 3680, CMT_FIELDS_CADETAIL_RECORD)
CMT_LAYOUT(CMT_SFP, 60, CMT_FIELDS_SFP)
CMT_LAYOUT(CMT_CAPort, 1728, CMT_FIELDS_CAPORT)
inline constexpr std::size_t CMT_CADETAIL_SFP_OFFSET = 92;
inline constexpr std::size_t CMT_CADETAIL_PORT_OFFSET = 224;

// ---- ids 28, 32: FAN and CPSU entries; id 38: BBU entry ----
#define CMT_FIELDS_UNIT(F)                                                                \
    F(ItemId, 0, U32, 1) F(Status, 4, U16, 1) F(Factor, 6, U16, 1) F(PartsNo, 8, TXT, 20) \
    F(SerialNo, 28, TXT, 20) F(Revision, 48, TXT, 8)
#define CMT_FIELDS_BBU(F)                                                                 \
    F(ItemId, 0, U32, 1) F(Status, 4, U16, 1) F(Factor, 6, U16, 1) F(Capacity, 8, U8, 1)  \
    F(PartsNo, 16, TXT, 20) F(SerialNo, 36, TXT, 20) F(Revision, 56, TXT, 8)
CMT_LAYOUT(CMT_Unit, 80, CMT_FIELDS_UNIT)
CMT_LAYOUT(CMT_BBU, 80, CMT_FIELDS_BBU)

// ---- id 33: EXP entry; id 34: DPSU entry ----
#define CMT_FIELDS_EXP(F)                                                                 \
    F(ItemId, 0, U32, 1) F(Status, 4, U16, 1) F(Factor, 6, U16, 1) F(DETableNo, 8, U8, 1) \
    F(PartsNo, 44, TXT, 20) F(SerialNo, 64, TXT, 20) F(Revision, 84, TXT, 8)
#define CMT_FIELDS_DPSU(F)                                                                \
    F(ItemId, 0, U32, 1) F(Status, 4, U16, 1) F(Factor, 6, U16, 1) F(Byte8, 8, U8, 1)     \
    F(PartsNo, 12, TXT, 20) F(SerialNo, 32, TXT, 20) F(Revision, 52, TXT, 8)
CMT_LAYOUT(CMT_EXP, 112, CMT_FIELDS_EXP)
CMT_LAYOUT(CMT_DPSU, 80, CMT_FIELDS_DPSU)

// ---- id 35: LUN map entry; id 36: affinity group entry ----
#define CMT_FIELDS_LUNMAP(F)                                                              \
    F(LUNMappingNumber, 0, U16, 1) F(Definition, 2, U8, 1) F(Olun, 32, A16, 512)
#define CMT_FIELDS_AFFINITY(F)                                                            \
    F(GroupNumber, 0, U16, 1) F(Definition, 2, U8, 1) F(GroupName, 3, TXT, 16)            \
    F(PrevNumber, 20, U16, 1) F(NextNumber, 22, U16, 1) F(Olun, 32, A16, 512)
CMT_LAYOUT(CMT_LUNMap, 1056, CMT_FIELDS_LUNMAP)
CMT_LAYOUT(CMT_Affinity, 1056, CMT_FIELDS_AFFINITY)

// ---- id 37: management record (the array's record is 320 bytes) ----
#define CMT_FIELDS_MANAGEMENT(F)                                                          \
    F(Text0, 0, TXT, 64) F(ManagerName, 64, TXT, 64) F(Position, 128, TXT, 64)
CMT_LAYOUT(CMT_Management, 192, CMT_FIELDS_MANAGEMENT)

// ---- ids 39, 40: tables filled for completeness ----
#define CMT_FIELDS_TABLE39(F) F(Valid, 0, U8, 1) F(Byte1, 1, U8, 1) F(Number, 2, U16, 1)
#define CMT_FIELDS_TABLE40(F) F(Valid, 0, U8, 1) F(Number, 1, U8, 1) F(Byte2, 2, U8, 1)
CMT_LAYOUT(CMT_Table39, 160, CMT_FIELDS_TABLE39)
CMT_LAYOUT(CMT_Table40, 48, CMT_FIELDS_TABLE40)

// ---- id 41: remote path entry (the array's record is 64 bytes) ----
#define CMT_FIELDS_REMOTEPATH(F) F(BoxID, 0, TXT, 40)
CMT_LAYOUT(CMT_RemotePath, 40, CMT_FIELDS_REMOTEPATH)

// ---- id 42: connection map entry (WWN and iSCSIName share their storage) ----
#define CMT_FIELDS_CONNECTIONMAP(F)                                                       \
    F(CAType, 0, U8, 1) F(WWN, 8, RAW, 8) F(iSCSIName, 8, TXT, 224) F(IPAddress, 232, RAW, 4) \
    F(RemotePathNo, 656, U8, 1)
CMT_LAYOUT(CMT_ConnectionMap, 672, CMT_FIELDS_CONNECTIONMAP)

// ---- id 43: TPP entry ----
#define CMT_FIELDS_TPP(F)                                                                 \
    F(PoolNumber, 0, U16, 1) F(Threshold_Y, 2, U8, 1) F(Threshold_R, 3, U8, 1)            \
    F(RaidLevel, 4, U8, 1) F(MemDiskCnt, 5, U8, 1) F(MaxPoolLbaCount, 8, U64, 1)          \
    F(LxrpNumber, 27, U8, 1) F(PoolName, 28, TXT, 16)
CMT_LAYOUT(CMT_TPP, 48, CMT_FIELDS_TPP)

// ---- id 44: SDP record (pool p, slot s at 8 + 8p + s) ----
#define CMT_FIELDS_SDP(F) F(SdpPercent, 8, A8, 24)
CMT_LAYOUT(CMT_SDP, 64, CMT_FIELDS_SDP)
inline constexpr std::size_t CMT_SDP_POOLS = 3;
inline constexpr std::size_t CMT_SDP_SLOTS = 8;

// ---- id 45: LXRP entry ----
#define CMT_FIELDS_LXRP(F)                                                                \
    F(PoolNumber, 0, U8, 1) F(ValidFlag, 1, U8, 1) F(Threshold_Y, 2, U8, 1)               \
    F(Threshold_R, 3, U8, 1) F(SubPoolCnt, 4, U8, 1) F(SubPoolNumber, 12, A16, 5)         \
    F(PoolName, 22, TXT, 16)
CMT_LAYOUT(CMT_LXRP, 64, CMT_FIELDS_LXRP)
inline constexpr std::size_t CMT_LXRP_SUBPOOLS = 5;

// ---- id 46: LAN port record and image entry ----
#define CMT_FIELDS_LAN_RECORD(F) F(MasterIP, 8, RAW, 4) F(SlaveIP, 12, RAW, 4)
#define CMT_FIELDS_LANPORT(F) F(MasterIP, 0, RAW, 4) F(SlaveIP, 4, RAW, 4)
CMT_LAYOUT(CMT_LanRecord, 32, CMT_FIELDS_LAN_RECORD)
CMT_LAYOUT(CMT_LanPort, 16, CMT_FIELDS_LANPORT)
