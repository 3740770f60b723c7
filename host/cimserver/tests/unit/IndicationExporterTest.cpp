// The exporter: the ExportIndication request it writes, and that submitting
// never waits for a listener, slow or absent.
#include "IndicationExporter.h"

#include "Test_Schema.h"

#include "FreePort.h"

#include <SMIS_AccessPoints.h>

#include <gtest/gtest.h>
#include <httplib.h>


#include <atomic>
#include <chrono>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace cimserver {
namespace {

using namespace cimple;

Test_Holder* holder(uint32 id, const char* note = "a <note>")
{
    Test_Holder* h = Test_Holder::create();
    h->Id.set(id);
    h->Note.set(note);
    Test_Base* inner = Test_Base::create();
    inner->Name.set("inner");
    h->Embedded = inner;
    return h;
}

TEST(IndicationExporter, RequestIsAnExportIndicationMessage)
{
    Test_Holder* h = holder(1);
    const std::string body = IndicationExporter::export_request(h, 42);
    destroy(h);
    for (const char* part : {"<MESSAGE ID=\"42\" PROTOCOLVERSION=\"1.0\"><SIMPLEEXPREQ>",
                             "<EXPMETHODCALL NAME=\"ExportIndication\"><EXPPARAMVALUE NAME=\"NewIndication\">"
                             "<INSTANCE CLASSNAME=\"Test_Holder\">",
                             "a &lt;note&gt;", "EmbeddedObject=\"instance\"",
                             "</EXPPARAMVALUE></EXPMETHODCALL></SIMPLEEXPREQ></MESSAGE></CIM>"})
        EXPECT_NE(body.find(part), std::string::npos) << part << "\n" << body;
}

// References in an exported indication name the server as a listener can
// reach it back: its HTTPS listener when it has one, "localhost" before it
// listens.
TEST(IndicationExporter, ReferencesNameTheServersPreferredListener)
{
    struct Case {
        std::vector<cimple::SMIS_AccessPoint> published;
        const char* host;
    } cases[] = {
        {{}, "localhost"},
        {{cimple::SMIS_AccessPoint::of("http", "127.0.0.1", 5988)}, "127.0.0.1:5988"},
        {{cimple::SMIS_AccessPoint::of("http", "127.0.0.1", 5988), cimple::SMIS_AccessPoint::of("https", "127.0.0.1", 5989)},
         "127.0.0.1:5989"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.host);
        cimple::SMIS_AccessPoints::publish(c.published);
        Test_Holder* h = holder(1);
        Test_Base* owner = Test_Base::create();
        owner->Name.set("owner");
        h->Owner = owner;
        const std::string body = IndicationExporter::export_request(h, 1);
        destroy(h);
        EXPECT_NE(body.find(std::string("<HOST>") + c.host + "</HOST>"), std::string::npos) << body;
    }
    cimple::SMIS_AccessPoints::publish({});
}

TEST(IndicationExporter, SubmitNeverWaitsForASlowListener)
{
    httplib::Server slow;
    std::mutex lock;
    std::vector<std::string> bodies;
    // The listener answers nothing until released (a minute at most): a
    // submit that waited for it would take that long.
    std::atomic<bool> released{false};
    slow.Post("/in", [&](const httplib::Request& req, httplib::Response& res) {
        for (const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(60);
             !released && std::chrono::steady_clock::now() < end;)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        {
            std::lock_guard<std::mutex> g(lock);
            bodies.push_back(req.get_header_value("CIMExportMethod") + " " + req.body);
        }
        res.set_content("<CIM><MESSAGE><SIMPLEEXPRSP><EXPMETHODRESPONSE NAME=\"ExportIndication\">"
                        "</EXPMETHODRESPONSE></SIMPLEEXPRSP></MESSAGE></CIM>",
                        "application/xml");
    });
    const int port = slow.bind_to_any_port("127.0.0.1");
    std::thread serving([&] { slow.listen_after_bind(); });
    // A closed port: each export to it fails at once and is counted.
    const int closedPort = free_port();

    {
        // No retry: what the closed port cannot take is dropped at once.
        IndicationExporter exporter({"http://127.0.0.1:" + std::to_string(port) + "/in",
                                     "http://127.0.0.1:" + std::to_string(closedPort)},
                                    DeliveryRetry{0, std::chrono::milliseconds(10)});
        const auto start = std::chrono::steady_clock::now();
        for (const char* note : {"a", "b", "c"}) {
            Test_Holder* h = holder(7, note);
            exporter.submit(h);
            destroy(h);  // the exporter keeps its own copy
        }
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
        released = true;

        for (int i = 0; i < 400 && (exporter.exported() < 3 || exporter.dropped() < 3); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        EXPECT_EQ(3u, exporter.exported());
        EXPECT_EQ(3u, exporter.dropped());
    }
    slow.stop();
    serving.join();
    std::lock_guard<std::mutex> g(lock);
    ASSERT_EQ(3u, bodies.size());
    EXPECT_NE(bodies[0].find("ExportIndication <?xml"), std::string::npos);
    EXPECT_NE(bodies[2].find("<VALUE>c</VALUE>"), std::string::npos) << bodies[2];
}

}  // namespace
}  // namespace cimserver
