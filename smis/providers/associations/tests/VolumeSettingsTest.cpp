// The volumes of each RAID level and pool kind: the volume builder's level
// getter reads what the built volume says, the per-image index lists what
// a walk over every volume gives, and a setting's element setting data
// (from that index) is what the enumeration pairs with it.

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "AssociationCalls.h"
#include "CIM_ElementSettingData.h"
#include "CIM_ElementSettingData_Provider.h"
#include "CMTBuilder.h"
#include "OneArrayFixture.h"
#include "SMIS_CMTAccess.h"
#include "VELDARO_RefTable.h"
#include "VELDARO_StorageSetting_Resource.h"
#include "VELDARO_StorageVolume_Resource.h"
#include "Volume_Level_Index.h"
#include "Volume_Walk.h"

namespace {

using assoc_test::Held_List;
using cimple::VELDARO_RefTable;
using cimple::VELDARO_StorageVolume;
using cimple::VELDARO_StorageVolume_Resource;
using cimple::Volume_Level_Index;
using smis::test::CMTBuilder;

constexpr int SLUS = 12;

CMT_SLUW slice(CMTBuilder& b, std::uint16_t slu, std::uint8_t luType, std::uint16_t rlun, std::uint16_t olun)
{
    return b.slu(slu).Status(0).LuType(luType).Rlun(rlun).Olun(olun).Mlun(0xFFFF).SlbaCount(64);
}

void volume(CMTBuilder& b, std::uint16_t olu, std::initializer_list<std::uint16_t> slus)
{
    auto entry = b.olu(olu).Status(0).SluCount(std::uint8_t(slus.size())).OlbaCount(64);
    std::size_t k = 0;
    for (std::uint16_t slu : slus)
        entry.Slun(k++, slu);
}

// RAID groups 0 (RAID5), 1 (RAID1) and 2 (RAID1+0); the SLU table holds a
// volume of every kind, entries that give none, and a volume in its last
// entry.
void build(CMTBuilder& b, std::uint8_t group1Level = 4)
{
    b.maxCounts({.olu = 12, .slu = SLUS, .rlu = 4, .dlu = 4, .mlu = 4});
    b.rlu(0).Status(0x2000).RaidLevel(1);
    b.rlu(1).Status(0x2000).RaidLevel(group1Level);
    b.rlu(2).Status(0x2000).RaidLevel(12);
    volume(b, 3, {0});
    slice(b, 0, 1, 0, 3);
    volume(b, 4, {1, 2});  // concatenated: JBOD, reached through entry 1
    slice(b, 1, 1, 0, 4);
    slice(b, 2, 1, 1, 4);
    volume(b, 5, {3});
    slice(b, 3, 9, 1, 5).VirtualOlbaCount(128);  // thin
    b.mlu(1).Status(0).Slun(4);
    slice(b, 4, 2, 2, 0xFFFF).Mlun(1);  // mainframe
    slice(b, 5, 8, 1, 0xFFFF);          // pool volume
    volume(b, 7, {6});
    slice(b, 6, 11, 0, 7).VirtualOlbaCount(128);  // tiering
    slice(b, 7, 1, 0, 1);                         // its volume has no entry
    volume(b, 8, {8});
    slice(b, 8, 1, 3, 8);  // its group has no entry
    volume(b, 10, {9});
    slice(b, 9, 1, 0, 10).Status(6);  // free
    volume(b, 6, {10});
    slice(b, 10, 7, 0, 6);  // snap data volume: not published
    volume(b, 9, {11});
    slice(b, 11, 1, 0, 9);
}

bool isThin(const VELDARO_RefTable& table, int slu)
{
    return table.getLuType(slu) == 9 || table.getLuType(slu) == 11;
}

class VolumeSettings : public smis::test::One_Array_Fixture {
protected:
    void SetUp() override
    {
        One_Array_Fixture::SetUp();
        CMTBuilder b;
        build(b);
        install(b);
        setDeviceStatus(0x50);
    }

    // The SLU entries of each (level, thin) the walk over every volume
    // gives, building each volume.
    std::map<std::pair<std::string, bool>, std::vector<int>> walked(const VELDARO_RefTable& table)
    {
        std::map<std::pair<std::string, bool>, std::vector<int>> out;
        VELDARO_StorageVolume_Resource volumes(ADDRESS);
        cimple::Volume_Walk::each(table, [&](int slu) {
            VELDARO_StorageVolume* v = nullptr;
            EXPECT_EQ(volumes.createInstance(v, slu), 0) << slu;
            if (v) {
                out[{v->RaidLevel.value.c_str(), isThin(table, slu)}].push_back(slu);
                cimple::destroy(v);
            }
            return true;
        });
        return out;
    }
};

TEST_F(VolumeSettings, TheLevelGetterReadsWhatTheBuiltVolumeSays)
{
    VELDARO_RefTable table(ADDRESS);
    VELDARO_StorageVolume_Resource volumes(ADDRESS);
    int built = 0;
    for (int slu = -1; slu <= SLUS; ++slu) {
        cimple::String level("unset");
        const bool read = VELDARO_StorageVolume_Resource::raidLevelOf(table, slu, level);
        VELDARO_StorageVolume* v = nullptr;
        volumes.createInstance(v, slu);
        EXPECT_EQ(read, v != nullptr) << slu;
        if (v) {
            EXPECT_EQ(std::string(level.c_str()), v->RaidLevel.value.c_str()) << slu;
            cimple::destroy(v);
            ++built;
        }
    }
    EXPECT_EQ(built, 8) << "entries 0 to 6 (entry 2 the second part of a volume) and 11";
}

TEST_F(VolumeSettings, TheIndexListsWhatTheWalkOverEveryVolumeGives)
{
    VELDARO_RefTable table(ADDRESS);
    const auto index = Volume_Level_Index::of(table);
    ASSERT_NE(index, nullptr);
    const auto expected = walked(table);
    for (const auto& [kind, slus] : expected)
        EXPECT_EQ(index->volumes(kind.first, kind.second), slus) << kind.first << " thin " << kind.second;
    for (const char* level : {"JBOD", "RAID0", "RAID1", "RAID1+0", "RAID5", "RAID5+0", "RAID6"}) {
        for (bool thin : {false, true}) {
            if (!expected.count({level, thin})) {
                EXPECT_TRUE(index->volumes(level, thin).empty()) << level << " thin " << thin;
            }
        }
    }

    // What the walk gives here, so that the comparison is not between two
    // empty answers.
    EXPECT_EQ(index->volumes("RAID5", false), (std::vector<int>{0, 11})) << "the last entry included";
    EXPECT_EQ(index->volumes("JBOD", false), (std::vector<int>{1}));
    EXPECT_EQ(index->volumes("RAID1", true), (std::vector<int>{3}));
    EXPECT_EQ(index->volumes("RAID5", true), (std::vector<int>{6}));
    EXPECT_EQ(index->volumes("RAID1+0", false), (std::vector<int>{4}));
    EXPECT_EQ(index->volumes("RAID1", false), (std::vector<int>{5}));
}

TEST_F(VolumeSettings, OneIndexPerImage)
{
    std::shared_ptr<const Volume_Level_Index> first;
    {
        VELDARO_RefTable table(ADDRESS);
        first = Volume_Level_Index::of(table);
        EXPECT_EQ(Volume_Level_Index::of(table), first) << "shared by the image's readers";
    }
    // A new image of the array where group 1 is RAID6: a new index, and the
    // old one goes with its image.
    CMTBuilder b;
    build(b, 3);
    cimple::SMIS_CMTAccess::destroy();
    install(b);
    VELDARO_RefTable table(ADDRESS);
    const auto second = Volume_Level_Index::of(table);
    EXPECT_NE(second, first);
    EXPECT_TRUE(first->stale());
    EXPECT_TRUE(second->volumes("RAID1", true).empty());
    EXPECT_EQ(second->volumes("RAID6", true), (std::vector<int>{3}));
}

TEST_F(VolumeSettings, ASettingReferencesTheVolumesEnumerationPairsWithIt)
{
    cimple::CIM_ElementSettingData_Provider provider;
    Held_List list;
    ASSERT_EQ(assoc_test::enumerate<cimple::CIM_ElementSettingData>(provider, list), 0);
    std::map<std::string, std::vector<std::string>> expected;
    for (const auto& a : list) {
        const auto* s = static_cast<const cimple::CIM_ElementSettingData*>(a.get());
        expected[assoc_test::keyOf(assoc_test::end(a.get(), "SettingData"))].push_back(
            assoc_test::keyOf(assoc_test::end(a.get(), "ManagedElement")) + " " + std::to_string(s->IsDefault.value));
    }
    EXPECT_EQ(expected["VELDARO:SS_RAID5_10.0.0.5"], (std::vector<std::string>{"VOL00003 2", "VOL00009 2"}));
    EXPECT_EQ(expected["VELDARO:SS_RAID1+0_10.0.0.5"], (std::vector<std::string>{"MLU00001 1"}));

    cimple::VELDARO_StorageSetting_Resource settings(ADDRESS);
    ASSERT_EQ(settings.createStorageSetting(), 0);
    ASSERT_EQ(settings.list().size(), 12u);
    for (std::size_t k = 0; k < settings.list().size(); ++k) {
        const cimple::VELDARO_StorageSetting* setting = settings.list()[k];
        const std::string id = setting->InstanceID.value.c_str();
        Held_List found;
        cimple::Enum_References_Handler<cimple::CIM_ElementSettingData> h(
            [](cimple::Instance* i, cimple::Enum_References_Status, void* out) {
                return assoc_test::keep_owned(i, cimple::ENUM_INSTANCES_OK, out);
            },
            &found);
        ASSERT_EQ(provider.enum_references(setting, nullptr, "SettingData", &h), cimple::ENUM_REFERENCES_OK) << id;
        std::vector<std::string> got;
        for (const auto& a : found)
            got.push_back(assoc_test::keyOf(assoc_test::end(a.get(), "ManagedElement")) + " " +
                          std::to_string(static_cast<const cimple::CIM_ElementSettingData*>(a.get())->IsDefault.value));
        EXPECT_EQ(got, expected[id]) << id;
    }
}

}  // namespace
