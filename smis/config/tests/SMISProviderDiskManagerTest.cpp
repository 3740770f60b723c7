// Disk groups and enclosure buckets of the disk manager over a table image
// installed as the array's cache file.

#include <gtest/gtest.h>

#include <vector>

#include "CMTBuilder.h"
#include "SMISProviderDiskManager.h"
#include "SMIS_CMTAccess.h"
#include "TempInstallDir.h"

using namespace cimple;

namespace {

constexpr const char* STORAGE = "10.0.0.7";

std::vector<std::uint16_t> toVector(const Array<std::uint16_t>& a)
{
    return std::vector<std::uint16_t>(a.data(), a.data() + a.size());
}

Array<std::uint16_t> toArray(const std::vector<std::uint16_t>& v)
{
    return Array<std::uint16_t>(v.data(), v.size());
}

class DiskManager : public ::testing::Test {
protected:
    void SetUp() override
    {
        SMIS_CMTAccess::destroy();
        smis::test::CMTBuilder b;
        struct Disk {
            std::uint16_t plu, code;
            std::uint8_t kind;
            std::uint64_t blocks;
        } disks[] = {
            {0x0001, 0x10, 1, 1000}, {0x0106, 0x10, 1, 2000}, {0x1000, 0x10, 1, 1000},
            {0x0002, 0x20, 1, 4000}, {0x0003, 0x10, 2, 1000},
        };
        for (const Disk& d : disks)
            b.disk(0x80000000u | d.plu, d.plu).Status(0).Usage(5).Capacity(d.code).Kind(d.kind).WholeBlockCount(d.blocks);
        b.installCmf(STORAGE);
        dir.writeEnv({std::string("StorageIP=") + STORAGE});
    }
    void TearDown() override { SMIS_CMTAccess::destroy(); }

    smis::test::TempInstallDir dir;
};

TEST_F(DiskManager, GroupsByCapacityCodeAndKindAndKeepsUnknownDisksOutOfGroups)
{
    const std::vector<std::uint16_t> given = {0x0001, 0x0909, 0x0002, 0x0106, 0x0003, 0x1000};
    SMISProviderDiskManager manager(toArray(given), STORAGE);

    Array<std::uint16_t> all;
    all.append(0x7777);  // emptied first
    manager.getPLUArray(all);
    EXPECT_EQ(given, toVector(all));

    ASSERT_EQ(3, manager.GetDiskMngListCount());
    const DiskMng* first = manager.GetDiskMngbyIndex(0);
    ASSERT_NE(nullptr, first);
    EXPECT_EQ(3, first->count);
    EXPECT_EQ(1000u * 512, first->capacity);  // the first disk's, not compared
    EXPECT_EQ((std::vector<std::uint16_t>{0x0001, 0x0106, 0x1000}), toVector(*first->pluList));
    // Enclosures 0x00 and 0x01 share bucket 0; enclosure 0x10 is bucket 1.
    ASSERT_EQ(2u, first->buckets.size());
    EXPECT_EQ((std::vector<std::uint16_t>{0x0001, 0x0106}), toVector(*first->buckets[0]));
    EXPECT_EQ((std::vector<std::uint16_t>{0x1000}), toVector(*first->buckets[1]));
    EXPECT_EQ((std::vector<std::uint16_t>{0x0002}), toVector(*manager.GetDiskMngbyIndex(1)->pluList));
    EXPECT_EQ(2, manager.GetDiskMngbyIndex(2)->kind);
    EXPECT_EQ(nullptr, manager.GetDiskMngbyIndex(3));
    EXPECT_EQ(nullptr, manager.GetDiskMngbyIndex(-1));

    Array<std::uint16_t> same;
    same.append(0x0042);  // kept: the group is appended
    manager.getSameSizeAllPLUList(1000u * 512, 1, same);
    EXPECT_EQ((std::vector<std::uint16_t>{0x0042, 0x0001, 0x0106, 0x1000}), toVector(same));
    manager.getSameSizeAllPLUList(2000u * 512, 1, same);  // no such group
    manager.getSameSizeAllPLUList(1000u * 512, 3, same);
    EXPECT_EQ(4u, same.size());
}

TEST_F(DiskManager, EmptyListGivesNoGroups)
{
    SMISProviderDiskManager manager(Array<std::uint16_t>(), STORAGE);
    Array<std::uint16_t> all;
    manager.getPLUArray(all);
    EXPECT_EQ(all.size(), 0u);
    EXPECT_EQ(0, manager.GetDiskMngListCount());
}

TEST(DiskManagerBuckets, EnclosureBitsMapToBuckets)
{
    const struct {
        std::uint8_t enclosure;
        unsigned bucket;
    } cases[] = {{0x00, 0}, {0x01, 0}, {0x06, 0}, {0x07, 0}, {0x08, 4}, {0x10, 1},
                 {0x18, 5}, {0x20, 2}, {0x40, 8}, {0x80, 16}, {0xFF, 31}};
    for (const auto& c : cases)
        EXPECT_EQ(c.bucket, SMISProviderDiskManager::bucketOf(static_cast<std::uint16_t>(c.enclosure << 8 | 0x05)))
            << std::hex << unsigned(c.enclosure);
}

}  // namespace
