// The pool engines' level rules over a small table image: level tables,
// supported sizes, disks per group for a size, the disk pick, free disks,
// the command letter tables and the thin-pool attribute of a disk kind.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "CMTBuilder.h"
#include "Pool_Command_Result.h"
#include "Pool_Disk_Rules.h"
#include "SMIS_CMTAccess.h"
#include "TAVO_SMISProviderRAIDGroupConfiguration.h"
#include "TAVO_SMISProviderTPPConfiguration.h"
#include "TempInstallDir.h"

using namespace cimple;

namespace {

constexpr const char* STORAGE = "10.0.0.7";
constexpr std::uint64_t BLOCKS = 1000;
constexpr std::uint64_t C = BLOCKS * 512;  // bytes of one disk of code 0x10

struct Disk {
    std::uint16_t plu;
    std::uint16_t code = 0x10;
    std::uint64_t blocks = BLOCKS;
    std::uint16_t status = 0;
    std::uint8_t usage = 5;
    std::uint16_t dlun = 0xFFFF;
};

std::vector<std::uint16_t> v16(const Array<std::uint16_t>& a)
{
    return std::vector<std::uint16_t>(a.data(), a.data() + a.size());
}

std::vector<std::uint64_t> v64(const Array<uint64>& a)
{
    return std::vector<std::uint64_t>(a.data(), a.data() + a.size());
}

Array<std::uint16_t> plusOf(const std::vector<Disk>& disks)
{
    Array<std::uint16_t> out;
    for (const Disk& d : disks)
        out.append(d.plu);
    return out;
}

// n disks of one group, one per enclosure of the list (cycled).
std::vector<Disk> spread(std::size_t n, std::vector<std::uint8_t> enclosures, std::uint16_t code = 0x10,
                         std::uint64_t blocks = BLOCKS, std::uint8_t firstSlot = 0)
{
    std::vector<Disk> out;
    for (std::size_t i = 0; i < n; ++i) {
        Disk d;
        d.plu = static_cast<std::uint16_t>(enclosures[i % enclosures.size()] << 8 | (firstSlot + i));
        d.code = code;
        d.blocks = blocks;
        out.push_back(d);
    }
    return out;
}

// Exposes the protected level helpers of the engines.
struct Raid : TAVO_SMISProviderRAIDGroupConfiguration {
    Raid() : TAVO_SMISProviderRAIDGroupConfiguration(STORAGE) {}
    using SMISProviderPoolConfiguration::checkSupportedRAIDLevel;
    using SMISProviderPoolConfiguration::getCLIRaidLevel;
    using SMISProviderPoolConfiguration::getSupportedSize;
    using SMISProviderPoolConfiguration::getUseDiskListOf;
};

struct Thin : TAVO_SMISProviderTPPConfiguration {
    Thin() : TAVO_SMISProviderTPPConfiguration(STORAGE) {}
    using SMISProviderPoolConfiguration::checkSupportedRAIDLevel;
    using SMISProviderPoolConfiguration::getCLIRaidLevel;
    using SMISProviderPoolConfiguration::getSupportedSize;
    void setMembers(std::uint8_t m) { _memberDiskCount = m; }
};

class PoolRules : public ::testing::Test {
protected:
    void SetUp() override { SMIS_CMTAccess::destroy(); }
    void TearDown() override { SMIS_CMTAccess::destroy(); }

    void install(const std::vector<Disk>& disks, std::uint16_t groupDlun = 0xFFFF)
    {
        SMIS_CMTAccess::destroy();
        smis::test::CMTBuilder b;
        b.maxCounts({.olu = 4, .slu = 4, .rlu = 4, .dlu = 4, .mlu = 4});
        for (const Disk& d : disks)
            b.disk(0x80000000u | d.plu, d.plu)
                .Status(d.status)
                .Usage(d.usage)
                .Dlun(d.dlun)
                .Capacity(d.code)
                .Kind(1)
                .WholeBlockCount(d.blocks);
        if (groupDlun != 0xFFFF)
            b.dlu(groupDlun).Dlun(groupDlun).Rlun(1);
        b.installCmf(STORAGE);
        dir.writeEnv({std::string("StorageIP=") + STORAGE});
    }

    // Sizes of a level over a disk manager of all the disks.
    template <class Engine>
    std::vector<std::uint64_t> sizes(Engine& engine, const char* level, const std::vector<Disk>& disks)
    {
        install(disks);
        SMISProviderDiskManager dm(plusOf(disks), STORAGE);
        Array<uint64> out;
        EXPECT_EQ(0u, engine.getSupportedSize(level, &dm, out)) << level;
        return v64(out);
    }

    smis::test::TempInstallDir dir;
};

TEST_F(PoolRules, LevelTablesOfBothEngines)
{
    Raid raid;
    Thin thin;
    const struct {
        const char* level;
        int raidMin, raidMax, thinMin, thinMax, cliCode;
        bool thinAccepts;
    } rows[] = {
        {"0", 2, 16, 4, 4, 0, true},    {"1", 2, 2, 2, 2, 1, true},   {"1+0", 4, 32, 4, 24, 10, true},
        {"5", 3, 16, 4, 13, 5, true},   {"6", 5, 16, 6, 10, 6, true}, {"5+0", 6, 32, -1, -1, 50, false},
        {"10", -1, -1, -1, -1, -1, false},
    };
    for (const auto& r : rows) {
        EXPECT_EQ(r.raidMin, raid.getMinSetDisk(r.level)) << r.level;
        EXPECT_EQ(r.raidMax, raid.getMaxSetDisk(r.level)) << r.level;
        EXPECT_EQ(r.thinMin, thin.getMinSetDisk(r.level)) << r.level;
        EXPECT_EQ(r.thinMax, thin.getMaxSetDisk(r.level)) << r.level;
        EXPECT_EQ(r.cliCode, raid.getCLIRaidLevel(r.level)) << r.level;
        EXPECT_EQ(r.thinAccepts ? r.cliCode : -1, thin.getCLIRaidLevel(r.level)) << r.level;
        EXPECT_EQ(r.raidMin > 0, raid.checkSupportedRAIDLevel(r.level)) << r.level;
        EXPECT_EQ(r.thinAccepts, thin.checkSupportedRAIDLevel(r.level)) << r.level;
    }
    Array<String> levels;
    raid.getDefaultRAIDLevelList(levels);
    ASSERT_EQ(4u, levels.size());
    EXPECT_EQ(std::string("1+0"), levels[0].c_str());
    EXPECT_EQ(std::string("6"), levels[3].c_str());
    thin.getDefaultRAIDLevelList(levels);
    EXPECT_EQ(4u, levels.size());
}

TEST_F(PoolRules, SupportedSizesFollowBucketsAndMemberCounts)
{
    Raid raid;
    Thin thin;
    // RAID5 takes one disk per bucket: enclosures 0x00 and 0x01 share one
    // bucket, 0x00 and 0x10 make two; three buckets give one size.
    EXPECT_TRUE(sizes(raid, "5", spread(8, {0x00, 0x01})).empty());
    EXPECT_TRUE(sizes(raid, "5", spread(8, {0x00, 0x10})).empty());
    EXPECT_EQ((std::vector<std::uint64_t>{2 * C}), sizes(raid, "5", spread(3, {0x00, 0x10, 0x20})));
    EXPECT_EQ((std::vector<std::uint64_t>{2 * C, 3 * C}), sizes(raid, "5", spread(4, {0x00, 0x10, 0x20, 0x08})));
    // RAID6 takes two per bucket: five disks over three buckets.
    EXPECT_EQ((std::vector<std::uint64_t>{3 * C}), sizes(raid, "6", spread(5, {0x00, 0x10, 0x20})));
    EXPECT_EQ((std::vector<std::uint64_t>{C}), sizes(raid, "1", spread(2, {0x00, 0x10})));
    EXPECT_TRUE(sizes(raid, "1", spread(2, {0x00, 0x01})).empty());
    EXPECT_EQ((std::vector<std::uint64_t>{2 * C, 3 * C, 4 * C}), sizes(raid, "1+0", spread(8, {0x00, 0x10})));
    EXPECT_EQ((std::vector<std::uint64_t>{2 * C, 3 * C}), sizes(raid, "0", spread(3, {0x00})));
    // Thin pools: RAID0 only with four disks; RAID5 and RAID1+0 only at the
    // allowed member counts.
    EXPECT_TRUE(sizes(thin, "0", spread(3, {0x00})).empty());
    EXPECT_EQ((std::vector<std::uint64_t>{4 * C}), sizes(thin, "0", spread(5, {0x00})));
    EXPECT_EQ((std::vector<std::uint64_t>{3 * C, 4 * C, 7 * C, 8 * C}),
              sizes(thin, "5", spread(9, {0x00, 0x10, 0x20, 0x08, 0x18, 0x28, 0x30, 0x38, 0x40})));
    EXPECT_EQ((std::vector<std::uint64_t>{2 * C, 4 * C}), sizes(thin, "1+0", spread(8, {0x00, 0x10})));
    EXPECT_TRUE(sizes(thin, "5+0", spread(12, {0x00, 0x10, 0x20})).empty());
    // An expanded pool of 4 members allows 4 only.
    thin.setMembers(4);
    EXPECT_EQ((std::vector<std::uint64_t>{3 * C}),
              sizes(thin, "5", spread(9, {0x00, 0x10, 0x20, 0x08, 0x18, 0x28, 0x30, 0x38, 0x40})));
}

TEST_F(PoolRules, DisksPerGroupForASize)
{
    // Two groups: 300 and 600 units.
    std::vector<Disk> disks = spread(2, {0x00, 0x10}, 0x10, 300);
    for (const Disk& d : spread(2, {0x00, 0x10}, 0x20, 600, 8))
        disks.push_back(d);
    install(disks);
    SMISProviderDiskManager dm(plusOf(disks), STORAGE);
    ASSERT_EQ(2, dm.GetDiskMngListCount());
    const std::uint64_t unit = 512;
    Raid raid;
    Thin thin;

    Array<uint64> mirror;
    ASSERT_EQ(0u, raid.getSupportedSize("1", &dm, mirror));
    const std::uint64_t working = SMISProviderPoolConfiguration::compareRLUSize(400 * unit, mirror);
    EXPECT_EQ(600 * unit, working);

    const struct {
        SMISProviderPoolConfiguration* engine;
        const char* level;
        std::uint64_t size;
        std::uint32_t rc;
        std::vector<std::uint32_t> perGroup;
    } rows[] = {
        {&raid, "1", working, 0, {0, 2}},
        {&raid, "0", 900 * unit, 0, {3, 2}},
        {&raid, "1+0", 900 * unit, 0, {6, 4}},
        {&raid, "5", 900 * unit, 0, {4, 3}},
        {&raid, "5+0", 900 * unit, 0, {6, 6}},
        {&raid, "6", 900 * unit, 0, {5, 5}},
        {&raid, "6", 4500 * unit, 0, {0, 10}},    // q = 15 needs 17 disks: none
        {&thin, "5", 1500 * unit, 0, {8, 4}},     // needs 6: the next allowed count is 8
        {&thin, "5", 3900 * unit, 0, {0, 8}},     // needs 14: none
        {&thin, "1+0", 900 * unit, 0, {8, 4}},
        {&thin, "6", 1200 * unit, 0, {6, 6}},
        {&thin, "0", 900 * unit, 0, {4, 4}},
        {&raid, "1", 0, 5, {0, 0}},
        {&thin, "5+0", 900 * unit, 4, {0, 0}},
        {&raid, "7", 900 * unit, 4, {0, 0}},
    };
    for (const auto& r : rows) {
        Array<std::uint32_t> perGroup;
        EXPECT_EQ(r.rc, r.engine->getUseDiskList(&dm, r.level, r.size, perGroup)) << r.level << " " << r.size;
        EXPECT_EQ(r.perGroup, std::vector<std::uint32_t>(perGroup.data(), perGroup.data() + perGroup.size()))
            << r.level << " " << r.size / unit;
    }
}

TEST_F(PoolRules, DiskPickByLevelCode)
{
    // Group A (code 0x10): four disks, two in bucket 0, one each in buckets
    // 1 and 2. Group B (code 0x20, half the blocks): four disks likewise.
    std::vector<Disk> disks = {{0x0000}, {0x0001}, {0x1002}, {0x2003}};
    for (Disk d : std::vector<Disk>{{0x0004}, {0x0005}, {0x1006}, {0x2007}}) {
        d.code = 0x20;
        d.blocks = BLOCKS / 2;
        disks.push_back(d);
    }
    install(disks);
    SMISProviderDiskManager dm(plusOf(disks), STORAGE);
    auto pick = [&](std::uint8_t code, std::vector<std::uint32_t> counts) {
        Array<std::uint32_t> perGroup(counts.data(), counts.size());
        Array<std::uint16_t> out;
        Pool_Disk_Rules::useDiskList(dm, perGroup, code, out);
        return v16(out);
    };
    using R = Pool_Disk_Rules;
    // RAID5: the first disk of each bucket, from the group with the smaller
    // capacity x count.
    EXPECT_EQ((std::vector<std::uint16_t>{0x0004, 0x1006, 0x2007}), pick(R::CODE_RAID5, {3, 3}));
    EXPECT_EQ((std::vector<std::uint16_t>{0x0000, 0x1002, 0x2003}), pick(R::CODE_RAID5, {3, 0}));
    // Equal products: the later group.
    EXPECT_EQ((std::vector<std::uint16_t>{0x0004, 0x0005}), pick(R::CODE_RAID0, {1, 2}));
    // RAID1 needs as many buckets as disks; four disks in three buckets fail.
    EXPECT_EQ((std::vector<std::uint16_t>{0x0004, 0x1006}), pick(R::CODE_RAID1, {2, 2}));
    EXPECT_TRUE(pick(R::CODE_RAID5, {4, 4}).empty());
    // RAID6 takes two per bucket; RAID1+0 half the disks per bucket.
    EXPECT_EQ((std::vector<std::uint16_t>{0x0000, 0x0001, 0x1002, 0x2003}), pick(R::CODE_RAID6, {4, 0}));
    EXPECT_EQ((std::vector<std::uint16_t>{0x0004, 0x0005, 0x1006, 0x2007}), pick(R::CODE_RAID10, {4, 4}));
    // A group too small for its count is no choice.
    EXPECT_TRUE(pick(R::CODE_RAID0, {5, 5}).empty());
}

TEST_F(PoolRules, FreeDisksAreOutsideRaidGroups)
{
    std::vector<Disk> disks = {
        {.plu = 0x0001, .status = 4, .usage = 1, .dlun = 0},        // member of a RAID group
        {.plu = 0x0002, .status = 4, .usage = 1, .dlun = 0xFFFF},   // free
        {.plu = 0x0003, .status = 0, .usage = 5},                   // free
        {.plu = 0x0004, .status = 0x0102, .usage = 5},              // status byte 2
        {.plu = 0x0005, .status = 0, .usage = 1},                   // other usage
        {.plu = 0x0006, .status = 0x0100, .usage = 5},              // flags above the status byte
    };
    install(disks, 0);
    Raid raid;
    Array<std::uint16_t> free;
    raid.getAvailablePLUNumbers(free);
    EXPECT_EQ((std::vector<std::uint16_t>{0x0002, 0x0003, 0x0006}), v16(free));
}

TEST(PoolCommands, ResultLettersBecomeMethodCodes)
{
    using P = Pool_Command_Result;
    const char letters[] = {0, 'A', 'B', 'D', 'F', 'G', '[', 'C'};
    const struct {
        P::Command command;
        std::uint32_t codes[8];
    } rows[] = {
        {P::DELETE_RLU, {0, 5, 0x8013, 0x8011, 4, 4, 4, 4}},
        {P::ADD_RLU, {0, 5, 0x8013, 4, 0x8014, 4, 4, 4}},
        {P::DELETE_TPP, {0, 5, 0x8013, 0x8011, 4, 4, 0x8028, 4}},
        {P::CREATE_TPP, {0, 5, 0x8013, 4, 0x8014, 4097, 0x8028, 4}},
        {P::EXPAND_TPP, {0, 5, 0x8013, 4, 4, 4097, 0x8028, 4}},
    };
    for (const auto& r : rows)
        for (int i = 0; i < 8; ++i)
            EXPECT_EQ(r.codes[i], P::codeOf(r.command, static_cast<unsigned char>(letters[i])))
                << r.command << " " << letters[i];
}

// The command accepts only the attributes 1, 2, 3 and 129: disk kinds map
// to them (an FC disk, kind 0, and a self-encrypting SSD are no raw values).
TEST(ThinPoolAttribute, DiskKindsMapToCommandAttributes)
{
    const struct {
        std::uint8_t kind, attribute;
    } rows[] = {{0x00, 1}, {0x01, 1}, {0x02, 2}, {0x03, 3}, {0x07, 1}, {0x80, 129}, {0x83, 129}};
    for (const auto& r : rows)
        EXPECT_EQ(r.attribute, SMISProviderTPPConfiguration::attributeOfDiskKind(r.kind)) << int(r.kind);
}

TEST(PoolSettings, LevelFromTheSettingInstanceID)
{
    const struct {
        const char* id;
        const char* raid;
        const char* thin;
    } rows[] = {
        {"VELDARO:SS_RAID5_10.0.0.1", "5", "5"},
        {"VELDARO:SS_RAID1+0_10.0.0.1", "1+0", "1+0"},
        {"VELDARO:SS_RAID5_TPP_10.0.0.1", "5_TPP", "5"},
        {"VELDARO:RSC_RAID5_10.0.0.1", "", ""},
        {"VELDARO:SS_RAI", "", ""},
    };
    Raid raid;
    Thin thin;
    for (const auto& r : rows) {
        CIM_StorageSetting* s = CIM_StorageSetting::create(true);
        s->InstanceID.set(r.id);
        EXPECT_EQ(std::string(r.raid), raid.getRaidLevelFromStorageSetting(s).c_str()) << r.id;
        EXPECT_EQ(std::string(r.thin), thin.getRaidLevelFromStorageSetting(s).c_str()) << r.id;
        destroy(s);
    }
    EXPECT_EQ(std::string(), raid.getRaidLevelFromStorageSetting(nullptr).c_str());
}

}  // namespace
