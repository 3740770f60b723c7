#pragma once
// The in-memory image of one array's configuration management table.
//
// Each table is an array of fixed-size entries addressed by index from 0;
// entry layouts are those of CMT_Layout.h. Read access goes through the
// views (cmt.CM(i).ItemId()); write access, used by the conversion and by
// test fixtures, through the W views (cmt.CMW(i).Status(1)). An index at or
// beyond a table's size reads as an all-zero entry and writes go nowhere, so
// a bad index never touches memory outside the image.
//
// A table's storage is allocated zero-filled at its first write, so an image
// holds memory only for the tables its array reported; mutableEntry throws
// std::bad_alloc when that allocation fails.
//
// The five volume tables (OLU, MLU, SLU, RLU, DLU) have as many entries as
// their words of the maximum-count block; every entry starts numbered with
// its index and with the status the lookups skip (6 for OLU, MLU and SLU, 3
// for RLU and DLU) until the array reports it.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "CMM_CMT_GLOBAL_VAL_ELEM.h"
#include "CMT_Layout.h"

// Name, entry layout, fixed entry count (0: sized from the block).
#define CMT_IMAGE_TABLES(T)              \
    T(CM, CMT_CM, 16)                    \
    T(CA, CMT_CA, 64)                    \
    T(MgmtInfo, CMT_MgmtInfo, 1)         \
    T(CMDetail, CMT_CMDetail, 8)         \
    T(CADetail, CMT_CADetail, 64)        \
    T(CMMemory, CMT_CMMemory, 48)        \
    T(FAN, CMT_Unit, 4)                  \
    T(BBU, CMT_BBU, 4)                   \
    T(CE, CMT_CE, 1)                     \
    T(CPSU, CMT_Unit, 6)                 \
    T(DE, CMT_DE, 128)                   \
    T(EXP, CMT_EXP, 256)                 \
    T(DPSU, CMT_DPSU, 256)               \
    T(DEInlet, CMT_DESensor, 128)        \
    T(DEOutlet, CMT_DESensor, 128)       \
    T(Disk, CMT_Disk, 3072)              \
    T(Sys, CMT_Sys, 1)                   \
    T(OLU, CMT_OLU, 0)                   \
    T(MLU, CMT_MLU, 0)                   \
    T(SLU, CMT_SLU, 0)                   \
    T(RLU, CMT_RLU, 0)                   \
    T(DLU, CMT_DLU, 0)                   \
    T(Map, CMT_Map, 128)                 \
    T(LUNMap, CMT_LUNMap, 128)           \
    T(Affinity, CMT_Affinity, 2048)      \
    T(Host, CMT_Host, 8192)              \
    T(iSCSIHost, CMT_iSCSIHost, 8192)    \
    T(RemotePath, CMT_RemotePath, 16)    \
    T(ConnectionMap, CMT_ConnectionMap, 128) \
    T(FirmwareGen, CMT_FirmwareGeneration, 8) \
    T(LanPort, CMT_LanPort, 3)           \
    T(Management, CMT_Management, 1)     \
    T(TPP, CMT_TPP, 256)                 \
    T(SDP, CMT_SDP, 1)                   \
    T(LXRP, CMT_LXRP, 64)                \
    T(Table39, CMT_Table39, 512)         \
    T(Table40, CMT_Table40, 128)

enum class CMT_Table : std::size_t {
#define CMT_ENUM(Name, Layout, Count) Name,
    CMT_IMAGE_TABLES(CMT_ENUM)
#undef CMT_ENUM
    COUNT
};

class cnfg_config_mgmt_table {
public:
    // Fixed sizes.
    static constexpr std::size_t CM_COUNT = 16;
    static constexpr std::size_t CM_POSITIONS = 8;
    static constexpr std::size_t CM_MEMORY_PER_CM = 6;
    static constexpr std::size_t CA_COUNT = 64;
    static constexpr std::size_t CA_PORTS = 2;
    static constexpr std::size_t CA_SFPS = 2;
    static constexpr std::size_t DE_COUNT = 128;
    static constexpr std::size_t DISKS_PER_DE = 24;
    static constexpr std::size_t DISK_COUNT = 3072;
    static constexpr std::size_t HOST_COUNT = 8192;
    static constexpr std::size_t AFFINITY_COUNT = 2048;
    static constexpr std::size_t FIRMWARE_GENERATIONS = 8;
    static constexpr std::size_t MAX_VOLUME_COUNT = 65536;

    // A zero-filled image whose volume tables are sized by the block (words
    // clamped to MAX_VOLUME_COUNT) and prefilled. nullptr when out of memory.
    static std::unique_ptr<cnfg_config_mgmt_table> create(const CMM_CMT_GLOBAL_VAL_ELEM& block);

    // Entries of a table, and raw entry access for the conversion.
    std::size_t count(CMT_Table t) const { return tables_[idx(t)].count; }
    std::size_t entrySize(CMT_Table t) const { return tables_[idx(t)].entrySize; }
    const std::uint8_t* entry(CMT_Table t, std::size_t i) const;
    std::uint8_t* mutableEntry(CMT_Table t, std::size_t i);

    // Typed views: Name(i) reads, NameW(i) writes.
#define CMT_VIEW(Name, Layout, Count)                                                       \
    Layout Name(std::size_t i = 0) const { return Layout(entry(CMT_Table::Name, i)); }     \
    Layout##W Name##W(std::size_t i = 0) { return Layout##W(mutableEntry(CMT_Table::Name, i)); }
    CMT_IMAGE_TABLES(CMT_VIEW)
#undef CMT_VIEW

    // CA port p (0, 1) and SFP k (0, 1) inside CA detail entry ca.
    CMT_CAPort CAPort(std::size_t ca, std::size_t p) const;
    CMT_CAPortW CAPortW(std::size_t ca, std::size_t p);
    CMT_SFP SFP(std::size_t ca, std::size_t k) const;
    // CM memory n (0-5) of CM position cm (0-7).
    CMT_CMMemory CMMemory(std::size_t cm, std::size_t n) const;

    // Counts carried beside the tables.
    std::uint32_t TableUpdateCount() const { return MgmtInfo().TableUpdateCount(); }
    std::uint16_t HostCount = 0;
    std::uint16_t iSCSIHostCount = 0;
    std::uint16_t RemotePathCount = 0;
    std::uint16_t ConnectionMapCount = 0;

    // Firmware: current generation (0 = none) and two further bytes; the
    // version texts of generation n (1-8) are FirmwareGen(n - 1).
    std::uint8_t FirmwareCurrentGeneration = 0;
    std::uint8_t FirmwareByte1 = 0;
    std::uint8_t FirmwareByte2 = 0;

    // SdpPercent of snap data pool p (0-2), slot s (0-7).
    std::uint8_t SdpPercent(std::size_t p, std::size_t s) const;

private:
    struct Store {
        std::vector<std::uint8_t> bytes;
        std::size_t entrySize = 0;
        std::size_t count = 0;
    };
    static constexpr std::size_t idx(CMT_Table t) { return static_cast<std::size_t>(t); }

    cnfg_config_mgmt_table() = default;

    Store tables_[static_cast<std::size_t>(CMT_Table::COUNT)];
    std::vector<std::uint8_t> scratch_;  // target of writes beyond a table
};
