// Many large requests at once: the server reads request bodies only while
// the memory of all waiting requests stays within its total (the rest wait
// in their sockets), answers every one of them, and keeps no body in memory
// once its connection is idle.
#include "CimClient.h"
#include "RawHttp.h"
#include "SimulatedServer.h"
#include "SlowClient.h"

#include <gtest/gtest.h>

#include <sys/socket.h>
#include <sys/time.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <thread>
#include <vector>

namespace cimserver::test {
namespace {

TEST(CimserverQueuedRequests, LargeRequestsAtOnceStayWithinTheDocumentedMemory)
{
    without_quarantine();
    SimulatedServer setup("small");
    CimserverProcess::wait_for_tables(setup.install.path(), {setup.sim.address(0)});
    const pid_t pid = setup.server.pid();
    // A request body of nearly 4 MiB (the default bound): a small
    // enumeration and white space after the document.
    std::string body = CimClient::imethod("EnumerateInstanceNames",
                                          CimClient::class_param("ClassName", "VELDARO_StorageVolume"));
    body.resize((std::size_t(4) << 20) - 1024, ' ');
    const std::string request = RawHttp::request("EnumerateInstanceNames", body);
    {
        RawHttp warm(setup.server.port());
        HttpResponse r;
        ASSERT_TRUE(warm.send(request));
        ASSERT_TRUE(warm.read(r));
        ASSERT_EQ(r.status, 200);
    }
    const ProcessFigures before = figures_of(pid);

    constexpr int CLIENTS = 128;
    std::atomic<int> answered{0};
    std::vector<std::thread> clients;
    for (int i = 0; i < CLIENTS; i++)
        clients.emplace_back([&] {
            RawHttp c(setup.server.port());
            // The server may leave the rest of a body in the socket for a
            // while: the client waits as long as the test allows.
            timeval wait{90, 0};
            ::setsockopt(c.fd(), SOL_SOCKET, SO_SNDTIMEO, &wait, sizeof wait);
            std::size_t sent = 0;
            while (sent < request.size()) {
                ssize_t n = ::send(c.fd(), request.data() + sent, request.size() - sent, MSG_NOSIGNAL);
                if (n <= 0)
                    return;
                sent += static_cast<std::size_t>(n);
            }
            HttpResponse r;
            if (c.read(r, std::chrono::seconds(90)) && r.status == 200 &&
                r.body.find("INSTANCENAME") != std::string::npos)
                answered++;
        });
    for (auto& t : clients)
        t.join();
    EXPECT_EQ(answered, CLIENTS);
    const ProcessFigures after = figures_of(pid);
    std::printf("%d requests of 4 MiB at once: peak RSS %ld MiB above the start, RSS after %ld MiB above\n", CLIENTS,
                (after.peak_rss_kib - before.peak_rss_kib) / 1024, (after.rss_kib - before.rss_kib) / 1024);
    // The documented bound: the bodies being read or waiting (64 MiB in all)
    // and each worker's parse of its own request (16 times 4 MiB), with room
    // for the allocator. Reading all of them at once would take 512 MiB.
    EXPECT_LT(after.peak_rss_kib - before.peak_rss_kib, 200 * 1024)
        << "peak RSS from " << before.peak_rss_kib << " KiB to " << after.peak_rss_kib << " KiB";
    // The arenas give their free memory back once the server has been idle
    // a few seconds after large work: bodies kept would stay for good.
    ProcessFigures rested = after;
    for (const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(30);
         rested.rss_kib >= before.rss_kib + 32 * 1024 && std::chrono::steady_clock::now() < end;) {
        std::this_thread::sleep_for(std::chrono::milliseconds(250));
        rested = figures_of(pid);
    }
    EXPECT_LT(rested.rss_kib, before.rss_kib + 32 * 1024) << "bodies stay in memory after their answers";
    EXPECT_EQ(setup.server.stop(), 0) << setup.server.output();
}

} // namespace
} // namespace cimserver::test
