// The array's command line through the real SSH path: the real plink of the
// system's SSH client command line against a real sshd on loopback whose
// forced command relays to the simulator.
#include <gtest/gtest.h>

#include <filesystem>

#include "ArraysimProcess.hpp"
#include "ClientProcess.hpp"
#include "SshdHarness.hpp"

using testsupport::ClientProcess;
using testsupport::SshdHarness;
using Json = nlohmann::json;

namespace {

const Json* find(const Json& items, const char* key, std::uint64_t v) {
    for (auto& e : items)
        if (e.value(key, std::uint64_t{0xFFFFFFFF}) == v) return &e;
    return nullptr;
}

// The real plink against a real sshd whose forced command relays to the
// array: the host-key question, two commands and the exit.
TEST(CliOverSsh, RealPlinkLogsInAndRunsCommands) {
    if (const std::string why = SshdHarness::skipReason(); !why.empty()) GTEST_SKIP() << why;
    if (const std::string missing = SshdHarness::missingProgram(); !missing.empty()) FAIL() << missing;
    testsupport::ArraysimProcess sim("small");
    SshdHarness sshd(sim, 0);
    ClientProcess plink({"/usr/bin/plink", "-P", std::to_string(sshd.port()), "-pwfile", "/dev/fd/3",
                         sshd.user() + "@127.0.0.1"},
                        sshd.password(), {"HOME=" + sshd.clientHome()});
    const std::string question = plink.readUntil("for more info) ", 20000);
    ASSERT_NE(question.find("connection."), std::string::npos) << question << sshd.log();
    plink.send("n\n");
    const std::string greeting = plink.readUntil("CLI> ", 20000);
    ASSERT_NE(greeting.find("CLI> "), std::string::npos) << greeting << sshd.log();

    plink.send("set volume -volume-number 0 -name VIASSH\r\n");
    EXPECT_EQ(plink.readUntil("CLI> "), "set volume -volume-number 0 -name VIASSH\r\n00\r\nCLI> ");
    plink.send("start copy-tirn -source-volume-number 0 -destination-volume-number 2\r\n");
    EXPECT_EQ(plink.readUntil("CLI> "),
              "start copy-tirn -source-volume-number 0 -destination-volume-number 2\r\n00\r\n0000\r\nCLI> ");
    plink.send("exit\r\n");
    EXPECT_EQ(plink.readUntil("", 20000), "exit\r\n");
    EXPECT_EQ(plink.wait(20000), 0);

    const Json m = sim.model(0);
    EXPECT_EQ((*find(m["volumes"], "olun", 0))["name"], "VIASSH");
    EXPECT_EQ((*find(m["copy_sessions"], "id", 0))["type"], 4);
    // plink kept no host key: the answer was "n".
    EXPECT_FALSE(std::filesystem::exists(sshd.clientHome() + "/.putty/sshhostkeys"));
}

}  // namespace

namespace {

// A password that sshd refuses never reaches the array's prompt.
TEST(CliOverSsh, RefusedPasswordNeverReachesThePrompt) {
    if (const std::string why = SshdHarness::skipReason(); !why.empty()) GTEST_SKIP() << why;
    if (const std::string missing = SshdHarness::missingProgram(); !missing.empty()) FAIL() << missing;
    testsupport::ArraysimProcess sim("small");
    SshdHarness sshd(sim, 0);
    ClientProcess plink({"/usr/bin/plink", "-P", std::to_string(sshd.port()), "-pwfile", "/dev/fd/3",
                         sshd.user() + "@127.0.0.1"},
                        sshd.password() + "x", {"HOME=" + sshd.clientHome()});
    plink.readUntil("for more info) ", 20000);
    plink.send("n\n");
    const std::string out = plink.readUntil("", 20000);
    EXPECT_NE(out.find("Access denied\r\nFATAL ERROR: Configured password was not accepted"), std::string::npos) << out;
    EXPECT_EQ(out.find("CLI> "), std::string::npos);
    EXPECT_NE(plink.wait(20000), 0);
}

}  // namespace
