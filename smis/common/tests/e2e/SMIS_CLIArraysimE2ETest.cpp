// Every command builder through the simulator's command line, by way of the
// simulator's stand-in SSH client: the line the array received, the change in
// its model, the message mappings of armed replies and the busy retries.
#include "CliArraysimFixture.h"

#include <algorithm>
#include <cstring>
#include <functional>
#include <map>

namespace {

using namespace cimple;
using Json = nlohmann::json;

template <typename Field>
void setText(Field& field, const char* text)
{
    std::memset(field, 0, sizeof field);
    std::memcpy(field, text, std::min(std::strlen(text), sizeof field));
}

// The element of items whose key has the value; null when there is none.
Json find(const Json& items, const char* key, std::uint64_t value)
{
    if (items.is_array())
        for (const Json& e : items)
            if (e.value(key, std::uint64_t{0xFFFFFFFF}) == value) return e;
    return nullptr;
}

// The second channel adapter of the "small" scenario: iSCSI, module id 0x41,
// so its ports read "100" and "101" on the command line.
constexpr unsigned char ISCSI_CA = 0x41;

class SMIS_CLIArraysimTest : public smis::test::CliArraysimFixture {};

struct Step {
    const char* what;
    std::function<unsigned char(SMIS_CLI&)> call;
    std::vector<std::string> lines;     // what the array logged
    std::function<void(Json)> check;  // on the model afterwards
};

TEST_F(SMIS_CLIArraysimTest, EveryBuilderChangesTheSimulatedArray)
{
    static CMM_REG_RLU_INFO rg = {};
    rg.rluNumber = 3;
    rg.raidLevel = 1;
    setText(rg.name, "RGE2E");
    std::fill(std::begin(rg.diskList), std::end(rg.diskList), 0xFFFF);
    rg.diskList[0] = 0x000A;
    rg.diskList[1] = 0x000B;

    static SMIS_OLU_INFO vol = {};
    vol.oluNumber = 6;
    vol.rluNumber = 3;
    vol.sizeMB = 1024;
    setText(vol.name, "VOLE2E");
    static SMIS_OLU_INFO thin = {};
    thin.oluNumber = 7;
    thin.rluNumber = 0;
    thin.sizeMB = 512;

    static SMIS_REG_TPP_INFO pool = {};
    pool.raidLevel = 1;
    pool.attribute = 1;
    setText(pool.name, "TPPE2E");
    std::fill(std::begin(pool.diskList), std::end(pool.diskList), 0xFFFF);
    pool.diskList[0] = 0x000C;
    pool.diskList[1] = 0x000D;
    static SMIS_REG_TPP_INFO poolMore = pool;
    std::fill(std::begin(poolMore.diskList), std::end(poolMore.diskList), 0xFFFF);
    poolMore.diskList[0] = 0x000E;
    poolMore.diskList[1] = 0x000F;

    static SMIS_HOST_WWN_INFO wwn = {};
    wwn.hostNumber = 2;
    setText(wwn.id, "500000E0AAAA0001");
    setText(wwn.name, "HWWN2");
    static SMIS_HOST_WWN_INFO sas = {};
    sas.hostNumber = 3;
    setText(sas.id, "500605B000000003");
    static CMM_ISCSI_HOST_INFO iscsi = {};
    iscsi.hostNumber = 1;
    setText(iscsi.iscsiName, "iqn.2026-12.com.example:e2e");
    setText(iscsi.name, "IHOST1");

    static const CMM_WT_LUN_MAP_LUN_OLU first[] = {{0, 6}};
    static const CMM_WT_LUN_MAP_LUN_OLU second[] = {{1, 7}};
    static const affinity_info binding[] = {{1, 1, {}}};
    static const unsigned short rgNumbers[] = {3};
    static const unsigned short volNumbers[] = {7, 6};
    static unsigned short sessionId = 0xFFFF;
    static unsigned short poolNumbers[] = {0xFFFF};
    const std::string box = sim_->model(0)["system"].value("box_id", std::string{});
    ASSERT_FALSE(box.empty());
    static std::string localBox;
    localBox = box;

    const std::vector<Step> steps = {
        {"addRLU", [](SMIS_CLI& c) { return c.addRLU(&rg); },
         {"create raid-group -rg-number 3 -name RGE2E -disks 0010,0011 -level 1"},
         [](Json m) {
             Json g = find(m["raid_groups"], "rlun", 3);
             ASSERT_NE(g, nullptr);
             EXPECT_EQ(g["disks"], Json::array({10, 11}));
         }},
        {"createLogicalVolume open", [](SMIS_CLI& c) { return c.createLogicalVolume(&vol, 1); },
         {"create volume -volume-number 6 -name VOLE2E -rg-number 3 -type open -size 1024mb"},
         [](Json m) {
             Json v = find(m["volumes"], "olun", 6);
             ASSERT_NE(v, nullptr);
             EXPECT_EQ(v["slices"][0]["rlun"], 3);
             EXPECT_EQ(v["slices"][0]["blocks"], 1024u * 2048u);
             EXPECT_EQ(v["name"], "VOLE2E");
         }},
        {"setLogicalVolume", [](SMIS_CLI& c) {
             setText(vol.name, "RENAMED");
             return c.setLogicalVolume(&vol);
         },
         {"set volume -volume-number 6 -name RENAMED"},
         [](Json m) { EXPECT_EQ((find(m["volumes"], "olun", 6))["name"], "RENAMED"); }},
        {"createThinproPool reads the new pool number", [](SMIS_CLI& c) {
             const unsigned char rc = c.createThinproPool(&pool);
             poolNumbers[0] = pool.poolNumber;
             poolMore.poolNumber = pool.poolNumber;
             return rc;
         },
         {"create thin-pro-pool -name TPPE2E -attribute online -level 1 -rg-mode manual -disks 0012,0013"},
         [](Json m) {
             EXPECT_EQ(pool.poolNumber, 1);
             Json p = find(m["thin_pools"], "number", 1);
             ASSERT_NE(p, nullptr);
             EXPECT_EQ(p["name"], "TPPE2E");
         }},
        {"expandThinproPool", [](SMIS_CLI& c) { return c.expandThinproPool(&poolMore); },
         {"expand thin-pro-pool -pool-number 1 -rg-mode manual -disks 0014,0015"},
         [](Json m) {
             std::size_t groups = 0;
             for (const Json& g : m["raid_groups"]) groups += g.value("pool", -1) == 1;
             EXPECT_EQ(groups, 2u);
         }},
        {"createLogicalVolume tpv", [](SMIS_CLI& c) {
             thin.rluNumber = pool.poolNumber;
             return c.createLogicalVolume(&thin, 9);
         },
         {"create volume -volume-number 7 -pool-number 1 -type tpv -size 512mb"},
         [](Json m) {
             Json v = find(m["volumes"], "olun", 7);
             ASSERT_NE(v, nullptr);
             EXPECT_EQ(v["lu_type"], 9);
         }},
        {"expandLogicalVolume", [](SMIS_CLI& c) {
             thin.sizeMB = 1024;
             return c.expandLogicalVolume(&thin, 9);
         },
         {"expand volume -volume-number 7 -size 1024mb"},
         [](Json m) { EXPECT_EQ(find(m["volumes"], "olun", 7)["blocks"], 1024u * 2048u) << find(m["volumes"], "olun", 7); }},
        {"createAffinityGroup", [](SMIS_CLI& c) {
             const unsigned char name[] = "AGE2E";
             return c.createAffinityGroup(1, name, first, 1);
         },
         {"create affinity-group -ag-number 1 -name AGE2E -volume-number 6 -lun 0"},
         [](Json m) {
             Json g = find(m["affinity_groups"], "number", 1);
             ASSERT_NE(g, nullptr);
             EXPECT_EQ(g["name"], "AGE2E");
         }},
        {"setAffinityGroup", [](SMIS_CLI& c) { return c.setAffinityGroup(1, nullptr, second, 1); },
         {"set affinity-group -ag-number 1 -volume-number 7 -lun 1"},
         [](Json m) { EXPECT_EQ((find(m["affinity_groups"], "number", 1))["luns"].size(), 2u); }},
        {"deleteAffinityGroup entries", [](SMIS_CLI& c) { return c.deleteAffinityGroup(1, second, 1); },
         {"delete affinity-group -ag-number 1 -lun 1"},
         [](Json m) { EXPECT_EQ((find(m["affinity_groups"], "number", 1))["luns"].size(), 1u); }},
        {"createiSCSIHostList", [](SMIS_CLI& c) { return c.createiSCSIHostList(&iscsi, 1); },
         {"create host-iscsi-name -host-number 1 -iscsi-name iqn.2026-12.com.example:e2e -name IHOST1"},
         [](Json m) { EXPECT_NE(find(m["iscsi_hosts"], "index", 1), nullptr); }},
        {"setHostAffinity on the iSCSI port", [](SMIS_CLI& c) { return c.setHostAffinity(ISCSI_CA, 0, binding, 1); },
         {"set host-affinity -port 100 -host-number 1 -ag-number 1"},
         [](Json m) {
             bool bound = false;
             for (Json hm : m["host_maps"])
                 for (const Json& h : hm.value("hosts", Json::array())) bound |= h.value("host", -1) == 1 && h.value("group", -1) == 1;
             EXPECT_TRUE(bound);
         }},
        {"deleteHostAffinity", [](SMIS_CLI& c) { return c.deleteHostAffinity(ISCSI_CA, 0, binding, 1); },
         {"release host-affinity -port 100 -host-number 1"},
         [](Json m) {
             for (Json hm : m["host_maps"])
                 for (const Json& h : hm.value("hosts", Json::array())) EXPECT_FALSE(h.value("host", -1) == 1 && h.value("group", -1) == 1);
         }},
        {"setLUNMapping", [](SMIS_CLI& c) { return c.setLUNMapping(ISCSI_CA, 1, second, 1); },
         {"set mapping -port 101 -volume-number 7 -lun 1"},
         [](Json m) {
             bool mapped = false;
             for (const Json& lm : m["lun_maps"])
                 for (const Json& l : lm.value("luns", Json::array())) mapped |= l == 7 || (l.is_object() && l.value("olun", -1) == 7);
             EXPECT_TRUE(mapped) << m["lun_maps"];
         }},
        {"deleteLUNMapping", [](SMIS_CLI& c) { return c.deleteLUNMapping(ISCSI_CA, 1, second, 1); },
         {"release mapping -port 101 -lun 1"}, {}},
        {"deleteiSCSIHostList", [](SMIS_CLI& c) { return c.deleteiSCSIHostList(&iscsi, 1); },
         {"delete host-iscsi-name -host-number 1"},
         [](Json m) { EXPECT_EQ(find(m["iscsi_hosts"], "index", 1), nullptr); }},
        {"createHostWWNList", [](SMIS_CLI& c) { return c.createHostWWNList(&wwn, 1, IDTYPE_WWN); },
         {"create host-wwn-name -wwn 500000E0AAAA0001 -host-number 2 -name HWWN2"},
         [](Json m) { EXPECT_EQ((find(m["hosts"], "index", 2))["name"], "HWWN2"); }},
        {"createHostWWNList SAS", [](SMIS_CLI& c) { return c.createHostWWNList(&sas, 1, IDTYPE_SAS); },
         {"create host-sas-address -address 500605B000000003 -host-number 3"},
         [](Json m) { EXPECT_NE(find(m["hosts"], "index", 3), nullptr); }},
        {"deleteHostWWNList", [](SMIS_CLI& c) { return c.deleteHostWWNList(&wwn, 1, IDTYPE_WWN); },
         {"delete host-wwn-name -host-number 2"},
         [](Json m) { EXPECT_EQ(find(m["hosts"], "index", 2), nullptr); }},
        {"deleteHostWWNList SAS", [](SMIS_CLI& c) { return c.deleteHostWWNList(&sas, 1, IDTYPE_SAS); },
         {"delete host-sas-address -host-number 3"},
         [](Json m) { EXPECT_EQ(find(m["hosts"], "index", 3), nullptr); }},
        {"startCopyTirn", [](SMIS_CLI& c) { return c.startCopyTirn(0, 6, sessionId); },
         {"start copy-tirn -source-volume-number 0 -destination-volume-number 6"},
         [](Json m) {
             EXPECT_EQ(sessionId, 0);
             Json s = find(m["copy_sessions"], "id", 0);
             ASSERT_NE(s, nullptr);
             EXPECT_EQ(s["src"], 0);
             EXPECT_EQ(s["dst"], 6);
         }},
        {"stopCopySession", [](SMIS_CLI& c) { return c.stopCopySession(0, STOP_DEFAULT); },
         {"stop copy-session -session-id 0"},
         [](Json m) { EXPECT_EQ(find(m["copy_sessions"], "id", 0), nullptr); }},
        {"startCopySnapTirn", [](SMIS_CLI& c) { return c.startCopySnapTirn(0, 6, SNAPTIRN_NORMAL, sessionId); },
         {"start copy-snap-tirn -mode normal -source-volume-number 0 -destination-volume-number 6"},
         [](Json m) { EXPECT_NE(find(m["copy_sessions"], "id", sessionId), nullptr); }},
        {"stopCopySession force", [](SMIS_CLI& c) { return c.stopCopySession(0, STOP_FORCE); },
         {"stop copy-session -session-id 0 -mode force"},
         [](Json m) { EXPECT_EQ(find(m["copy_sessions"], "id", 0), nullptr); }},
        {"startCopyMirrex", [](SMIS_CLI& c) { return c.startCopyMirrex(0, 6, sessionId); },
         {"start copy-mirrex -source-volume-number 0 -destination-volume-number 6 -secondary-access 1"},
         [](Json m) { EXPECT_EQ((find(m["copy_sessions"], "id", 0))["state"], 2); }},
        {"suspendCopyMirrex", [](SMIS_CLI& c) { return c.suspendCopyMirrex(0); },
         {"suspend copy-mirrex -session-id 0 -mode normal"},
         [](Json m) { EXPECT_EQ((find(m["copy_sessions"], "id", 0))["state"], 4); }},
        {"resumeCopyMirrex", [](SMIS_CLI& c) { return c.resumeCopyMirrex(0); },
         {"resume copy-mirrex -session-id 0"},
         [](Json m) { EXPECT_EQ((find(m["copy_sessions"], "id", 0))["state"], 2); }},
        {"changeCopyMirrex", [](SMIS_CLI& c) { return c.changeCopyMirrex(0); },
         {"change copy-mirrex -session-id 0 -action reverse"},
         [](Json m) {
             EXPECT_EQ((find(m["copy_sessions"], "id", 0))["src"], 6);
             EXPECT_EQ((find(m["copy_sessions"], "id", 0))["dst"], 0);
         }},
        {"stopCopySession stop tracking", [](SMIS_CLI& c) { return c.stopCopySession(0, STOP_TRACKING); },
         {"stop copy-session -session-id 0 -mode stop-tracking"},
         [](Json m) { EXPECT_EQ(find(m["copy_sessions"], "id", 0), nullptr); }},
        {"startCopyXmirrex", [](SMIS_CLI& c) { return c.startCopyXmirrex(0, localBox.c_str(), 9, "REMOTEBOX0001", sessionId); },
         {"start copy-xmirrex -source-boxid " + box + " -source-volume-number 0 -destination-boxid REMOTEBOX0001 "
          "-destination-volume-number 9 -secondary-access 1 -xfer-mode 10 -split 1 -recovery 0"},
         [](Json m) { EXPECT_EQ((find(m["copy_sessions"], "id", 0))["remote_box"], "REMOTEBOX0001"); }},
        {"suspendCopyXmirrex", [](SMIS_CLI& c) { return c.suspendCopyXmirrex(0, SUSPEND_FORCE); },
         {"suspend copy-xmirrex -session-id 0 -mode force"},
         [](Json m) { EXPECT_EQ((find(m["copy_sessions"], "id", 0))["state"], 4); }},
        {"resumeCopyXmirrex", [](SMIS_CLI& c) { return c.resumeCopyXmirrex(0); },
         {"resume copy-xmirrex -session-id 0 -remain-mode disable"},
         [](Json m) { EXPECT_EQ((find(m["copy_sessions"], "id", 0))["state"], 2); }},
        {"changeCopyXmirrex", [](SMIS_CLI& c) { return c.changeCopyXmirrex(0); },
         {"change copy-xmirrex -session-id 0 -action reverse"},
         [](Json m) { EXPECT_EQ((find(m["copy_sessions"], "id", 0))["src"], 9); }},
        {"stopCopySession of the remote copy", [](SMIS_CLI& c) { return c.stopCopySession(0, STOP_FORCE); },
         {"stop copy-session -session-id 0 -mode force"},
         [](Json m) { EXPECT_EQ(find(m["copy_sessions"], "id", 0), nullptr); }},
        {"deleteAffinityGroup whole", [](SMIS_CLI& c) { return c.deleteAffinityGroup(1, nullptr, 0); },
         {"delete affinity-group -ag-number 1"},
         [](Json m) { EXPECT_EQ(find(m["affinity_groups"], "number", 1), nullptr); }},
        {"deleteLogicalVolume", [](SMIS_CLI& c) { return c.deleteLogicalVolume(volNumbers, 2); },
         {"delete volume -volume-number 7,6"},
         [](Json m) {
             EXPECT_EQ(find(m["volumes"], "olun", 6), nullptr);
             EXPECT_EQ(find(m["volumes"], "olun", 7), nullptr);
         }},
        {"deleteThinproPool", [](SMIS_CLI& c) { return c.deleteThinproPool(poolNumbers, 1); },
         {"delete thin-pro-pool -pool-number 1"},
         [](Json m) { EXPECT_EQ(find(m["thin_pools"], "number", 1), nullptr); }},
        {"deleteRLU", [](SMIS_CLI& c) { return c.deleteRLU(rgNumbers, 1); },
         {"delete raid-group -rg-number 3"},
         [](Json m) { EXPECT_EQ(find(m["raid_groups"], "rlun", 3), nullptr); }},
    };

    auto cli = session();
    ASSERT_EQ(cli->login(nullptr, nullptr), 0);
    for (const Step& s : steps) {
        SCOPED_TRACE(s.what);
        sim_->control({{"op", "cli_clear_log"}});
        EXPECT_EQ(s.call(*cli), 0);
        EXPECT_EQ(loggedLines(), s.lines);
        if (s.check) s.check(sim_->model(0));
    }
    EXPECT_TRUE(cli->isLoggedIn());
    sim_->control({{"op", "cli_clear_log"}});
    cli->logoff();
    EXPECT_FALSE(cli->isLoggedIn());
    EXPECT_TRUE(loggedLines().empty());
}

}  // namespace
