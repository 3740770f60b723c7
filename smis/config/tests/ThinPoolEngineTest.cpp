// The thin-provisioning pool engine's requests over a small table image,
// with the array commands replaced by a recorder: expansion checks against
// the pool's member count, the level taken from the pool or the goal, and
// the record of a new pool.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "CMTBuilder.h"
#include "SMIS_CMTAccess.h"
#include "TAVO_SMISProviderTPPConfiguration.h"
#include "TempInstallDir.h"
#include "VELDARO_DiskExtent_Resource.h"
#include "VELDARO_RefTable.h"

using namespace cimple;

namespace {

constexpr const char* STORAGE = "10.0.0.7";

// Records the thin-pool commands; each answers 4 (so nothing needs to be
// looked up afterwards).
struct Recorder : TAVO_SMISProviderTPPConfiguration {
    Recorder() : TAVO_SMISProviderTPPConfiguration(STORAGE) {}
    std::uint32_t createTPP(SMIS_REG_TPP_INFO* info) override
    {
        created.push_back(*info);
        return 4;
    }
    std::uint32_t expandTPP(const SMIS_REG_TPP_INFO* info) override
    {
        expanded.push_back(*info);
        return 4;
    }
    void refreshTable() const override {}
    std::vector<SMIS_REG_TPP_INFO> created, expanded;
};

class ThinPoolEngine : public ::testing::Test {
protected:
    void SetUp() override
    {
        SMIS_CMTAccess::destroy();
        smis::test::CMTBuilder b;
        b.maxCounts({.olu = 4, .slu = 4, .rlu = 4, .dlu = 4, .mlu = 4});
        // Eight SSDs, one per enclosure bucket (0x00, 0x10, 0x20, 0x08, ...).
        for (std::uint16_t enclosure : {0x00, 0x10, 0x20, 0x08, 0x18, 0x28, 0x30, 0x38}) {
            const auto plu = static_cast<std::uint16_t>(enclosure << 8 | 1);
            b.disk(0x80000000u | plu, plu).Status(0).Usage(5).Dlun(0xFFFF).Capacity(0x10).Kind(3).WholeBlockCount(
                1000);
            plus.push_back(plu);
        }
        b.tpp(1).PoolNumber(1).MemDiskCnt(4).RaidLevel(1).MaxPoolLbaCount(4096).LxrpNumber(255);  // RAID5
        b.installCmf(STORAGE);
        dir.writeEnv({std::string("StorageIP=") + STORAGE});
    }
    void TearDown() override { SMIS_CMTAccess::destroy(); }

    Array<String> paths(std::size_t n) const
    {
        Array<String> out;
        for (std::size_t i = 0; i < n; ++i) {
            char id[16];
            std::snprintf(id, sizeof id, "DE0x%04x", plus[i]);
            out.append(String((std::string("VELDARO_DiskExtent.DeviceID=\"") + id + "\",SystemName=\"" + STORAGE +
                               "\"")
                                  .c_str()));
        }
        return out;
    }

    static CIM_StorageSetting* goal(const char* id)
    {
        CIM_StorageSetting* s = CIM_StorageSetting::create(true);
        s->InstanceID.set(id);
        return s;
    }

    std::vector<std::uint16_t> plus;
    smis::test::TempInstallDir dir;
};

TEST_F(ThinPoolEngine, ExpansionNeedsThePoolsMemberCount)
{
    const struct {
        std::uint16_t pool;
        std::size_t named;
        std::uint32_t rc;
        std::size_t commands;
    } rows[] = {
        {1, 3, 5, 0},  // fewer named disks than the pool's four members
        {9, 0, 5, 0},  // no such pool: member count 0
        {1, 8, 4, 1},  // goes on to the command
    };
    for (const auto& r : rows) {
        Recorder engine;
        engine.setPoolNumber(r.pool);
        std::uint64_t size = 0;
        std::uint32_t rc = 0;
        CIM_StorageSetting* g = goal("VELDARO:SS_RAID1_TPP_10.0.0.7");
        EXPECT_EQ(nullptr, engine.createOrModifyStoragePool(g, size, paths(r.named), rc));
        destroy(g);
        EXPECT_EQ(r.rc, rc) << r.pool << " " << r.named;
        ASSERT_EQ(r.commands, engine.expanded.size());
        if (r.commands) {
            // The level is the pool's (RAID5), not the goal's (RAID1), and
            // the pick is the pool's member count.
            EXPECT_EQ(5, engine.expanded[0].raidLevel);
            EXPECT_EQ(1, engine.expanded[0].poolNumber);
            EXPECT_EQ(0xFFFF, engine.expanded[0].diskList[4]);
            EXPECT_NE(0xFFFF, engine.expanded[0].diskList[3]);
        }
    }
}

TEST_F(ThinPoolEngine, NewPoolLevelComesFromTheGoal)
{
    Recorder engine;
    engine.setPoolNumber(0xFFFF);
    engine.setElementName("TP");
    std::uint64_t size = 0;
    std::uint32_t rc = 0;
    CIM_StorageSetting* g = goal("VELDARO:SS_RAID5_TPP_10.0.0.7");
    EXPECT_EQ(nullptr, engine.createOrModifyStoragePool(g, size, Array<String>(), rc));
    destroy(g);
    ASSERT_EQ(1u, engine.created.size());
    EXPECT_EQ(5, engine.created[0].raidLevel);
    EXPECT_EQ(3, engine.created[0].attribute);  // SSD
    EXPECT_EQ(std::string("TP"), reinterpret_cast<const char*>(engine.created[0].name));
    EXPECT_EQ(0xFFFF, engine.created[0].diskList[8]);  // the default pick: eight members
    EXPECT_NE(0xFFFF, engine.created[0].diskList[7]);

    // A goal without a level: 4 for extents by path, 0x8030 for elements.
    Recorder other;
    g = goal("VELDARO:SS_TPP");
    EXPECT_EQ(nullptr, other.createOrModifyStoragePool(g, size, Array<String>(), rc));
    EXPECT_EQ(4u, rc);
    Array<CIM_StorageExtent*> elements;
    {
        VELDARO_RefTable table(STORAGE);
        VELDARO_DiskExtent* e = nullptr;
        ASSERT_EQ(0, VELDARO_DiskExtent_Resource(STORAGE).createInstance(e, table.searchPlunFromDiskTable(plus[0])));
        elements.append(cast<CIM_StorageExtent*>(e));
    }
    EXPECT_EQ(nullptr, other.CreateOrModifyElementFromElements(g, size, elements, rc));
    EXPECT_EQ(0x8030u, rc);
    destroy(elements[0]);
    destroy(g);
    EXPECT_TRUE(other.created.empty());
}

}  // namespace
