#include <gtest/gtest.h>

#include <set>

#include "Scenario.hpp"
#include "ScenarioNormalizer.hpp"
#include "SimulatorState.hpp"

using namespace arraysim;

namespace {

Json oneArray(Json array) { return Json{{"name", "t"}, {"arrays", Json::array({std::move(array)})}}; }

Json baseArray() {
    return Json::parse(R"({
      "des": [{"index": 0}],
      "disks": [{"de": 0, "slot": 0}, {"de": 0, "slot": 1}, {"de": 0, "slot": 2}, {"de": 0, "slot": 3}],
      "raid_groups": [{"rlun": 0, "level": 4, "disks": [0, 1]}],
      "volumes": [{"olun": 0, "raid_group": 0, "blocks": 2048}]
    })");
}

}  // namespace

TEST(Scenario, NamedScenariosLoadAndAreConsistent) {
    for (const char* name : {"small", "coverage"}) {
        SCOPED_TRACE(name);
        Scenario s = Scenario::load(name);
        EXPECT_FALSE(s.arrays.empty());
    }
    EXPECT_EQ(Scenario::load("coverage").arrays.size(), 2u);
}

// What a client of the stock scenarios relies on: the port WWNs of all
// arrays differ, every present channel adapter sits under a controller
// module of its array (CM number: module id bits 0-2), and each array has
// free disks in at least four enclosure buckets (enclosure id bits 3-7),
// enough for a thin RAID5 pool of one disk per bucket.
TEST(Scenario, StockArraysAreRealistic) {
    for (const char* name : {"small", "coverage"}) {
        SCOPED_TRACE(name);
        Scenario s = Scenario::load(name);
        std::set<std::string> wwns;
        for (std::size_t i = 0; i < s.arrays.size(); ++i) {
            SCOPED_TRACE(i);
            const Json& a = s.arrays[i].model();
            std::set<std::uint64_t> cms;
            for (auto& cm : a["cms"]) cms.insert(num(cm, "module_id") & 7);
            for (auto& ca : a["cas"]) {
                if (num(ca, "status") == 0) continue;
                EXPECT_TRUE(cms.count(num(ca, "module_id") & 7)) << "CA " << num(ca, "index") << " has no CM";
                for (auto& p : ca["ports"]) EXPECT_TRUE(wwns.insert(str(p, "wwn")).second) << str(p, "wwn");
            }
            std::set<std::uint64_t> buckets;
            for (auto& d : a["disks"])
                if (num(d, "usage") == 5 && (num(d, "status") & 0xFF) == 0) buckets.insert(num(d, "plun") >> 11);
            EXPECT_GE(buckets.size(), 4u);
        }
    }
}

TEST(Scenario, MaxFillsEveryTableToItsLimit) {
    Scenario s = Scenario::load("max");
    const Json& a = s.arrays.at(0).model();
    EXPECT_EQ(a["disks"].size(), 3072u);
    EXPECT_EQ(a["des"].size(), 128u);
    EXPECT_EQ(a["cas"].size(), 64u);
    EXPECT_EQ(a["hosts"].size(), 8192u);
    EXPECT_EQ(a["iscsi_hosts"].size(), 8192u);
    EXPECT_EQ(a["affinity_groups"].size(), 2048u);
    EXPECT_EQ(a["lun_maps"].size(), 128u);
    EXPECT_EQ(a["host_maps"].size(), 128u);
    EXPECT_EQ(a["thin_pools"].size(), 256u);
    EXPECT_EQ(a["tiering_pools"].size(), 64u);
    EXPECT_EQ(a["remote_boxes"].size(), 16u);
    EXPECT_EQ(a["volumes"].size(), num(a["limits"], "olu"));
}

TEST(Scenario, DerivedValuesFollowPositionsAndMembership) {
    Scenario s = Scenario::load("small");
    const Json& a = s.arrays[0].model();
    const Json& d0 = a["disks"][0];
    EXPECT_EQ(num(d0, "item_id"), 0x80000000u);
    EXPECT_EQ(num(d0, "usage"), 1u);               // RAID member
    EXPECT_EQ(num(a["disks"][9], "usage"), 10u);   // hot spare dedicated to RAID group 0
    EXPECT_EQ(num(a["disks"][10], "usage"), 5u);   // free for creation
    EXPECT_EQ(num(d0, "dlun"), num(a["raid_groups"][0]["disk_sets"][0], "dlun"));
    EXPECT_EQ(num(a["cas"][1], "item_id"), 0x10004100u);
    EXPECT_EQ(num(a["cas"][1], "module_id"), 0x41u);
    // A controller module's master CPU is found by the module's own id.
    for (auto& cm : a["cms"]) EXPECT_EQ(num(cm, "master_cpu_mid"), num(cm, "module_id"));
    // Drive enclosure 5: id byte 0x09, disks numbered with it.
    EXPECT_EQ(ScenarioNormalizer::deIdOf(5), 0x09u);
    EXPECT_EQ(ScenarioNormalizer::plunOf(5, 3), 0x0903u);
}

TEST(Scenario, InconsistentDescriptionsAreRefused) {
    struct Case {
        const char* what;
        const char* patch;  // JSON patch on the base array
        const char* message;
    } cases[] = {
        {"volume on a missing RAID group", R"([{"op":"replace","path":"/volumes/0/raid_group","value":7}])", "RAID group of slice 0 7 does not exist"},
        {"member disk that does not exist", R"([{"op":"add","path":"/raid_groups/0/disks/-","value":99}])", "member disk of RAID group 0 99 does not exist"},
        {"disk in two disk sets", R"([{"op":"add","path":"/raid_groups/-","value":{"rlun":1,"disks":[1,2]}}])", "in two disk sets"},
        {"volume number twice", R"([{"op":"add","path":"/volumes/-","value":{"olun":0,"raid_group":0}}])", "volume 0 appears twice"},
        {"volume outside its table", R"([{"op":"add","path":"/limits","value":{"olu":4}},
                                         {"op":"add","path":"/volumes/-","value":{"olun":4,"raid_group":0}}])", "volume 4 lies outside"},
        {"disk of a missing enclosure", R"([{"op":"add","path":"/disks/-","value":{"de":3,"slot":0}}])", "drive enclosure of a disk 3 does not exist"},
        {"disk slot beyond 24", R"([{"op":"add","path":"/disks/-","value":{"de":0,"slot":24}}])", "slot 24 beyond 24"},
        {"copy from a missing volume", R"([{"op":"add","path":"/copy_sessions","value":[{"id":1,"type":3,"src":0,"dst":9}]}])", "destination of copy session 9 does not exist"},
        {"sub-pool that is not a thin pool", R"([{"op":"add","path":"/tiering_pools","value":[{"number":0,"sub_pools":[3]}]}])", "sub-pool 3 does not exist"},
        {"host map naming a missing group", R"([{"op":"add","path":"/host_maps","value":[{"index":0,"hosts":[{"host":65535,"group":4}]}]},
                                                {"op":"add","path":"/lun_maps","value":[{"number":0}]}])", "affinity group of host map 4 does not exist"},
        {"host WWN that is not hex", R"([{"op":"add","path":"/hosts","value":[{"index":0,"wwn":"50XX"}]}])",
         "host: wwn is not 16 hex digits"},
        {"master CPU that names no module", R"([{"op":"add","path":"/cms","value":[{"index":0,"master_cpu_mid":8}]}])",
         "master CPU module id of CM 0 8 does not exist"},
        {"LAN address that is not IPv4", R"([{"op":"add","path":"/management","value":{"lan_master":"10.1"}}])",
         "lan_master is not an IPv4 address"},
    };
    EXPECT_NO_THROW(Scenario::fromJson(oneArray(baseArray())));
    for (auto& c : cases) {
        SCOPED_TRACE(c.what);
        Json a = baseArray().patch(Json::parse(c.patch));
        try {
            Scenario::fromJson(oneArray(a));
            ADD_FAILURE() << "accepted";
        } catch (const ScenarioError& e) {
            EXPECT_NE(std::string(e.what()).find(c.message), std::string::npos) << e.what();
        }
    }
}

TEST(Scenario, DerivedValuesFollowLaterChanges) {
    SimulatorState state(Scenario::fromJson(oneArray(baseArray())));
    // Grow the RAID group by a free disk and the volume in size.
    ASSERT_TRUE(state.change(0, [](Json& m) {
        m["raid_groups"][0]["disks"].push_back(2);
        m["volumes"][0]["blocks"] = 4096;
    }).empty());
    const Json m = state.dump()["arrays"][0];
    EXPECT_EQ(m["raid_groups"][0]["disk_sets"][0]["disks"].size(), 3u);
    EXPECT_EQ(num(m["disks"][2], "usage"), 1u);
    EXPECT_EQ(num(m["disks"][2], "dlun"), num(m["raid_groups"][0]["disk_sets"][0], "dlun"));
    EXPECT_EQ(num(m["volumes"][0], "blocks"), 4096u);
    EXPECT_EQ(num(m["volumes"][0]["slices"][0], "blocks"), 4096u);
    EXPECT_EQ(m["volumes"][0]["slices"].size(), 1u);
    // Moving the disk out again frees it.
    ASSERT_TRUE(state.change(0, [](Json& m2) { m2["raid_groups"][0]["disks"] = Json::array({0, 1}); }).empty());
    EXPECT_EQ(num(state.dump()["arrays"][0]["disks"][2], "usage"), 5u);
}

TEST(Scenario, EveryChangeMovesRevisionDateAndCount) {
    Scenario s = Scenario::fromJson(oneArray(baseArray()));
    SimArray& a = s.arrays[0];
    std::set<std::string> dates;
    std::set<std::uint64_t> revisions, counts;
    for (int i = 0; i < 3; ++i) {
        const Json& m = a.model()["management"];
        dates.insert(str(m, "config_date"));
        revisions.insert(num(m, "revision"));
        counts.insert(num(m, "validation_count"));
        a.noteConfigurationChange();
    }
    EXPECT_EQ(dates.size(), 3u);
    EXPECT_EQ(revisions.size(), 3u);
    EXPECT_EQ(counts.size(), 3u);
}
