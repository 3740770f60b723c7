// Redundancy sets (controller modules) and storage redundancy sets (hot-spare
// disk groups) through the framework adapter.

#include <gtest/gtest.h>

#include "ProviderTestBed.h"
#include "VELDARO_RedundancySet.h"
#include "VELDARO_StorageRedundancySet.h"

using cimple::Instance_List;
using cimple::Instance_Ptr;
using cimple::VELDARO_RedundancySet;
using cimple::VELDARO_StorageRedundancySet;
using smis::test::CMTBuilder;

namespace {

constexpr const char* A = "10.0.0.1";
constexpr const char* B = "10.0.0.2";
constexpr const char* NO_TABLE = "10.0.0.9";

// A disk in enclosure 0 at the slot; status low byte 2 is an empty slot.
void disk(CMTBuilder& b, std::uint8_t slot, std::uint8_t usage, std::uint16_t hsRlun, std::uint16_t status = 0)
{
    b.disk(0x80000000u | slot, slot).Status(status).Usage(usage).DedicatedHSRlun(hsRlun);
}

// Array A (RAID groups 3, 5 and 7): dedicated hot spares of groups 5 (two
// disks) and 3, an absent one of group 7, spares dedicated to no group and
// to a group the array lacks, a global hot spare and a data disk.
void arrayA(CMTBuilder& b)
{
    b.maxCounts({.olu = 2, .slu = 2, .rlu = 8, .dlu = 2, .mlu = 2, .cm = 4});
    for (std::uint16_t n : {3, 5, 7})
        b.rlu(n).Rlun(n).Status(0x2000).RaidLevel(1);
    disk(b, 0, 1, 0);
    disk(b, 1, 10, 5);
    disk(b, 2, 4, 0);
    disk(b, 3, 10, 3);
    disk(b, 4, 10, 5);
    disk(b, 5, 10, 7, 0x0102);
    disk(b, 6, 10, 0xFFFF);
    disk(b, 7, 10, 6);
}

// Array B: no hot spares.
void arrayB(CMTBuilder& b)
{
    b.maxCounts({.olu = 2, .slu = 2, .rlu = 2, .dlu = 2, .mlu = 2, .cm = 2});
    disk(b, 0, 1, 0);
}

class RedundancySets : public smis::test::ProviderTestBed {
protected:
    void SetUp() override
    {
        ProviderTestBed::SetUp();
        install({{A, arrayA}, {B, arrayB}}, {NO_TABLE});
    }

    template <class C>
    static std::vector<std::string> instanceIds(const Instance_List& list)
    {
        std::vector<std::string> out;
        for (const Instance_Ptr& p : list)
            out.push_back(static_cast<const C*>(p.get())->InstanceID.value.c_str());
        return out;
    }

    template <class C>
    int getById(cimple::Pegasus_Adapter& ad, const char* id, Instance_Ptr& got)
    {
        Instance_Ptr m = instanceIdModel<C>(ad, id);
        return ad.get_instance(m.get(), got);
    }
};

TEST_F(RedundancySets, ControllerSetPerArray)
{
    auto ad = adapter("VELDARO_RedundancySet");
    Instance_List list;
    ASSERT_EQ(ad->enum_instances(list), 0);
    ASSERT_EQ(instanceIds<VELDARO_RedundancySet>(list),
              (std::vector<std::string>{"VELDARO:RS_10.0.0.1", "VELDARO:RS_10.0.0.2"}));
    const auto* a = static_cast<const VELDARO_RedundancySet*>(list[0].get());
    EXPECT_STREQ(a->ElementName.value.c_str(), "Storage controllers");
    EXPECT_STREQ(a->Caption.value.c_str(), "Storage controllers");
    EXPECT_EQ(a->RedundancyStatus.value, 2);
    ASSERT_EQ(a->TypeOfSet.value.size(), 1u);
    EXPECT_EQ(a->TypeOfSet.value[0], 4);
    EXPECT_EQ(a->MinNumberNeeded.value, 1u);
    EXPECT_EQ(a->MaxNumberSupported.value, 4u);
    EXPECT_EQ(static_cast<const VELDARO_RedundancySet*>(list[1].get())->MaxNumberSupported.value, 2u);

    Instance_Ptr got;
    ASSERT_EQ(getById<VELDARO_RedundancySet>(*ad, "VELDARO:RS_10.0.0.2", got), 0);
    EXPECT_EQ(static_cast<const VELDARO_RedundancySet*>(got.get())->MaxNumberSupported.value, 2u);
    for (const char* id : {"VELDARO:RS_10.0.0.9", "VELDARO:RS_10.0.0.3", "VELDARO:RS", ""})
        EXPECT_EQ(getById<VELDARO_RedundancySet>(*ad, id, got), 60) << id;
}

TEST_F(RedundancySets, HotSpareGroups)
{
    auto ad = adapter("VELDARO_StorageRedundancySet");
    Instance_List list;
    ASSERT_EQ(ad->enum_instances(list), 0);
    ASSERT_EQ(instanceIds<VELDARO_StorageRedundancySet>(list),
              (std::vector<std::string>{"VELDARO:SRS_10.0.0.1", "VELDARO:SRS0005_10.0.0.1", "VELDARO:SRS0003_10.0.0.1",
                                        "VELDARO:SRS_10.0.0.2"}));
    const auto* global = static_cast<const VELDARO_StorageRedundancySet*>(list[0].get());
    EXPECT_STREQ(global->ElementName.value.c_str(), "Hot Spared Disk Group");
    EXPECT_EQ(global->RedundancyStatus.value, 2);
    EXPECT_EQ(global->TypeOfSet.value[0], 5);
    EXPECT_EQ(global->MinNumberNeeded.value, 0u);
    EXPECT_EQ(global->MaxNumberSupported.value, 0u);
    EXPECT_STREQ(global->HSRLUN.value.c_str(), "");
    const auto* g5 = static_cast<const VELDARO_StorageRedundancySet*>(list[1].get());
    EXPECT_STREQ(g5->HSRLUN.value.c_str(), "5");
    EXPECT_STREQ(g5->Description.value.c_str(), "Hot Spared Disk Group");

    Instance_Ptr got;
    ASSERT_EQ(getById<VELDARO_StorageRedundancySet>(*ad, "VELDARO:SRS0003_10.0.0.1", got), 0);
    EXPECT_STREQ(static_cast<const VELDARO_StorageRedundancySet*>(got.get())->HSRLUN.value.c_str(), "3");
    for (const char* id : {"VELDARO:SRS0007_10.0.0.1", "VELDARO:SRS65535_10.0.0.1", "VELDARO:SRS0006_10.0.0.1",
                           "VELDARO:SRS0005_10.0.0.2", "VELDARO:SRS_10.0.0.9"})
        EXPECT_EQ(getById<VELDARO_StorageRedundancySet>(*ad, id, got), 60) << id;
}

}  // namespace
