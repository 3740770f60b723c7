// Slow and vanishing clients on the `max` scenario: a client reading the
// largest answer at 64 KiB/s (or eight, or 32 of a 21 MB one) costs only
// itself; clients that send a request and leave cost next to nothing; and a
// server killed while answers are spooled leaves nothing after its next
// start.
#include "CimClient.h"
#include "RawHttp.h"
#include "SimulatedServer.h"
#include "SlowClient.h"

#include <gtest/gtest.h>

#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <memory>
#include <thread>
#include <vector>

namespace cimserver::test {
namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

constexpr std::size_t SLOW_RATE = 64 << 10;
const char* const LARGEST = "CIM_ConcreteDependency"; // the largest answer of max

std::size_t spool_files(const std::string& install)
{
    std::error_code ec;
    std::size_t n = 0;
    for (auto it = std::filesystem::directory_iterator(install + "/spool", ec);
         it != std::filesystem::directory_iterator(); it.increment(ec))
        n++;
    return n;
}

// The max server with every array's table in, and names to ask about.
struct MaxServer {
    SimulatedServer setup;
    CimClient client;
    std::string system_get, volume_get;

    explicit MaxServer(std::vector<std::string> extra = {})
        : setup("max", with_polling(std::move(extra))), client(setup.server.port())
    {
        std::vector<std::string> addresses;
        for (size_t i = 0; i < setup.sim.arrayCount(); i++)
            addresses.push_back(setup.sim.address(i));
        CimserverProcess::wait_for_tables(setup.install.path(), addresses);
        const auto systems = instance_names(client, "VELDARO_StorageComputerSystem");
        const auto volumes = instance_names(client, "VELDARO_StorageVolume");
        if (!systems.empty() && !volumes.empty()) {
            system_get = get_of(systems.front());
            volume_get = get_of(volumes.front());
        }
    }
    static std::vector<std::string> with_polling(std::vector<std::string> extra)
    {
        extra.insert(extra.end(), {"--poll-interval", "1"});
        return extra;
    }
    static std::string get_of(const std::string& name)
    {
        return CimClient::imethod("GetInstance", "<IPARAMVALUE NAME=\"InstanceName\">" + name + "</IPARAMVALUE>");
    }
    const std::string& install() const { return setup.install.path(); }
    CimserverProcess& server() { return setup.server; }

    // Asks the small questions over and over for the time given: the
    // slowest answer, failing when one fails.
    Clock::duration slowest_small_answers(Clock::duration during)
    {
        auto slowest = Clock::duration::zero();
        for (const auto end = Clock::now() + during; Clock::now() < end;) {
            struct Ask {
                const char* method;
                std::string body;
            } asks[] = {{"GetInstance", system_get},
                        {"GetInstance", volume_get},
                        {"EnumerateInstanceNames",
                         CimClient::imethod("EnumerateInstanceNames",
                                            CimClient::class_param("ClassName", "VELDARO_ControllerComputerSystem"))}};
            for (auto& a : asks) {
                CimReply r;
                const auto start = Clock::now();
                client.call(a.method, a.body, r);
                slowest = std::max(slowest, Clock::now() - start);
                EXPECT_EQ(r.error_code, 0) << a.method << " " << r.body.substr(0, 300);
            }
            std::this_thread::sleep_for(100ms);
        }
        return slowest;
    }

    // The array exchanges of the polling service within the time given.
    std::size_t exchanges_within(Clock::duration during, const std::function<void()>& meanwhile = {})
    {
        const auto before = setup.sim.requests();
        const std::uint64_t after = before.empty() ? 0 : before.back()["seq"].get<std::uint64_t>();
        if (meanwhile)
            meanwhile();
        else
            std::this_thread::sleep_for(during);
        return setup.sim.requests(after).size();
    }
};

// Readers of the largest answer at 64 KiB/s: the small questions about the
// same arrays answer promptly throughout, and the polling service
// keeps its pace.
TEST(CimserverSlowReaders, ReadersOfTheLargestAnswerHoldNoOne)
{
    MaxServer max;
    ASSERT_FALSE(max.system_get.empty()) << "the max scenario serves no system or volume";
    const auto window = 6s;
    // The polling service's pace without readers is taken before and after
    // them, the smaller counting: right after the start it may still be
    // catching up, which makes one window busier than its usual pace.
    const std::size_t before = max.exchanges_within(window);
    std::vector<std::pair<int, std::size_t>> paced;
    for (int readers : {1, 8}) {
        SCOPED_TRACE(std::to_string(readers) + " readers");
        std::vector<std::unique_ptr<SlowReader>> slow;
        for (int i = 0; i < readers; i++) {
            slow.push_back(
                std::make_unique<SlowReader>(max.server().port(), enumeration_request(LARGEST), SLOW_RATE));
            ASSERT_TRUE(slow.back()->connected());
        }
        // The walk makes the first part at the provider's pace; from then on
        // the readers read.
        auto reading = [&] {
            for (auto& s : slow)
                if (s->bytes() > 0)
                    return true;
            return false;
        };
        for (const auto end = Clock::now() + 120s; !reading() && Clock::now() < end;)
            std::this_thread::sleep_for(100ms);
        ASSERT_TRUE(reading()) << "no answer began";
        Clock::duration slowest{};
        const std::size_t exchanges = max.exchanges_within(window, [&] { slowest = max.slowest_small_answers(window); });
        // One held by a reader would wait for its answer: hours at this rate.
        EXPECT_LT(slowest, 5s);
        paced.emplace_back(readers, exchanges);
        // The provider walks for one request at a time: the readers'
        // answers begin one after the other, and they read on meanwhile.
        std::size_t read = 0;
        for (auto& s : slow)
            read += s->bytes();
        EXPECT_GT(read, SLOW_RATE) << "the readers got nothing";
    }
    const std::size_t alone = std::min(before, max.exchanges_within(window));
    for (const auto& [readers, exchanges] : paced)
        EXPECT_GE(exchanges * 2, alone) << "the polling service fell behind with " << readers << " readers: "
                                        << exchanges << " exchanges against " << alone << " without readers";
    EXPECT_EQ(max.server().stop(), 0) << max.server().output();
}

// Readers of a 21 MB answer (within the memory backlog of one answer) hold
// no worker: 32 of them, and the others' requests answer promptly.
TEST(CimserverSlowReaders, ThirtyTwoReadersOfAVolumeEnumerationHoldNoWorker)
{
    MaxServer max;
    ASSERT_FALSE(max.system_get.empty()) << "the max scenario serves no system or volume";
    std::vector<std::unique_ptr<SlowReader>> slow;
    for (int i = 0; i < 32; i++) {
        slow.push_back(std::make_unique<SlowReader>(max.server().port(),
                                                    enumeration_request("VELDARO_StorageVolume"), SLOW_RATE));
        ASSERT_TRUE(slow.back()->connected());
    }
    // The provider walks for one request at a time; once every answer has
    // begun (and the last walk has had time to end), the readers only read.
    auto started = [&] {
        for (auto& s : slow)
            if (s->bytes() == 0)
                return false;
        return true;
    };
    for (const auto end = Clock::now() + 180s; !started() && Clock::now() < end;)
        std::this_thread::sleep_for(100ms);
    ASSERT_TRUE(started()) << "not every answer began";
    std::this_thread::sleep_for(2s);
    EXPECT_LT(max.slowest_small_answers(5s), 5s);
    for (auto& s : slow)
        EXPECT_FALSE(s->closed());
    slow.clear();
    EXPECT_EQ(max.server().stop(), 0) << max.server().output();
}

// 200 clients that send the largest enumeration and close at once: the
// walks stop (together they cost far less than the whole answers would) and
// nothing stays behind: descriptors, threads, spool files, memory.
TEST(CimserverSlowReaders, ClientsThatLeaveCostNoWalkAndLeaveNothing)
{
    without_quarantine();
    MaxServer max;
    const pid_t pid = max.server().pid();
    const std::string request = enumeration_request(LARGEST);
    // One whole answer, read as fast as the client can, sets the figure.
    const ProcessFigures start = figures_of(pid);
    {
        RawHttp whole(max.server().port());
        ASSERT_TRUE(whole.send(request));
        HttpResponse r;
        std::size_t bytes = 0;
        std::string start_of_body;
        ASSERT_TRUE(whole.read(r, 120s, [&](std::string_view piece) {
            if (start_of_body.size() < 600)
                start_of_body.append(piece.substr(0, 600 - start_of_body.size()));
            bytes += piece.size();
        }));
        ASSERT_GT(bytes, std::size_t(100) << 20) << r.status << " " << start_of_body;
    }
    const ProcessFigures one = figures_of(pid);
    const double walk = one.cpu_seconds - start.cpu_seconds;
    for (int i = 0; i < 200; i++) {
        RawHttp leaving(max.server().port());
        ASSERT_TRUE(leaving.send(request));
    }
    // Every connection is closed once its request has ended (a thread of
    // the polling service may come and go meanwhile).
    ProcessFigures after = figures_of(pid);
    for (const auto end = Clock::now() + 30s; (after.fds > one.fds || after.threads > one.threads) && Clock::now() < end;
         after = figures_of(pid))
        std::this_thread::sleep_for(100ms);
    std::printf("200 clients that left: %.2f s of server CPU; one whole answer: %.2f s\n",
                after.cpu_seconds - one.cpu_seconds, walk);
    // A request whose client left before a worker took it is not started,
    // and a walk whose client leaves stops before it builds more: all 200
    // together cost next to nothing, held here (the polling service's
    // refreshes count too) to less than two whole answers.
    EXPECT_LT(after.cpu_seconds - one.cpu_seconds, 2 * walk)
        << "200 requests of clients that left cost " << after.cpu_seconds - one.cpu_seconds
        << " s of CPU; one whole answer " << walk << " s";
    EXPECT_LE(after.fds, one.fds + 1);
    EXPECT_LE(after.threads, one.threads);
    EXPECT_EQ(spool_files(max.install()), 0u);
    EXPECT_LT(after.rss_kib, one.rss_kib + 64 * 1024);
    EXPECT_EQ(max.server().stop(), 0) << max.server().output();
}

// Killed while a slow reader's answer is spooled, the server leaves its
// spool file; the next start removes it.
TEST(CimserverSlowReaders, TheNextStartRemovesTheSpoolOfAKilledServer)
{
    // Without a cap on what one connection may have waiting, the answer
    // stays spooled however far its reader falls behind.
    auto max = std::make_unique<MaxServer>(std::vector<std::string>{"--max-answer-held", "0"});
    auto reader = std::make_unique<SlowReader>(max->server().port(), enumeration_request(LARGEST), 1024);
    for (const auto end = Clock::now() + 60s; spool_files(max->install()) == 0 && Clock::now() < end;)
        std::this_thread::sleep_for(100ms);
    ASSERT_EQ(spool_files(max->install()), 1u) << "the answer was not spooled";
    ASSERT_EQ(::kill(max->server().pid(), SIGKILL), 0);
    max->server().stop();
    reader.reset();
    EXPECT_EQ(spool_files(max->install()), 1u);
    {
        CimserverProcess again(max->install(), {"--no-polling"});
        EXPECT_EQ(spool_files(max->install()), 0u);
        EXPECT_EQ(again.stop(), 0) << again.output();
    }
}

} // namespace
} // namespace cimserver::test
