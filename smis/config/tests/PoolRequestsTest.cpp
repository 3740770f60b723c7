// Pool requests of both engines over arrays whose free disks form two
// groups (two capacities) in two or more enclosure buckets, with the array
// commands replaced by recorders: every size the primordial pool offers
// reaches the array command with disks enough for it, and disks are named
// by paths or elements as clients write them.

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <type_traits>
#include <vector>

#include "CMTBuilder.h"
#include "SMIS_CMTAccess.h"
#include "TAVO_SMISProviderRAIDGroupConfiguration.h"
#include "TAVO_SMISProviderTPPConfiguration.h"
#include "TempInstallDir.h"
#include "VELDARO_DiskExtent_Resource.h"
#include "VELDARO_PrimordialStoragePool.h"
#include "VELDARO_RefTable.h"

using namespace cimple;

namespace {

constexpr const char* STORAGE = "10.0.0.7";
constexpr std::uint64_t BIG = 1000, SMALL = 500;  // blocks of the two groups

struct Disk {
    std::uint16_t plu;
    std::uint16_t code;
    std::uint64_t blocks;
};

// An image: the big group first (so that the size list ends with the small
// group's sizes), the small group after it.
struct Image {
    const char* what;
    std::vector<Disk> disks;
};

std::vector<Disk> group(std::uint16_t code, std::uint64_t blocks, std::uint8_t firstSlot,
                        const std::vector<std::uint8_t>& enclosures)
{
    std::vector<Disk> out;
    for (std::size_t i = 0; i < enclosures.size(); ++i)
        out.push_back({static_cast<std::uint16_t>(enclosures[i] << 8 | (firstSlot + i)), code, blocks});
    return out;
}

std::vector<Disk> join(std::vector<Disk> a, const std::vector<Disk>& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

const Image IMAGES[] = {
    // Buckets 0 and 1: five and one big disks, one and one small disks.
    {"two buckets", join(group(0x20, BIG, 0, {0x00, 0x00, 0x00, 0x00, 0x00, 0x10}), group(0x10, SMALL, 8, {0x00, 0x10}))},
    // Four buckets (0, 1, 2, 4): two big disks in each, one small disk in each.
    {"four buckets",
     join(group(0x20, BIG, 0, {0x00, 0x10, 0x20, 0x08, 0x00, 0x10, 0x20, 0x08}),
          group(0x10, SMALL, 8, {0x00, 0x10, 0x20, 0x08}))},
};

// Data disks of a group of n members at a level.
std::uint64_t dataDisks(const std::string& level, std::uint64_t n)
{
    if (level == "1" || level == "1+0")
        return n / 2;
    if (level == "5")
        return n - 1;
    if (level == "6" || level == "5+0")
        return n - 2;
    return n;
}

template <class Record>
std::vector<std::uint16_t> disksOf(const Record& r)
{
    std::vector<std::uint16_t> out;
    for (std::size_t k = 0; k < 128 && r.diskList[k] != 0xFFFF; ++k)
        out.push_back(r.diskList[k]);
    return out;
}

struct RaidRecorder : TAVO_SMISProviderRAIDGroupConfiguration {
    RaidRecorder() : TAVO_SMISProviderRAIDGroupConfiguration(STORAGE) {}
    std::uint32_t addRLU(const CMM_REG_RLU_INFO* info, std::uint32_t) override
    {
        disks.push_back(disksOf(*info));
        return 4;
    }
    void refreshTable() const override {}
    std::vector<std::vector<std::uint16_t>> disks;
};

struct ThinRecorder : TAVO_SMISProviderTPPConfiguration {
    ThinRecorder() : TAVO_SMISProviderTPPConfiguration(STORAGE) {}
    std::uint32_t createTPP(SMIS_REG_TPP_INFO* info) override
    {
        disks.push_back(disksOf(*info));
        return 4;
    }
    std::uint32_t expandTPP(const SMIS_REG_TPP_INFO* info) override
    {
        disks.push_back(disksOf(*info));
        return 4;
    }
    void refreshTable() const override {}
    std::vector<std::vector<std::uint16_t>> disks;
};

class PoolRequests : public ::testing::Test {
protected:
    void SetUp() override { SMIS_CMTAccess::destroy(); }
    void TearDown() override { SMIS_CMTAccess::destroy(); }

    void install(const std::vector<Disk>& disks)
    {
        SMIS_CMTAccess::destroy();
        smis::test::CMTBuilder b;
        b.maxCounts({.olu = 4, .slu = 4, .rlu = 4, .dlu = 4, .mlu = 4});
        blocksOf.clear();
        for (const Disk& d : disks) {
            b.disk(0x80000000u | d.plu, d.plu).Status(0).Usage(5).Dlun(0xFFFF).Capacity(d.code).Kind(1).WholeBlockCount(
                d.blocks);
            blocksOf[d.plu] = d.blocks;
        }
        b.installCmf(STORAGE);
        dir.writeEnv({std::string("StorageIP=") + STORAGE});
    }

    static CIM_StorageSetting* goal(const std::string& level, bool thin)
    {
        CIM_StorageSetting* s = CIM_StorageSetting::create(true);
        s->InstanceID.set(String(("VELDARO:SS_RAID" + level + (thin ? "_TPP_" : "_") + STORAGE).c_str()));
        return s;
    }

    static std::string path(std::uint16_t plu, const std::string& keys)
    {
        char id[16];
        std::snprintf(id, sizeof id, "DE0x%04x", plu);
        return "VELDARO_DiskExtent." + keys + "DeviceID=\"" + id + "\"";
    }

    // The sizes the primordial pool offers for a level, and for each the
    // member disks the creation handed to the array command.
    template <class Recorder>
    void everyOfferedSizeIsMade(const char* image, const std::string& level, bool thin)
    {
        SCOPED_TRACE(std::string(image) + (thin ? " thin RAID" : " RAID") + level);
        VELDARO_PrimordialStoragePool* primordial = VELDARO_PrimordialStoragePool::create(true);
        primordial->Primordial.set(true);
        CIM_StorageSetting* setting = goal(level, thin);
        Array<uint64> sizes;
        {
            Recorder engine;
            ASSERT_EQ(0u, engine.getSupportedSizes(setting, cast<const CIM_StoragePool*>(primordial), sizes));
        }
        for (std::size_t i = 0; i < sizes.size(); ++i) {
            if (sizes[i] == 0)
                continue;  // nothing offered
            SCOPED_TRACE(sizes[i] / 512);
            Recorder engine;
            engine.setElementName("P");
            if constexpr (std::is_same_v<Recorder, ThinRecorder>)
                engine.setPoolNumber(0xFFFF);
            std::uint64_t size = sizes[i];
            std::uint32_t rc = 0;
            EXPECT_EQ(nullptr, engine.createOrModifyStoragePool(setting, size, Array<String>(), rc));
            ASSERT_EQ(1u, engine.disks.size()) << "refused with " << rc;
            const std::vector<std::uint16_t>& members = engine.disks[0];
            std::uint64_t smallest = 0;
            for (std::uint16_t plu : members)
                smallest = smallest == 0 ? blocksOf[plu] : std::min(smallest, blocksOf[plu]);
            EXPECT_GE(dataDisks(level, members.size()) * smallest * 512, sizes[i]);
        }
        destroy(setting);
        destroy(primordial);
    }

    std::map<std::uint16_t, std::uint64_t> blocksOf;
    smis::test::TempInstallDir dir;
};

TEST_F(PoolRequests, EveryOfferedSizeReachesTheCommand)
{
    for (const Image& image : IMAGES) {
        install(image.disks);
        for (const char* level : {"0", "1", "1+0", "5", "6", "5+0"})
            everyOfferedSizeIsMade<RaidRecorder>(image.what, level, false);
        for (const char* level : {"0", "1", "1+0", "5", "6"})
            everyOfferedSizeIsMade<ThinRecorder>(image.what, level, true);
    }
}

// The sizes above hold what the level rules make of each image: the big
// group's RAID0 sizes come before the small group's, and a thin RAID1+0 of
// four members is not offered where one bucket holds a single big disk.
TEST_F(PoolRequests, OfferedSizesOfTheTwoGroups)
{
    const std::uint64_t b = BIG * 512, s = SMALL * 512;
    const struct {
        std::size_t image;
        const char* level;
        bool thin;
        std::vector<std::uint64_t> sizes;
    } rows[] = {
        {0, "0", false, {2 * b, 3 * b, 4 * b, 5 * b, 6 * b, 2 * s}},
        {0, "1", false, {b, s}},
        {0, "1+0", true, {0}},
        {0, "1+0", false, {0}},
        {1, "1+0", true, {2 * b, 4 * b, 2 * s}},
        {1, "5", true, {3 * b, 3 * s}},
        {1, "6", false, {3 * b, 4 * b, 5 * b, 6 * b}},
    };
    VELDARO_PrimordialStoragePool* primordial = VELDARO_PrimordialStoragePool::create(true);
    primordial->Primordial.set(true);
    for (const auto& r : rows) {
        SCOPED_TRACE(std::string(IMAGES[r.image].what) + " " + r.level + (r.thin ? " thin" : ""));
        install(IMAGES[r.image].disks);
        CIM_StorageSetting* setting = goal(r.level, r.thin);
        Array<uint64> sizes;
        if (r.thin)
            EXPECT_EQ(0u, ThinRecorder().getSupportedSizes(setting, cast<const CIM_StoragePool*>(primordial), sizes));
        else
            EXPECT_EQ(0u, RaidRecorder().getSupportedSizes(setting, cast<const CIM_StoragePool*>(primordial), sizes));
        EXPECT_EQ(r.sizes, std::vector<std::uint64_t>(sizes.data(), sizes.data() + sizes.size()));
        destroy(setting);
    }
    destroy(primordial);
}

// A disk path names its disk by DeviceID; SystemName and the class names
// are checked when the path carries them, and a missing SystemName means
// this array.
TEST_F(PoolRequests, DiskPathsAsClientsWriteThem)
{
    install(IMAGES[0].disks);
    const std::uint16_t p = 0x0008, q = 0x1009;  // the small group's two disks
    const std::string here = std::string("SystemName=\"") + STORAGE + "\",";
    const struct {
        const char* what;
        std::vector<std::string> paths;
        std::uint32_t rc;  // 4: the recorder's answer to the command
    } rows[] = {
        {"DeviceID only", {path(p, ""), path(q, "")}, 4},
        {"bare keys", {"DeviceID=\"DE0x0008\"", "DeviceID=\"DE0x1009\""}, 4},
        {"with this array's SystemName", {path(p, here), path(q, here)}, 4},
        {"with every key",
         {path(p, here + "CreationClassName=\"VELDARO_DiskExtent\",SystemCreationClassName="
                         "\"VELDARO_StorageComputerSystem\","),
          path(q, "")},
         4},
        {"key and class names in other letter case",
         {"veldaro_diskextent.creationclassname=\"veldaro_diskextent\",deviceid=\"DE0x0008\"", path(q, "")},
         4},
        {"another array", {path(p, "SystemName=\"10.9.9.9\","), path(q, "")}, 5},
        {"another class", {path(p, "CreationClassName=\"VELDARO_StorageVolume\","), path(q, "")}, 5},
        {"no such disk", {path(0x0777, ""), path(q, "")}, 5},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.what);
        RaidRecorder engine;
        CIM_StorageSetting* setting = goal("1", false);
        Array<String> paths;
        for (const std::string& text : r.paths)
            paths.append(String(text.c_str()));
        std::uint64_t size = 0;
        std::uint32_t rc = 0;
        EXPECT_EQ(nullptr, engine.createOrModifyStoragePool(setting, size, paths, rc));
        destroy(setting);
        EXPECT_EQ(r.rc, rc);
        if (r.rc == 4) {
            ASSERT_EQ(1u, engine.disks.size());
            EXPECT_EQ((std::vector<std::uint16_t>{p, q}), engine.disks[0]);
        } else {
            EXPECT_TRUE(engine.disks.empty());
        }
    }

    // Elements: the same keys, as instances.
    const struct {
        const char* what;
        const char* systemName;  // null: not given
        std::uint32_t rc;
    } elements[] = {{"no SystemName", nullptr, 4}, {"this array", STORAGE, 4}, {"another array", "10.9.9.9", 5}};
    for (const auto& r : elements) {
        SCOPED_TRACE(r.what);
        Array<CIM_StorageExtent*> list;
        for (std::uint16_t plu : {p, q}) {
            CIM_StorageExtent* e = CIM_StorageExtent::create(true);
            char id[16];
            std::snprintf(id, sizeof id, "DE0x%04x", plu);
            e->DeviceID.set(id);
            if (r.systemName)
                e->SystemName.set(r.systemName);
            list.append(e);
        }
        RaidRecorder engine;
        CIM_StorageSetting* setting = goal("1", false);
        std::uint64_t size = 0;
        std::uint32_t rc = 0;
        EXPECT_EQ(nullptr, engine.CreateOrModifyElementFromElements(setting, size, list, rc));
        EXPECT_EQ(r.rc, rc);
        EXPECT_EQ(r.rc == 4 ? 1u : 0u, engine.disks.size());
        destroy(setting);
        for (std::size_t i = 0; i < list.size(); ++i)
            destroy(list[i]);
    }
}

}  // namespace
