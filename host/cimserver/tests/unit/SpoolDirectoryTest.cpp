// The spool directory at start-up: only regular files of the server's own
// name form whose process is gone are removed; names are its own form and
// unpredictable; a folder that is not the server's own is refused.
#include "SpoolDirectory.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

namespace cimserver {
namespace {

namespace fs = std::filesystem;

TEST(SpoolDirectory, NamesOfItsOwnFormTellTheirProcess)
{
    struct Case {
        const char* name;
        long owner;
    } cases[] = {{"1234-00ff00ff00ff00ff.spool", 1234}, {"1234-0.spool", 1234},     {"1234-.spool", 0},
                 {"-00ff.spool", 0},                   {"12a4-00ff.spool", 0},     {"1234-00FF.spool", 0},
                 {"1234-00ff.spoo", 0},                {"1234-00ff.spool.x", 0},   {"notes.txt", 0},
                 {"12345678901-00ff.spool", 0},        {"1234-00ff/.spool", 0}};
    for (const Case& c : cases)
        EXPECT_EQ(SpoolDirectory::owner_of(c.name), c.owner) << c.name;
}

TEST(SpoolDirectory, CleanRemovesOnlyRegularFilesOfGoneServersAndNewNamesDiffer)
{
    char tmpl[] = "/tmp/spooldir-XXXXXX";
    ASSERT_TRUE(::mkdtemp(tmpl));
    const std::string root = tmpl;
    const std::string folder = root + "/spool";
    std::string why;
    auto dir = SpoolDirectory::open(folder, 0, why);
    ASSERT_TRUE(dir) << why;
    EXPECT_EQ(fs::status(folder).permissions(), fs::perms::owner_all);

    const std::string gone = "999999-00aa.spool"; // no such process
    const std::string mine_running = std::to_string(::getppid()) + "-00bb.spool";
    std::ofstream(folder + "/" + gone) << "x";
    std::ofstream(folder + "/" + mine_running) << "x";
    std::ofstream(folder + "/notes.txt") << "x";
    std::ofstream(root + "/outside") << "x";
    fs::create_symlink(root + "/outside", folder + "/999999-00cc.spool");
    fs::create_directory(folder + "/999999-00dd.spool");

    EXPECT_EQ(dir->clean(), 1u);
    EXPECT_FALSE(fs::exists(folder + "/" + gone));
    for (const char* kept : {"notes.txt", "999999-00cc.spool", "999999-00dd.spool"})
        EXPECT_TRUE(fs::exists(fs::symlink_status(folder + "/" + kept))) << kept;
    EXPECT_TRUE(fs::exists(folder + "/" + mine_running));
    EXPECT_TRUE(fs::exists(root + "/outside"));

    std::string a, b;
    const int fa = dir->create(a);
    const int fb = dir->create(b);
    ASSERT_GE(fa, 0);
    ASSERT_GE(fb, 0);
    EXPECT_NE(a, b);
    EXPECT_EQ(SpoolDirectory::owner_of(a), ::getpid());
    EXPECT_EQ(a.size(), std::to_string(::getpid()).size() + 1 + 16 + 6);
    struct stat st {};
    ASSERT_EQ(::fstat(fa, &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
    ::close(fa);
    ::close(fb);
    dir->remove(a);
    EXPECT_FALSE(fs::exists(folder + "/" + a));

    // The same folder made too open is refused from then on.
    ::chmod(folder.c_str(), 0750);
    EXPECT_FALSE(SpoolDirectory::open(folder, 0, why));
    EXPECT_EQ(why, "its mode is 0750, not 0700");
    fs::remove_all(root);
}

} // namespace
} // namespace cimserver
