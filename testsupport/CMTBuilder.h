#pragma once
// Builds configuration tables for tests, record by record, the way an array
// sends them: a container (SMIS_CMT) with the maximum-count block (id 1) and
// one table per id that received records, its file bytes, a cmf file in the
// install directory, or the converted image.
//
//   smis::test::TempInstallDir dir;
//   smis::test::CMTBuilder b;
//   b.maxCounts({.olu = 8, .slu = 8, .rlu = 4, .dlu = 4, .mlu = 8});
//   b.cm(0x01001000).Status(1).ModuleId(0x10).LANRole(1);
//   b.rlu(2).Status(0).RaidLevel(5).RlbaCount(1 << 20).Name("RG2");
//   b.olu(3).Status(0).SluCount(1).Slun(0, 3).OlbaCount(4096).Name("VOL3");
//   b.installCmf("10.0.0.1");                 // <install>/data/10.0.0.1.cmf
//   auto img = b.image();                     // or convert in memory
//
// Every adder appends one record to its table and returns a write view of
// it (CMT_Layout.h); views stay valid while the builder lives. The keys that
// place a record (item ids, numbers, indexes) are taken as arguments and
// written into the record. Records are element-size long (the table's
// expected size unless setElementSize changed it). Text setters pad with
// blanks; pass "#"-padded text where the array pads with "#" (SeriesName,
// ModelName, SerialNumber of the system record).

#include <cstddef>
#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "CMM_CMT_GLOBAL_VAL_ELEM.h"
#include "CMT_Layout.h"
#include "SMIS_CMT.h"
#include "cnfg_config_mgmt_table.h"

namespace smis::test {

class CMTBuilder {
public:
    struct MaxCounts {
        std::uint32_t olu = 16;
        std::uint32_t slu = 16;
        std::uint32_t rlu = 16;
        std::uint32_t dlu = 16;
        std::uint32_t mlu = 16;
        std::uint32_t cm = 2;
        std::uint32_t affinityGroups = 2048;
        std::uint32_t hosts = 8192;
    };

    CMTBuilder();

    // ---- id 1: maximum-count block ----
    CMTBuilder& maxCounts(const MaxCounts& m);
    CMT_GlobalW global();

    // ---- unit tables, placed by item id ----
    CMT_CMW cm(std::uint32_t itemId);                 // id 2
    CMT_CAW ca(std::uint32_t itemId);                 // id 3
    CMT_CMMemoryW cmMemory(std::uint32_t itemId);     // id 5
    CMT_DEW de(std::uint32_t itemId);                 // id 7
    CMT_DiskRecordW disk(std::uint32_t itemId, std::uint32_t location);  // id 8
    CMT_SensorRecordW deInlet(std::uint32_t itemId);  // id 22
    CMT_SensorRecordW deOutlet(std::uint32_t itemId); // id 23
    CMT_CMDetailRecordW cmDetail(std::uint8_t masterCPUMid);  // id 24
    CMT_CADetailRecordW caDetail(std::uint32_t itemId);       // id 27
    static CMT_CAPortW caPort(const CMT_CADetailRecordW& detail, std::size_t port);
    static CMT_SFPW sfp(const CMT_CADetailRecordW& detail, std::size_t k);
    CMT_UnitW fan(std::uint32_t itemId);              // id 28
    CMT_UnitW cpsu(std::uint32_t itemId);             // id 32
    CMT_EXPW exp(std::uint32_t itemId);               // id 33
    CMT_DPSUW dpsu(std::uint32_t itemId);             // id 34
    CMT_BBUW bbu(std::uint32_t itemId);               // id 38

    // ---- single-record tables (the first call adds the record, later calls return it) ----
    CMT_MgmtInfoW mgmtInfo();        // id 4
    CMT_CERecordW ce();              // id 6
    CMT_SysW sys();                  // id 9
    CMT_FirmwareRecordW firmware();  // id 18
    CMT_SensorRecordW ceInlet();     // id 20
    CMT_SensorRecordW ceOutlet();    // id 21
    CMT_ManagementW management();    // id 37
    CMT_SDPW sdp();                  // id 44
    CMT_LanRecordW lan();            // id 46

    // ---- numbered tables, placed at their number ----
    CMT_OLUW olu(std::uint16_t number);       // id 10
    CMT_SLUW slu(std::uint16_t number);       // id 11
    CMT_RLUW rlu(std::uint16_t number);       // id 12
    CMT_DLUW dlu(std::uint16_t number);       // id 13
    CMT_MapW map(std::uint16_t number);       // id 14
    CMT_HostRecordW host(std::uint16_t index);            // id 16
    CMT_iSCSIHostRecordW iscsiHost(std::uint16_t index);  // id 17
    CMT_MLUW mlu(std::uint16_t number);       // id 26
    CMT_LUNMapW lunMap(std::uint16_t number); // id 35
    CMT_AffinityW affinity(std::uint16_t number);  // id 36
    CMT_Table39W table39(std::uint16_t number);    // id 39 (Valid set to 1)
    CMT_Table40W table40(std::uint8_t number);     // id 40 (Valid set to 1)
    CMT_TPPW tpp(std::uint16_t number);       // id 43
    CMT_LXRPW lxrp(std::uint8_t number);      // id 45

    // ---- tables in record order ----
    CMT_RemotePathW remotePath();        // id 41
    CMT_ConnectionMapW connectionMap();  // id 42

    // ---- raw access, for malformed and unusual tables ----
    // Appends a zeroed record to any table id (0-255) and returns its bytes.
    std::uint8_t* addRecord(std::uint8_t tableId);
    // Element size written for a table (default: the expected record size,
    // 16 for ids without one). Records are cut or zero-padded to it.
    CMTBuilder& setElementSize(std::uint8_t tableId, std::uint32_t size);
    // Adds an index entry with count 0 for the id (an empty table).
    CMTBuilder& addEmptyTable(std::uint8_t tableId);
    // Leaves out the id 1 table.
    CMTBuilder& omitMaxCounts();

    // ---- results ----
    SMIS_CMT container() const;
    std::vector<std::uint8_t> bytes() const;
    // Writes the cmf file of the address into $SMIS_INSTALL_DIR/data (made
    // when missing); returns its path. Fails the current test on error.
    std::string installCmf(const std::string& address) const;
    // Writes any container as the cache file of that kind (SMIS_CMTFile::KIND_*)
    // for the address; for status and copy-session files built by hand.
    static std::string installFile(const std::string& address, int fileKind, SMIS_CMT& cmt);
    // The converted block and image, as the cache would build them.
    std::unique_ptr<CMM_CMT_GLOBAL_VAL_ELEM> block() const;
    std::unique_ptr<cnfg_config_mgmt_table> image() const;

private:
    struct Table {
        std::uint32_t elementSize = 0;
        bool empty = false;
        std::deque<std::vector<std::uint8_t>> records;
    };
    std::uint8_t* append(std::uint8_t tableId, std::size_t layoutSize);
    std::uint8_t* single(std::uint8_t tableId, std::size_t layoutSize);

    std::map<std::uint8_t, Table> tables_;
    bool omitBlock_ = false;
};

}  // namespace smis::test
