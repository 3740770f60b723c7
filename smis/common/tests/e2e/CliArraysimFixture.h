#pragma once
// Command-line sessions against the array simulator: one simulator per test
// program, an install directory per test whose configuration names the
// simulator's first array and stores its login, and helpers for the
// simulator's command-line log and model.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "ArraysimLogin.h"
#include "ArraysimProcess.hpp"
#include "SMIS_CLI.h"
#include "SMIS_Credkeep.h"
#include "TempInstallDir.h"

namespace smis::test {

class CliArraysimFixture : public ::testing::Test {
protected:
    static void SetUpTestSuite() { sim_ = new testsupport::ArraysimProcess("small"); }
    static void TearDownTestSuite()
    {
        if (sim_) {
            EXPECT_EQ(sim_->stop(), 0) << sim_->output();
        }
        delete sim_;
        sim_ = nullptr;
    }

    // The SSH client installed as <install>/bin/plink: the simulator's stand-in.
    virtual void installClient() { sim_->installPlink(dir.path()); }

    // The login stored for the array.

    void SetUp() override
    {
        ASSERT_NE(sim_, nullptr);
        ASSERT_TRUE(sim_->reset());
        sim_->control({{"op", "cli_clear_faults"}, {"array", 0}});
        sim_->control({{"op", "cli_clear_log"}});
        dir.writeEnv({"StorageIP=" + sim_->address(0) + "," + std::to_string(sim_->port(0))});
        installClient();
        storeLogin();
    }

    // Stores the simulator's login for its first array.
    virtual void storeLogin() { testsupport::storeArraysimLogin(sim_->address(0)); }

    // A session on the simulator's first array whose busy waits are counted, not slept.
    std::unique_ptr<cimple::SMIS_CLI> session()
    {
        auto cli = std::make_unique<cimple::SMIS_CLI>(sim_->address(0).c_str());
        cli->setBusyWait([this](unsigned ms) { busyWaits.push_back(ms); });
        cli->setReadTimeout(20000);
        cli->setExitWait(5000);
        return cli;
    }

    // Every command line the array received since the last clear, in order.
    std::vector<std::string> loggedLines() const
    {
        std::vector<std::string> lines;
        const nlohmann::json log = sim_->control({{"op", "cli_log"}, {"array", 0}});
        for (const auto& entry : log["lines"]) lines.push_back(entry.value("line", std::string{}));
        return lines;
    }

    static testsupport::ArraysimProcess* sim_;
    TempInstallDir dir;
    std::vector<unsigned> busyWaits;
};

inline testsupport::ArraysimProcess* CliArraysimFixture::sim_ = nullptr;

}  // namespace smis::test
