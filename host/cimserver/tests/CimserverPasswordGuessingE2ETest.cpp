// A password guesser against a server with a login: it opens connection
// after connection from one address, sends a guess on each and treats
// silence as "wrong" after 0.3 s, never waiting for the server's pace. Once
// the address has failed a few times every attempt waits for its turn
// before the login is checked, so the right password is as silent as the
// wrong ones, and verdicts come no faster than one per 100 ms.
#include "CimClient.h"
#include "RawHttp.h"
#include "SimulatedServer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace cimserver::test {
namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

// The documented pace of verdicts for one address past its first failures.
constexpr auto TURN = 100ms;
constexpr int FREE_FAILURES = 3;

std::string guess(bool right)
{
    std::string r = RawHttp::request(
        "GetClass", CimClient::imethod("GetClass", CimClient::class_param("ClassName", "CIM_ManagedElement")));
    if (!right)
        r.replace(r.find(RIGHT_LOGIN), RIGHT_LOGIN.size(), WRONG_LOGIN);
    return r;
}

TEST(CimserverPasswordGuessing, AGuesserThatDoesNotWaitCannotTellTheRightPasswordFasterThanTheDocumentedRate)
{
    SimulatedServer setup("small", {"--poll-interval", "3600"});
    const int port = setup.server.port();
    struct Verdict {
        Clock::time_point at;
        int status;
        bool right;
    };
    std::mutex mutex;
    std::vector<Verdict> verdicts; // answers within the guesser's 0.3 s, of any kind
    std::atomic<int> guesses{0};
    std::atomic<bool> right_sent{false};
    const auto start = Clock::now();
    const auto run = 3s;
    std::vector<std::thread> guessers;
    for (int g = 0; g < 8; g++)
        guessers.emplace_back([&, g] {
            while (Clock::now() - start < run) {
                // One guesser puts the right password in the middle of the run.
                const bool right = g == 0 && Clock::now() - start > run / 2 && !right_sent.exchange(true);
                RawHttp c(port);
                if (!c.connected() || !c.send(guess(right)))
                    continue;
                guesses++;
                HttpResponse r;
                if (c.read(r, 300ms)) {
                    std::lock_guard lock(mutex);
                    verdicts.push_back({Clock::now(), r.status, right});
                }
            }
        });
    for (auto& t : guessers)
        t.join();
    const auto took = Clock::now() - start;
    ASSERT_TRUE(right_sent);
    std::printf("%d guesses in %lld ms, %zu answered within 0.3 s\n", guesses.load(),
                static_cast<long long>(std::chrono::duration_cast<std::chrono::milliseconds>(took).count()),
                verdicts.size());
    // The right password is not told apart: it is not answered 200 while
    // the guesser waits.
    for (const Verdict& v : verdicts)
        EXPECT_FALSE(v.right && v.status == 200) << "the right password was answered at once";
    // Verdicts (401 or 200) come no faster than the documented pace.
    std::sort(verdicts.begin(), verdicts.end(), [](const Verdict& a, const Verdict& b) { return a.at < b.at; });
    int told = 0;
    for (const Verdict& v : verdicts) {
        if (v.status != 401 && v.status != 200)
            continue; // 503: the attempt was not checked
        EXPECT_GE(v.at - start, (told - FREE_FAILURES) * TURN) << "verdict " << told << " came too soon";
        told++;
    }
    EXPECT_LE(told, FREE_FAILURES + 2 + static_cast<int>(took / TURN));
    // A client with the right login that waits for its turn gets in.
    bool in = false;
    for (const auto end = Clock::now() + 30s; !in && Clock::now() < end;) {
        RawHttp c(port);
        HttpResponse r;
        ASSERT_TRUE(c.send(guess(true)));
        ASSERT_TRUE(c.read(r, 15s));
        in = r.status == 200;
        if (!in) {
            EXPECT_EQ(r.status, 503) << "the right login was refused";
            std::this_thread::sleep_for(1s);
        }
    }
    EXPECT_TRUE(in);
    EXPECT_EQ(setup.server.stop(), 0) << setup.server.output();
}

} // namespace
} // namespace cimserver::test
