// Volumes with the disk extents of their RAID groups, and thin volumes
// with the pool they live in.

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "AssociationCalls.h"
#include "AssociationTables.h"
#include "CIM_ConcreteDependency.h"
#include "CIM_ConcreteDependency_Provider.h"
#include "OneArrayFixture.h"
#include "VELDARO_StorageVolume.h"

using assoc_test::Held_List;
using namespace assoc_test::tables;

namespace {

// Group 1 over disks 0x0101 and 0x0102 holds volume 3 and the first slice
// of concatenated volume 12, whose second slice lies in group 2 (disk
// 0x0103). Thin pool 5 is made of group 4 (thin-pool mode), which holds
// thin volume 6 (LU type 8).
void buildArray(CMTBuilder& b)
{
    b.maxCounts({.olu = 16, .slu = 8, .rlu = 6, .dlu = 4, .mlu = 4});
    disk(b, 0x0101, 0, 1000);
    disk(b, 0x0102, 0, 1000);
    disk(b, 0x0103, 1, 3000);
    group(b, 1, 4).RlbaCount(10000).StripeSize(128).MemberDiskCount(1).Dlun(0, 0).SluCount(2).Slun(0, 3).Slun(1, 4);
    group(b, 2, 1).RlbaCount(10000).StripeSize(128).MemberDiskCount(1).Dlun(0, 1).SluCount(1).Slun(0, 5);
    dlu(b, 0, 1, 0, {0x0101, 0x0102});
    dlu(b, 1, 2, 0, {0x0103});
    b.slu(3).Status(0).LuType(1).Rlun(1).Olun(3).StartRlba(0).SlbaCount(1000).StartOlba(0).OlbaCount(1000);
    b.olu(3).Status(0).SluCount(1).Slun(0, 3).OlbaCount(1000);
    b.slu(4).Status(0).LuType(1).Rlun(1).Olun(12).StartRlba(1024).SlbaCount(500).StartOlba(0).OlbaCount(500);
    b.slu(5).Status(0).LuType(1).Rlun(2).Olun(12).StartRlba(0).SlbaCount(300).StartOlba(500).OlbaCount(300)
        .NextSlun(0xFFFF);
    b.olu(12).Status(0).SluCount(2).Slun(0, 4).Slun(1, 5).OlbaCount(800);
    group(b, 4, 1).Mode(0x01).PoolNumber(5).RlbaCount(4096).SluCount(1).Slun(0, 6);
    b.tpp(5).RaidLevel(1).MemDiskCnt(4).MaxPoolLbaCount(1 << 20).LxrpNumber(255);
    b.slu(6).Status(0).LuType(8).Rlun(4).Olun(0xFFFF).SlbaCount(4096).OlbaCount(4096);
}

std::string keyOf(const cimple::Instance* i)
{
    for (const char* key : {"DeviceID", "InstanceID"}) {
        const std::string value = assoc_test::text(i, key);
        if (!value.empty())
            return value;
    }
    return "";
}

class ConcreteDependency : public smis::test::One_Array_Fixture {
protected:
    void SetUp() override
    {
        One_Array_Fixture::SetUp();
        CMTBuilder b;
        buildArray(b);
        install(b);
        setDeviceStatus(0x50);
    }

    // The associators of the enumerated end with that key.
    std::vector<std::string> from(const Held_List& list, const char* role, const std::string& key)
    {
        for (const auto& a : list) {
            const cimple::Instance* end = assoc_test::end(a.get(), role);
            if (keyOf(end) != key)
                continue;
            Held_List found;
            EXPECT_EQ(assoc_test::associators(provider, end, found, true), 0);
            std::vector<std::string> keys;
            for (const auto& f : found)
                keys.push_back(keyOf(f.get()));
            return keys;
        }
        ADD_FAILURE() << "no " << role << " " << key;
        return {};
    }

    cimple::CIM_ConcreteDependency_Provider provider;
};

TEST_F(ConcreteDependency, VolumesDependOnTheDisksOfEveryGroupTheyLieIn)
{
    Held_List list;
    ASSERT_EQ(assoc_test::enumerate<cimple::CIM_ConcreteDependency>(provider, list), 0);
    std::map<std::string, std::vector<std::string>> byVolume;
    for (const auto& a : list)
        byVolume[keyOf(assoc_test::end(a.get(), "Dependent"))].push_back(keyOf(assoc_test::end(a.get(), "Antecedent")));
    const std::map<std::string, std::vector<std::string>> expected = {
        {"VOL00003", {"DE0x0101", "DE0x0102"}},
        {"VOL00012", {"DE0x0101", "DE0x0102", "DE0x0103"}},
        {"TPPV00006", {"VELDARO:TPP0005_" + std::string(ADDRESS)}},
    };
    EXPECT_EQ(byVolume, expected);
    // From each end the same pairs: the concatenated volume reaches the
    // disks of both its groups.
    for (const auto& [volume, antecedents] : expected)
        EXPECT_EQ(from(list, "Dependent", volume), antecedents) << volume;
    EXPECT_EQ(from(list, "Antecedent", "DE0x0103"), (std::vector<std::string>{"VOL00012"}));
    EXPECT_EQ(from(list, "Antecedent", "DE0x0101"), (std::vector<std::string>{"VOL00003", "VOL00012"}));
    EXPECT_EQ(from(list, "Antecedent", "VELDARO:TPP0005_" + std::string(ADDRESS)),
              (std::vector<std::string>{"TPPV00006"}));
}

}  // namespace
