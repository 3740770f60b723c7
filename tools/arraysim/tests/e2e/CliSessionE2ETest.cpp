// The array's command line reached the way the system reaches it: through
// arraysim-plink started with the system's SSH client command line.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

#include "ArraysimProcess.hpp"
#include "ClientProcess.hpp"

using testsupport::ClientProcess;
using Json = nlohmann::json;

namespace {

const std::string kQuestionEnd = "(y/n, Return cancels connection, i for more info) ";

const Json* find(const Json& items, const char* key, std::uint64_t v) {
    for (auto& e : items)
        if (e.value(key, std::uint64_t{0xFFFFFFFF}) == v) return &e;
    return nullptr;
}

class CliOverPlink : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        sim_ = std::make_unique<testsupport::ArraysimProcess>("small");
        char tmpl[] = "/tmp/arraysim-install-XXXXXX";
        install_ = ::mkdtemp(tmpl);
        sim_->installPlink(install_);
    }
    static void TearDownTestSuite() {
        sim_.reset();
        std::filesystem::remove_all(install_);
    }
    void SetUp() override {
        ASSERT_TRUE(sim_->reset());
        ASSERT_TRUE(sim_->control({{"op", "cli_clear_log"}})["ok"]);
    }
    // The system's SSH client command line.
    static std::vector<std::string> argv(const std::string& user = "admin") {
        return {install_ + "/bin/plink", "-P", "22", "-pwfile", "/dev/fd/3", user + "@127.0.0.1"};
    }
    static std::unique_ptr<testsupport::ArraysimProcess> sim_;
    static std::string install_;
};

std::unique_ptr<testsupport::ArraysimProcess> CliOverPlink::sim_;
std::string CliOverPlink::install_;

TEST_F(CliOverPlink, ScriptedSessionChangesTheArray) {
    ASSERT_TRUE(sim_->control({{"op", "cli_fault"}, {"array", 0}, {"command", "create affinity-group"}, {"busy", 1}})["ok"]);
    const auto revision = sim_->model(0)["management"]["revision"].get<int>();
    ClientProcess plink(argv(), "admin");
    const std::string question = plink.readUntil(kQuestionEnd);
    EXPECT_NE(question.find("\nconnection.\n"), std::string::npos) << question;
    plink.send("n\r\n");
    EXPECT_NE(plink.readUntil("CLI> ").find("CLI> "), std::string::npos);

    struct Step {
        std::string line;
        std::string reply;  // lines after the echo, up to the prompt
    };
    const std::vector<Step> steps = {
        {"create raid-group -rg-number 5 -name RG5 -disks 0010,0011,0012 -level 5", "00\r\n"},
        {"create volume -volume-number 12 -name V12 -rg-number 5 -type open -size 64mb", "00\r\n"},
        {"create thin-pro-pool -attribute online -level 1 -rg-mode manual -disks 0013,0014", "00\r\n0001\r\n"},
        {"create volume -volume-number 13 -pool-number 1 -type tpv -size 2048mb", "00\r\n"},
        {"create affinity-group -ag-number 3 -volume-number 12,13 -lun 0,1", "02\r\n0060\r\n"},
        {"create affinity-group -ag-number 3 -volume-number 12,13 -lun 0,1", "00\r\n"},
        {"create host-wwn-name -wwn 21000024FF00BB01 -host-number 9 -name H9", "00\r\n"},
        {"set host-affinity -port 001 -host-number 9 -ag-number 3", "00\r\n"},
        {"start copy-snap-tirn -mode normal -source-volume-number 12 -destination-volume-number 13", "00\r\n0000\r\n"},
        {"create volume -volume-number 12 -rg-number 5 -type open -size 64mb -size 1mb", "01\r\n0001\r\n-size\r\n01\r\n1mb\r\n"},
    };
    for (auto& s : steps) {
        plink.send(s.line + "\r\n");
        EXPECT_EQ(plink.readUntil("CLI> "), s.line + "\r\n" + s.reply + "CLI> ");
    }
    plink.send("exit\r\n");
    EXPECT_EQ(plink.readUntil(""), "exit\r\n");
    EXPECT_EQ(plink.wait(), 0);

    const Json m = sim_->model(0);
    EXPECT_EQ(m["management"]["revision"].get<int>(), revision + 8);
    EXPECT_NE(find(m["raid_groups"], "rlun", 5), nullptr);
    EXPECT_EQ((*find(m["volumes"], "olun", 13))["lu_type"], 9);
    EXPECT_EQ((*find(m["affinity_groups"], "number", 3))["luns"], Json::array({12, 13}));
    EXPECT_EQ((*find(m["copy_sessions"], "id", 0))["type"], 3);
    const Json* map = nullptr;
    for (auto& hm : m["host_maps"])
        if (hm["ca_module_id"] == 0x40 && hm["port_no"] == 1) map = &hm;
    ASSERT_NE(map, nullptr);
    EXPECT_EQ((*map)["hosts"][0]["host"], 9);

    const Json log = sim_->control({{"op", "cli_log"}, {"array", 0}})["lines"];
    ASSERT_EQ(log.size(), steps.size());
    EXPECT_EQ(log[4]["message"], 0x60);
}

TEST_F(CliOverPlink, LoginFailuresEndTheClient) {
    {
        ClientProcess plink(argv(), "wrong");
        plink.readUntil(kQuestionEnd);
        plink.send("y\n");
        const std::string out = plink.readUntil("");
        EXPECT_NE(out.find("Access denied\r\nFATAL ERROR: Configured password was not accepted"), std::string::npos)
            << out;
        EXPECT_EQ(out.find("CLI> "), std::string::npos);
        EXPECT_EQ(plink.wait(), 1);
    }
    {
        // Return abandons the connection at the host-key question.
        ClientProcess plink(argv(), "admin");
        plink.readUntil(kQuestionEnd);
        plink.send("\n");
        EXPECT_NE(plink.readUntil("").find("Connection abandoned."), std::string::npos);
        EXPECT_EQ(plink.wait(), 1);
    }
    {
        // No array at that address.
        ClientProcess plink({install_ + "/bin/plink", "-P", "22", "-pwfile", "/dev/fd/3", "admin@127.0.0.9"}, "admin");
        EXPECT_NE(plink.readUntil("").find("FATAL ERROR"), std::string::npos);
        EXPECT_EQ(plink.wait(), 1);
    }
}

TEST_F(CliOverPlink, OnlyTheSystemsCommandLineIsAccepted) {
    const std::string p = install_ + "/bin/plink";
    const std::vector<std::vector<std::string>> others = {
        {p, "-P", "22", "-pw", "admin", "admin@127.0.0.1"},
        {p, "-ssh", "-P", "22", "-pwfile", "/dev/fd/3", "admin@127.0.0.1"},
        {p, "-P", "22", "-pwfile", "/dev/fd/3", "127.0.0.1"},
        {p, "-P", "0", "-pwfile", "/dev/fd/3", "admin@127.0.0.1"},
        {p, "-pwfile", "/dev/fd/3", "-P", "22", "admin@127.0.0.1"},
        {p, "-P", "22", "-pwfile", "/dev/fd/3", "admin@127.0.0.1", "show status"},
    };
    for (auto& a : others) {
        ClientProcess plink(a, "admin");
        plink.readUntil("");
        EXPECT_EQ(plink.wait(), 2) << a.size();
    }
    // With the host key already trusted there is no question.
    ASSERT_TRUE(sim_->control({{"op", "set"}, {"array", 0}, {"path", "/cli"}, {"value", {{"host_key_question", false}}}})["ok"]);
    ClientProcess plink(argv(), "admin", {"ARRAYSIM_CLI_SOCKET=" + sim_->cliPath()});
    const std::string greeting = plink.readUntil("CLI> ");
    EXPECT_EQ(greeting.find("Store key"), std::string::npos);
    EXPECT_NE(greeting.find("CLI> "), std::string::npos);
    plink.send("exit\r\n");
    plink.readUntil("");
    EXPECT_EQ(plink.wait(), 0);
}

}  // namespace
