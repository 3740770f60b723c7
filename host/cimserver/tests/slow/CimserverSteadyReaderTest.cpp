// A client that reads the largest answer of the `max` scenario (over 100 MB)
// steadily at about 2 MiB/s, slower than the walk makes it: the walk pauses
// whenever the answer's bytes waiting reach their bound, so the client gets
// the whole answer, while the server's memory and the answer's spool file
// stay within their bounds throughout.
#include "CimClient.h"
#include "RawHttp.h"
#include "SimulatedServer.h"
#include "SlowClient.h"

#include <gtest/gtest.h>

#include <sys/socket.h>
#include <sys/stat.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <thread>
#include <vector>

namespace cimserver::test {
namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

constexpr std::size_t HELD = std::size_t(32) << 20;   // --max-answer-held
constexpr std::size_t MEMORY = std::size_t(8) << 20;  // --max-answer-memory
constexpr std::size_t RATE = std::size_t(2) << 20;    // bytes a second the client reads

// Disk the spool files take (their blocks, not their lengths).
std::size_t spool_disk(const std::string& install)
{
    std::error_code ec;
    std::size_t bytes = 0;
    for (auto it = std::filesystem::directory_iterator(install + "/spool", ec);
         it != std::filesystem::directory_iterator(); it.increment(ec)) {
        struct stat st {};
        if (::stat(it->path().c_str(), &st) == 0)
            bytes += static_cast<std::size_t>(st.st_blocks) * 512;
    }
    return bytes;
}

TEST(CimserverSteadyReader, AClientReadingSlowerThanTheWalkGetsTheWholeAnswerWithinTheBounds)
{
    without_quarantine();
    SimulatedServer setup("max", {"--max-answer-held", std::to_string(HELD), "--max-answer-memory",
                                  std::to_string(MEMORY), "--poll-interval", "3600"});
    std::vector<std::string> addresses;
    for (size_t i = 0; i < setup.sim.arrayCount(); i++)
        addresses.push_back(setup.sim.address(i));
    CimserverProcess::wait_for_tables(setup.install.path(), addresses);
    const std::string request = enumeration_request("CIM_ConcreteDependency", true);
    // One answer read at once sets the memory the walk itself takes.
    {
        RawHttp fast(setup.server.port());
        ASSERT_TRUE(fast.send(request));
        HttpResponse r;
        ASSERT_TRUE(fast.read(r, 300s, [](std::string_view) {})) << r.status;
    }
    const long walked_kib = figures_of(setup.server.pid()).peak_rss_kib;

    std::atomic<bool> done{false};
    std::size_t most_spooled = 0;
    long peak_kib = 0;
    std::thread watch([&] {
        while (!done) {
            most_spooled = std::max(most_spooled, spool_disk(setup.install.path()));
            peak_kib = std::max(peak_kib, figures_of(setup.server.pid()).rss_kib);
            std::this_thread::sleep_for(100ms);
        }
    });
    RawHttp slow(setup.server.port());
    int small = 65536;
    ::setsockopt(slow.fd(), SOL_SOCKET, SO_RCVBUF, &small, sizeof small);
    ASSERT_TRUE(slow.send(request));
    HttpResponse r;
    std::size_t bytes = 0;
    const auto start = Clock::now();
    const bool whole = slow.read(r, 600s, [&](std::string_view piece) {
        bytes += piece.size();
        std::this_thread::sleep_until(start + std::chrono::microseconds(bytes * 1000000 / RATE));
    });
    done = true;
    watch.join();
    const auto took = std::chrono::duration_cast<std::chrono::seconds>(Clock::now() - start).count();
    std::printf("read %zu bytes in %lld s; spool at most %zu KiB, RSS at most %ld KiB (one walk read at once: %ld KiB)\n",
                bytes, static_cast<long long>(took), most_spooled >> 10, peak_kib, walked_kib);
    EXPECT_TRUE(whole) << "the answer was cut after " << bytes << " bytes";
    EXPECT_EQ(r.status, 200);
    EXPECT_GT(bytes, std::size_t(100) << 20);
    // The spool holds at most the answer's bound (its sent space goes back
    // in steps of 8 MiB), the memory at most the answers' total beyond what
    // a walk read at once takes (with room for the sanitizer's noise).
    EXPECT_LE(most_spooled, HELD + (std::size_t(9) << 20));
    EXPECT_LE(peak_kib, walked_kib + static_cast<long>((MEMORY + (std::size_t(48) << 20)) >> 10));
    const std::string log = setup.server.output();
    EXPECT_EQ(log.find("cut:"), std::string::npos) << log;
    EXPECT_EQ(setup.server.stop(), 0) << setup.server.output();
}

} // namespace
} // namespace cimserver::test
