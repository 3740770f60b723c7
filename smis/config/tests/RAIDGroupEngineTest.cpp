// The RAID group manager and the RAID group engine's creation steps over a
// small table image, with the array command replaced by a recorder.

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "CMTBuilder.h"
#include "Pool_Command_Result.h"
#include "SMISProviderRAIDGroupManager.h"
#include "SMIS_CMTAccess.h"
#include "TAVO_SMISProviderRAIDGroupConfiguration.h"
#include "TempInstallDir.h"

using namespace cimple;

namespace {

constexpr const char* STORAGE = "10.0.0.7";

struct Disk {
    std::uint16_t plu;
    std::uint16_t code;
    std::uint64_t blocks;
};

// Free disks of two groups and RAID groups with the given numbers.
void buildArray(smis::test::CMTBuilder& b, const std::vector<Disk>& disks, const std::vector<std::uint16_t>& groups)
{
    b.maxCounts({.olu = 4, .slu = 4, .rlu = 4, .dlu = 4, .mlu = 4});
    for (std::uint16_t n : groups) {
        CMT_RLUW r = b.rlu(n);
        r.Rlun(n).Status(0x2000).RaidLevel(1).RlbaCount(4096);
        for (std::size_t k = 0; k < 16; ++k)
            r.Dlun(k, 0xFFFF);
    }
    for (const Disk& d : disks)
        b.disk(0x80000000u | d.plu, d.plu).Status(0).Usage(5).Dlun(0xFFFF).Capacity(d.code).Kind(1).WholeBlockCount(
            d.blocks);
}

class RaidGroupEngine : public ::testing::Test {
protected:
    void SetUp() override { SMIS_CMTAccess::destroy(); }
    void TearDown() override { SMIS_CMTAccess::destroy(); }

    // Two small disks and eight large ones over two buckets, group 0 in use.
    void installFallbackDisks()
    {
        std::vector<Disk> disks = {{0x0000, 0x10, 500}, {0x1001, 0x10, 500}};
        for (std::uint16_t i = 0; i < 8; ++i)
            disks.push_back({static_cast<std::uint16_t>((i % 2 ? 0x1000 : 0x0000) | (2 + i)), 0x20, 1000});
        install(disks, {0});
    }

    void install(const std::vector<Disk>& disks, const std::vector<std::uint16_t>& groups)
    {
        SMIS_CMTAccess::destroy();
        smis::test::CMTBuilder b;
        buildArray(b, disks, groups);
        b.installCmf(STORAGE);
        dir.writeEnv({std::string("StorageIP=") + STORAGE});
    }

    smis::test::TempInstallDir dir;
};

// The array command and the table refresh replaced: each addRLU records
// its record and answers the next code of the list.
struct Recorder : TAVO_SMISProviderRAIDGroupConfiguration {
    Recorder() : TAVO_SMISProviderRAIDGroupConfiguration(STORAGE) {}
    std::uint32_t addRLU(const CMM_REG_RLU_INFO* info, std::uint32_t) override
    {
        records.push_back(*info);
        const std::uint32_t code = codes.empty() ? 4 : codes.front();
        if (!codes.empty())
            codes.pop_front();
        return code;
    }
    void refreshTable() const override
    {
        ++refreshes;
        if (onRefresh)
            onRefresh(refreshes);
    }
    std::vector<std::uint16_t> disksOf(std::size_t i) const
    {
        std::vector<std::uint16_t> out;
        for (std::size_t k = 0; k < CMM_REG_RLU_INFO::MAX_DISKS && records[i].diskList[k] != 0xFFFF; ++k)
            out.push_back(records[i].diskList[k]);
        return out;
    }

    std::deque<std::uint32_t> codes;
    std::vector<CMM_REG_RLU_INFO> records;
    mutable int refreshes = 0;
    std::function<void(int)> onRefresh;
};

TEST_F(RaidGroupEngine, ManagerFindsTheLowestFreeGroupNumber)
{
    install({}, {0, 1, 3});
    SMISProviderRAIDGroupManager manager(STORAGE);
    ASSERT_EQ(0, manager.setRLUInfo());
    EXPECT_EQ(2, manager.getFreeRLUNumber(4));
    EXPECT_EQ(0xFFFF, manager.getFreeRLUNumber(2));
    EXPECT_EQ(0xFFFF, manager.getFreeRLUNumber(0));
    EXPECT_EQ(nullptr, manager.getRAIDStoragePool(2));
    VELDARO_RAIDStoragePool* copy = manager.getRAIDStoragePool(3);
    ASSERT_NE(nullptr, copy);
    VELDARO_PrimordialStoragePool* primordial = manager.getPrimordialStoragePool();
    ASSERT_NE(nullptr, primordial);
    manager.clear();
    EXPECT_EQ(3u, copy->RLUN.value);  // the copy outlives the snapshot
    EXPECT_EQ(0, manager.getFreeRLUNumber(4));
    destroy(copy);
    destroy(primordial);
}

// Group P: two small disks in two buckets. Group Q: eight larger disks in
// the same two buckets. Without a goal the engine tries RAID1+0 first,
// which picks Q's eight disks; when that creation fails, RAID1 starts again
// from every free disk and picks P (the smaller), not Q's leftovers.
TEST_F(RaidGroupEngine, EachFallbackLevelStartsFromTheRequestedDisks)
{
    installFallbackDisks();
    Recorder engine;
    engine.codes = {4, 0};
    std::uint64_t size = 0;
    std::uint32_t rc = 0;
    CIM_StoragePool* pool = engine.createOrModifyStoragePool(nullptr, size, Array<String>(), rc);
    // The second command succeeded: the group the table does not show is
    // answered by its key, and no further level is tried.
    ASSERT_NE(nullptr, pool);
    EXPECT_EQ(0u, rc);
    EXPECT_EQ(std::string("VELDARO:RSP0001_") + STORAGE, pool->InstanceID.value.c_str());
    destroy(pool);
    ASSERT_EQ(engine.records.size(), 2u);
    EXPECT_EQ(10, engine.records[0].raidLevel);
    EXPECT_EQ(8u, engine.disksOf(0).size());
    EXPECT_EQ(1, engine.records[1].raidLevel);
    EXPECT_EQ((std::vector<std::uint16_t>{0x0000, 0x1001}), engine.disksOf(1));
    EXPECT_EQ(1, engine.records[1].rluNumber);  // the lowest free number
}

// A creating command whose answer was lost may have made the group: no
// other level is tried, and the failure code is answered.
TEST_F(RaidGroupEngine, ALostAnswerEndsTheRequest)
{
    installFallbackDisks();
    Recorder engine;
    engine.codes = {Pool_Command_Result::OUTCOME_UNKNOWN, 0};
    std::uint64_t size = 0;
    std::uint32_t rc = 0;
    EXPECT_EQ(nullptr, engine.createOrModifyStoragePool(nullptr, size, Array<String>(), rc));
    EXPECT_EQ(4u, rc);
    EXPECT_EQ(engine.records.size(), 1u);
}

// A group the first refreshed table does not show yet is looked up again
// after one more refresh instead of failing (a retry would make another).
TEST_F(RaidGroupEngine, NewGroupMissingFromTheFirstRefreshIsLookedUpAgain)
{
    const std::vector<Disk> disks = {{0x0000, 0x10, 500}, {0x1001, 0x10, 500}};
    install(disks, {0});
    Recorder engine;
    engine.codes = {0};
    engine.onRefresh = [&](int n) {
        if (n == 2)
            install({}, {0, 1});
    };
    engine.setElementName("SIXTEEN_CHARS_XYZ");
    CIM_StorageSetting* goal = CIM_StorageSetting::create(true);
    goal->InstanceID.set(std::string("VELDARO:SS_RAID1_").append(STORAGE).c_str());
    std::uint64_t size = 0;
    std::uint32_t rc = 99;
    CIM_StoragePool* pool = engine.createOrModifyStoragePool(goal, size, Array<String>(), rc);
    destroy(goal);
    EXPECT_EQ(0u, rc);
    ASSERT_NE(nullptr, pool);
    EXPECT_EQ(2, engine.refreshes);
    EXPECT_EQ(std::string("VELDARO:RSP0001_") + STORAGE, pool->InstanceID.value.c_str());
    // A name of 16 or more characters fills the field without a terminator.
    EXPECT_EQ(std::string("SIXTEEN_CHARS_XY"), std::string(reinterpret_cast<const char*>(engine.records[0].name), 16));
    destroy(pool);
}

TEST_F(RaidGroupEngine, RequestsThatCannotBeMet)
{
    install({{0x0000, 0x10, 500}, {0x1001, 0x10, 500}}, {0});
    const struct {
        const char* goal;  // level, or null for none
        std::uint64_t size;
        std::vector<const char*> extents;
        std::uint32_t rc;
        std::size_t commands;
    } rows[] = {
        {"RAID1", 1ull << 40, {}, 4097, 0},   // above the largest size
        {"RAID0", 0, {}, 4, 0},               // no default pick for RAID0
        {nullptr, 1ull << 40, {}, 4097, 0},   // the first level that sizes stops the request
        // Extents of another array, or naming no disk, are refused.
        {"RAID1", 0, {"VELDARO_DiskExtent.CreationClassName=\"VELDARO_DiskExtent\",DeviceID=\"DE0x0000\","
                      "SystemCreationClassName=\"VELDARO_StorageComputerSystem\",SystemName=\"10.9.9.9\""},
         5, 0},
        {"RAID1", 0, {"VELDARO_DiskExtent.DeviceID=\"DE0x0777\",SystemName=\"10.0.0.7\""}, 5, 0},
        {"RAID1", 0, {"no key here"}, 5, 0},
    };
    for (const auto& r : rows) {
        Recorder engine;
        engine.codes = {0};
        CIM_StorageSetting* goal = nullptr;
        if (r.goal) {
            goal = CIM_StorageSetting::create(true);
            goal->InstanceID.set((std::string("VELDARO:SS_") + r.goal + "_" + STORAGE).c_str());
        }
        Array<String> extents;
        for (const char* e : r.extents)
            extents.append(String(e));
        std::uint64_t size = r.size;
        std::uint32_t rc = 0;
        EXPECT_EQ(nullptr, engine.createOrModifyStoragePool(goal, size, extents, rc));
        EXPECT_EQ(r.rc, rc) << (r.goal ? r.goal : "-") << " " << r.size;
        EXPECT_EQ(r.commands, engine.records.size());
        if (goal)
            destroy(goal);
    }
}

}  // namespace
