#include "CliSessionFixture.h"

#include <cstring>
#include <functional>
#include <map>

namespace {

using namespace cimple;
using smis::test::okReply;

using Call = std::function<unsigned char(SMIS_CLI&)>;

template <typename Field>
void setText(Field& field, const char* text)
{
    std::memset(field, 0, sizeof field);
    std::memcpy(field, text, std::min(std::strlen(text), sizeof field));
}

CMM_REG_RLU_INFO rlu(uint16_t number, uint8_t level, const char* name, std::vector<uint16_t> disks)
{
    CMM_REG_RLU_INFO info = {};
    info.rluNumber = number;
    info.raidLevel = level;
    setText(info.name, name);
    std::fill(std::begin(info.diskList), std::end(info.diskList), 0xFFFF);
    std::copy(disks.begin(), disks.end(), info.diskList);
    return info;
}

SMIS_REG_TPP_INFO tpp(uint16_t number, uint8_t level, uint8_t attribute, const char* name, std::vector<uint16_t> disks)
{
    SMIS_REG_TPP_INFO info = {};
    info.poolNumber = number;
    info.raidLevel = level;
    info.attribute = attribute;
    setText(info.name, name);
    std::fill(std::begin(info.diskList), std::end(info.diskList), 0xFFFF);
    std::copy(disks.begin(), disks.end(), info.diskList);
    return info;
}

SMIS_OLU_INFO olu(uint16_t number, uint16_t group, uint32_t size, const char* name)
{
    SMIS_OLU_INFO info = {};
    info.oluNumber = number;
    info.rluNumber = group;
    info.sizeMB = size;
    setText(info.name, name);
    return info;
}

SMIS_HOST_WWN_INFO wwn(uint16_t host, const char* id, const char* name)
{
    SMIS_HOST_WWN_INFO info = {};
    info.hostNumber = host;
    setText(info.id, id);
    setText(info.name, name);
    return info;
}

CMM_ISCSI_HOST_INFO iscsi(uint16_t host, const char* iscsiName, const char* name)
{
    CMM_ISCSI_HOST_INFO info = {};
    info.hostNumber = host;
    setText(info.iscsiName, iscsiName);
    setText(info.name, name);
    return info;
}

const std::vector<CMM_WT_LUN_MAP_LUN_OLU> PAIRS = {{0, 100}, {1, 101}};
const std::vector<affinity_info> AFFINITIES = {{1, 10, {}}, {2, 11, {}}};
const std::vector<unsigned short> NUMBERS = {1, 2, 300};

// One call of every method with valid arguments, by method name.
std::map<std::string, Call> defaultCalls()
{
    static CMM_REG_RLU_INFO rg = rlu(3, 5, "", {0x0103});
    static SMIS_OLU_INFO vol = olu(5, 2, 1024, "");
    static SMIS_REG_TPP_INFO pool = tpp(3, 1, 1, "", {0x0001});
    static SMIS_HOST_WWN_INFO host = wwn(1, "500000E012345678", "");
    static CMM_ISCSI_HOST_INFO iscsiHost = iscsi(4, "iqn.2026-01.test:h4", "");
    static unsigned short sessionId = 0;
    return {
        {"addRLU", [](SMIS_CLI& c) { return c.addRLU(&rg); }},
        {"deleteRLU", [](SMIS_CLI& c) { return c.deleteRLU(NUMBERS.data(), 1); }},
        {"createLogicalVolume", [](SMIS_CLI& c) { return c.createLogicalVolume(&vol, 1); }},
        {"deleteLogicalVolume", [](SMIS_CLI& c) { return c.deleteLogicalVolume(NUMBERS.data(), 1); }},
        {"expandLogicalVolume", [](SMIS_CLI& c) { return c.expandLogicalVolume(&vol, 9); }},
        {"setLogicalVolume", [](SMIS_CLI& c) { return c.setLogicalVolume(&vol); }},
        {"createThinproPool", [](SMIS_CLI& c) { return c.createThinproPool(&pool); }},
        {"deleteThinproPool", [](SMIS_CLI& c) { return c.deleteThinproPool(NUMBERS.data(), 1); }},
        {"expandThinproPool", [](SMIS_CLI& c) { return c.expandThinproPool(&pool); }},
        {"createAffinityGroup", [](SMIS_CLI& c) { return c.createAffinityGroup(1, nullptr, PAIRS.data(), 1); }},
        {"setAffinityGroup", [](SMIS_CLI& c) { return c.setAffinityGroup(1, nullptr, PAIRS.data(), 1); }},
        {"deleteAffinityGroup", [](SMIS_CLI& c) { return c.deleteAffinityGroup(1, nullptr, 0); }},
        {"setLUNMapping", [](SMIS_CLI& c) { return c.setLUNMapping(0, 0, PAIRS.data(), 1); }},
        {"deleteLUNMapping", [](SMIS_CLI& c) { return c.deleteLUNMapping(0, 0, PAIRS.data(), 1); }},
        {"createHostWWNList", [](SMIS_CLI& c) { return c.createHostWWNList(&host, 1, IDTYPE_WWN); }},
        {"deleteHostWWNList", [](SMIS_CLI& c) { return c.deleteHostWWNList(&host, 1, IDTYPE_WWN); }},
        {"createiSCSIHostList", [](SMIS_CLI& c) { return c.createiSCSIHostList(&iscsiHost, 1); }},
        {"deleteiSCSIHostList", [](SMIS_CLI& c) { return c.deleteiSCSIHostList(&iscsiHost, 1); }},
        {"setHostAffinity", [](SMIS_CLI& c) { return c.setHostAffinity(0, 0, AFFINITIES.data(), 1); }},
        {"deleteHostAffinity", [](SMIS_CLI& c) { return c.deleteHostAffinity(0, 0, AFFINITIES.data(), 1); }},
        {"startCopyTirn", [](SMIS_CLI& c) { return c.startCopyTirn(1, 2, sessionId); }},
        {"startCopySnapTirn", [](SMIS_CLI& c) { return c.startCopySnapTirn(1, 2, SNAPTIRN_NORMAL, sessionId); }},
        {"startCopyMirrex", [](SMIS_CLI& c) { return c.startCopyMirrex(1, 2, sessionId); }},
        {"startCopyXmirrex", [](SMIS_CLI& c) { return c.startCopyXmirrex(1, "BOX1", 2, "BOX2", sessionId); }},
        {"stopCopySession", [](SMIS_CLI& c) { return c.stopCopySession(1, STOP_DEFAULT); }},
        {"changeCopyMirrex", [](SMIS_CLI& c) { return c.changeCopyMirrex(1); }},
        {"changeCopyXmirrex", [](SMIS_CLI& c) { return c.changeCopyXmirrex(1); }},
        {"suspendCopyMirrex", [](SMIS_CLI& c) { return c.suspendCopyMirrex(1); }},
        {"suspendCopyXmirrex", [](SMIS_CLI& c) { return c.suspendCopyXmirrex(1, SUSPEND_NORMAL); }},
        {"resumeCopyMirrex", [](SMIS_CLI& c) { return c.resumeCopyMirrex(1); }},
        {"resumeCopyXmirrex", [](SMIS_CLI& c) { return c.resumeCopyXmirrex(1); }},
    };
}

class SMIS_CLITest : public smis::test::CliSessionFixture {};

struct BuilderCase {
    BuilderCase(const char* w, Call c, std::vector<std::string> cmds, std::vector<std::string> r = {},
                std::function<void()> ch = {})
        : what(w), call(std::move(c)), commands(std::move(cmds)), replies(std::move(r)), check(std::move(ch))
    {
    }
    const char* what;
    Call call;
    std::vector<std::string> commands;  // expected command lines, in order
    std::vector<std::string> replies;   // one per command; empty: plain success
    std::function<void()> check;        // checks on the values read back
};

TEST_F(SMIS_CLITest, EveryBuilderSendsItsExactCommandLine)
{
    static CMM_REG_RLU_INFO rgNamed = rlu(3, 5, "RG_A", {0x0103, 0x0A21});
    static CMM_REG_RLU_INFO rgPlain = rlu(0, 1, "", {0x0000, 0x011F});
    static SMIS_OLU_INFO volNamed = olu(5, 2, 1024, "vol01");
    static SMIS_OLU_INFO volThin = olu(6, 4, 2048, "");
    static SMIS_OLU_INFO volFullName = olu(5, 0, 4096, "ABCDEFGHIJKLMNOP");
    static SMIS_REG_TPP_INFO poolNew = tpp(0, 6, 129, "tpp1", {0x0001, 0x0002});
    static SMIS_REG_TPP_INFO poolOld = tpp(3, 1, 1, "", {0x0203});
    static std::vector<SMIS_HOST_WWN_INFO> wwns = {wwn(1, "500000E012345678", "hostA"),
                                                   wwn(2, "500000E0ABCDEF01", "")};
    static SMIS_HOST_WWN_INFO sas = wwn(3, "500605B000000001", "");
    static std::vector<CMM_ISCSI_HOST_INFO> iscsis = {iscsi(4, "iqn.2026-01.com.example:host4", "h4"),
                                                      iscsi(5, "iqn.2026-01.com.example:host5", "")};
    static unsigned short sessionId = 0;
    const unsigned char agName[] = "AG1";

    const std::vector<BuilderCase> cases = {
        {"addRLU named, disk 0x0A21 keeps the low 5 slot bits", [](SMIS_CLI& c) { return c.addRLU(&rgNamed); },
         {"create raid-group -rg-number 3 -name RG_A -disks 0103,0a01 -level 5"}},
        {"addRLU unnamed", [](SMIS_CLI& c) { return c.addRLU(&rgPlain); },
         {"create raid-group -rg-number 0 -disks 0000,0131 -level 1"}},
        {"deleteRLU", [](SMIS_CLI& c) { return c.deleteRLU(NUMBERS.data(), 3); },
         {"delete raid-group -rg-number 1,2,300"}},
        {"createLogicalVolume open", [](SMIS_CLI& c) { return c.createLogicalVolume(&volNamed, 1); },
         {"create volume -volume-number 5 -name vol01 -rg-number 2 -type open -size 1024mb"}},
        {"createLogicalVolume tpv", [](SMIS_CLI& c) { return c.createLogicalVolume(&volThin, 9); },
         {"create volume -volume-number 6 -pool-number 4 -type tpv -size 2048mb"}},
        {"deleteLogicalVolume", [](SMIS_CLI& c) { return c.deleteLogicalVolume(NUMBERS.data() + 2, 1); },
         {"delete volume -volume-number 300"}},
        {"expandLogicalVolume", [](SMIS_CLI& c) { return c.expandLogicalVolume(&volFullName, 9); },
         {"expand volume -volume-number 5 -size 4096mb"}},
        {"setLogicalVolume with a full 16-character name", [](SMIS_CLI& c) { return c.setLogicalVolume(&volFullName); },
         {"set volume -volume-number 5 -name ABCDEFGHIJKLMNOP"}},
        {"createThinproPool reads the new pool number", [](SMIS_CLI& c) { return c.createThinproPool(&poolNew); },
         {"create thin-pro-pool -name tpp1 -attribute sed -level 6 -rg-mode manual -disks 0001,0002"},
         {okReply("1a")},
         [] { EXPECT_EQ(poolNew.poolNumber, 0x1a); }},
        {"deleteThinproPool", [](SMIS_CLI& c) { return c.deleteThinproPool(NUMBERS.data(), 2); },
         {"delete thin-pro-pool -pool-number 1,2"}},
        {"expandThinproPool", [](SMIS_CLI& c) { return c.expandThinproPool(&poolOld); },
         {"expand thin-pro-pool -pool-number 3 -rg-mode manual -disks 0203"}},
        {"createAffinityGroup named",
         [&agName](SMIS_CLI& c) { return c.createAffinityGroup(10, agName, PAIRS.data(), 2); },
         {"create affinity-group -ag-number 10 -name AG1 -volume-number 100,101 -lun 0,1"}},
        {"setAffinityGroup unnamed", [](SMIS_CLI& c) { return c.setAffinityGroup(10, nullptr, PAIRS.data() + 1, 1); },
         {"set affinity-group -ag-number 10 -volume-number 101 -lun 1"}},
        {"deleteAffinityGroup pairs", [](SMIS_CLI& c) { return c.deleteAffinityGroup(10, PAIRS.data(), 2); },
         {"delete affinity-group -ag-number 10 -lun 0,1"}},
        {"deleteAffinityGroup whole group", [](SMIS_CLI& c) { return c.deleteAffinityGroup(11, nullptr, 0); },
         {"delete affinity-group -ag-number 11"}},
        {"setLUNMapping port 0x11/1", [](SMIS_CLI& c) { return c.setLUNMapping(0x11, 1, PAIRS.data(), 2); },
         {"set mapping -port 111 -volume-number 100,101 -lun 0,1"}},
        {"deleteLUNMapping port 0x08/0", [](SMIS_CLI& c) { return c.deleteLUNMapping(0x08, 0, PAIRS.data(), 2); },
         {"release mapping -port 002 -lun 0,1"}},
        {"createHostWWNList, one command per entry",
         [](SMIS_CLI& c) { return c.createHostWWNList(wwns.data(), 2, IDTYPE_WWN); },
         {"create host-wwn-name -wwn 500000E012345678 -host-number 1 -name hostA",
          "create host-wwn-name -wwn 500000E0ABCDEF01 -host-number 2"}},
        {"createHostWWNList SAS", [](SMIS_CLI& c) { return c.createHostWWNList(&sas, 1, IDTYPE_SAS); },
         {"create host-sas-address -address 500605B000000001 -host-number 3"}},
        {"deleteHostWWNList", [](SMIS_CLI& c) { return c.deleteHostWWNList(wwns.data(), 2, IDTYPE_WWN); },
         {"delete host-wwn-name -host-number 1,2"}},
        {"deleteHostWWNList SAS", [](SMIS_CLI& c) { return c.deleteHostWWNList(&sas, 1, IDTYPE_SAS); },
         {"delete host-sas-address -host-number 3"}},
        {"createiSCSIHostList", [](SMIS_CLI& c) { return c.createiSCSIHostList(iscsis.data(), 2); },
         {"create host-iscsi-name -host-number 4 -iscsi-name iqn.2026-01.com.example:host4 -name h4",
          "create host-iscsi-name -host-number 5 -iscsi-name iqn.2026-01.com.example:host5"}},
        {"deleteiSCSIHostList", [](SMIS_CLI& c) { return c.deleteiSCSIHostList(iscsis.data(), 2); },
         {"delete host-iscsi-name -host-number 4,5"}},
        {"setHostAffinity port 0x21/0", [](SMIS_CLI& c) { return c.setHostAffinity(0x21, 0, AFFINITIES.data(), 2); },
         {"set host-affinity -port 120 -host-number 1,2 -ag-number 10,11"}},
        {"deleteHostAffinity port 0x0C/1",
         [](SMIS_CLI& c) { return c.deleteHostAffinity(0x0C, 1, AFFINITIES.data(), 2); },
         {"release host-affinity -port 403 -host-number 1,2"}},
        {"startCopyTirn reads the session id", [](SMIS_CLI& c) { return c.startCopyTirn(1, 2, sessionId); },
         {"start copy-tirn -source-volume-number 1 -destination-volume-number 2"},
         {okReply("2f")},
         [] { EXPECT_EQ(sessionId, 0x2f); }},
        {"startCopySnapTirn normal",
         [](SMIS_CLI& c) { return c.startCopySnapTirn(1, 2, SNAPTIRN_NORMAL, sessionId); },
         {"start copy-snap-tirn -mode normal -source-volume-number 1 -destination-volume-number 2"},
         {okReply("FFFF")},
         [] { EXPECT_EQ(sessionId, 0xFFFF); }},
        {"startCopySnapTirn other mode is plus",
         [](SMIS_CLI& c) { return c.startCopySnapTirn(3, 4, static_cast<SnapTirnMode>(7), sessionId); },
         {"start copy-snap-tirn -mode plus -source-volume-number 3 -destination-volume-number 4"},
         {okReply("0")}},
        {"startCopyMirrex", [](SMIS_CLI& c) { return c.startCopyMirrex(1, 2, sessionId); },
         {"start copy-mirrex -source-volume-number 1 -destination-volume-number 2 -secondary-access 1"},
         {okReply("3")},
         [] { EXPECT_EQ(sessionId, 3); }},
        {"startCopyXmirrex", [](SMIS_CLI& c) { return c.startCopyXmirrex(1, "BOXSRC01", 2, "BOXDST02", sessionId); },
         {"start copy-xmirrex -source-boxid BOXSRC01 -source-volume-number 1 -destination-boxid BOXDST02 "
          "-destination-volume-number 2 -secondary-access 1 -xfer-mode 10 -split 1 -recovery 0"},
         {okReply("4")}},
        {"stopCopySession mode 1 has no mode option", [](SMIS_CLI& c) { return c.stopCopySession(7, STOP_DEFAULT); },
         {"stop copy-session -session-id 7"}},
        {"stopCopySession force", [](SMIS_CLI& c) { return c.stopCopySession(7, STOP_FORCE); },
         {"stop copy-session -session-id 7 -mode force"}},
        {"stopCopySession stop tracking", [](SMIS_CLI& c) { return c.stopCopySession(7, STOP_TRACKING); },
         {"stop copy-session -session-id 7 -mode stop-tracking"}},
        {"changeCopyMirrex", [](SMIS_CLI& c) { return c.changeCopyMirrex(8); },
         {"change copy-mirrex -session-id 8 -action reverse"}},
        {"changeCopyXmirrex", [](SMIS_CLI& c) { return c.changeCopyXmirrex(8); },
         {"change copy-xmirrex -session-id 8 -action reverse"}},
        {"suspendCopyMirrex", [](SMIS_CLI& c) { return c.suspendCopyMirrex(8); },
         {"suspend copy-mirrex -session-id 8 -mode normal"}},
        {"suspendCopyXmirrex normal", [](SMIS_CLI& c) { return c.suspendCopyXmirrex(8, SUSPEND_NORMAL); },
         {"suspend copy-xmirrex -session-id 8 -mode normal"}},
        {"suspendCopyXmirrex force", [](SMIS_CLI& c) { return c.suspendCopyXmirrex(8, SUSPEND_FORCE); },
         {"suspend copy-xmirrex -session-id 8 -mode force"}},
        {"suspendCopyXmirrex concurrent", [](SMIS_CLI& c) { return c.suspendCopyXmirrex(8, SUSPEND_CONCURRENT); },
         {"suspend copy-xmirrex -session-id 8 -mode concurrent"}},
        {"suspendCopyXmirrex other mode", [](SMIS_CLI& c) { return c.suspendCopyXmirrex(8, static_cast<SuspendMode>(0)); },
         {"suspend copy-xmirrex -session-id 8"}},
        {"resumeCopyMirrex", [](SMIS_CLI& c) { return c.resumeCopyMirrex(8); }, {"resume copy-mirrex -session-id 8"}},
        {"resumeCopyXmirrex", [](SMIS_CLI& c) { return c.resumeCopyXmirrex(8); },
         {"resume copy-xmirrex -session-id 8 -remain-mode disable"}},
    };

    std::vector<std::string> lines;
    std::vector<std::string> expected;
    for (const BuilderCase& c : cases) {
        for (std::size_t i = 0; i < c.commands.size(); ++i) {
            lines.push_back(i < c.replies.size() ? c.replies[i] : okReply());
            expected.push_back(c.commands[i]);
        }
    }
    script(lines);

    // One session for the whole table: every builder uses the open session.
    auto cli = session();
    ASSERT_EQ(cli->login(nullptr, nullptr), 0);
    for (const BuilderCase& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(c.call(*cli), 0);
        if (c.check) c.check();
    }
    EXPECT_TRUE(cli->isLoggedIn());
    cli->logoff();
    expected.push_back("exit");
    EXPECT_EQ(records("CMD"), expected);
}

struct MappingCase {
    std::string method;
    int cmdStatus;
    int errMsgNum;
    unsigned char result;
};

std::string errorReply(int cmdStatus, int errMsgNum)
{
    char text[128];
    if (cmdStatus == 1)
        std::snprintf(text, sizeof text, "reply %%E\\r\\n1\\r\\n%x\\r\\n-volume-number\\r\\n1\\r\\n5\\r\\nCLI> ", errMsgNum);
    else
        std::snprintf(text, sizeof text, "reply %%E\\r\\n%x\\r\\n%x\\r\\nCLI> ", cmdStatus, errMsgNum);
    return text;
}

TEST_F(SMIS_CLITest, EveryErrorMessageMapsToItsResult)
{
    // Each method's own message numbers, as the array documents them.
    const std::vector<std::pair<std::vector<std::string>, std::vector<std::pair<int, unsigned char>>>> own = {
        {{"addRLU"}, {{5, 65}, {288, 70}}},
        {{"deleteRLU"}, {{113, 68}, {272, 65}}},
        {{"createLogicalVolume"},
         {{2, 65}, {5, 65}, {272, 65}, {114, 90}, {128, 72}, {256, 71}, {288, 70}, {342, 68}, {20736, 91}}},
        {{"deleteLogicalVolume"}, {{7, 65}, {128, 65}, {272, 65}, {113, 69}, {340, 69}, {341, 68}}},
        {{"expandLogicalVolume"},
         {{2, 65}, {5, 65}, {7, 65}, {8, 65}, {272, 65}, {326, 65}, {112, 69}, {339, 69}, {340, 69}, {144, 91},
          {341, 68}, {342, 68}}},
        {{"setLogicalVolume"},
         {{2, 65}, {7, 65}, {51, 65}, {272, 65}, {288, 70}, {338, 69}, {339, 69}, {340, 69}, {341, 68}, {342, 68},
          {406, 68}, {20992, 87}}},
        {{"createThinproPool"}, {{2, 65}, {5, 65}, {288, 70}, {20736, 91}, {20740, 71}}},
        {{"deleteThinproPool"}, {{113, 68}, {272, 65}, {20736, 91}}},
        {{"expandThinproPool"}, {{2, 65}, {5, 65}, {20736, 91}, {20740, 71}}},
        {{"createAffinityGroup"}, {{2, 78}, {5, 65}, {7, 65}, {272, 65}, {128, 79}}},
        {{"setAffinityGroup"}, {{2, 78}, {5, 65}, {7, 65}, {272, 65}, {113, 80}, {128, 79}}},
        {{"deleteAffinityGroup"}, {{2, 65}, {272, 65}}},
        {{"setLUNMapping"}, {{2, 65}, {5, 65}, {7, 65}, {272, 65}, {113, 80}, {147, 82}}},
        {{"deleteLUNMapping"}, {{2, 65}, {7, 65}, {147, 82}, {305, 81}}},
        {{"createHostWWNList"}, {{128, 74}, {288, 70}}},
        {{"deleteHostWWNList"}, {{2, 65}, {272, 65}, {113, 75}}},
        {{"createiSCSIHostList"}, {{128, 77}, {288, 70}}},
        {{"deleteiSCSIHostList"}, {{2, 65}, {272, 65}, {113, 76}}},
        {{"setHostAffinity"}, {{2, 65}, {5, 65}, {7, 65}, {272, 65}, {128, 85}, {147, 82}, {288, 83}}},
        {{"deleteHostAffinity"}, {{2, 65}, {7, 65}, {147, 82}, {272, 84}}},
        {{"startCopyTirn", "startCopySnapTirn", "startCopyMirrex", "startCopyXmirrex"},
         {{2, 65}, {5, 65}, {7, 65}, {8, 65}, {272, 65}, {6, 69}, {338, 69}, {339, 69}, {128, 86}, {341, 68},
          {342, 68}, {20992, 87}}},
        {{"changeCopyMirrex"}, {{5, 65}, {272, 88}, {20993, 89}}},
        {{"stopCopySession", "changeCopyXmirrex", "suspendCopyMirrex", "suspendCopyXmirrex", "resumeCopyMirrex",
          "resumeCopyXmirrex"},
         {{272, 88}, {20993, 89}}},
    };

    std::vector<MappingCase> cases;
    for (const auto& [methods, pairs] : own) {
        for (const std::string& method : methods) {
            for (const auto& [msg, result] : pairs) cases.push_back({method, 1, msg, result});
            // Not listed: 65 for a detailed error, 67 for any other status.
            cases.push_back({method, 1, 999, 65});
            cases.push_back({method, 3, 999, 67});
            // The common mapping comes before every method's own.
            cases.push_back({method, 1, 0x5312, 108});
        }
    }
    const std::vector<MappingCase> common = {
        {"addRLU", 1, 0x5399, 195},  {"addRLU", 1, 0x5300, 96},  {"addRLU", 1, 0x531A, 97},
        {"addRLU", 1, 1, 65},        {"deleteRLU", 1, 3, 65},    {"changeCopyMirrex", 1, 4, 65},
        {"changeCopyMirrex", 1, 0x60, 66}, {"setLogicalVolume", 2, 0x98, 67}, {"createAffinityGroup", 1, 0x151, 67},
        {"setAffinityGroup", 1, 0x53A0, 65},
    };
    cases.insert(cases.end(), common.begin(), common.end());

    std::vector<std::string> lines;
    for (const MappingCase& c : cases) lines.push_back(errorReply(c.cmdStatus, c.errMsgNum));
    script(lines);

    const auto calls = defaultCalls();
    auto cli = session();
    ASSERT_EQ(cli->login(nullptr, nullptr), 0);
    for (const MappingCase& c : cases) {
        SCOPED_TRACE(c.method + " status " + std::to_string(c.cmdStatus) + " message " + std::to_string(c.errMsgNum));
        ASSERT_EQ(calls.count(c.method), 1u);
        EXPECT_EQ(calls.at(c.method)(*cli), c.result);
    }
    EXPECT_TRUE(cli->isLoggedIn());
    EXPECT_EQ(records("CMD").size(), cases.size());
}

TEST_F(SMIS_CLITest, HostListStopsAtTheFirstRefusedEntry)
{
    std::vector<SMIS_HOST_WWN_INFO> hosts = {wwn(1, "500000E000000001", ""), wwn(2, "500000E000000002", ""),
                                             wwn(3, "500000E000000003", "")};
    script({okReply(), errorReply(1, 128)});
    auto cli = session();
    EXPECT_EQ(cli->createHostWWNList(hosts.data(), 3, IDTYPE_WWN), 74);
    EXPECT_EQ(records("CMD"), (std::vector<std::string>{"create host-wwn-name -wwn 500000E000000001 -host-number 1",
                                                        "create host-wwn-name -wwn 500000E000000002 -host-number 2",
                                                        "exit"}));
    EXPECT_FALSE(cli->isLoggedIn());
}

TEST_F(SMIS_CLITest, BusyTenTimesLeavesTheBusyStatusForTheBuilder)
{
    std::vector<std::string> busy(10, errorReply(2, 0x60));
    script(busy);
    auto cli = session();
    EXPECT_EQ(cli->deleteRLU(NUMBERS.data(), 1), SMIS_CLI::CLI_ERR_BUSY);
    EXPECT_EQ(busyWaits, std::vector<unsigned>(9, 1000u));
    std::vector<std::string> expected(10, "delete raid-group -rg-number 1");
    expected.push_back("exit");
    EXPECT_EQ(records("CMD"), expected);
}

TEST_F(SMIS_CLITest, BusyRecordAfterTheLastSendAndSuccessAfterNineBusyReplies)
{
    std::vector<std::string> lines(10, errorReply(2, 0x60));
    lines.insert(lines.end(), 9, errorReply(2, 0x60));
    lines.push_back(okReply());
    script(lines);
    auto cli = session();
    ASSERT_EQ(cli->login(nullptr, nullptr), 0);

    SMIS_CLICMD cmd;
    cmd.command = "delete volume -volume-number 1";
    EXPECT_EQ(cli->execCLICmd(cmd), 0);
    EXPECT_EQ(cmd.cmdStatus, 2);
    EXPECT_EQ(cmd.errMsgNum, 0x60);
    EXPECT_EQ(busyWaits.size(), 9u);

    busyWaits.clear();
    EXPECT_EQ(cli->execCLICmd(cmd), 0);
    EXPECT_EQ(cmd.cmdStatus, 0);
    EXPECT_EQ(busyWaits.size(), 9u);
    EXPECT_EQ(records("CMD").size(), 20u);
}

TEST_F(SMIS_CLITest, RefusedArgumentsNeverStartTheClient)
{
    static SMIS_REG_TPP_INFO pool4 = tpp(0, 1, 4, "", {0x0001});
    static SMIS_REG_TPP_INFO poolNoDisks = tpp(0, 1, 1, "", {});
    static SMIS_OLU_INFO vol = olu(1, 1, 10, "");
    static SMIS_OLU_INFO blankName = olu(1, 1, 10, "my vol");
    static SMIS_OLU_INFO dashName = olu(1, 1, 10, "-type");
    static SMIS_OLU_INFO crlfName = olu(1, 1, 10, "a\r\nexit");
    static SMIS_OLU_INFO questionName = olu(1, 1, 10, "a?");
    static SMIS_HOST_WWN_INFO badWwn = wwn(1, "5000 0E0", "");
    static SMIS_HOST_WWN_INFO goodWwn = wwn(1, "500000E000000001", "");
    static CMM_ISCSI_HOST_INFO badIscsi = iscsi(1, "-iqn", "");
    static unsigned short sessionId = 0;
    const unsigned char tabName[] = "a\tb";

    const std::vector<std::pair<const char*, Call>> cases = {
        {"pool attribute 4", [](SMIS_CLI& c) { return c.createThinproPool(&pool4); }},
        {"pool without disks", [](SMIS_CLI& c) { return c.createThinproPool(&poolNoDisks); }},
        {"volume type 2", [](SMIS_CLI& c) { return c.createLogicalVolume(&vol, 2); }},
        {"expansion of type 1", [](SMIS_CLI& c) { return c.expandLogicalVolume(&vol, 1); }},
        {"name with a blank", [](SMIS_CLI& c) { return c.setLogicalVolume(&blankName); }},
        {"name with a leading '-'", [](SMIS_CLI& c) { return c.createLogicalVolume(&dashName, 1); }},
        {"name with CR LF", [](SMIS_CLI& c) { return c.setLogicalVolume(&crlfName); }},
        {"name with '?'", [](SMIS_CLI& c) { return c.setLogicalVolume(&questionName); }},
        {"group name with TAB", [&tabName](SMIS_CLI& c) { return c.createAffinityGroup(1, tabName, PAIRS.data(), 1); }},
        {"WWN with a blank", [](SMIS_CLI& c) { return c.createHostWWNList(&badWwn, 1, IDTYPE_WWN); }},
        {"ID type 5", [](SMIS_CLI& c) { return c.createHostWWNList(&goodWwn, 1, static_cast<IDType>(5)); }},
        {"iSCSI name with a leading '-'", [](SMIS_CLI& c) { return c.createiSCSIHostList(&badIscsi, 1); }},
        {"no volumes", [](SMIS_CLI& c) { return c.deleteLogicalVolume(NUMBERS.data(), 0); }},
        {"129 RAID groups", [](SMIS_CLI& c) {
             std::vector<unsigned short> many(129, 1);
             return c.deleteRLU(many.data(), 129);
         }},
        {"513 pairs", [](SMIS_CLI& c) {
             std::vector<CMM_WT_LUN_MAP_LUN_OLU> many(513);
             return c.setLUNMapping(0, 0, many.data(), 513);
         }},
        {"null entries", [](SMIS_CLI& c) { return c.setHostAffinity(0, 0, nullptr, 1); }},
        {"pairs missing for a count", [](SMIS_CLI& c) { return c.deleteAffinityGroup(1, nullptr, 2); }},
        {"null box id", [](SMIS_CLI& c) { return c.startCopyXmirrex(1, nullptr, 2, "BOX2", sessionId); }},
        {"box id with a blank", [](SMIS_CLI& c) { return c.startCopyXmirrex(1, "BOX 1", 2, "BOX2", sessionId); }},
    };
    auto cli = session();
    for (const auto& [what, call] : cases) {
        SCOPED_TRACE(what);
        EXPECT_EQ(call(*cli), SMIS_CLICommon::CLI_ERR_PARAMETER);
    }
    EXPECT_TRUE(records("ARG").empty());
}

TEST_F(SMIS_CLITest, ResultLineMustBeACompleteHexadecimalNumber)
{
    const std::vector<std::pair<std::string, unsigned char>> cases = {
        {okReply("1g"), 37},
        {okReply("0x1a"), 37},
        {okReply(" 1a"), 37},
        {okReply("10000"), 37},
        {"reply %E\\r\\n0\\r\\n\\r\\nCLI> ", 37},
        {"reply %E\\r\\n0\\r\\nCLI> ", 37},
        {"reply %E\\r\\n0\\r\\n1\\na\\r\\nCLI> ", 0},  // a bare LF does not end the line
    };
    std::vector<std::string> lines;
    for (const auto& c : cases) lines.push_back(c.first);
    script(lines);
    auto cli = session();
    ASSERT_EQ(cli->login(nullptr, nullptr), 0);
    for (const auto& [reply, result] : cases) {
        SCOPED_TRACE(reply);
        SMIS_REG_TPP_INFO pool = tpp(0x77, 1, 1, "", {0x0001});
        EXPECT_EQ(cli->createThinproPool(&pool), result);
        EXPECT_EQ(pool.poolNumber, result == 0 ? 0x1a : 0x77);
        EXPECT_TRUE(cli->isLoggedIn());
    }
}

TEST(SMIS_CLIStatic, FatalResultsAndPortTexts)
{
    for (int r = 0; r < 256; ++r) {
        bool fatal = (r >= 1 && r <= 32) || (r >= 34 && r <= 63);
        EXPECT_EQ(SMIS_CLI::isFatalError(static_cast<unsigned char>(r)), fatal) << r;
    }
    EXPECT_EQ(SMIS_CLI::portText(0x11, 1), "111");
    EXPECT_EQ(SMIS_CLI::portText(0x08, 0), "002");
    EXPECT_EQ(SMIS_CLI::portText(0xFF, 0xFF), "733");
}

}  // namespace
