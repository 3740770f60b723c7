// End to end: a status change of the simulated array, seen by the polling
// service, reaches a CIM-XML listener as an exported indication; listeners
// that turn against the server hold neither its memory nor its stop.
#include "CimserverProcess.h"
#include "HostileListener.h"
#include "IndicationListener.h"
#include "SlowClient.h"
#include "SubscribedServer.h"

#include <ArraysimProcess.hpp>
#include <TempInstallDir.h>

#include <gtest/gtest.h>
#include <httplib.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace cimserver::test {
namespace {

TEST(IndicationExportE2E, ArrayStatusChangeReachesTheListener)
{
    testsupport::ArraysimProcess sim("small");
    smis::test::TempInstallDir install;
    install.writeEnv({"StorageIP=" + sim.address(0) + "," + std::to_string(sim.port(0))});
    IndicationListener listener;
    CimserverProcess server(install.path(), {"--listener", listener.url(), "--poll-interval", "1"});

    // The device-status task compares each poll with the one before; the
    // status is switched until a poll sees the change (the first poll only
    // records the status it finds).
    const std::vector<std::string> expected = {"MethodRequest ExportIndication",
                                               "<EXPMETHODCALL NAME=\"ExportIndication\">",
                                               "<INSTANCE CLASSNAME=\"CIM_InstModification\">",
                                               "VELDARO_StorageComputerSystem", sim.address(0)};
    std::string request;
    for (int attempt = 0; attempt < 6 && request.empty(); ++attempt) {
        const int status = attempt % 2 == 0 ? 88 : 32;  // degraded, normal
        ASSERT_TRUE(sim.control({{"op", "set_status"}, {"array", 0}, {"element", "system"}, {"status", status}})["ok"]);
        request = listener.waitFor(expected, std::chrono::seconds(5));
    }
    EXPECT_FALSE(request.empty()) << server.output();
    EXPECT_NE(request.find("PreviousInstance"), std::string::npos) << request;
    EXPECT_NE(request.find("VELDARO:KESTRIS SMI-S Proxy Server"), std::string::npos) << request;

    EXPECT_EQ(server.stop(), 0) << server.output();
}

// While a trickling, a never-reading, a flooding (512 MiB) and a gzip-bombing
// listener are being delivered to, the server's memory stays where it was,
// and SIGTERM ends it within 5 s, though each trickling or silent delivery
// would last its 30 s and be tried again.
TEST(IndicationExportE2E, HostileListenersHoldNeitherTheMemoryNorTheStop)
{
    using Kind = HostileListener::Kind;
    without_quarantine();
    HostileListener trickle(Kind::trickle), silent(Kind::never_read), flood(Kind::flood), bomb(Kind::gzip_bomb);
    SubscribedServer s;
    SubscriptionClient client(s.server->port());
    const std::string filter = client.createFilter("all", "SELECT * FROM CIM_InstIndication");
    ASSERT_FALSE(filter.empty()) << client.last().body;
    int n = 0;
    for (const HostileListener* l : {&trickle, &silent, &flood, &bomb}) {
        const std::string destination = client.createDestination("hostile" + std::to_string(n++), l->url());
        ASSERT_FALSE(destination.empty()) << client.last().body;
        ASSERT_FALSE(client.createSubscription(filter, destination).empty()) << client.last().body;
    }
    // One change delivered to the static listener first: what the server
    // holds for an indication on its way is in what it held before.
    ASSERT_NO_FATAL_FAILURE(s.changeStatus());
    std::this_thread::sleep_for(std::chrono::seconds(2));
    const long before = s.server->rss_kib();
    ASSERT_NO_FATAL_FAILURE(s.changeStatus());
    ASSERT_NO_FATAL_FAILURE(s.changeStatus());
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    // The trickling and the silent listener hold their first delivery; the
    // others answer each at once.
    while ((trickle.connections() == 0 || silent.connections() == 0 || flood.connections() < 3 ||
            bomb.connections() < 3) &&
           std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_GT(trickle.connections() * silent.connections(), 0u);
    EXPECT_GE(flood.connections(), 3u);
    EXPECT_GE(bomb.connections(), 3u);
    // What the flood got to send is what the sockets buffer, not its 512 MiB
    // a delivery.
    EXPECT_LT(flood.sent(), 64ull << 20);
    // A delivery that kept what a listener sends would hold hundreds of MiB;
    // the threads and buffers of the deliveries in progress take a few MiB,
    // more on a loaded machine under the sanitizers.
    const long after = s.server->rss_kib();
    EXPECT_LT(after - before, 64 * 1024) << "KiB before " << before << ", after " << after;

    const auto stopping = std::chrono::steady_clock::now();
    EXPECT_EQ(s.server->stop(), 0) << s.server->output();
    EXPECT_LT(std::chrono::steady_clock::now() - stopping, std::chrono::seconds(5));
    s.server.reset();
}

}  // namespace
}  // namespace cimserver::test
