// One delivery to a listener: what it takes as an answer, that no listener
// can make it wait past its limit or read past its bound, that the server's
// stop ends it at once, and that HTTPS listeners are trusted only through
// the trust store.
#include "ListenerExchange.h"

#include "HostileListener.h"
#include "TestCertificate.h"

#include <gtest/gtest.h>
#include <httplib.h>

#include <sys/eventfd.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <thread>

namespace cimserver {
namespace {

using namespace std::chrono_literals;
using test::HostileListener;
using Clock = std::chrono::steady_clock;

const std::string BODY = "<?xml version=\"1.0\" encoding=\"utf-8\" ?><CIM></CIM>";

std::chrono::milliseconds since(Clock::time_point start)
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start);
}

TEST(ListenerExchange, TakesAStatus200WithoutACimErrorInAnyFraming)
{
    const std::string ok = "<CIM><MESSAGE ID=\"1\" PROTOCOLVERSION=\"1.0\"><SIMPLEEXPRSP>"
                           "<EXPMETHODRESPONSE NAME=\"ExportIndication\"></EXPMETHODRESPONSE></SIMPLEEXPRSP></MESSAGE></CIM>";
    const std::string error = "<CIM><MESSAGE ID=\"1\" PROTOCOLVERSION=\"1.0\"><SIMPLEEXPRSP>"
                              "<EXPMETHODRESPONSE NAME=\"ExportIndication\"><ERROR CODE=\"1\"></ERROR>"
                              "</EXPMETHODRESPONSE></SIMPLEEXPRSP></MESSAGE></CIM>";
    auto sized = [](const std::string& body) { return "Content-Length: " + std::to_string(body.size()) + "\r\n\r\n" + body; };
    struct Case {
        const char* what;
        std::string answer;
        bool delivered;
        const char* why;
    } cases[] = {
        {"sized", "HTTP/1.1 200 OK\r\n" + sized(ok), true, ""},
        {"chunked", "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n5\r\n<CIM>\r\n6\r\n</CIM>\r\n0\r\n\r\n", true, ""},
        {"to the close", "HTTP/1.0 200 OK\r\n\r\n" + ok, true, ""},
        {"after an interim answer", "HTTP/1.1 100 Continue\r\n\r\nHTTP/1.1 200 OK\r\n" + sized(ok), true, ""},
        {"no body", "HTTP/1.1 200 OK\r\nContent-Length: 0\r\n\r\n", true, ""},
        {"a CIM error", "HTTP/1.1 200 OK\r\n" + sized(error), false, "answered with a CIM error"},
        {"a chunked CIM error", "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n6\r\n<ERROR\r\n1\r\n>\r\n0\r\n\r\n",
         false, "answered with a CIM error"},
        {"a CIMError header", "HTTP/1.1 200 OK\r\nCIMError: request-not-valid\r\n" + sized(ok), false,
         "refused with CIMError request-not-valid"},
        {"another status", "HTTP/1.1 401 Unauthorized\r\n" + sized(""), false, "refused with HTTP 401"},
        {"no head", "HTTP/1.1 200 OK\r\n", false, "the listener closed the connection without an answer"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        HostileListener listener(c.answer);
        const auto out = ListenerExchange::post(listener.url(), BODY, nullptr, -1, 10s);
        EXPECT_EQ(out.delivered, c.delivered) << out.why;
        EXPECT_EQ(out.why, c.why);
    }
}

// Each listener would hold the delivery for ever or make it read 512 MiB:
// every one ends within the limit (1 s here) and reads at most its bound.
TEST(ListenerExchange, NoListenerHoldsItPastItsLimitOrMakesItReadPastItsBound)
{
    struct Case {
        HostileListener::Kind kind;
        bool delivered;
        const char* why;
    } cases[] = {
        {HostileListener::Kind::trickle, false, "its answer did not end within 1 s"},
        {HostileListener::Kind::trickle_head, false, "no answer within 1 s"},
        {HostileListener::Kind::never_read, false, "no answer within 1 s"},
        {HostileListener::Kind::flood, true, ""},
        {HostileListener::Kind::gzip_bomb, true, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.kind));
        HostileListener listener(c.kind, 100ms);
        const auto start = Clock::now();
        const auto out = ListenerExchange::post(listener.url(), BODY, nullptr, -1, 1s);
        EXPECT_LT(since(start), 5s);
        EXPECT_EQ(out.delivered, c.delivered) << out.why;
        EXPECT_EQ(out.why, c.why);
    }
    // What the flood could send before the delivery closed is what the
    // sockets' buffers hold, far from its 512 MiB.
    HostileListener flood(HostileListener::Kind::flood);
    EXPECT_TRUE(ListenerExchange::post(flood.url(), BODY, nullptr, -1, 10s).delivered);
    std::this_thread::sleep_for(200ms);
    EXPECT_LT(flood.sent(), 64ull << 20);
}

// The server's stop ends a delivery that would otherwise wait 60 s, at once.
TEST(ListenerExchange, TheAbortDescriptorEndsADeliveryAtOnce)
{
    for (auto kind : {HostileListener::Kind::never_read, HostileListener::Kind::trickle}) {
        HostileListener listener(kind);
        const int abort = ::eventfd(0, EFD_CLOEXEC);
        std::thread stopper([&] {
            std::this_thread::sleep_for(300ms);
            const eventfd_t one = 1;
            ASSERT_EQ(::write(abort, &one, sizeof one), static_cast<ssize_t>(sizeof one));
        });
        const auto start = Clock::now();
        const auto out = ListenerExchange::post(listener.url(), BODY, nullptr, abort, 60s);
        EXPECT_LT(since(start), 5s);
        EXPECT_TRUE(out.aborted);
        EXPECT_FALSE(out.delivered);
        stopper.join();
        ::close(abort);
    }
}

TEST(ListenerExchange, AnHttpsListenerIsTrustedOnlyThroughTheTrustStore)
{
    test::TestCertificate cert;
    httplib::SSLServer server(cert.cert_file().c_str(), cert.key_file().c_str());
    server.Post("/in", [](const httplib::Request&, httplib::Response& res) { res.set_content("<CIM></CIM>", "application/xml"); });
    const int port = server.bind_to_any_port("127.0.0.1");
    // The same listener on another address the certificate does not name.
    httplib::SSLServer other(cert.cert_file().c_str(), cert.key_file().c_str());
    other.Post("/in", [](const httplib::Request&, httplib::Response& res) { res.set_content("<CIM></CIM>", "application/xml"); });
    const int other_port = other.bind_to_any_port("127.0.0.2");
    std::thread serving([&] { server.listen_after_bind(); });
    std::thread serving_other([&] { other.listen_after_bind(); });

    ListenerTls system, trusting;
    std::string message;
    ASSERT_TRUE(system.load("", message)) << message;
    ASSERT_TRUE(trusting.load(cert.ca_file(), message)) << message;
    const std::string url = "https://127.0.0.1:" + std::to_string(port) + "/in";
    const std::string other_url = "https://127.0.0.2:" + std::to_string(other_port) + "/in";

    auto out = ListenerExchange::post(url, BODY, &system, -1, 10s);
    EXPECT_FALSE(out.delivered);
    EXPECT_TRUE(out.untrusted);
    EXPECT_EQ(out.why, "its certificate is not trusted: self-signed certificate");
    out = ListenerExchange::post(url, BODY, &trusting, -1, 10s);
    EXPECT_TRUE(out.delivered) << out.why;
    out = ListenerExchange::post(other_url, BODY, &trusting, -1, 10s);
    EXPECT_TRUE(out.untrusted);
    EXPECT_EQ(out.why, "its certificate is not trusted: IP address mismatch");
    EXPECT_EQ(ListenerExchange::post(url, BODY, nullptr, -1, 10s).why, "HTTPS is not set up for indication export");

    ListenerTls missing;
    EXPECT_FALSE(missing.load("/nonexistent/trust.pem", message));
    EXPECT_EQ(message, "cannot read the export trust store /nonexistent/trust.pem: No such file or directory");
    EXPECT_FALSE(missing.load(cert.key_file(), message));
    EXPECT_NE(message.find("cannot use the export trust store " + cert.key_file()), std::string::npos) << message;

    server.stop();
    other.stop();
    serving.join();
    serving_other.join();
}

TEST(ListenerExchange, TakesListenerUrlsApart)
{
    struct Case {
        const char* url;
        bool ok;
        bool tls = false;
        const char* host = "";
        const char* port = "";
        const char* path = "";
    } cases[] = {
        {"http://listener.example", true, false, "listener.example", "80", "/"},
        {"https://10.0.0.1:5990/cimlistener/x", true, true, "10.0.0.1", "5990", "/cimlistener/x"},
        {"http://[::1]:5988/in", true, false, "::1", "5988", "/in"},
        {"https://[fe80::1]", true, true, "fe80::1", "443", "/"},
        {"http://host:0/", false},
        {"http://host:70000/", false},
        {"http://host:/", false},
        {"http://", false},
        {"http://a b/", false},
        {"http://host/a\r\nX: y", false},
        {"http://user@host/", false},
        {"ftp://host/", false},
        {"http://[::1/", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.url);
        ListenerExchange::Address a;
        ASSERT_EQ(ListenerExchange::Address::parse(c.url, a), c.ok);
        if (!c.ok)
            continue;
        EXPECT_EQ(a.tls, c.tls);
        EXPECT_EQ(a.host, c.host);
        EXPECT_EQ(a.port, c.port);
        EXPECT_EQ(a.path, c.path);
    }
}

} // namespace
} // namespace cimserver
