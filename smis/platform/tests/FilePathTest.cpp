#include "FilePath.h"
#include "InstallDir.h"

#include "TempInstallDir.h"

#include <gtest/gtest.h>

using smis::platform::FilePath;
using smis::platform::InstallDir;

TEST(FilePath, JoinsWithOneSlash)
{
    EXPECT_EQ(FilePath::join({"/opt/x", "data", "10.0.0.1.cmf"}), "/opt/x/data/10.0.0.1.cmf");
    EXPECT_EQ(FilePath::join({"/opt/x/", "/env/", "smis_env.inf"}), "/opt/x/env/smis_env.inf");
    EXPECT_EQ(FilePath::join({"", "a", "", "b"}), "a/b");
    EXPECT_EQ(FilePath::join({"/", "run"}), "/run");
    EXPECT_EQ(FilePath::join({}), "");
}

TEST(InstallDir, FilesSitUnderTheOverride)
{
    smis::test::TempInstallDir dir;
    EXPECT_EQ(InstallDir::path(), dir.path());
    EXPECT_EQ(InstallDir::file({"env", "smis_env.inf"}), dir.path() + "/env/smis_env.inf");
}
