// The session through the real plink and a real sshd on loopback whose forced
// command relays to the simulator's command line (root only).
#include "CliArraysimFixture.h"

#include <dirent.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

#include "SshdHarness.hpp"

namespace {

using namespace cimple;
using testsupport::SshdHarness;

// The argument vectors of this process's children started as program, NULs kept.
std::vector<std::string> childCommandLines(const std::string& program)
{
    std::vector<std::string> lines;
    DIR* proc = ::opendir("/proc");
    if (!proc) return lines;
    while (dirent* e = ::readdir(proc)) {
        const std::string pid = e->d_name;
        if (pid.find_first_not_of("0123456789") != std::string::npos) continue;
        std::ifstream stat("/proc/" + pid + "/stat");
        std::string text((std::istreambuf_iterator<char>(stat)), {});
        const std::size_t close = text.rfind(')');
        if (close == std::string::npos) continue;
        std::istringstream rest(text.substr(close + 1));
        std::string state;
        long ppid = 0;
        rest >> state >> ppid;
        if (ppid != ::getpid()) continue;
        std::ifstream cmd("/proc/" + pid + "/cmdline");
        std::string line((std::istreambuf_iterator<char>(cmd)), std::istreambuf_iterator<char>());
        if (line.compare(0, program.size() + 1, std::string(program).append(1, '\0')) == 0) lines.push_back(line);
    }
    ::closedir(proc);
    return lines;
}

class SMIS_CLIOverSshTest : public smis::test::CliArraysimFixture {
protected:
    void installClient() override {}
    void storeLogin() override {}
};

TEST_F(SMIS_CLIOverSshTest, RealPlinkLogsInRenamesAVolumeAndLogsOff)
{
    if (const std::string why = SshdHarness::skipReason(); !why.empty()) GTEST_SKIP() << why;
    if (const std::string missing = SshdHarness::missingProgram(); !missing.empty()) FAIL() << missing;
    SshdHarness sshd(*sim_, 0);
    ASSERT_EQ(::symlink("/usr/bin/plink", dir.file("bin/plink").c_str()), 0);
    dir.writeEnv({"StorageIP=127.0.0.1," + std::to_string(sim_->port(0)) + "," + std::to_string(sshd.port())});
    cimple::SMIS_Credkeep keep;
    void* lock = keep.lockCredkeep();
    ASSERT_NE(lock, nullptr);
    ASSERT_EQ(keep.setCredkeep(SMIS_Credkeep::CREDKEEP_ADD, "127.0.0.1", sshd.user().c_str(), sshd.password().c_str()), 0);
    keep.unlockCredkeep(lock);

    // plink keeps its settings and host keys under $HOME.
    struct HomeGuard {
        explicit HomeGuard(const std::string& home)
        {
            if (const char* old = std::getenv("HOME")) saved = old, had = true;
            ::setenv("HOME", home.c_str(), 1);
        }
        ~HomeGuard()
        {
            if (had) ::setenv("HOME", saved.c_str(), 1);
            else ::unsetenv("HOME");
        }
        std::string saved;
        bool had = false;
    } home(sshd.clientHome());

    {
        SMIS_CLI cli("127.0.0.1");
        cli.setReadTimeout(20000);
        cli.setExitWait(5000);
        ASSERT_EQ(cli.login(nullptr, nullptr), 0) << sshd.log();

        // The client runs now: its command line names the password file only.
        const std::vector<std::string> children = childCommandLines(dir.file("bin/plink"));
        ASSERT_EQ(children.size(), 1u);
        EXPECT_NE(children[0].find(std::string("-pwfile\0/dev/fd/", 16)), std::string::npos);
        EXPECT_EQ(children[0].find(sshd.password()), std::string::npos);

        SMIS_OLU_INFO vol = {};
        vol.oluNumber = 6;
        vol.rluNumber = 0;
        vol.sizeMB = 64;
        std::memcpy(vol.name, "OVERSSH", 7);
        EXPECT_EQ(cli.createLogicalVolume(&vol, 1), 0);
        std::memcpy(vol.name, "RENAMED", 7);
        EXPECT_EQ(cli.setLogicalVolume(&vol), 0);
        cli.logoff();
        EXPECT_FALSE(cli.isLoggedIn());
    }

    bool found = false;
    nlohmann::json model = sim_->model(0);
    for (nlohmann::json v : model["volumes"])
        if (v["olun"] == 6) {
            found = true;
            EXPECT_EQ(v["name"], "RENAMED");
            EXPECT_EQ(v["slices"][0]["rlun"], 0);
        }
    EXPECT_TRUE(found);
    EXPECT_EQ(loggedLines(), (std::vector<std::string>{
                                 "create volume -volume-number 6 -name OVERSSH -rg-number 0 -type open -size 64mb",
                                 "set volume -volume-number 6 -name RENAMED"}));
    EXPECT_TRUE(childCommandLines(dir.file("bin/plink")).empty());
    // The host-key question was answered "n": plink kept no key.
    EXPECT_FALSE(std::filesystem::exists(sshd.clientHome() + "/.putty/sshhostkeys"));
}

}  // namespace
