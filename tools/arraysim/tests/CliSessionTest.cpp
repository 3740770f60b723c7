// The array's command line, driven line by line on the "small" scenario: each
// command's reply and what it changed in the model (the dump the control
// socket serves), the strict parser, and the replies armed per command.
#include <gtest/gtest.h>

#include <chrono>
#include <future>

#include <string>
#include <vector>

#include "CliSession.hpp"
#include "ControlServer.hpp"
#include "Scenario.hpp"
#include "SimulatorState.hpp"

namespace arraysim {
namespace {

constexpr std::uint64_t kNone = 0xFFFF;

struct Reply {
    std::vector<std::string> lines;  // reply lines between the echo and the prompt
    std::uint32_t status() const { return std::stoul(lines.at(0), nullptr, 16); }
    std::uint32_t message() const { return std::stoul(lines.at(1), nullptr, 16); }
};

class CliSessionTest : public ::testing::Test {
protected:
    CliSessionTest() : state(Scenario::load("small")), session(state, 0) {}

    // Runs one line; checks the echo and the prompt and answers the lines between.
    Reply run(const std::string& line) {
        const std::string out = session.handleLine(line);
        EXPECT_EQ(out.substr(0, line.size() + 2), line + "\r\n") << out;
        EXPECT_EQ(out.substr(out.size() - 5), "CLI> ") << out;
        Reply r;
        std::string body = out.substr(line.size() + 2, out.size() - line.size() - 7);
        std::size_t at;
        while ((at = body.find("\r\n")) != std::string::npos) {
            r.lines.push_back(body.substr(0, at));
            body.erase(0, at + 2);
        }
        EXPECT_TRUE(body.empty()) << "text after the last line end: " << body;
        return r;
    }
    void ok(const std::string& line) {
        const Reply r = run(line);
        ASSERT_FALSE(r.lines.empty());
        EXPECT_EQ(r.status(), 0u) << line;
    }
    // A refusal: status and message; the model is left as it was.
    void refused(const std::string& line, std::uint32_t status, std::uint32_t message, const std::string& option = {}) {
        const auto before = revision();
        const Reply r = run(line);
        ASSERT_GE(r.lines.size(), 2u) << line;
        EXPECT_EQ(r.status(), status) << line;
        EXPECT_EQ(r.message(), message) << line;
        if (!option.empty()) {
            ASSERT_GE(r.lines.size(), 4u) << line;
            EXPECT_EQ(r.lines[2], option) << line;
        }
        EXPECT_EQ(revision(), before) << line;
    }
    Json model() {
        ControlServerlessDump dump{state};
        return dump();
    }
    std::uint64_t revision() { return num(state.dump()["arrays"][0]["management"], "revision"); }
    static const Json* find(const Json& items, const char* key, std::uint64_t v) {
        for (auto& e : items)
            if (num(e, key) == v) return &e;
        return nullptr;
    }

    // The model as the control socket's "dump" answers it.
    struct ControlServerlessDump {
        SimulatorState& s;
        Json operator()() const { return s.dump()["arrays"][0]; }
    };

    SimulatorState state;
    CliSession session;
};

TEST_F(CliSessionTest, GreetingEndsInThePromptAndExitEndsTheLogin) {
    const std::string g = session.greeting();
    EXPECT_EQ(g.substr(g.size() - 5), "CLI> ");
    EXPECT_EQ(session.handleLine("exit"), "exit\r\n");
    EXPECT_TRUE(session.finished());
}

TEST_F(CliSessionTest, LinesArriveInPiecesAndEndInCrLf) {
    std::string out = session.feed("set volume -volume-number 0 ");
    EXPECT_TRUE(out.empty());
    out = session.feed("-name RENAMED\r\nset vol");
    EXPECT_EQ(out, "set volume -volume-number 0 -name RENAMED\r\n00\r\nCLI> ");
    EXPECT_EQ(str(*find(model()["volumes"], "olun", 0), "name"), "RENAMED");
}

TEST_F(CliSessionTest, RaidGroupsAndVolumesArePlacedAndRemoved) {
    const auto rev = revision();
    ok("create raid-group -rg-number 3 -name NEWRG -disks 0010,0011 -level 1");
    EXPECT_EQ(revision(), rev + 1);
    Json m = model();
    const Json* rg = find(m["raid_groups"], "rlun", 3);
    ASSERT_NE(rg, nullptr);
    EXPECT_EQ(num(*rg, "level"), 4u);  // RAID1
    EXPECT_EQ(str(*rg, "name"), "NEWRG");
    EXPECT_NE(num(*find(m["disks"], "plun", 10), "dlun"), kNone);

    ok("create volume -volume-number 20 -name V20 -rg-number 3 -type open -size 100mb");
    ok("create volume -volume-number 21 -rg-number 3 -type open -size 24mb");
    m = model();
    const Json& s20 = (*find(m["volumes"], "olun", 20))["slices"][0];
    const Json& s21 = (*find(m["volumes"], "olun", 21))["slices"][0];
    EXPECT_EQ(num(s20, "rlun"), 3u);
    EXPECT_EQ(num(s20, "start_rlba"), 0u);
    EXPECT_EQ(num(s20, "blocks"), 100u * 2048);
    EXPECT_EQ(num(s21, "start_rlba"), 100u * 2048);
    EXPECT_EQ(num(*find(m["volumes"], "olun", 20), "lu_type"), 1u);

    // A freed range takes the next volume that fits.
    ok("delete volume -volume-number 20");
    ok("create volume -volume-number 22 -rg-number 3 -type open -size 50mb");
    m = model();
    EXPECT_EQ(find(m["volumes"], "olun", 20), nullptr);
    EXPECT_EQ(num((*find(m["volumes"], "olun", 22))["slices"][0], "start_rlba"), 0u);

    ok("set volume -volume-number 22 -name RENAMED22");
    EXPECT_EQ(str(*find(model()["volumes"], "olun", 22), "name"), "RENAMED22");

    refused("delete raid-group -rg-number 3", 1, 0x71, "-rg-number");
    refused("create volume -volume-number 23 -rg-number 3 -type open -size 999999999mb", 1, 0x100, "-size");
    refused("create volume -volume-number 0 -rg-number 3 -type open -size 24mb", 1, 0x80, "-volume-number");
    refused("create volume -volume-number 23 -rg-number 9 -type open -size 24mb", 1, 0x110, "-rg-number");
    refused("create volume -volume-number 23 -rg-number 3 -type tpv -size 24mb", 1, 0x01, "-pool-number");
    refused("set volume -volume-number 22 -name VOL0001", 1, 0x120, "-name");
    refused("delete volume -volume-number 0", 1, 0x71, "-volume-number");  // in an affinity group
    refused("create raid-group -rg-number 4 -disks 0000,0012 -level 1", 1, 0x05, "-disks");  // disk 0 is a member
    refused("create raid-group -rg-number 4 -disks 0012,0013,0014 -level 1", 1, 0x05, "-disks");  // RAID1 takes two
    refused("create raid-group -rg-number 4 -disks 0012,0113 -level 1", 1, 0x110, "-disks");  // no enclosure 1

    ok("delete volume -volume-number 21,22");
    ok("delete raid-group -rg-number 3");
    m = model();
    EXPECT_EQ(find(m["raid_groups"], "rlun", 3), nullptr);
    EXPECT_EQ(num(*find(m["disks"], "plun", 10), "dlun"), kNone);
}

TEST_F(CliSessionTest, ThinPoolsAreNumberedByTheArrayAndHoldThinVolumes) {
    const Reply r = run("create thin-pro-pool -name POOLX -attribute nearline -level 5 -rg-mode manual -disks 0010,0011,0012");
    ASSERT_EQ(r.lines.size(), 2u);
    EXPECT_EQ(r.status(), 0u);
    EXPECT_EQ(r.lines[1], "0001");  // pool 0 exists
    Json m = model();
    const Json* pool = find(m["thin_pools"], "number", 1);
    ASSERT_NE(pool, nullptr);
    EXPECT_EQ(str(*pool, "name"), "POOLX");
    EXPECT_EQ(num(*pool, "raid_level"), 1u);
    EXPECT_EQ(num(*pool, "disk_count"), 3u);
    // The new pool's alarm record shows its size, nothing used.
    const Json* alarm = find(m["pool_alarms"], "pool", 1);
    ASSERT_NE(alarm, nullptr);
    const std::uint64_t created = num(*alarm, "total_mib");
    EXPECT_EQ(created, num(*pool, "max_blocks") / 2048);
    EXPECT_GT(created, 0u);
    EXPECT_EQ(num(*alarm, "used_mib"), 0u);

    ok("create volume -volume-number 30 -name THIN30 -pool-number 1 -type tpv -size 1024mb");
    m = model();
    const Json* v = find(m["volumes"], "olun", 30);
    ASSERT_NE(v, nullptr);
    EXPECT_EQ(num(*v, "lu_type"), 9u);  // a thin volume, not a pool volume (8)
    EXPECT_EQ(num(*v, "blocks"), 1024u * 2048);
    EXPECT_NE(find(m["volume_alarms"], "olun", 30), nullptr);

    ok("expand volume -volume-number 30 -size 2048mb");
    EXPECT_EQ(num(*find(model()["volumes"], "olun", 30), "blocks"), 2048u * 2048);
    refused("expand volume -volume-number 30 -size 1024mb", 1, 0x01, "-size");
    refused("expand volume -volume-number 0 -size 4096mb", 1, 0x01, "-volume-number");  // not thin

    // Each expansion adds a group of the pool's member count; the member
    // count stays that of one group, the size and alarm record grow.
    for (const char* disks : {"2000,2001,2002", "4000,4001,4002"}) {
        SCOPED_TRACE(disks);
        const std::uint64_t before = num(*find(model()["pool_alarms"], "pool", 1), "total_mib");
        ok(std::string("expand thin-pro-pool -pool-number 1 -rg-mode manual -disks ") + disks);
        m = model();
        EXPECT_EQ(num(*find(m["thin_pools"], "number", 1), "disk_count"), 3u);
        EXPECT_EQ(num(*find(m["pool_alarms"], "pool", 1), "total_mib"), before + created);
    }
    int members = 0;
    for (auto& rg : m["raid_groups"])
        if ((num(rg, "mode") & 1) && num(rg, "pool") == 1) ++members;
    EXPECT_EQ(members, 3);

    refused("delete thin-pro-pool -pool-number 1", 1, 0x71, "-pool-number");
    ok("delete volume -volume-number 30");
    ok("delete thin-pro-pool -pool-number 1");
    m = model();
    EXPECT_EQ(find(m["thin_pools"], "number", 1), nullptr);
    for (auto& rg : m["raid_groups"]) EXPECT_FALSE((num(rg, "mode") & 1) && num(rg, "pool") == 1);
    refused("delete thin-pro-pool -pool-number 7", 1, 0x110, "-pool-number");
}

TEST_F(CliSessionTest, HostsGroupsAffinityAndMappings) {
    ok("create host-wwn-name -wwn 21000024ff00aa01 -host-number 5 -name FCHOST");
    ok("create host-sas-address -address 500605B000000001 -host-number 6");
    ok("create host-iscsi-name -host-number 3 -iscsi-name iqn.2026-12.com.example:new -name ISCSI3");
    Json m = model();
    EXPECT_EQ(str(*find(m["hosts"], "index", 5), "wwn"), "21000024FF00AA01");
    EXPECT_EQ(num(*find(m["hosts"], "index", 5), "type"), 0u);
    EXPECT_EQ(num(*find(m["hosts"], "index", 6), "type"), 2u);
    EXPECT_EQ(str(*find(m["iscsi_hosts"], "index", 3), "name"), "ISCSI3");
    refused("create host-wwn-name -wwn 21000024FF00AA01 -host-number 7", 1, 0x120, "-wwn");  // letter case ignored
    refused("create host-wwn-name -wwn 21000024ff00aa02 -host-number 5", 1, 0x80, "-host-number");
    refused("delete host-sas-address -host-number 5", 1, 0x110, "-host-number");  // a WWN host
    // A slot whose valid flag is not 1 is free: a new host takes it over,
    // and its old identifier is no longer registered.
    ASSERT_TRUE(state.change(0, [](Json& a) {
        a["hosts"][1]["valid"] = 0;
        a["iscsi_hosts"][0]["valid"] = 2;
    }).empty());
    refused("delete host-wwn-name -host-number 1", 1, 0x110, "-host-number");
    refused("delete host-iscsi-name -host-number 0", 1, 0x110, "-host-number");
    const std::string oldWwn = str(*find(model()["hosts"], "index", 1), "wwn");
    ok("create host-wwn-name -wwn " + oldWwn + " -host-number 8");
    ok("create host-wwn-name -wwn 21000024ff00aa09 -host-number 1 -name TAKEN");
    ok("create host-iscsi-name -host-number 0 -iscsi-name iqn.2026-12.com.example:h9");
    m = model();
    EXPECT_EQ(str(*find(m["hosts"], "index", 1), "name"), "TAKEN");
    EXPECT_EQ(num(*find(m["hosts"], "index", 1), "valid"), 1u);
    EXPECT_EQ(str(*find(m["iscsi_hosts"], "index", 0), "iscsi_name"), "iqn.2026-12.com.example:h9");
    refused("create host-wwn-name -wwn 21000024ff00aa0a -host-number 1", 1, 0x80, "-host-number");

    ok("create affinity-group -ag-number 1 -name AG1 -volume-number 0,1 -lun 0,5");
    m = model();
    const Json& luns = (*find(m["affinity_groups"], "number", 1))["luns"];
    ASSERT_EQ(luns.size(), 6u);
    EXPECT_EQ(luns[0], 0);
    EXPECT_EQ(luns[3], kNone);
    EXPECT_EQ(luns[5], 1);
    ok("set affinity-group -ag-number 1 -volume-number 2 -lun 1");
    refused("set affinity-group -ag-number 1 -volume-number 3 -lun 1", 1, 0x71, "-lun");
    refused("create affinity-group -ag-number 2 -volume-number 0,1 -lun 0", 1, 0x01, "-lun");
    ok("delete affinity-group -ag-number 1 -lun 5");
    EXPECT_EQ((*find(model()["affinity_groups"], "number", 1))["luns"].size(), 2u);

    // Port 000: CA module 0x40, port 0 (host map 0 of the scenario).
    ok("set host-affinity -port 000 -host-number 5 -ag-number 1");
    m = model();
    const Json& bound = (*find(m["host_maps"], "index", 0))["hosts"];
    ASSERT_EQ(bound.size(), 2u);
    EXPECT_EQ(num(bound[1], "host"), 5u);
    EXPECT_EQ(num(bound[1], "group"), 1u);
    refused("set host-affinity -port 000 -host-number 5 -ag-number 0", 1, 0x80, "-host-number");
    refused("set host-affinity -port 300 -host-number 5 -ag-number 0", 1, 0x110, "-port");
    refused("delete affinity-group -ag-number 1", 1, 0x71, "-ag-number");
    refused("delete host-wwn-name -host-number 5", 1, 0x71, "-host-number");
    ok("release host-affinity -port 000 -host-number 5");
    refused("release host-affinity -port 000 -host-number 5", 1, 0x110, "-host-number");
    ok("delete affinity-group -ag-number 1");
    EXPECT_EQ(find(model()["affinity_groups"], "number", 1), nullptr);

    // iSCSI port 010: CA module 0x41 port 0 takes iSCSI hosts; a new host map is made for it.
    ok("set host-affinity -port 100 -host-number 3 -ag-number 0");
    m = model();
    const Json* map = nullptr;
    for (auto& hm : m["host_maps"])
        if (num(hm, "ca_module_id") == 0x41 && num(hm, "port_no") == 0) map = &hm;
    ASSERT_NE(map, nullptr);
    EXPECT_EQ(num((*map)["hosts"][0], "host"), 3u);

    // LUN mapping on port 000 (LUN map 0 of the scenario).
    ok("set mapping -port 000 -volume-number 2 -lun 7");
    EXPECT_EQ((*find(model()["lun_maps"], "number", 0))["luns"][7], 2);
    refused("set mapping -port 000 -volume-number 3 -lun 7", 1, 0x71, "-lun");
    ok("release mapping -port 000 -lun 7");
    EXPECT_EQ((*find(model()["lun_maps"], "number", 0))["luns"].size(), 2u);
    refused("release mapping -port 000 -lun 7", 1, 0x131, "-lun");

    ok("delete host-wwn-name -host-number 5");
    ok("delete host-sas-address -host-number 6");
    ok("release host-affinity -port 100 -host-number 3");
    ok("delete host-iscsi-name -host-number 3");
    m = model();
    EXPECT_EQ(find(m["hosts"], "index", 5), nullptr);
    EXPECT_EQ(find(m["iscsi_hosts"], "index", 3), nullptr);
}

TEST_F(CliSessionTest, CopySessionsStartAndChangeState) {
    ok("create volume -volume-number 40 -rg-number 0 -type open -size 24mb");
    ok("create volume -volume-number 41 -rg-number 0 -type open -size 24mb");
    struct Start {
        std::string line;
        std::uint64_t type;
    };
    const std::vector<Start> starts = {
        {"start copy-mirrex -source-volume-number 40 -destination-volume-number 41 -secondary-access 1", 1},
        {"start copy-snap-tirn -mode plus -source-volume-number 41 -destination-volume-number 4", 3},
        {"start copy-tirn -source-volume-number 4 -destination-volume-number 40", 4},
    };
    std::vector<std::uint64_t> ids;
    for (auto& s : starts) {
        const Reply r = run(s.line);
        ASSERT_EQ(r.lines.size(), 2u) << s.line;
        EXPECT_EQ(r.status(), 0u);
        ids.push_back(std::stoul(r.lines[1], nullptr, 16));
        const Json m = model();
        const Json* session = find(m["copy_sessions"], "id", ids.back());
        ASSERT_NE(session, nullptr);
        EXPECT_EQ(num(*session, "type"), s.type);
        EXPECT_EQ(num(*session, "state"), 2u);
        EXPECT_EQ(num(*session, "phase"), 1u);
    }
    EXPECT_EQ(ids, (std::vector<std::uint64_t>{0, 3, 4}));  // 1 and 2 are the scenario's

    const std::string box = str(model()["system"], "box_id");
    const std::string remote = "00KESTRIS##VK200##4599999999############";
    const Reply x = run("start copy-xmirrex -source-boxid " + box + " -source-volume-number 40 -destination-boxid " +
                        remote + " -destination-volume-number 9 -secondary-access 1 -xfer-mode 10 -split 1 -recovery 0");
    ASSERT_EQ(x.status(), 0u);
    const auto xid = std::stoul(x.lines[1], nullptr, 16);
    const Json xs = *find(model()["copy_sessions"], "id", xid);
    EXPECT_EQ(num(xs, "type"), 2u);
    EXPECT_EQ(num(xs, "remote_side"), 0u);
    EXPECT_EQ(str(xs, "remote_box"), remote);

    const std::string id = std::to_string(ids[0]);
    refused("resume copy-mirrex -session-id " + id, 2, 0x5201);
    ok("suspend copy-mirrex -session-id " + id + " -mode normal");
    EXPECT_EQ(num(*find(model()["copy_sessions"], "id", ids[0]), "state"), 4u);
    ok("change copy-mirrex -session-id " + id + " -action reverse");
    const Json reversed = *find(model()["copy_sessions"], "id", ids[0]);
    EXPECT_EQ(num(reversed, "src"), 41u);
    EXPECT_EQ(num(reversed, "dst"), 40u);
    ok("resume copy-mirrex -session-id " + id);
    EXPECT_EQ(num(*find(model()["copy_sessions"], "id", ids[0]), "state"), 2u);
    refused("suspend copy-xmirrex -session-id " + id, 1, 0x110, "-session-id");  // a Mirrex session

    const std::string xids = std::to_string(xid);
    ok("suspend copy-xmirrex -session-id " + xids + " -mode force");
    ok("change copy-xmirrex -session-id " + xids + " -action reverse");
    EXPECT_EQ(num(*find(model()["copy_sessions"], "id", xid), "remote_side"), 1u);
    ok("resume copy-xmirrex -session-id " + xids + " -remain-mode disable");

    refused("start copy-tirn -source-volume-number 40 -destination-volume-number 40", 1, 0x06);
    refused("start copy-tirn -source-volume-number 99 -destination-volume-number 40", 1, 0x110, "-source-volume-number");
    ok("stop copy-session -session-id " + id + " -mode force");
    ok("stop copy-session -session-id " + xids);
    EXPECT_EQ(find(model()["copy_sessions"], "id", ids[0]), nullptr);
    refused("stop copy-session -session-id " + id, 1, 0x110, "-session-id");
}

TEST_F(CliSessionTest, StrictParserRefusesMalformedLines) {
    struct Case {
        std::string line;
        std::string option;  // the option the refusal names
    };
    const std::vector<Case> cases = {
        {"create volume -volume-number 9 -rg-number 0 -type open -size 24mb -bogus 1", "-bogus"},
        {"create volume -volume-number 9 -volume-number 10 -rg-number 0 -type open -size 24mb", "-volume-number"},
        {"create volume -volume-number 9 -rg-number 0 -type open", "-size"},
        {"create volume -volume-number 9 -rg-number 0 -type open -size 24", "-size"},
        {"create volume -volume-number 9 -rg-number 0 -type open -size -24mb", "-size"},
        {"create volume -volume-number x9 -rg-number 0 -type open -size 24mb", "-volume-number"},
        {"create volume -volume-number 65536 -rg-number 0 -type open -size 24mb", "-volume-number"},
        {"create volume -volume-number 9 -rg-number 0 -type closed -size 24mb", "-type"},
        {"create volume -volume-number 9 -name ABCDEFGHIJKLMNOPQ -rg-number 0 -type open -size 24mb", "-name"},
        {"create volume -volume-number 9 -rg-number 0 -type open -size", "-size"},
        {"create volume  -volume-number 9 -rg-number 0 -type open -size 24mb", "(blank)"},
        {"delete volume -volume-number 1,,2", "-volume-number"},
        {"delete volume -volume-number 1;rm", "-volume-number"},
        {"create raid-group -rg-number 3 -disks 00a1 -level 1", "-disks"},
        {"create raid-group -rg-number 3 -disks 0010,0011 -level 3", "-level"},
        {"create thin-pro-pool -attribute online -level 5 -rg-mode auto -disks 0010", "-rg-mode"},
        {"create host-wwn-name -wwn 21000024FF00AA0 -host-number 1", "-wwn"},
        {"create host-wwn-name -wwn 21000024FF00AA0G -host-number 1", "-wwn"},
        {"set mapping -port 080 -volume-number 1 -lun 1", "-port"},
        {"stop copy-session -session-id 1 -mode halt", "-mode"},
        {"remove volume -volume-number 1", "volume"},
        {"create", "create"},
    };
    for (auto& c : cases) refused(c.line, 1, 0x01, c.option);
    // A control character never reaches the model.
    refused(std::string("set volume -volume-number 0 -name A\tB"), 1, 0x01);
}

TEST_F(CliSessionTest, RepliesArmedPerCommand) {
    ControlServer* none = nullptr;
    (void)none;
    state.cli().arm(CliFault::fromJson({{"command", "create volume"}, {"busy", 2}}));
    state.cli().arm(CliFault::fromJson(
        {{"command", "set volume"}, {"status", 1}, {"message", 0x5200}, {"option", "-name"}, {"parameter", "X"}}));
    const std::string create = "create volume -volume-number 9 -rg-number 0 -type open -size 24mb";
    refused(create, 2, 0x60);
    refused(create, 2, 0x60);
    ok(create);  // busy twice, then the command goes through
    EXPECT_NE(find(model()["volumes"], "olun", 9), nullptr);

    const Reply r = run("set volume -volume-number 9 -name NEW9");
    EXPECT_EQ(r.lines, (std::vector<std::string>{"01", "5200", "-name", "01", "X"}));
    EXPECT_NE(str(*find(model()["volumes"], "olun", 9), "name"), "NEW9");
    ok("set volume -volume-number 9 -name NEW9");  // one strike only

    // Status 2 replies carry no option lines; an armed reply for any command.
    state.cli().arm(CliFault::fromJson({{"status", 2}, {"message", 0x5312}, {"count", 0}}));
    EXPECT_EQ(run("delete volume -volume-number 9").lines, (std::vector<std::string>{"02", "5312"}));
    EXPECT_EQ(run("set volume -volume-number 9").lines, (std::vector<std::string>{"02", "5312"}));
    state.cli().clear(0);
    ok("delete volume -volume-number 9");

    EXPECT_THROW(CliFault::fromJson({{"command", "make volume"}, {"busy", 1}}), std::invalid_argument);
    EXPECT_THROW(CliFault::fromJson({{"command", "set volume"}, {"status", 0}, {"message", 1}}), std::invalid_argument);

    const Json journal = state.cli().journal(0);
    ASSERT_GE(journal.size(), 3u);
    EXPECT_EQ(journal[0]["line"], create);
    EXPECT_EQ(journal[0]["message"], 0x60);
    EXPECT_EQ(journal[2]["status"], 0);
}

TEST_F(CliSessionTest, StallHoldsTheCommandUntilClearedThenRunsIt) {
    state.cli().arm(CliFault::fromJson({{"command", "create volume"}, {"stall", 30}}));
    const std::string create = "create volume -volume-number 9 -rg-number 0 -type open -size 24mb";
    auto running = std::async(std::launch::async, [&] { return run(create); });
    EXPECT_EQ(running.wait_for(std::chrono::milliseconds(300)), std::future_status::timeout);
    EXPECT_EQ(find(model()["volumes"], "olun", 9), nullptr) << "the command ran during the stall";
    state.cli().clear(0);
    ASSERT_EQ(running.wait_for(std::chrono::seconds(5)), std::future_status::ready);
    EXPECT_EQ(running.get().lines.at(0), "00");
    EXPECT_NE(find(model()["volumes"], "olun", 9), nullptr);
    for (int seconds : {0, 601})
        EXPECT_THROW(CliFault::fromJson({{"command", "create volume"}, {"stall", seconds}}), std::invalid_argument);
}

TEST_F(CliSessionTest, LongEchoWrapsAtTheArraysWidth) {
    ASSERT_TRUE(state.change(0, [](Json& m) { m["cli"] = Json{{"echo_width", 16}}; }).empty());
    const std::string line = "set volume -volume-number 0 -name WRAPPED";
    const std::string out = session.handleLine(line);
    EXPECT_EQ(out, "set volume -volu\r\nme-number 0 -nam\r\ne WRAPPED\r\n00\r\nCLI> ");
}

}  // namespace
}  // namespace arraysim

namespace arraysim {
namespace {

// A remote copy started on one array shows on the array that carries the
// remote box, and follows every later command from either side.
TEST(CliRemoteCopy, PartnerArrayFollowsTheSession) {
    SimulatorState state(Scenario::load("coverage"));
    ASSERT_GE(state.arrayCount(), 2u);
    auto model = [&](std::size_t i) { return state.dump()["arrays"][i]; };
    auto session = [&](std::size_t i, std::uint64_t id) {
        const Json m = model(i);
        for (auto& s : m["copy_sessions"])
            if (num(s, "id") == id) return s;
        return Json();
    };
    const std::string box0 = str(model(0)["system"], "box_id");
    const std::string box1 = str(model(1)["system"], "box_id");
    const std::uint64_t src = num(model(0)["volumes"][0], "olun");
    const std::uint64_t dst = num(model(1)["volumes"][0], "olun");
    CliSession side0(state, 0), side1(state, 1);

    const std::string start = "start copy-xmirrex -source-boxid " + box0 + " -source-volume-number " +
                              std::to_string(src) + " -destination-boxid " + box1 + " -destination-volume-number " +
                              std::to_string(dst) + " -secondary-access 1 -xfer-mode 10 -split 1 -recovery 0";
    const CliOutcome started = side0.execute(start);
    ASSERT_EQ(started.status, 0u);
    const auto id = std::stoul(started.results.at(0), nullptr, 16);
    Json local = session(0, id);
    ASSERT_FALSE(local.is_null());
    Json remote;
    const Json m1 = model(1);
    for (auto& s : m1["copy_sessions"])
        if (s.value("twin_of", Json()) == Json{{"box", box0}, {"id", id}}) remote = s;
    ASSERT_FALSE(remote.is_null());
    EXPECT_EQ(num(remote, "type"), 2u);
    EXPECT_EQ(num(remote, "src"), src);
    EXPECT_EQ(num(remote, "dst"), dst);
    EXPECT_EQ(num(remote, "remote_side"), 1u);
    EXPECT_EQ(str(remote, "remote_box"), box0);
    const auto rid = num(remote, "id");

    ASSERT_EQ(side0.execute("suspend copy-xmirrex -session-id " + std::to_string(id) + " -mode normal").status, 0u);
    EXPECT_EQ(num(session(1, rid), "state"), 4u);
    // The other side's commands reach the session it was started from.
    ASSERT_EQ(side1.execute("resume copy-xmirrex -session-id " + std::to_string(rid) + " -remain-mode disable").status, 0u);
    EXPECT_EQ(num(session(0, id), "state"), 2u);
    ASSERT_EQ(side0.execute("stop copy-session -session-id " + std::to_string(id)).status, 0u);
    EXPECT_TRUE(session(1, rid).is_null());
}

// RAID1+0 and RAID5+0 groups take up to 32 disks, the other levels 16.
TEST_F(CliSessionTest, StripedLevelsTakeUpTo32Disks) {
    state.change(0, [](Json& m) {
        m["des"].push_back(Json{{"index", 64}});
        for (int slot = 0; slot < 18; ++slot) m["disks"].push_back(Json{{"de", 64}, {"slot", slot}});
    });
    std::string disks;
    for (int slot = 0; slot < 18; ++slot) {
        char d[8];
        std::snprintf(d, sizeof d, "80%02d", slot);
        disks += (slot ? "," : "") + std::string(d);
    }
    refused("create raid-group -rg-number 3 -disks " + disks + " -level 5", 1, 0x05, "-disks");
    ok("create raid-group -rg-number 3 -disks " + disks + " -level 10");
    const Json m = model();
    ASSERT_NE(find(m["raid_groups"], "rlun", 3), nullptr);
    EXPECT_NE(num(*find(m["disks"], "plun", 0x8011), "dlun"), kNone);  // the last disk is a member
}

// A volume slot whose status is 6 is free: its number can be created again,
// its name and space are not in use, and it cannot be deleted.
TEST(CliFreeVolumeSlot, FreeSlotIsCreatedAgain) {
    SimulatorState state(Scenario::load("coverage"));
    CliSession cli(state, 0);
    auto volume = [&](std::uint64_t olun) {
        const Json m = state.dump()["arrays"][0];
        for (auto& v : m["volumes"])
            if (num(v, "olun") == olun) return v;
        return Json();
    };
    const Json slot = volume(18);
    ASSERT_EQ(num(slot, "status") & 0xFF, 6u);
    const std::string rg = std::to_string(num(slot["slices"][0], "rlun"));
    EXPECT_EQ(cli.execute("delete volume -volume-number 18").status, 1u);
    const CliOutcome made = cli.execute("create volume -volume-number 18 -name " + str(slot, "name") + " -rg-number " +
                                        rg + " -type open -size 10mb");
    ASSERT_EQ(made.status, 0u);
    const Json v = volume(18);
    EXPECT_EQ(num(v, "status"), 0u);
    EXPECT_EQ(num(v, "blocks"), 10u * 2048);
    EXPECT_EQ(cli.execute("create volume -volume-number 18 -rg-number " + rg + " -type open -size 10mb").status, 1u);
    EXPECT_EQ(cli.execute("delete volume -volume-number 18").status, 0u);
}

}  // namespace
}  // namespace arraysim
