// Conversion rules: placement keys, prefills, size mismatches, clamped
// counts, out-of-range keys, absent and unknown tables.

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "CMTBuilder.h"
#include "LogCapture.h"
#include "SMIS_CMTConvert.h"

namespace {

using B = smis::test::CMTBuilder;
using Img = cnfg_config_mgmt_table;

std::unique_ptr<Img> convert(const B& b) {
    auto img = b.image();
    EXPECT_NE(img, nullptr);
    return img;
}

TEST(SMIS_CMTConvert, BlockAloneGivesPrefilledVolumeTablesAndZeroElsewhere) {
    B b;
    b.maxCounts({.olu = 5, .slu = 6, .rlu = 3, .dlu = 4, .mlu = 2});
    auto img = convert(b);
    ASSERT_EQ(img->count(CMT_Table::OLU), 5u);
    ASSERT_EQ(img->count(CMT_Table::MLU), 2u);
    ASSERT_EQ(img->count(CMT_Table::SLU), 6u);
    ASSERT_EQ(img->count(CMT_Table::RLU), 3u);
    ASSERT_EQ(img->count(CMT_Table::DLU), 4u);
    for (std::size_t i = 0; i < 5; ++i) EXPECT_TRUE(img->OLU(i).Olun() == i && img->OLU(i).Status() == 6);
    for (std::size_t i = 0; i < 2; ++i) EXPECT_TRUE(img->MLU(i).Mlun() == i && img->MLU(i).Status() == 6);
    for (std::size_t i = 0; i < 6; ++i) EXPECT_TRUE(img->SLU(i).Slun() == i && img->SLU(i).Status() == 6);
    for (std::size_t i = 0; i < 3; ++i) EXPECT_TRUE(img->RLU(i).Rlun() == i && img->RLU(i).Status() == 3);
    for (std::size_t i = 0; i < 4; ++i) EXPECT_TRUE(img->DLU(i).Dlun() == i && img->DLU(i).Status() == 3);
    // Other tables absent from the container keep their zero fill, prefills included.
    EXPECT_EQ(img->CM(0).ItemId(), 0u);
    // Disk slots are "not installed" without a disk table: no phantom disks.
    EXPECT_EQ(img->Disk(0).Status(), 2);
    EXPECT_EQ(img->Disk(3071).Status(), 2);
    EXPECT_EQ(img->Map(1).CAModuleID(), 0);
    EXPECT_EQ(img->CE().OutletItemId(), 0u);
}

// One row per rule: what the builder adds, what the image must show.
struct Rule {
    const char* name;
    std::function<void(B&)> build;
    std::function<void(const Img&)> check;
};

void runRules(const std::vector<Rule>& rules) {
    for (const Rule& r : rules) {
        SCOPED_TRACE(r.name);
        B b;
        r.build(b);
        auto img = b.image();
        ASSERT_NE(img, nullptr);
        r.check(*img);
    }
}

TEST(SMIS_CMTConvert, PlacementAndPrefill) {
    const std::uint32_t de14 = (3u << 11) | (2u << 8);
    runRules({
        {"CM record 0x01001300 lands in entry 3; others prefilled",
         [](B& b) { b.cm(0x01001300).Status(1); },
         [](const Img& m) {
             EXPECT_EQ(m.CM(3).ItemId(), 0x01001300u);
             EXPECT_EQ(m.CM(3).Status(), 1);
             EXPECT_EQ(m.CM(0).ItemId(), 0x01001000u);
             EXPECT_EQ(m.CM(0).ModuleId(), 16);
             EXPECT_EQ(m.CM(15).ItemId(), 0x01001F00u);
             EXPECT_EQ(m.CM(15).ModuleId(), 31);
         }},
        {"CA prefill and placement by bits 8-13",
         [](B& b) { b.ca(0x10007F00).Status(1).Type(0x4001); },
         [](const Img& m) {
             EXPECT_EQ(m.CA(5).ItemId(), 0x10004500u);
             EXPECT_EQ(m.CA(5).ModuleId(), 69);
             EXPECT_EQ(m.CA(63).Type(), 0x4001);
         }},
        {"CM memory at CM x 6 + low byte; slots beyond 6 per CM and CMs beyond 8 skipped",
         [](B& b) {
             b.cmMemory(0x0B001203).Status(1).Size(1ull << 33);
             b.cmMemory(0x0B001206).Status(7);
             b.cmMemory(0x0B001800).Status(7);
         },
         [](const Img& m) {
             EXPECT_EQ(m.CMMemory(2, 3).Size(), 1ull << 33);
             EXPECT_EQ(m.CMMemory(3, 0).Status(), 0);
             EXPECT_EQ(m.CMMemory(3, 0).ItemId(), 0x0B001300u);
             for (std::size_t i = 0; i < 48; ++i) EXPECT_NE(m.CMMemory(i).Status(), 7);
         }},
        {"DE index from bits 11-15 and 8-9; a colliding item id is refused",
         [=](B& b) {
             b.de(de14).Status(1).DiskCount(12);
             b.de(de14 | 0x400).Status(9);
         },
         [](const Img& m) {
             EXPECT_EQ(m.DE(14).Status(), 1);
             EXPECT_EQ(m.DE(14).DiskCount(), 12);
             EXPECT_EQ(m.DE(13).ItemId(), 0xD0000D00u);
             EXPECT_EQ(m.DE(13).DeId(), 13);
         }},
        {"disk at DE x 24 + slot; slot 24 and above skipped; unreported disks have status 2",
         [=](B& b) {
             b.disk(de14, 0x00120005).Status(1);
             b.disk(de14, 0x00000018).Status(9);
             b.disk(de14, 0x0000001F).Status(9);
         },
         [](const Img& m) {
             EXPECT_EQ(m.Disk(14 * 24 + 5).Status(), 1);
             EXPECT_EQ(m.Disk(14 * 24 + 5).Plun(), 0x0005);
             EXPECT_EQ(m.Disk(15 * 24 + 0).Status(), 2);
             EXPECT_EQ(m.Disk(14 * 24 + 0).Status(), 2);
             EXPECT_EQ(m.Disk(3071).Status(), 2);
         }},
        {"volume numbers at or beyond the maximum count are skipped",
         [](B& b) {
             b.maxCounts({.olu = 4, .slu = 4, .rlu = 4, .dlu = 4, .mlu = 4});
             b.olu(3).Status(0).OlbaCount(100);
             b.olu(4).Status(0);
             b.slu(65535).Status(0);
             b.rlu(2).Status(0).RlbaCount(7);
         },
         [](const Img& m) {
             EXPECT_EQ(m.OLU(3).Status(), 0);
             EXPECT_EQ(m.OLU(3).OlbaCount(), 100u);
             EXPECT_EQ(m.count(CMT_Table::OLU), 4u);
             EXPECT_EQ(m.RLU(2).RlbaCount(), 7u);
             EXPECT_EQ(m.RLU(3).Status(), 3);
         }},
        {"map prefill and placement by the low byte; numbers of 128 and above skipped",
         [](B& b) {
             b.map(7).ValidCnt(2).HostWWNTableNo(0, 12).AffinityTableNo(0, 3);
             b.map(200).ValidCnt(9);
         },
         [](const Img& m) {
             EXPECT_EQ(m.Map(7).ValidCnt(), 2);
             EXPECT_EQ(m.Map(7).HostWWNTableNo(0), 12);
             EXPECT_EQ(m.Map(7).AffinityTableNo(0), 3);
             EXPECT_EQ(m.Map(9).MapNo(), 9);
             EXPECT_EQ(m.Map(9).CAModuleID(), 0x44);
             EXPECT_EQ(m.Map(9).CAPortNo(), 1);
             EXPECT_EQ(m.Map(9).LUNMappingNo(), 9);
             EXPECT_EQ(m.Map(9).HostWWNTableNo(255), 0xFFFF);
             EXPECT_EQ(m.Map(9).AffinityTableNo(255), 0xFFFF);
         }},
        {"host index 8192 skipped; the count is the record count",
         [](B& b) {
             b.host(3).ValidFlag(1);
             b.host(8192).ValidFlag(1);
         },
         [](const Img& m) {
             EXPECT_EQ(m.HostCount, 2);
             EXPECT_EQ(m.Host(3).ValidFlag(), 1);
         }},
        {"EXP and DPSU slots beyond 2 per enclosure are skipped; status 0 records too",
         [=](B& b) {
             b.exp(de14 | 1).Status(1).DETableNo(14);
             b.exp(de14 | 2).Status(9);
             b.dpsu(de14 | 1).Status(1);
             b.dpsu(de14 | 5).Status(9);
             b.dpsu(de14).Status(0).Factor(9);
         },
         [](const Img& m) {
             EXPECT_EQ(m.EXP(29).DETableNo(), 14);
             EXPECT_EQ(m.DPSU(29).Status(), 1);
             EXPECT_EQ(m.DPSU(28).Factor(), 0);
             for (std::size_t i = 0; i < 256; ++i) EXPECT_NE(m.EXP(i).Status(), 9);
             for (std::size_t i = 0; i < 256; ++i) EXPECT_NE(m.DPSU(i).Status(), 9);
         }},
        {"FAN records with status 0 or item id 0 leave their entry zero; unit 4 is beyond the table",
         [](B& b) {
             b.fan(0x00000100).Status(0).Factor(5);
             b.fan(0x00000200).Status(1);
             b.fan(0x00000400).Status(1);
             b.fan(0).Status(1);
             b.bbu(0x00000300).Status(2).Capacity(80);
             b.cpsu(0x00000600).Status(1);
         },
         [](const Img& m) {
             EXPECT_EQ(m.FAN(1).ItemId(), 0u);
             EXPECT_EQ(m.FAN(1).Factor(), 0);
             EXPECT_EQ(m.FAN(2).Status(), 1);
             EXPECT_EQ(m.FAN(0).Status(), 0);
             EXPECT_EQ(m.BBU(3).Capacity(), 80);
             for (std::size_t i = 0; i < 6; ++i) EXPECT_EQ(m.CPSU(i).Status(), 0);
         }},
        {"LUN map and affinity prefill; numbers beyond the tables skipped",
         [](B& b) {
             b.lunMap(5).Definition(1).Olun(0, 42);
             b.lunMap(128).Definition(9);
             b.affinity(2).Definition(1).GroupName("grp").NextNumber(3).Olun(511, 7);
             b.affinity(2048).Definition(9);
         },
         [](const Img& m) {
             EXPECT_EQ(m.LUNMap(5).Olun(0), 42);
             EXPECT_EQ(m.LUNMap(5).Olun(1), 0);
             EXPECT_EQ(m.LUNMap(6).LUNMappingNumber(), 6);
             EXPECT_EQ(m.LUNMap(6).Olun(511), 0xFFFF);
             EXPECT_EQ(m.Affinity(2).NextNumber(), 3);
             EXPECT_EQ(m.Affinity(2).Olun(511), 7);
             EXPECT_EQ(m.Affinity(2047).GroupNumber(), 2047);
             EXPECT_EQ(m.Affinity(2047).PrevNumber(), 0xFFFF);
             EXPECT_EQ(m.Affinity(2047).NextNumber(), 0xFFFF);
             EXPECT_EQ(m.Affinity(2047).Olun(0), 0xFFFF);
         }},
        {"TPP and LXRP prefill and bounds; LXRP sub-pool count clamped to 5",
         [](B& b) {
             b.tpp(7).MemDiskCnt(4).LxrpNumber(1);
             b.tpp(256).MemDiskCnt(9);
             b.lxrp(1).ValidFlag(1).SubPoolCnt(200).SubPoolNumber(4, 7);
             b.lxrp(64).ValidFlag(9);
         },
         [](const Img& m) {
             EXPECT_EQ(m.TPP(7).MemDiskCnt(), 4);
             EXPECT_EQ(m.TPP(0).PoolNumber(), 0);
             EXPECT_EQ(m.TPP(255).PoolNumber(), 255);
             EXPECT_EQ(m.LXRP(1).SubPoolCnt(), 5);
             EXPECT_EQ(m.LXRP(1).SubPoolNumber(4), 7);
             EXPECT_EQ(m.LXRP(63).PoolNumber(), 63);
             EXPECT_EQ(m.LXRP(0).ValidFlag(), 0);
         }},
        {"firmware: generation 0 stores no versions, generation 9 is beyond the table",
         [](B& b) { b.firmware().CurrentGeneration(9).Version1("V1"); },
         [](const Img& m) {
             EXPECT_EQ(m.FirmwareCurrentGeneration, 9);
             for (std::size_t g = 0; g < Img::FIRMWARE_GENERATIONS; ++g) EXPECT_EQ(m.FirmwareGen(g).Version1()[0], 0);
         }},
        {"remote paths clamped to 16, connection map to 128",
         [](B& b) {
             for (int i = 0; i < 17; ++i) b.remotePath().BoxID("BOX" + std::to_string(i));
             for (int i = 0; i < 129; ++i) b.connectionMap().RemotePathNo(static_cast<std::uint8_t>(i));
         },
         [](const Img& m) {
             EXPECT_EQ(m.RemotePathCount, 16);
             EXPECT_EQ(m.RemotePath(15).BoxID().substr(0, 5), "BOX15");
             EXPECT_EQ(m.ConnectionMapCount, 128);
             EXPECT_EQ(m.ConnectionMap(127).RemotePathNo(), 127);
         }},
        {"tables 39 and 40 store only records marked 1, at their numbers",
         [](B& b) {
             b.table39(4).Byte1(7);
             std::uint8_t* r = b.addRecord(0x27);
             r[0] = 0;
             r[2] = 5;
             b.table40(3).Byte2(8);
         },
         [](const Img& m) {
             EXPECT_EQ(m.Table39(4).Valid(), 1);
             EXPECT_EQ(m.Table39(4).Byte1(), 7);
             EXPECT_EQ(m.Table39(5).Valid(), 0);
             EXPECT_EQ(m.Table39(5).Number(), 5);
             EXPECT_EQ(m.Table40(3).Byte2(), 8);
             EXPECT_EQ(m.Table40(4).Number(), 4);
         }},
        {"LAN port record bytes 8-23 become the first LAN port entry",
         [](B& b) { b.lan().MasterIP({10, 0, 0, 1}).SlaveIP({10, 0, 0, 2}); },
         [](const Img& m) {
             EXPECT_EQ(m.LanPort(0).MasterIP(), (std::array<std::uint8_t, 4>{10, 0, 0, 1}));
             EXPECT_EQ(m.LanPort(0).SlaveIP(), (std::array<std::uint8_t, 4>{10, 0, 0, 2}));
             EXPECT_EQ(m.LanPort(1).MasterIP()[0], 0);
         }},
    });
}

TEST(SMIS_CMTConvert, RecordSizeMismatches) {
    runRules({
        {"short records read as zero beyond their end",
         [](B& b) {
             b.setElementSize(0x0a, 48);
             b.olu(1).Status(0).SluCount(2).Slun(15, 9).Slun(16, 10).Name("CUT");
         },
         [](const Img& m) {
             EXPECT_EQ(m.OLU(1).SluCount(), 2);
             EXPECT_EQ(m.OLU(1).Slun(15), 9);
             EXPECT_EQ(m.OLU(1).Slun(16), 0);
             EXPECT_EQ(m.OLU(1).Name()[0], 0);
         }},
        {"longer records are read at their own size, the first L bytes used",
         [](B& b) {
             b.setElementSize(0x02, 48);
             b.cm(0x01001100).Status(4);
             b.cm(0x01001200).Status(5);
         },
         [](const Img& m) {
             EXPECT_EQ(m.CM(1).Status(), 4);
             EXPECT_EQ(m.CM(2).Status(), 5);
         }},
        {"an RLU record of 640 bytes fills a 672-byte entry whose last 32 bytes stay zero",
         [](B& b) {
             std::uint8_t* r = b.rlu(1).Status(0).Slun(255, 0x1234).Name("RG1").bytes();
             std::memset(r + 616, 0xEE, 24);
         },
         [](const Img& m) {
             EXPECT_EQ(m.entrySize(CMT_Table::RLU), 672u);
             EXPECT_EQ(m.RLU(1).Slun(255), 0x1234);
             const std::uint8_t* e = m.RLU(1).bytes();
             for (std::size_t i = 616; i < 672; ++i) EXPECT_EQ(e[i], 0) << i;
         }},
    });
    smis::test::LogCapture logs;
    B b;
    b.setElementSize(0x0a, 48).olu(1);
    b.image();
    EXPECT_TRUE(logs.hasLog("Table size has mismatching"));
}

TEST(SMIS_CMTConvert, MaximumCountsAreClamped) {
    B b;
    b.maxCounts({.olu = 100000, .slu = 0xFFFFFFFF, .rlu = 65536, .dlu = 1, .mlu = 70000, .cm = 40,
                 .affinityGroups = 5000, .hosts = 9000});
    auto g = b.block();
    ASSERT_NE(g, nullptr);
    EXPECT_EQ(g->OLUMaxCount(), 65536u);
    EXPECT_EQ(g->SLUMaxCount(), 65536u);
    EXPECT_EQ(g->RLUMaxCount(), 65536u);
    EXPECT_EQ(g->MLUMaxCount(), 65536u);
    EXPECT_EQ(g->CMMaxCount(), 16u);
    EXPECT_EQ(g->AffinityGrpMaxCount(), 2048u);
    EXPECT_EQ(g->HostMaxCount(), 8192u);
}

TEST(SMIS_CMTConvert, AbsentUnknownAndIgnoredTables) {
    smis::test::LogCapture logs;
    B b;
    // Present tables without records still get their prefill: an empty map
    // table's host slots name no host and no group.
    b.addEmptyTable(0x02);
    b.addEmptyTable(0x0e);
    b.addRecord(0x0f)[0] = 0x55;
    b.addRecord(0x2f);
    b.addRecord(0x00);
    auto img = b.image();
    ASSERT_NE(img, nullptr);
    EXPECT_EQ(img->CM(3).ItemId(), 0x01001300u);
    EXPECT_EQ(img->CM(3).ModuleId(), 0x13);
    EXPECT_EQ(img->Map(7).CAModuleID(), 0x43);
    EXPECT_EQ(img->Map(7).HostWWNTableNo(0), 0xFFFF);
    EXPECT_EQ(img->Map(7).AffinityTableNo(255), 0xFFFF);
    EXPECT_FALSE(logs.hasLog("Table size has mismatching"));
    EXPECT_TRUE(logs.hasLog("non supported TableId(47),discard it"));
    EXPECT_TRUE(logs.hasLog("non supported TableId(0),discard it"));

    B noBlock;
    noBlock.omitMaxCounts().cm(0x01001000);
    EXPECT_EQ(noBlock.block(), nullptr);
    B emptyBlock;
    emptyBlock.omitMaxCounts().addEmptyTable(0x01);
    EXPECT_EQ(emptyBlock.block(), nullptr);
}

TEST(SMIS_CMTConvert, ImageReadsBeyondATableSeeZeroAndWritesGoNowhere) {
    B b;
    b.maxCounts({.olu = 2});
    auto img = convert(b);
    EXPECT_EQ(img->OLU(2).Olun(), 0);
    EXPECT_EQ(img->OLU(100000).Status(), 0);
    img->OLUW(5).Status(1);
    EXPECT_EQ(img->OLU(1).Status(), 6);
    EXPECT_EQ(img->CAPort(0, 2).Status(), 0);
    EXPECT_EQ(img->SFP(0, 2).PartsNo()[0], 0);
    EXPECT_EQ(img->CMMemory(8, 0).ItemId(), 0u);
    EXPECT_EQ(img->SdpPercent(3, 0), 0);
}

}  // namespace
