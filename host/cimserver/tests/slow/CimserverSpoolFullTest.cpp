// On a small file system that holds the cache files and the spool, as a
// small install file system would: slow readers of large answers spool
// until only the reserve is left, then their answers are cut, each with a
// log line naming the reason and the client, and the cache files are still
// written afterwards.
#include "CimserverProcess.h"
#include "SlowClient.h"

#include <ArraysimProcess.hpp>
#include <TempInstallDir.h>

#include <gtest/gtest.h>

#include <sys/mount.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace cimserver::test {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

// A tmpfs of the given size on a fresh folder, gone with it.
class SmallFileSystem {
public:
    explicit SmallFileSystem(std::size_t mib)
    {
        char name[] = "/tmp/smallfs-XXXXXX";
        if (!::mkdtemp(name))
            return;
        _path = name;
        const std::string options = "size=" + std::to_string(mib) + "m,mode=0700";
        _mounted = ::mount("tmpfs", _path.c_str(), "tmpfs", 0, options.c_str()) == 0;
    }
    ~SmallFileSystem()
    {
        if (_mounted)
            ::umount2(_path.c_str(), MNT_DETACH);
        if (!_path.empty())
            ::rmdir(_path.c_str());
    }
    bool mounted() const { return _mounted; }
    const std::string& path() const { return _path; }
    std::size_t free_bytes() const
    {
        struct statvfs v {};
        return ::statvfs(_path.c_str(), &v) == 0 ? v.f_bavail * v.f_frsize : 0;
    }

private:
    std::string _path;
    bool _mounted = false;
};

TEST(CimserverSpoolFull, AFullSpoolFileSystemCutsAnswersAndKeepsTheCacheWritten)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "mounting a small tmpfs needs root";
    SmallFileSystem small(256);
    ASSERT_TRUE(small.mounted()) << "cannot mount a tmpfs";
    testsupport::ArraysimProcess sim("max");
    smis::test::TempInstallDir install;
    std::vector<std::string> env, addresses;
    for (size_t i = 0; i < sim.arrayCount(); i++) {
        env.push_back("StorageIP=" + sim.address(i) + "," + std::to_string(sim.port(i)));
        addresses.push_back(sim.address(i));
    }
    install.writeEnv(env);
    // The install's data folder lives on the small file system, beside the spool.
    fs::remove(install.path() + "/data");
    fs::create_directory(small.path() + "/data");
    fs::create_directory_symlink(small.path() + "/data", install.path() + "/data");
    // The spool may take at most 3 MiB of what is free (less once the cache
    // files are in); slow readers of the 21 MB volume enumeration, with
    // 1 MiB of answer memory for all, need far more.
    const std::size_t reserve = small.free_bytes() - (std::size_t(3) << 20);
    CimserverProcess server(install.path(), {"--poll-interval", "1", "--spool-folder", small.path() + "/spool",
                                             "--spool-reserve", std::to_string(reserve), "--max-answer-memory",
                                             std::to_string(1 << 20)});
    CimserverProcess::wait_for_tables(install.path(), addresses);
    const std::string cmf = install.path() + "/data/" + sim.address(0) + ".cmf";
    ASSERT_TRUE(fs::exists(cmf));

    std::vector<std::unique_ptr<SlowReader>> readers;
    for (int i = 0; i < 2; i++)
        readers.push_back(
            std::make_unique<SlowReader>(server.port(), enumeration_request("VELDARO_StorageVolume"), 1024));
    bool cut = false;
    // The walk makes the answer at the provider's pace, slow in a loaded
    // sanitizer build.
    for (const auto end = Clock::now() + 300s; !cut && Clock::now() < end; std::this_thread::sleep_for(200ms))
        cut = server.output().find("cut: spool file system full") != std::string::npos;
    ASSERT_TRUE(cut) << server.output();
    EXPECT_NE(server.output().find("answer to 127.0.0.1:"), std::string::npos);

    // The table changes: the next poll writes the cache files again, into
    // the reserve the spool left.
    const auto written = fs::last_write_time(cmf);
    ASSERT_TRUE(
        sim.control({{"op", "set_status"}, {"array", 0}, {"element", "raid_group"}, {"key", 0}, {"status", 1}})["ok"]);
    bool refreshed = false;
    for (const auto end = Clock::now() + 120s; !refreshed && Clock::now() < end; std::this_thread::sleep_for(200ms))
        refreshed = fs::last_write_time(cmf) != written && fs::file_size(cmf) > 0;
    EXPECT_TRUE(refreshed) << "the cache was not written";
    readers.clear();
    EXPECT_EQ(server.stop(), 0) << server.output();
}

} // namespace
} // namespace cimserver::test
