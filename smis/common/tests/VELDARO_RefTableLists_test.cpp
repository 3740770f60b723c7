// Lists and sums of the table view: volume parts and chains (with the
// bounded chain and the clamped slot counts), RAID group members, pool
// members, capacities.

#include <gtest/gtest.h>

#include <vector>

#include "BuiltTable.h"
#include "LogCapture.h"

using cimple::Array;
using cimple::VELDARO_RefTable;
using smis::test::BuiltTable;
using smis::test::CMTBuilder;

namespace {

template <class T>
std::vector<T> items(const Array<T>& a)
{
    return std::vector<T>(a.data(), a.data() + a.size());
}

struct ListImage {
    ListImage() : table(builder())
    {
        cnfg_config_mgmt_table& m = table.edit();
        for (int n = 10; n < 64; ++n)
            m.SLUW(n).Status(0).LuType(1).Rlun(0xFFFF);
        m.SLUW(45).Status(6);
        // Plain volumes: three parts; a missing part; more parts than slots.
        m.OLUW(1).Status(0).SluCount(3).Slun(0, 10).Slun(1, 11).Slun(2, 12);
        m.OLUW(2).Status(0).SluCount(2).Slun(0, 13).Slun(1, 45);
        m.OLUW(5).Status(0).SluCount(25);
        for (int k = 0; k < 20; ++k)
            m.OLUW(5).Slun(k, static_cast<std::uint16_t>(40 + k));
        // LU type 13 chains: 20 -> 21 -> 22 -> end; 30 -> 31 -> 30.
        m.OLUW(3).Status(0).SluCount(1).Slun(0, 20);
        m.SLUW(20).LuType(13).NextSlun(21);
        m.SLUW(21).LuType(13).NextSlun(22);
        m.SLUW(22).LuType(13).NextSlun(0xFFFF);
        m.OLUW(4).Status(0).SluCount(1).Slun(0, 30);
        m.SLUW(30).LuType(13).NextSlun(31);
        m.SLUW(31).LuType(13).NextSlun(30);
        m.OLUW(6).Status(0).SluCount(1).Slun(0, 0xFFFF);
        // RAID groups: 1 plain (own slots), 2 in thin pool 7, 3 hidden, 4 a sub-pool member.
        m.RLUW(1).Status(0).PoolNumber(0xFFFF).SluCount(3).Slun(0, 10).Slun(1, 0xFFFF).Slun(2, 11);
        m.SLUW(10).OlbaCount(100).SlbaCount(110);
        m.SLUW(11).OlbaCount(200).SlbaCount(220);
        m.RLUW(2).Status(0).Mode(0x01).PoolNumber(7);
        m.SLUW(13).Rlun(2);
        m.SLUW(14).Rlun(2);
        m.SLUW(45).Rlun(2);  // free: not listed
        m.RLUW(3).Status(3).Mode(0x01).PoolNumber(7);
        m.RLUW(4).Status(0).Mode(0x21).PoolNumber(7);
        m.RLUW(5).Status(0).Mode(0x01).PoolNumber(7);
        m.TPPW(7).PoolNumber(7).MemDiskCnt(2).RaidLevel(1).MaxPoolLbaCount(100);
        m.TPPW(8).PoolNumber(8).MemDiskCnt(2).RaidLevel(12).MaxPoolLbaCount(50);
        m.TPPW(9).PoolNumber(9).MemDiskCnt(2).RaidLevel(8).MaxPoolLbaCount(5);
        m.TPPW(10).PoolNumber(10).MemDiskCnt(2).RaidLevel(5).MaxPoolLbaCount(7);
        // Member disks: RLU 6 with more member slots than it has; DLU 4 and 6.
        m.RLUW(6).Status(0).MemberDiskCount(20).Dlun(0, 4).Dlun(1, 0xFFFF).Dlun(2, 5).Dlun(15, 6);
        m.DLUW(4).Status(0).MemberDiskCount(3).UsePlu(0, 0x0100).UsePlu(1, 0xFFFF).UsePlu(2, 0x0999).UsePlu(3, 0x0101);
        for (int s = 4; s < 16; ++s)
            m.DLUW(4).UsePlu(s, 0xFFFF);
        m.DLUW(5).Status(3);
        m.DLUW(6).Status(0).MemberDiskCount(2);
        for (int s = 0; s < 16; ++s)
            m.DLUW(6).UsePlu(s, 0xFFFF);
        for (std::size_t d = 0; d < 3072; ++d)
            m.DiskW(d).Plun(static_cast<std::uint16_t>(0x8000 + d)).Status(2).DedicatedHSRlun(0xFFFF);
        m.DiskW(24).Plun(0x0100).Status(0).Usage(1).WholeBlockCount(3000000).ItemId(0x80000100);
        m.DiskW(25).Plun(0x0101).Status(0).Usage(0x15).WholeBlockCount(2097152 + 8).ItemId(0x80000101);
        m.DiskW(26).Plun(0x0103).Status(0).Usage(2).WholeBlockCount(3000000);
        m.DiskW(27).Plun(0x0104).Status(0).Usage(1).WholeBlockCount(1000);
        // An item id whose low 16 bits are another disk's number (row 27's).
        m.DiskW(28).Plun(0x0105).Status(0).Usage(1).WholeBlockCount(2097152 + 64).ItemId(0x80000104);
        m.DiskW(30).Status(0).DedicatedHSRlun(6);
        m.DiskW(31).Status(2).DedicatedHSRlun(6);
        m.DiskW(32).Status(0x0100).DedicatedHSRlun(6);
        // Tiering pools.
        m.LXRPW(2).ValidFlag(1).SubPoolCnt(3).SubPoolNumber(0, 7).SubPoolNumber(1, 8).SubPoolNumber(2, 99);
        m.LXRPW(3).ValidFlag(1).SubPoolCnt(9);
        for (int k = 0; k < 5; ++k)
            m.LXRPW(3).SubPoolNumber(k, 9);
        m.LXRPW(4).ValidFlag(1).SubPoolCnt(2).SubPoolNumber(0, 10).SubPoolNumber(1, 9);
        m.LXRPW(5).ValidFlag(1).SubPoolCnt(0);
        m.LXRPW(6).ValidFlag(1).SubPoolCnt(1).SubPoolNumber(0, 10);
        view = table.view();
    }
    static CMTBuilder builder()
    {
        CMTBuilder b;
        b.maxCounts({.olu = 64, .slu = 64, .rlu = 16, .dlu = 16, .mlu = 16});
        return b;
    }
    BuiltTable table;
    std::unique_ptr<VELDARO_RefTable> view;
};

TEST(VELDARO_RefTableLists, SluIndexListInOlu)
{
    ListImage t;
    struct Case {
        int olu;
        int result;
        std::vector<int> list;
    };
    std::vector<int> clamped;
    for (int k = 0; k < 20; ++k)
        if (40 + k != 45)
            clamped.push_back(40 + k);
    const Case cases[] = {
        {1, 0, {10, 11, 12}},       // concatenated volume
        {2, -1, {13}},              // a part not found
        {3, 0, {20, 21, 22}},       // NextSlun chain
        {4, -1, {30, 31}},          // chain that comes back: ends
        {5, -1, clamped},           // SluCount 25 read as the 20 slots; SLU 45 is free
        {6, 0, {}},                 // first slot empty
        {64, 0, {}},                // index out of range
        {-1, 0, {}},
    };
    for (const Case& c : cases) {
        Array<int> list;
        list.append(777);  // cleared first
        EXPECT_EQ(t.view->getSluIndexListInOlu(c.olu, list), c.result) << c.olu;
        EXPECT_EQ(items(list), c.list) << c.olu;
    }
}

TEST(VELDARO_RefTableLists, SlunListWithRlu)
{
    ListImage t;
    Array<std::uint16_t> list;
    EXPECT_EQ(t.view->getSlunListWithRlu(1, list), 2);
    EXPECT_EQ(items(list), (std::vector<std::uint16_t>{10, 11}));
    EXPECT_EQ(t.view->getSlunListWithRlu(2, list), 2);
    EXPECT_EQ(items(list), (std::vector<std::uint16_t>{13, 14}));
    EXPECT_EQ(t.view->getSlunListWithRlu(3, list), 0);  // hidden RLU
    EXPECT_EQ(list.size(), 0u);
}

TEST(VELDARO_RefTableLists, PoolMembers)
{
    ListImage t;
    Array<int> list;
    EXPECT_EQ(t.view->getRluIndexListInThinPro(7, list), 2);
    EXPECT_EQ(items(list), (std::vector<int>{2, 5}));
    EXPECT_EQ(t.view->getRluIndexListInLayerixSubPool(7, list), 1);
    EXPECT_EQ(items(list), (std::vector<int>{4}));
    EXPECT_EQ(t.view->getRluIndexListInThinPro(300, list), 0);
    EXPECT_EQ(list.size(), 0u);
}

TEST(VELDARO_RefTableLists, RaidGroupDisksAndSums)
{
    ListImage t;
    disk_idx_list_in_rlu disks{};
    EXPECT_EQ(t.view->getDiskIndexListInRlu(6, &disks), 2);
    EXPECT_EQ(disks.DiskIdx[0], 24u);
    EXPECT_EQ(disks.DiskIdx[1], 25u);
    EXPECT_EQ(t.view->getDiskIndexListInRlu(6, nullptr), 0);
    EXPECT_EQ(t.view->getDiskIndexListInRlu(16, &disks), 0);
    EXPECT_EQ(t.view->getRaidDiskCount(6), 5);
    EXPECT_EQ(t.view->getRaidHSDiskCount(6), 2);
    EXPECT_EQ(t.view->getRaidHSDiskCount(-3), 0);
    EXPECT_EQ(t.view->getTotalOlbaCount(1), 300u);
    EXPECT_EQ(t.view->getTotalSlbaCount(1), 330u);
    EXPECT_EQ(t.view->getTotalLbaCount(99, 1), 0u);
}

TEST(VELDARO_RefTableLists, TieringPoolCapacityAndRaidLevel)
{
    ListImage t;
    EXPECT_EQ(t.view->getLxrpPoolLbaCount(2), 150u);
    EXPECT_EQ(t.view->getLxrpPoolLbaCount(3), 25u);  // SubPoolCnt 9 read as its 5 slots
    EXPECT_EQ(t.view->getLxrpPoolLbaCount(64), 0u);
    struct Case {
        int lxrp;
        int level;
        int tpp;
    };
    const Case cases[] = {
        {2, 12, 8},    // RAID1+0 comes before RAID5
        {4, 8, 9},     // the unranked level 5 is passed over
        {6, 255, 255}, // only an unranked level
        {5, 255, 255}, // no sub-pool
        {70, 255, 255},
    };
    for (const Case& c : cases) {
        int tpp = -7;
        EXPECT_EQ(t.view->getLxrpRaidLevel(c.lxrp, &tpp), c.level) << c.lxrp;
        EXPECT_EQ(tpp, c.tpp) << c.lxrp;
    }
}

TEST(VELDARO_RefTableLists, UserCapacityOfDisks)
{
    ListImage t;
    smis::test::LogCapture logs;
    constexpr std::uint64_t NONE = ~std::uint64_t{0};
    EXPECT_EQ(t.view->cms_get_user_disk_lba(0x80000100), 3000000u - 2097152u);
    EXPECT_EQ(t.view->cms_get_user_disk_lba(0x80000101), 8u);   // usage low bits 5
    EXPECT_EQ(t.view->cms_get_user_disk_lba(0x80000103), 0u);   // usage 2
    EXPECT_EQ(t.view->cms_get_user_disk_lba(0x80000104), 0u);   // smaller than the system area
    EXPECT_EQ(t.view->cms_get_user_disk_lba(0x81000100), NONE);
    EXPECT_TRUE(logs.hasLog("Specified ItemID is wrong."));
    EXPECT_EQ(t.view->cms_get_user_disk_lba(0x80000999), NONE);
    EXPECT_TRUE(logs.hasLog("Specified ItemID is Not Disk."));
    EXPECT_EQ(t.view->getDiskBlockCount(24), 3000000u - 2097152u);
    EXPECT_EQ(t.view->getDiskBlockCount(28), 64u) << "the row's own disk, not the one its item id's low bits name";
    EXPECT_EQ(t.view->getDiskBlockCount(-1), NONE);
    EXPECT_EQ(t.view->getDiskBlockCount(3072), NONE);
}

}  // namespace
