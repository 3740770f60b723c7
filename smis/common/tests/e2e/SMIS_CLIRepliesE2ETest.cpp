// The builders' results for the array's error replies, armed on the
// simulator's command line, and the busy retries against it.
#include "CliArraysimFixture.h"

#include <algorithm>
#include <cstring>
#include <functional>
#include <map>

namespace {

using namespace cimple;

const CMM_WT_LUN_MAP_LUN_OLU PAIRS[] = {{0, 1}};
const affinity_info BINDING[] = {{0, 0, {}}};
const unsigned short NUMBERS[] = {1};

std::map<std::string, std::function<unsigned char(SMIS_CLI&)>> calls()
{
    static CMM_REG_RLU_INFO rg = [] {
        CMM_REG_RLU_INFO r = {};
        r.rluNumber = 3;
        r.raidLevel = 1;
        std::fill(std::begin(r.diskList), std::end(r.diskList), 0xFFFF);
        r.diskList[0] = 0x000A;
        r.diskList[1] = 0x000B;
        return r;
    }();
    static SMIS_OLU_INFO vol = [] {
        SMIS_OLU_INFO v = {};
        v.oluNumber = 1;
        v.sizeMB = 1024;
        v.name[0] = 'V';
        return v;
    }();
    static SMIS_REG_TPP_INFO pool = [] {
        SMIS_REG_TPP_INFO p = {};
        p.raidLevel = 1;
        p.attribute = 1;
        std::fill(std::begin(p.diskList), std::end(p.diskList), 0xFFFF);
        p.diskList[0] = 0x000D;
        return p;
    }();
    static SMIS_HOST_WWN_INFO host = [] {
        SMIS_HOST_WWN_INFO h = {};
        h.hostNumber = 1;
        std::memcpy(h.id, "500000E012345678", 16);
        return h;
    }();
    static CMM_ISCSI_HOST_INFO iscsiHost = [] {
        CMM_ISCSI_HOST_INFO h = {};
        h.hostNumber = 1;
        std::memcpy(h.iscsiName, "iqn.2026-12.com.example:x", 25);
        return h;
    }();
    static unsigned short session = 0;
    return {
        {"addRLU", [](SMIS_CLI& c) { return c.addRLU(&rg); }},
        {"deleteRLU", [](SMIS_CLI& c) { return c.deleteRLU(NUMBERS, 1); }},
        {"createLogicalVolume", [](SMIS_CLI& c) { return c.createLogicalVolume(&vol, 1); }},
        {"deleteLogicalVolume", [](SMIS_CLI& c) { return c.deleteLogicalVolume(NUMBERS, 1); }},
        {"expandLogicalVolume", [](SMIS_CLI& c) { return c.expandLogicalVolume(&vol, 9); }},
        {"setLogicalVolume", [](SMIS_CLI& c) { return c.setLogicalVolume(&vol); }},
        {"createThinproPool", [](SMIS_CLI& c) { return c.createThinproPool(&pool); }},
        {"deleteThinproPool", [](SMIS_CLI& c) { return c.deleteThinproPool(NUMBERS, 1); }},
        {"expandThinproPool", [](SMIS_CLI& c) { return c.expandThinproPool(&pool); }},
        {"createAffinityGroup", [](SMIS_CLI& c) { return c.createAffinityGroup(1, nullptr, PAIRS, 1); }},
        {"setAffinityGroup", [](SMIS_CLI& c) { return c.setAffinityGroup(1, nullptr, PAIRS, 1); }},
        {"deleteAffinityGroup", [](SMIS_CLI& c) { return c.deleteAffinityGroup(1, nullptr, 0); }},
        {"setLUNMapping", [](SMIS_CLI& c) { return c.setLUNMapping(0x40, 0, PAIRS, 1); }},
        {"deleteLUNMapping", [](SMIS_CLI& c) { return c.deleteLUNMapping(0x40, 0, PAIRS, 1); }},
        {"createHostWWNList", [](SMIS_CLI& c) { return c.createHostWWNList(&host, 1, IDTYPE_WWN); }},
        {"deleteHostWWNList", [](SMIS_CLI& c) { return c.deleteHostWWNList(&host, 1, IDTYPE_WWN); }},
        {"createiSCSIHostList", [](SMIS_CLI& c) { return c.createiSCSIHostList(&iscsiHost, 1); }},
        {"deleteiSCSIHostList", [](SMIS_CLI& c) { return c.deleteiSCSIHostList(&iscsiHost, 1); }},
        {"setHostAffinity", [](SMIS_CLI& c) { return c.setHostAffinity(0x40, 0, BINDING, 1); }},
        {"deleteHostAffinity", [](SMIS_CLI& c) { return c.deleteHostAffinity(0x40, 0, BINDING, 1); }},
        {"startCopyTirn", [](SMIS_CLI& c) { return c.startCopyTirn(0, 2, session); }},
        {"startCopySnapTirn", [](SMIS_CLI& c) { return c.startCopySnapTirn(0, 2, SNAPTIRN_NORMAL, session); }},
        {"startCopyMirrex", [](SMIS_CLI& c) { return c.startCopyMirrex(0, 2, session); }},
        {"startCopyXmirrex", [](SMIS_CLI& c) { return c.startCopyXmirrex(0, "BOXA", 2, "BOXB", session); }},
        {"stopCopySession", [](SMIS_CLI& c) { return c.stopCopySession(1, STOP_DEFAULT); }},
        {"changeCopyMirrex", [](SMIS_CLI& c) { return c.changeCopyMirrex(1); }},
        {"changeCopyXmirrex", [](SMIS_CLI& c) { return c.changeCopyXmirrex(1); }},
        {"suspendCopyMirrex", [](SMIS_CLI& c) { return c.suspendCopyMirrex(1); }},
        {"suspendCopyXmirrex", [](SMIS_CLI& c) { return c.suspendCopyXmirrex(1, SUSPEND_NORMAL); }},
        {"resumeCopyMirrex", [](SMIS_CLI& c) { return c.resumeCopyMirrex(1); }},
        {"resumeCopyXmirrex", [](SMIS_CLI& c) { return c.resumeCopyXmirrex(1); }},
    };
}

class SMIS_CLIRepliesTest : public smis::test::CliArraysimFixture {
protected:
    void arm(nlohmann::json fault) const
    {
        fault["op"] = "cli_fault";
        fault["array"] = 0;
        ASSERT_TRUE(sim_->control(fault)["ok"]) << fault;
    }
};

TEST_F(SMIS_CLIRepliesTest, EveryMessageNumberMapsToItsResult)
{
    // Message number → result, per builder; the array's status 1 replies
    // carry an option and a parameter line.
    const std::vector<std::pair<std::vector<std::string>, std::vector<std::pair<int, unsigned char>>>> own = {
        {{"addRLU"}, {{0x5, 65}, {0x120, 70}}},
        {{"deleteRLU"}, {{0x71, 68}, {0x110, 65}}},
        {{"createLogicalVolume"},
         {{0x2, 65}, {0x5, 65}, {0x110, 65}, {0x72, 90}, {0x80, 72}, {0x100, 71}, {0x120, 70}, {0x156, 68},
          {0x5100, 91}}},
        {{"deleteLogicalVolume"}, {{0x7, 65}, {0x80, 65}, {0x110, 65}, {0x71, 69}, {0x154, 69}, {0x155, 68}}},
        {{"expandLogicalVolume"},
         {{0x2, 65}, {0x5, 65}, {0x7, 65}, {0x8, 65}, {0x110, 65}, {0x146, 65}, {0x70, 69}, {0x153, 69},
          {0x154, 69}, {0x90, 91}, {0x155, 68}, {0x156, 68}}},
        {{"setLogicalVolume"},
         {{0x2, 65}, {0x7, 65}, {0x33, 65}, {0x110, 65}, {0x120, 70}, {0x152, 69}, {0x153, 69}, {0x154, 69},
          {0x155, 68}, {0x156, 68}, {0x196, 68}, {0x5200, 87}}},
        {{"createThinproPool"}, {{0x2, 65}, {0x5, 65}, {0x120, 70}, {0x5100, 91}, {0x5104, 71}}},
        {{"deleteThinproPool"}, {{0x71, 68}, {0x110, 65}, {0x5100, 91}}},
        {{"expandThinproPool"}, {{0x2, 65}, {0x5, 65}, {0x5100, 91}, {0x5104, 71}}},
        {{"createAffinityGroup"}, {{0x2, 78}, {0x5, 65}, {0x7, 65}, {0x110, 65}, {0x80, 79}}},
        {{"setAffinityGroup"}, {{0x2, 78}, {0x5, 65}, {0x7, 65}, {0x110, 65}, {0x71, 80}, {0x80, 79}}},
        {{"deleteAffinityGroup"}, {{0x2, 65}, {0x110, 65}}},
        {{"setLUNMapping"}, {{0x2, 65}, {0x5, 65}, {0x7, 65}, {0x110, 65}, {0x71, 80}, {0x93, 82}}},
        {{"deleteLUNMapping"}, {{0x2, 65}, {0x7, 65}, {0x93, 82}, {0x131, 81}}},
        {{"createHostWWNList"}, {{0x80, 74}, {0x120, 70}}},
        {{"deleteHostWWNList"}, {{0x2, 65}, {0x110, 65}, {0x71, 75}}},
        {{"createiSCSIHostList"}, {{0x80, 77}, {0x120, 70}}},
        {{"deleteiSCSIHostList"}, {{0x2, 65}, {0x110, 65}, {0x71, 76}}},
        {{"setHostAffinity"}, {{0x2, 65}, {0x5, 65}, {0x7, 65}, {0x110, 65}, {0x80, 85}, {0x93, 82}, {0x120, 83}}},
        {{"deleteHostAffinity"}, {{0x2, 65}, {0x7, 65}, {0x93, 82}, {0x110, 84}}},
        {{"startCopyTirn", "startCopySnapTirn", "startCopyMirrex", "startCopyXmirrex"},
         {{0x2, 65}, {0x5, 65}, {0x7, 65}, {0x8, 65}, {0x110, 65}, {0x6, 69}, {0x152, 69}, {0x153, 69}, {0x80, 86},
          {0x155, 68}, {0x156, 68}, {0x5200, 87}}},
        {{"changeCopyMirrex"}, {{0x5, 65}, {0x110, 88}, {0x5201, 89}}},
        {{"stopCopySession", "changeCopyXmirrex", "suspendCopyMirrex", "suspendCopyXmirrex", "resumeCopyMirrex",
          "resumeCopyXmirrex"},
         {{0x110, 88}, {0x5201, 89}}},
    };
    struct Case {
        std::string method;
        int status;
        int message;
        unsigned char result;
    };
    std::vector<Case> cases;
    for (const auto& [methods, pairs] : own) {
        for (const std::string& method : methods) {
            for (const auto& [message, result] : pairs) cases.push_back({method, 1, message, result});
            cases.push_back({method, 1, 0x999, 65});   // not listed, with details
            cases.push_back({method, 3, 0x999, 67});   // not listed, other status
            cases.push_back({method, 1, 0x5312, 108});  // the common mapping comes first
        }
    }
    const std::vector<Case> common = {
        {"addRLU", 1, 0x5399, 195}, {"addRLU", 1, 0x5300, 96},          {"addRLU", 1, 0x531A, 97},
        {"addRLU", 1, 0x1, 65},     {"deleteRLU", 1, 0x3, 65},          {"changeCopyMirrex", 1, 0x4, 65},
        {"setLogicalVolume", 2, 0x98, 67}, {"createAffinityGroup", 1, 0x151, 67}, {"setAffinityGroup", 1, 0x53A0, 65},
    };
    cases.insert(cases.end(), common.begin(), common.end());

    const auto builders = calls();
    auto cli = session();
    ASSERT_EQ(cli->login(nullptr, nullptr), 0);
    const nlohmann::json before = sim_->model(0);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.method + " status " + std::to_string(c.status) + " message " + std::to_string(c.message));
        arm({{"status", c.status}, {"message", c.message}, {"option", "-volume-number"}, {"parameter", "1"}});
        ASSERT_EQ(builders.count(c.method), 1u);
        EXPECT_EQ(builders.at(c.method)(*cli), c.result);
        ASSERT_TRUE(cli->isLoggedIn());
    }
    // Armed replies stand in for the commands: the model is untouched.
    EXPECT_EQ(sim_->model(0)["volumes"], before["volumes"]);
    EXPECT_EQ(loggedLines().size(), cases.size());
}

TEST_F(SMIS_CLIRepliesTest, BusyTenTimesLeavesTheBusyStatusForTheBuilder)
{
    // A thin volume that nothing uses.
    static const unsigned short THIN_VOLUME = 3;
    arm({{"command", "delete volume"}, {"busy", 10}});
    auto cli = session();
    EXPECT_EQ(cli->deleteLogicalVolume(&THIN_VOLUME, 1), SMIS_CLI::CLI_ERR_BUSY);
    EXPECT_EQ(busyWaits, std::vector<unsigned>(9, 1000u));
    std::vector<std::string> expected(10, "delete volume -volume-number 3");
    EXPECT_EQ(loggedLines(), expected);
    nlohmann::json kept = sim_->model(0);
    EXPECT_EQ(kept["volumes"][3]["olun"], 3);

    // Nine busy replies: the tenth attempt runs the command.
    busyWaits.clear();
    sim_->control({{"op", "cli_clear_log"}});
    arm({{"command", "delete volume"}, {"busy", 9}});
    EXPECT_EQ(cli->deleteLogicalVolume(&THIN_VOLUME, 1), 0);
    EXPECT_EQ(busyWaits.size(), 9u);
    EXPECT_EQ(loggedLines().size(), 10u);
    nlohmann::json model = sim_->model(0);
    for (nlohmann::json v : model["volumes"]) EXPECT_NE(v["olun"], 3);
}

}  // namespace
