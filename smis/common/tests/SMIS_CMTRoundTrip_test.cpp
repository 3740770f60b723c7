// Builder -> cmf file -> read -> convert: every field of every table id
// arrives in the image unchanged, and the read container rewrites to the
// same bytes.

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <functional>
#include <iterator>
#include <random>
#include <set>
#include <span>
#include <string>
#include <vector>

#include "CMTBuilder.h"
#include "SMIS_CMTConvert.h"
#include "SMIS_CMTFile.h"
#include "TempInstallDir.h"

namespace {

using Fields = std::span<const CMT_FieldDesc>;
using B = smis::test::CMTBuilder;

template <class Layout>
Fields fieldsOf() {
    return Fields(Layout::FIELD_LIST, std::size(Layout::FIELD_LIST));
}

struct Case {
    std::uint8_t id;
    std::function<std::uint8_t*(B&)> add;  // adds the record, key fields set
    Fields recordFields;
    std::set<std::string> keys;            // fields not filled at random
    CMT_Table table;
    std::size_t index;                     // where the record must land
    Fields entryFields;
    std::function<void(std::uint8_t*)> fix = nullptr;  // values that decide whether a record is stored
};

const CMT_FieldDesc* find(Fields fields, const char* name) {
    for (const CMT_FieldDesc& f : fields)
        if (std::strcmp(f.name, name) == 0) return &f;
    return nullptr;
}

void fillRandom(std::uint8_t* rec, Fields fields, const std::set<std::string>& keys, std::mt19937& rng) {
    for (const CMT_FieldDesc& f : fields) {
        if (keys.count(f.name)) continue;
        for (std::size_t k = 0; k < f.count; ++k)
            for (std::size_t i = 0; i < f.size; ++i) rec[f.offset + k * f.stride + i] = static_cast<std::uint8_t>(rng());
    }
}

// Compares every field of the entry layout with the record's field of the same name.
void expectSameFields(const std::uint8_t* rec, Fields recFields, const std::uint8_t* ent, Fields entFields,
                      const std::string& what) {
    std::size_t compared = 0;
    for (const CMT_FieldDesc& ef : entFields) {
        const CMT_FieldDesc* rf = find(recFields, ef.name);
        if (!rf) continue;
        ++compared;
        for (std::size_t k = 0; k < ef.count; ++k)
            EXPECT_EQ(0, std::memcmp(rec + rf->offset + k * rf->stride, ent + ef.offset + k * ef.stride, ef.size))
                << what << " field " << ef.name << "[" << k << "]";
    }
    EXPECT_GT(compared, 0u) << what;
}

std::vector<Case> cases() {
    const std::uint32_t de14 = (3u << 11) | (2u << 8);  // DE index 3 x 4 + 2 = 14
    auto nonZeroStatus = [](std::uint8_t* r) { r[4] |= 1; };
    return {
        {0x02, [](B& b) { return b.cm(0x01001300).bytes(); }, fieldsOf<CMT_CM>(), {"ItemId"}, CMT_Table::CM, 3,
         fieldsOf<CMT_CM>()},
        {0x03, [](B& b) { return b.ca(0x10004500).bytes(); }, fieldsOf<CMT_CA>(), {"ItemId"}, CMT_Table::CA, 5,
         fieldsOf<CMT_CA>()},
        {0x04, [](B& b) { return b.mgmtInfo().bytes(); }, fieldsOf<CMT_MgmtInfo>(), {}, CMT_Table::MgmtInfo, 0,
         fieldsOf<CMT_MgmtInfo>()},
        {0x05, [](B& b) { return b.cmMemory(0x0B001104).bytes(); }, fieldsOf<CMT_CMMemory>(), {"ItemId"},
         CMT_Table::CMMemory, 10, fieldsOf<CMT_CMMemory>()},
        {0x06, [](B& b) { return b.ce().bytes(); }, fieldsOf<CMT_CERecord>(), {}, CMT_Table::CE, 0,
         fieldsOf<CMT_CE>()},
        {0x07, [=](B& b) { return b.de(de14).bytes(); }, fieldsOf<CMT_DE>(), {"ItemId"}, CMT_Table::DE, 14,
         fieldsOf<CMT_DE>()},
        {0x08, [=](B& b) { return b.disk(de14 | 0x77, 0x00AB0017).bytes(); }, fieldsOf<CMT_DiskRecord>(),
         {"ItemId", "Location"}, CMT_Table::Disk, 14 * 24 + 23, fieldsOf<CMT_Disk>()},
        {0x09, [](B& b) { return b.sys().bytes(); }, fieldsOf<CMT_Sys>(), {}, CMT_Table::Sys, 0, fieldsOf<CMT_Sys>()},
        {0x0a, [](B& b) { return b.olu(9).bytes(); }, fieldsOf<CMT_OLU>(), {"Olun"}, CMT_Table::OLU, 9,
         fieldsOf<CMT_OLU>()},
        {0x0b, [](B& b) { return b.slu(10).bytes(); }, fieldsOf<CMT_SLU>(), {"Slun"}, CMT_Table::SLU, 10,
         fieldsOf<CMT_SLU>()},
        {0x0c, [](B& b) { return b.rlu(11).bytes(); }, fieldsOf<CMT_RLU>(), {"Rlun"}, CMT_Table::RLU, 11,
         fieldsOf<CMT_RLU>()},
        {0x0d, [](B& b) { return b.dlu(12).bytes(); }, fieldsOf<CMT_DLU>(), {"Dlun"}, CMT_Table::DLU, 12,
         fieldsOf<CMT_DLU>()},
        {0x0e, [](B& b) { return b.map(77).bytes(); }, fieldsOf<CMT_Map>(), {"MapNo"}, CMT_Table::Map, 77,
         fieldsOf<CMT_Map>()},
        {0x10, [](B& b) { return b.host(8191).bytes(); }, fieldsOf<CMT_HostRecord>(), {"Index"}, CMT_Table::Host,
         8191, fieldsOf<CMT_Host>()},
        {0x11, [](B& b) { return b.iscsiHost(4000).bytes(); }, fieldsOf<CMT_iSCSIHostRecord>(), {"Index"},
         CMT_Table::iSCSIHost, 4000, fieldsOf<CMT_iSCSIHost>()},
        {0x12, [](B& b) { return b.firmware().CurrentGeneration(3).bytes(); }, fieldsOf<CMT_FirmwareRecord>(),
         {"CurrentGeneration"}, CMT_Table::FirmwareGen, 2, fieldsOf<CMT_FirmwareGeneration>()},
        {0x16, [=](B& b) { return b.deInlet(de14).bytes(); }, fieldsOf<CMT_SensorRecord>(), {"ItemId"},
         CMT_Table::DEInlet, 14, fieldsOf<CMT_DESensor>()},
        {0x17, [=](B& b) { return b.deOutlet(de14 + 0x100).bytes(); }, fieldsOf<CMT_SensorRecord>(), {"ItemId"},
         CMT_Table::DEOutlet, 15, fieldsOf<CMT_DESensor>()},
        {0x18, [](B& b) { return b.cmDetail(0x0D).bytes(); }, fieldsOf<CMT_CMDetailRecord>(), {"MasterCPUMid"},
         CMT_Table::CMDetail, 5, fieldsOf<CMT_CMDetail>()},
        {0x1a, [](B& b) { return b.mlu(13).bytes(); }, fieldsOf<CMT_MLU>(), {"Mlun"}, CMT_Table::MLU, 13,
         fieldsOf<CMT_MLU>()},
        {0x1b, [](B& b) { return b.caDetail(0x10007F00).bytes(); }, fieldsOf<CMT_CADetailRecord>(), {"ItemId"},
         CMT_Table::CADetail, 63, fieldsOf<CMT_CADetail>()},
        {0x1c, [](B& b) { return b.fan(0x00000300).bytes(); }, fieldsOf<CMT_Unit>(), {"ItemId"}, CMT_Table::FAN, 3,
         fieldsOf<CMT_Unit>(), nonZeroStatus},
        {0x20, [](B& b) { return b.cpsu(0x00000500).bytes(); }, fieldsOf<CMT_Unit>(), {"ItemId"}, CMT_Table::CPSU,
         5, fieldsOf<CMT_Unit>(), nonZeroStatus},
        {0x21, [=](B& b) { return b.exp(de14 | 1).bytes(); }, fieldsOf<CMT_EXP>(), {"ItemId"}, CMT_Table::EXP,
         3 * 8 + 2 * 2 + 1, fieldsOf<CMT_EXP>(), nonZeroStatus},
        {0x22, [=](B& b) { return b.dpsu(de14 | 1).bytes(); }, fieldsOf<CMT_DPSU>(), {"ItemId"}, CMT_Table::DPSU,
         14 * 2 + 1, fieldsOf<CMT_DPSU>(), nonZeroStatus},
        {0x23, [](B& b) { return b.lunMap(127).bytes(); }, fieldsOf<CMT_LUNMap>(), {"LUNMappingNumber"},
         CMT_Table::LUNMap, 127, fieldsOf<CMT_LUNMap>()},
        {0x24, [](B& b) { return b.affinity(2047).bytes(); }, fieldsOf<CMT_Affinity>(), {"GroupNumber"},
         CMT_Table::Affinity, 2047, fieldsOf<CMT_Affinity>()},
        {0x25, [](B& b) { return b.management().bytes(); }, fieldsOf<CMT_Management>(), {}, CMT_Table::Management,
         0, fieldsOf<CMT_Management>()},
        {0x26, [](B& b) { return b.bbu(0x00000100).bytes(); }, fieldsOf<CMT_BBU>(), {"ItemId"}, CMT_Table::BBU, 1,
         fieldsOf<CMT_BBU>(), nonZeroStatus},
        {0x27, [](B& b) { return b.table39(511).bytes(); }, fieldsOf<CMT_Table39>(), {"Valid", "Number"},
         CMT_Table::Table39, 511, fieldsOf<CMT_Table39>()},
        {0x28, [](B& b) { return b.table40(100).bytes(); }, fieldsOf<CMT_Table40>(), {"Valid", "Number"},
         CMT_Table::Table40, 100, fieldsOf<CMT_Table40>()},
        {0x29, [](B& b) { return b.remotePath().bytes(); }, fieldsOf<CMT_RemotePath>(), {}, CMT_Table::RemotePath,
         0, fieldsOf<CMT_RemotePath>()},
        {0x2a, [](B& b) { return b.connectionMap().bytes(); }, fieldsOf<CMT_ConnectionMap>(), {},
         CMT_Table::ConnectionMap, 0, fieldsOf<CMT_ConnectionMap>()},
        {0x2b, [](B& b) { return b.tpp(255).bytes(); }, fieldsOf<CMT_TPP>(), {"PoolNumber"}, CMT_Table::TPP, 255,
         fieldsOf<CMT_TPP>()},
        {0x2c, [](B& b) { return b.sdp().bytes(); }, fieldsOf<CMT_SDP>(), {}, CMT_Table::SDP, 0, fieldsOf<CMT_SDP>()},
        {0x2d, [](B& b) { return b.lxrp(63).bytes(); }, fieldsOf<CMT_LXRP>(), {"PoolNumber"}, CMT_Table::LXRP, 63,
         fieldsOf<CMT_LXRP>(), [](std::uint8_t* r) { r[4] %= 6; }},
        {0x2e, [](B& b) { return b.lan().bytes(); }, fieldsOf<CMT_LanRecord>(), {}, CMT_Table::LanPort, 0,
         fieldsOf<CMT_LanPort>()},
    };
}

std::vector<std::uint8_t> readBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

TEST(SMIS_CMTRoundTrip, EveryFieldOfEveryTableReachesTheImage) {
    smis::test::TempInstallDir dir;
    std::mt19937 rng(20261209);
    B b;
    b.maxCounts({.olu = 40, .slu = 41, .rlu = 42, .dlu = 43, .mlu = 44, .cm = 16, .affinityGroups = 100, .hosts = 300});
    b.global().Word4(0x44444444);
    const std::vector<Case> all = cases();
    std::vector<std::uint8_t*> records;
    for (const Case& c : all) {
        std::uint8_t* rec = c.add(b);
        fillRandom(rec, c.recordFields, c.keys, rng);
        if (c.fix) c.fix(rec);
        records.push_back(rec);
    }
    // The sensors of the controller enclosure and the CA ports and SFPs.
    b.ceInlet().ItemId(0x11111111).Status(0x2222).Factor(0x3333);
    b.ceOutlet().ItemId(0x44444444).Status(0x5555).Factor(0x6666);
    CMT_CADetailRecordW detail(records[20]);
    for (std::size_t p = 0; p < 2; ++p) {
        fillRandom(B::caPort(detail, p).bytes(), fieldsOf<CMT_CAPort>(), {}, rng);
        fillRandom(B::sfp(detail, p).bytes(), fieldsOf<CMT_SFP>(), {}, rng);
    }

    const std::string path = b.installCmf("192.168.0.10");
    SMIS_CMTPtr cmt;
    ASSERT_EQ(SMIS_CMTFile::ReadCMTFilePath(path, cmt), SMIS_CMTFile::OK);
    ASSERT_NE(cmt, nullptr);

    // Every table id the array sends, plus the block, is in the file once.
    std::set<unsigned> ids;
    for (const SMIS_INDEX& e : cmt->index) ids.insert(e.TableId);
    EXPECT_EQ(ids.size(), all.size() + 3);

    // Rewriting the container gives the same bytes.
    std::vector<std::uint8_t> original = readBytes(path);
    EXPECT_EQ(SMIS_CMTCodec::encode(*cmt), original);

    auto block = SMIS_CMTConvert::ConvertCMTFile2Global(*cmt);
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(block->OLUMaxCount(), 40u);
    EXPECT_EQ(block->SLUMaxCount(), 41u);
    EXPECT_EQ(block->RLUMaxCount(), 42u);
    EXPECT_EQ(block->DLUMaxCount(), 43u);
    EXPECT_EQ(block->MLUMaxCount(), 44u);
    EXPECT_EQ(block->CMMaxCount(), 16u);
    EXPECT_EQ(block->AffinityGrpMaxCount(), 100u);
    EXPECT_EQ(block->HostMaxCount(), 300u);
    EXPECT_EQ(block->word(4), 0x44444444u);

    auto img = SMIS_CMTConvert::ConvertCMTFile2CMT(*cmt, *block);
    ASSERT_NE(img, nullptr);
    for (std::size_t i = 0; i < all.size(); ++i) {
        const Case& c = all[i];
        expectSameFields(records[i], c.recordFields, img->entry(c.table, c.index), c.entryFields,
                         "table id " + std::to_string(c.id));
    }
    // Fields that move or change on the way.
    EXPECT_EQ(img->Disk(14 * 24 + 23).Plun(), 0x0017);
    EXPECT_EQ(img->Disk(14 * 24 + 23).bytes()[10], 0);
    EXPECT_EQ(img->FirmwareCurrentGeneration, 3);
    EXPECT_EQ(img->CE().InletItemId(), 0x11111111u);
    EXPECT_EQ(img->CE().InletStatus(), 0x2222);
    EXPECT_EQ(img->CE().InletFactor(), 0x3333);
    EXPECT_EQ(img->CE().OutletItemId(), 0x44444444u);
    EXPECT_EQ(img->CE().OutletStatus(), 0x5555);
    EXPECT_EQ(img->CE().OutletFactor(), 0x6666);
    EXPECT_EQ(img->HostCount, 1);
    EXPECT_EQ(img->iSCSIHostCount, 1);
    EXPECT_EQ(img->RemotePathCount, 1);
    EXPECT_EQ(img->ConnectionMapCount, 1);
    for (std::size_t p = 0; p < 2; ++p) {
        expectSameFields(B::caPort(detail, p).bytes(), fieldsOf<CMT_CAPort>(), img->CAPort(63, p).bytes(),
                         fieldsOf<CMT_CAPort>(), "CA port " + std::to_string(p));
        expectSameFields(B::sfp(detail, p).bytes(), fieldsOf<CMT_SFP>(), img->SFP(63, p).bytes(), fieldsOf<CMT_SFP>(),
                         "SFP " + std::to_string(p));
    }
    CMT_SDP sdp(records[34]);
    EXPECT_EQ(img->SdpPercent(2, 7), sdp.SdpPercent(23));
    EXPECT_EQ(img->TableUpdateCount(), CMT_MgmtInfo(records[2]).TableUpdateCount());
}

}  // namespace
