#include <Pegasus/InstallRoot.h>
#include <Pegasus/System.h>

#include "BuildTree.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <pwd.h>
#include <unistd.h>

using Pegasus::InstallRoot;
using Pegasus::System;

TEST(System, EffectiveUserNameIsTheProcessOwner)
{
    const struct passwd* pw = ::getpwuid(::geteuid());
    ASSERT_NE(pw, nullptr);
    EXPECT_EQ(System::getEffectiveUserName().str(), pw->pw_name);
}

TEST(System, OnlyTheSuperuserIsPrivileged)
{
    EXPECT_TRUE(System::isPrivilegedUser("root"));
    EXPECT_FALSE(System::isPrivilegedUser("nobody"));
    EXPECT_FALSE(System::isPrivilegedUser("no-such-user-xyz"));
    EXPECT_FALSE(System::isPrivilegedUser(""));
}

TEST(System, FullyQualifiedHostNameStartsWithTheHostName)
{
    char host[256] = {};
    ASSERT_EQ(::gethostname(host, sizeof host - 1), 0);
    const std::string fqdn = System::getFullyQualifiedHostName().str();
    ASSERT_FALSE(fqdn.empty());
    EXPECT_EQ(fqdn.rfind(std::string(host).substr(0, std::string(host).find('.')), 0), 0u) << fqdn;
}

TEST(InstallRoot, ParentOfTheExecutablesFolder)
{
    struct Case {
        const char* exe;
        const char* expected;
    } cases[] = {
        {"/opt/smis/bin/cimserver", "/opt/smis"},
        {"/opt/smis/bin/", "/opt/smis"},
        {"/bin/credkeep", ""},
        {"/credkeep", ""},
        {"credkeep", "credkeep"},
        {"bin/credkeep", "bin"},
        {"", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(InstallRoot::fromExecutablePath(c.exe), c.expected) << c.exe;
}

class InstallRootEnv : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (const char* v = std::getenv("SMIS_INSTALL_DIR")) {
            _had = true;
            _value = v;
        }
    }
    void TearDown() override
    {
        if (_had)
            ::setenv("SMIS_INSTALL_DIR", _value.c_str(), 1);
        else
            ::unsetenv("SMIS_INSTALL_DIR");
    }
    bool _had = false;
    std::string _value;
};

TEST_F(InstallRootEnv, TheTestProgramsInstallDirIsTheBuildTree)
{
    ::unsetenv("SMIS_INSTALL_DIR");
    // The test program lives in <build>/bin, beside the programs.
    const std::string build = testsupport::BuildTree::directory();
    EXPECT_EQ(std::filesystem::canonical(InstallRoot::path()), std::filesystem::canonical(build));
}

TEST_F(InstallRootEnv, OverrideWinsWithoutClosingSlash)
{
    ::setenv("SMIS_INSTALL_DIR", "/srv/smis//", 1);
    EXPECT_EQ(InstallRoot::path(), "/srv/smis");
    ::setenv("SMIS_INSTALL_DIR", "/", 1);
    EXPECT_EQ(InstallRoot::path(), "/");
    // An empty override counts as none.
    ::setenv("SMIS_INSTALL_DIR", "", 1);
    EXPECT_EQ(InstallRoot::path(), InstallRoot::fromExecutablePath(
                                       std::filesystem::read_symlink("/proc/self/exe").string()));
}
