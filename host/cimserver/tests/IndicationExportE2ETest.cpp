// End to end: a status change of the simulated array, seen by the polling
// service, reaches a CIM-XML listener as an exported indication.
#include "CimserverProcess.h"

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

// A listener that answers every export request and keeps what it got.
class Listener {
public:
    Listener()
    {
        _server.Post("/indications", [this](const httplib::Request& req, httplib::Response& res) {
            {
                std::lock_guard<std::mutex> g(_lock);
                _requests.push_back(req.get_header_value("CIMExport") + " " +
                                    req.get_header_value("CIMExportMethod") + "\n" + req.body);
            }
            _arrived.notify_all();
            res.set_header("CIMExport", "MethodResponse");
            res.set_content("<?xml version=\"1.0\" encoding=\"utf-8\" ?><CIM CIMVERSION=\"2.0\" DTDVERSION=\"2.0\">"
                            "<MESSAGE ID=\"1\" PROTOCOLVERSION=\"1.0\"><SIMPLEEXPRSP>"
                            "<EXPMETHODRESPONSE NAME=\"ExportIndication\"></EXPMETHODRESPONSE>"
                            "</SIMPLEEXPRSP></MESSAGE></CIM>",
                            "application/xml; charset=\"utf-8\"");
        });
        _port = _server.bind_to_any_port("127.0.0.1");
        _thread = std::thread([this] { _server.listen_after_bind(); });
    }
    ~Listener()
    {
        _server.stop();
        _thread.join();
    }

    std::string url() const { return "http://127.0.0.1:" + std::to_string(_port) + "/indications"; }

    // The first request that contains every text, waiting up to the limit.
    std::string waitFor(const std::vector<std::string>& texts, std::chrono::seconds limit)
    {
        std::unique_lock<std::mutex> g(_lock);
        std::string found;
        _arrived.wait_for(g, limit, [&] {
            for (const std::string& r : _requests) {
                bool all = true;
                for (const std::string& t : texts)
                    all = all && r.find(t) != std::string::npos;
                if (all) {
                    found = r;
                    return true;
                }
            }
            return false;
        });
        return found;
    }

private:
    httplib::Server _server;
    int _port = -1;
    std::thread _thread;
    std::mutex _lock;
    std::condition_variable _arrived;
    std::vector<std::string> _requests;
};

TEST(IndicationExportE2E, ArrayStatusChangeReachesTheListener)
{
    testsupport::ArraysimProcess sim("small");
    smis::test::TempInstallDir install;
    install.writeEnv({"StorageIP=" + sim.address(0) + "," + std::to_string(sim.port(0))});
    Listener listener;
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
