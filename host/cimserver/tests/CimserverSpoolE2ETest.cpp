// The spool trusts nothing it did not make: a folder that is a symbolic
// link, belongs to another user, is too open or is not a folder at all is
// refused at start-up with a log line, and nothing in or behind it is
// touched.
#include "CimClient.h"
#include "RawHttp.h"
#include "SimulatedServer.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace cimserver::test {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

// A fresh folder under /tmp, removed with everything in it.
struct Scratch {
    std::string path;
    Scratch()
    {
        char name[] = "/tmp/spooltest-XXXXXX";
        path = ::mkdtemp(name) ? name : "";
    }
    ~Scratch()
    {
        std::error_code ec;
        fs::remove_all(path, ec);
    }
};

void write_file(const std::string& path, const std::string& text)
{
    std::ofstream(path) << text;
}

mode_t mode_of(const std::string& path)
{
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0 ? st.st_mode & 07777 : 0;
}

void answers_small_request(int port)
{
    RawHttp c(port);
    ASSERT_TRUE(c.send(RawHttp::request(
        "GetClass", CimClient::imethod("GetClass", CimClient::class_param("ClassName", "CIM_ManagedElement")))));
    HttpResponse r;
    ASSERT_TRUE(c.read(r, 5s));
    EXPECT_EQ(r.status, 200);
}

TEST(CimserverSpool, UntrustedFoldersAreRefusedAndNothingInThemIsTouched)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "a folder of another user needs root to make";
    Scratch scratch;
    ASSERT_FALSE(scratch.path.empty());
    // What an attacker or another program keeps where the spool points:
    // names of the spool's own form of a server that is not running, and
    // a file of its own.
    const std::vector<std::string> planted = {"999999-0.spool", "999999-00112233aabbccdd.spool", "notes.txt"};
    auto plant = [&](const std::string& folder) {
        for (const auto& name : planted)
            write_file(folder + "/" + name, "kept");
    };
    const std::string victim = scratch.path + "/victim";
    fs::create_directory(victim);
    ::chmod(victim.c_str(), 0755);
    plant(victim);
    const std::string link = scratch.path + "/link";
    fs::create_directory_symlink(victim, link);
    const std::string foreign = scratch.path + "/foreign";
    fs::create_directory(foreign);
    plant(foreign);
    ::chmod(foreign.c_str(), 0700);
    ASSERT_EQ(::chown(foreign.c_str(), 65534, 65534), 0);
    const std::string open_folder = scratch.path + "/open";
    fs::create_directory(open_folder);
    ::chmod(open_folder.c_str(), 0755);
    plant(open_folder);
    const std::string plain = scratch.path + "/plain";
    write_file(plain, "a plain file");

    struct Case {
        std::string folder;
        std::string checked; // the folder whose content must stay
        const char* why;
        mode_t mode;
    } cases[] = {{link, victim, "it is a symbolic link", 0755},
                 {foreign, foreign, "it is owned by user 65534", 0700},
                 {open_folder, open_folder, "its mode is 0755, not 0700", 0755},
                 {plain, "", "it is not a directory", 0644}};
    for (const Case& k : cases) {
        SCOPED_TRACE(k.folder);
        const mode_t before = mode_of(k.checked.empty() ? k.folder : k.checked);
        SimulatedServer setup("small", {"--no-polling", "--spool-folder", k.folder});
        answers_small_request(setup.server.port());
        EXPECT_EQ(setup.server.stop(), 0);
        const std::string log = setup.server.output();
        EXPECT_NE(log.find("spool folder " + k.folder + " refused: " + k.why), std::string::npos) << log;
        EXPECT_EQ(mode_of(k.checked.empty() ? k.folder : k.checked), before);
        if (k.checked.empty()) {
            EXPECT_TRUE(fs::is_regular_file(k.folder));
            continue;
        }
        for (const auto& name : planted)
            EXPECT_TRUE(fs::exists(k.checked + "/" + name)) << name << " was removed";
    }
}

} // namespace
} // namespace cimserver::test
