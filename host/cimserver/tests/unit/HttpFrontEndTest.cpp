// Basic authentication: only the configured user with its password passes.
// The bounds of connections: their number and deadlines.
#include "HttpFrontEnd.h"
#include "RawHttp.h"
#include "TestCertificate.h"

#include <gtest/gtest.h>

#include <memory>
#include <thread>
#include <vector>

namespace cimserver {
namespace {

TEST(HttpFrontEnd, BasicAuthenticationGrantsOnlyTheConfiguredLogin)
{
    Credentials c{true, "tester", "s3cret"};
    struct Case {
        const char* header;
        bool granted;
    } cases[] = {
        {"Basic dGVzdGVyOnMzY3JldA==", true},        // tester:s3cret
        {"basic dGVzdGVyOnMzY3JldA==", true},        // scheme without regard to case
        {"Basic dGVzdGVyOnMzY3JldDE=", false},       // tester:s3cret1
        {"Basic dGVzdGVyOg==", false},               // tester:
        {"Basic dGVzdGVyczNjcmV0", false},           // no colon
        {"Basic !!!!", false},                       // not base64
        {"Basic dGVzdGVy", false},                   // tester, without a colon
        {"Bearer dGVzdGVyOnMzY3JldA==", false},
        {"", false},
    };
    for (auto& k : cases)
        EXPECT_EQ(HttpFrontEnd::authorized(c, k.header), k.granted) << k.header;
}


// The front end in this process, with small bounds, over an empty module:
// the requests here are all answered before any provider is asked.
class FrontEndInProcess {
public:
    // tls: serves HTTPS with it.
    explicit FrontEndInProcess(FrontEndTuning tuning, TlsContext* tls = nullptr)
        : _operations(_module), _front(_operations, Credentials{}, 1000, tuning)
    {
        _port = _front.bind("127.0.0.1", 0, tls);
        _thread = std::thread([this] { _front.serve(); });
    }
    ~FrontEndInProcess()
    {
        _front.stop();
        _thread.join();
    }
    int port() const { return _port; }

private:
    ProviderModule _module;
    CimOperations _operations;
    HttpFrontEnd _front;
    int _port = -1;
    std::thread _thread;
};

const std::string PARTIAL = "POST /cimom HTTP/1.1\r\nHost: x\r\n";
const std::string WHOLE = PARTIAL + "Content-Length: 0\r\n\r\n"; // no CIMOperation: 400

TEST(HttpFrontEnd, ConnectionsBeyondTheBoundTakeAnIdleOnesPlaceOrAreRefused)
{
    FrontEndTuning t;
    t.max_connections = 3;
    FrontEndInProcess server(t);
    auto settle = [] { std::this_thread::sleep_for(std::chrono::milliseconds(100)); };
    test::RawHttp idle(server.port());
    settle();
    std::vector<std::unique_ptr<test::RawHttp>> sending;
    for (int i = 0; i < 2; i++) {
        sending.push_back(std::make_unique<test::RawHttp>(server.port()));
        sending.back()->send(PARTIAL);
        settle();
    }
    // The idle connection makes room for a newcomer.
    test::RawHttp newcomer(server.port());
    settle();
    EXPECT_TRUE(idle.closed_within(std::chrono::milliseconds(5000)));
    ASSERT_TRUE(newcomer.send(WHOLE));
    test::HttpResponse r;
    ASSERT_TRUE(newcomer.read(r, std::chrono::milliseconds(5000)));
    EXPECT_EQ(r.status, 400);
    // Every place is taken by a connection in the middle of a request now.
    newcomer.send(PARTIAL);
    settle();
    test::RawHttp refused(server.port());
    ASSERT_TRUE(refused.read(r, std::chrono::milliseconds(5000)));
    EXPECT_EQ(r.status, 503);
    EXPECT_TRUE(refused.closed_within(std::chrono::milliseconds(5000)));
    // The others finish their requests and are answered.
    for (auto& c : sending) {
        ASSERT_TRUE(c->send("Content-Length: 0\r\n\r\n"));
        ASSERT_TRUE(c->read(r, std::chrono::milliseconds(5000)));
        EXPECT_EQ(r.status, 400);
    }
}

TEST(HttpFrontEnd, SlowRequestsAndIdleConnectionsMeetTheirDeadlines)
{
    FrontEndTuning t;
    t.request_time = std::chrono::milliseconds(400);
    t.idle_time = std::chrono::milliseconds(400);
    FrontEndInProcess server(t);
    auto start = std::chrono::steady_clock::now();
    test::RawHttp idle(server.port());
    test::RawHttp slow(server.port());
    slow.send(PARTIAL);
    // Bytes that keep coming do not extend a request's deadline: a header
    // line every 100 ms for up to 30 s, until the answer comes.
    for (const auto end = start + std::chrono::seconds(30); !slow.readable() && std::chrono::steady_clock::now() < end;) {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        slow.send("X: y\r\n");
    }
    test::HttpResponse r;
    ASSERT_TRUE(slow.read(r, std::chrono::milliseconds(2000)));
    EXPECT_EQ(r.status, 408);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
    EXPECT_TRUE(idle.closed_within(std::chrono::milliseconds(5000)));
    // A connection that was answered is closed once it has been idle as long.
    test::RawHttp served(server.port());
    ASSERT_TRUE(served.send(WHOLE));
    ASSERT_TRUE(served.read(r, std::chrono::milliseconds(5000)));
    EXPECT_EQ(r.status, 400);
    EXPECT_TRUE(served.closed_within(std::chrono::milliseconds(5000)));
}

// A client that stalls its TLS handshake costs no worker and is closed at
// the idle time, like a connection without a request; a pipelined second
// request over TLS is answered too. The idle time is long at first, so that
// a worker held by a stalled handshake would keep the client waiting for it.
TEST(HttpFrontEnd, StalledTlsHandshakeHoldsNoWorkerAndEndsAtTheIdleTime)
{
    test::TestCertificate cert;
    TlsContext tls;
    std::string message;
    ASSERT_TRUE(tls.load(cert.cert_file(), cert.key_file(), message)) << message;
    for (const auto idle : {std::chrono::milliseconds(30000), std::chrono::milliseconds(400)}) {
        SCOPED_TRACE("idle time " + std::to_string(idle.count()) + " ms");
        FrontEndTuning t;
        t.workers = 1;
        t.idle_time = idle;
        FrontEndInProcess server(t, &tls);
        test::RawHttp silent(server.port());
        test::RawHttp partial(server.port());
        partial.send(std::string("\x16\x03\x01\x02\x00\x01\x00\x01\xfc\x03\x03", 11)); // part of a ClientHello
        auto start = std::chrono::steady_clock::now();
        test::RawHttp client(server.port(), test::TlsOptions{0, 0, cert.ca_file()});
        ASSERT_TRUE(client.connected()) << client.tls_error();
        ASSERT_TRUE(client.send(WHOLE + WHOLE));
        test::HttpResponse r;
        for (int i = 0; i < 2; i++) {
            ASSERT_TRUE(client.read(r, std::chrono::milliseconds(5000))) << i;
            EXPECT_EQ(r.status, 400);
        }
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
        if (idle < std::chrono::seconds(1)) {
            EXPECT_TRUE(silent.closed_within(std::chrono::milliseconds(5000)));
            EXPECT_TRUE(partial.closed_within(std::chrono::milliseconds(5000)));
        }
    }
}

// Only the CIM-XML path is served; a request-target longer than served is
// refused before its request line ends.
TEST(HttpFrontEnd, TargetsOtherThanTheCimPathAreNotFoundAndOverlongOnesRefused)
{
    FrontEndInProcess server(FrontEndTuning{});
    struct Case {
        std::string target;
        const char* method;
        int status;
    } cases[] = {
        {"/cimom", "POST", 400}, // served: refused later for its missing CIM headers
        {"/cimom?x=1", "POST", 400},
        {"http://127.0.0.1:5988/cimom", "POST", 400},
        {"/", "POST", 404},
        {"/cimom/x", "POST", 404},
        {"/other", "GET", 404},
        {"/" + std::string(9000, 'a'), "POST", 414},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.target.substr(0, 40));
        test::RawHttp client(server.port());
        ASSERT_TRUE(client.send(std::string(c.method) + " " + c.target + " HTTP/1.1\r\nHost: x\r\nContent-Length: 0\r\n\r\n"));
        test::HttpResponse r;
        ASSERT_TRUE(client.read(r, std::chrono::milliseconds(2000)));
        EXPECT_EQ(r.status, c.status);
    }
}

} // namespace
} // namespace cimserver
