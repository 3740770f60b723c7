// The per-image lists of the masking views that map each volume and of the
// ports that present each view answer what the walks over every group,
// LUN-mapping entry and map entry answer; one list per image.

#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "MaskingArrayFixture.h"
#include "Masking_Port_Map.h"
#include "Masking_View_Ports.h"
#include "Masking_View_Walk.h"
#include "Masking_Volume_Views.h"
#include "SMIS_CMTAccess.h"
#include "VELDARO_RefTable.h"

namespace {

using cimple::Masking_Port_Map;
using cimple::Masking_View_Ports;
using cimple::Masking_View_Walk;
using cimple::Masking_Volume_Views;
using cimple::VELDARO_RefTable;
using Pairs = std::vector<std::pair<int, int>>;

// The walks the lists stand for.
Pairs walkedGroups(const VELDARO_RefTable& t, std::uint16_t olu)
{
    Pairs out;
    for (int g = 0; g < int(VELDARO_RefTable::getAffinityGrpPerModelMaxCount()); ++g) {
        if (t.getAffinityDefinition(g) == 0)
            continue;
        const int lun = Masking_View_Walk::firstLunOf(olu, [&](int l) { return t.getAffinityOlun(g, l); });
        if (lun >= 0)
            out.emplace_back(g, lun);
    }
    return out;
}

Pairs walkedMappings(const VELDARO_RefTable& t, std::uint16_t olu)
{
    Pairs out;
    for (int e = 0; e < Masking_View_Walk::LUN_MAP_ENTRIES; ++e) {
        if (t.getLUNMapDefinition(e) == 0)
            continue;
        const int lun = Masking_View_Walk::firstLunOf(olu, [&](int l) { return t.getLUNMapOlun(e, l); });
        if (lun >= 0)
            out.emplace_back(e, lun);
    }
    return out;
}

template <class Keep>
std::vector<int> walkedPorts(const VELDARO_RefTable& t, Masking_Port_Map::Mode mode, Keep keep)
{
    std::vector<int> maps;
    Masking_Port_Map::eachPort(t, mode, [&](const Masking_Port_Map::Port& p) {
        if (keep(p.map))
            maps.push_back(p.map);
        return true;
    });
    return maps;
}

Pairs listed(const Masking_Volume_Views::Views& views)
{
    Pairs out;
    for (const auto& v : views)
        out.emplace_back(v.entry, v.lun);
    return out;
}

std::vector<int> maps(const Masking_View_Ports::Ports& ports)
{
    std::vector<int> out;
    for (const auto& p : ports)
        out.push_back(p.map);
    return out;
}

class MaskingVolumeViews : public smis::test::Masking_Array_Fixture {
protected:
    void SetUp() override
    {
        Masking_Array_Fixture::SetUp();
        smis::test::CMTBuilder b;
        build(b);
        // Group 9 names volume 3 but is not defined; group 11 maps volume 5
        // under LUNs 30 and 6 and is bound nowhere; LUN mapping 1 maps
        // volume 3 under LUN 8 and is used by no port.
        auto undefined = b.affinity(9);
        for (std::size_t k = 0; k < 512; ++k)
            undefined.Olun(k, k == 1 ? 3 : 0xFFFF);
        group(b, 11, {{30, 5}, {6, 5}});
        auto lm = b.lunMap(1);
        lm.Definition(1);
        for (std::size_t k = 0; k < 512; ++k)
            lm.Olun(k, k == 8 ? 3 : 0xFFFF);
        cimple::SMIS_CMTAccess::destroy();
        install(b);
    }
};

TEST_F(MaskingVolumeViews, ListsWhatTheWalksOverEveryViewAnswer)
{
    VELDARO_RefTable table(ADDRESS);
    const auto views = Masking_Volume_Views::of(table);
    const auto ports = Masking_View_Ports::of(table);
    ASSERT_NE(views, nullptr);
    ASSERT_NE(ports, nullptr);
    for (std::uint16_t olu : {0, 1, 3, 4, 5, 6}) {
        EXPECT_EQ(listed(views->affinityGroups(olu)), walkedGroups(table, olu)) << olu;
        EXPECT_EQ(listed(views->lunMappings(olu)), walkedMappings(table, olu)) << olu;
    }
    for (int affinity = 0; affinity < 16; ++affinity)
        EXPECT_EQ(maps(ports->ofGroup(affinity)),
                  walkedPorts(table, Masking_Port_Map::AFFINITY,
                              [&](int map) { return table.isSetToMapTable(map, affinity, Masking_Port_Map::NONE); }))
            << affinity;
    for (std::uint16_t number : {0, 1, 2})
        EXPECT_EQ(maps(ports->ofMapping(number)),
                  walkedPorts(table, Masking_Port_Map::LUN_MAPPING,
                              [&](int map) { return table.getMapLUNMappingNo(map) == number; }))
            << number;

    // What the walks give here, so that the comparison is not between two
    // empty answers.
    EXPECT_EQ(listed(views->affinityGroups(3)), (Pairs{{3, 0}, {7, 2}}));
    EXPECT_EQ(listed(views->affinityGroups(5)), (Pairs{{3, 10}, {11, 6}}));
    EXPECT_EQ(listed(views->lunMappings(3)), (Pairs{{1, 8}}));
    EXPECT_TRUE(views->affinityGroups(4).empty()) << "a volume no view maps";
    EXPECT_EQ(maps(ports->ofGroup(3)).size(), 2u) << "the FC and the iSCSI port";
    EXPECT_EQ(maps(ports->ofMapping(0)).size(), 2u);
    EXPECT_TRUE(ports->ofGroup(11).empty());
}

TEST_F(MaskingVolumeViews, OneListPerImage)
{
    std::shared_ptr<const Masking_Volume_Views> first;
    {
        VELDARO_RefTable table(ADDRESS);
        first = Masking_Volume_Views::of(table);
        EXPECT_EQ(Masking_Volume_Views::of(table), first) << "shared by the image's readers";
    }
    // A new image of the array: new lists, and the old ones go with their image.
    smis::test::CMTBuilder b;
    build(b);
    b.affinity(3).Definition(0);
    cimple::SMIS_CMTAccess::destroy();
    install(b);
    VELDARO_RefTable table(ADDRESS);
    const auto second = Masking_Volume_Views::of(table);
    EXPECT_NE(second, first);
    EXPECT_TRUE(first->stale());
    EXPECT_EQ(listed(second->affinityGroups(3)), (Pairs{{7, 2}}));
}

}  // namespace
