// The pool argument of CreateOrModifyStoragePool over a small table image
// without free disks: an InPools entry that names this array's primordial
// pool in any spelling goes on to the engine (which then finds no disks and
// answers 4); one that names another array's primordial pool, a RAID
// pool or several pools is refused before it.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "CMTBuilder.h"
#include "SMIS_CMTAccess.h"
#include "Storage_Pool_Work.h"
#include "TempInstallDir.h"

using namespace cimple;

namespace {

constexpr const char* STORAGE = "10.0.0.7";

class StoragePoolWork : public ::testing::Test {
protected:
    void SetUp() override
    {
        SMIS_CMTAccess::destroy();
        smis::test::CMTBuilder b;
        b.maxCounts({.olu = 4, .slu = 4, .rlu = 4, .dlu = 4, .mlu = 4});
        b.disk(0x80000000u, 0x0000).Status(4).Usage(1).Dlun(0).Capacity(0x10).Kind(1).WholeBlockCount(1000);
        b.dlu(0).Dlun(0).Rlun(0);
        b.rlu(0).Rlun(0).Status(0x2000).RaidLevel(1).RlbaCount(4096);
        b.installCmf(STORAGE);
        dir.writeEnv({std::string("StorageIP=") + STORAGE});
    }
    void TearDown() override { SMIS_CMTAccess::destroy(); }

    smis::test::TempInstallDir dir;
};

TEST_F(StoragePoolWork, InPoolsNamesThisArraysPrimordialPool)
{
    const std::string own = std::string("VELDARO:PSP_") + STORAGE;
    const struct {
        const char* what;
        std::vector<std::string> pools;
        std::uint32_t rc;
    } rows[] = {
        {"the path", {"VELDARO_PrimordialStoragePool.InstanceID=\"" + own + "\""}, 4},
        {"the InstanceID alone", {own}, 4},
        {"a path with host and namespace",
         {"//localhost/root/veldaro:VELDARO_PrimordialStoragePool.InstanceID=\"" + own + "\""}, 4},
        {"escaped quotes", {"VELDARO_PrimordialStoragePool.InstanceID=\\\"" + own + "\\\""}, 4},
        {"no address", {"VELDARO_PrimordialStoragePool.InstanceID=\"VELDARO:PSP\""}, 4},
        {"another array", {"VELDARO_PrimordialStoragePool.InstanceID=\"VELDARO:PSP_10.9.9.9\""}, 5},
        {"a longer address", {own + "0"}, 5},
        {"a RAID pool", {std::string("VELDARO:RSP0000_") + STORAGE}, 1},
        {"two entries", {own, own}, 1},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.what);
        Property<Array<String>> pools, extents;
        pools.set(Array<String>());
        for (const std::string& p : r.pools)
            pools.value.append(String(p.c_str()));
        CIM_StorageSetting* goal = CIM_StorageSetting::create(true);
        goal->InstanceID.set(String((std::string("VELDARO:SS_RAID1_") + STORAGE).c_str()));
        std::uint64_t size = 0;
        CIM_StoragePool* pool = nullptr;
        EXPECT_EQ(r.rc, Storage_Pool_Work(STORAGE).createOrModifyStoragePool("P", goal, size, pools, extents, pool));
        EXPECT_EQ(nullptr, pool);
        destroy(goal);
    }
}

}  // namespace
