// End to end: a status change of the simulated array, seen by the polling
// service, reaches a CIM-XML listener as an exported indication.
#include "CimserverProcess.h"
#include "IndicationListener.h"

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

}  // namespace
}  // namespace cimserver::test
