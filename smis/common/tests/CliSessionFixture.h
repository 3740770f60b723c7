#pragma once
// A command-line session test bed: a temporary install directory whose
// bin/plink is the scripted stand-in client, a configured array with a stored
// login, and helpers to script the client and read what it saw.

#include "SMIS_CLI.h"
#include "SMIS_Credkeep.h"
#include "TempInstallDir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace smis::test {

class CliSessionFixture : public ::testing::Test {
protected:
    static constexpr const char* ADDRESS = "10.1.2.3";
    static constexpr const char* USER = "admin";
    static constexpr const char* PASSWORD = "Pw-9xq!secret";

    // The client program installed as <install>/bin/plink.
    virtual std::string clientPath() const { return SMIS_FAKE_PLINK; }

    void SetUp() override
    {
        dir.writeEnv({"StorageIP=10.1.2.3,1372,2222", "StorageIP=10.1.2.4"});
        ASSERT_EQ(::symlink(clientPath().c_str(), dir.file("bin/plink").c_str()), 0);
        cimple::SMIS_Credkeep keep;
        void* lock = keep.lockCredkeep();
        ASSERT_NE(lock, nullptr);
        ASSERT_EQ(keep.setCredkeep(cimple::SMIS_Credkeep::CREDKEEP_ADD, ADDRESS, USER, PASSWORD), 0);
        keep.unlockCredkeep(lock);
        ::setenv("FAKE_PLINK_LOG", dir.file("fake.log").c_str(), 1);
        ::setenv("FAKE_PLINK_SCRIPT", dir.file("fake.script").c_str(), 1);
        script({});
    }

    void TearDown() override
    {
        ::unsetenv("FAKE_PLINK_LOG");
        ::unsetenv("FAKE_PLINK_SCRIPT");
    }

    // The client's script: the expected password, then these directives.
    void script(const std::vector<std::string>& lines) const
    {
        std::string text = std::string("password ") + PASSWORD + "\n";
        for (const std::string& line : lines) text += line + "\n";
        dir.writeFile("fake.script", text);
    }

    // A session on the configured array with fast busy waits that are counted.
    std::unique_ptr<cimple::SMIS_CLI> session(const char* address = ADDRESS)
    {
        auto cli = std::make_unique<cimple::SMIS_CLI>(address);
        cli->setBusyWait([this](unsigned ms) { busyWaits.push_back(ms); });
        cli->setReadTimeout(10000);
        cli->setExitWait(5000);
        return cli;
    }

    // The texts of the client's log records of one kind, in order.
    std::vector<std::string> records(const std::string& kind) const
    {
        std::vector<std::string> result;
        std::istringstream in(dir.readFile("fake.log"));
        std::string line;
        while (std::getline(in, line)) {
            if (line.compare(0, kind.size() + 1, kind + " ") == 0) result.push_back(line.substr(kind.size() + 1));
        }
        return result;
    }

    TempInstallDir dir;
    std::vector<unsigned> busyWaits;
};

// Reply of a successful command, with an optional result line.
inline std::string okReply(const std::string& resultLine = "")
{
    return "reply %E\\r\\n0\\r\\n" + (resultLine.empty() ? std::string() : resultLine + "\\r\\n") + "CLI> ";
}

}  // namespace smis::test
