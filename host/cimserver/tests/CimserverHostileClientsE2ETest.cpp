// Clients without a login (or with one, at a hostile pace) against the
// front end's accounting: large requests kept alive or reset, bodies that
// trickle in, and wrong passwords in bulk. None of them may stop the server
// from reading and answering a small request within a second.
#include "CimClient.h"
#include "RawHttp.h"
#include "SimulatedServer.h"

#include <gtest/gtest.h>

#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace cimserver::test {
namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

// A request with the CIM headers and the given login line (or none).
std::string request_with(const std::string& login, const std::string& body)
{
    std::string r = RawHttp::request("GetClass", body);
    r.replace(r.find(RIGHT_LOGIN), RIGHT_LOGIN.size(), login);
    return r;
}

std::string small_body()
{
    return CimClient::imethod("GetClass", CimClient::class_param("ClassName", "CIM_ManagedElement"));
}

// Closes a connection with a reset rather than an orderly end.
void reset(RawHttp& c)
{
    linger hard{1, 0};
    ::setsockopt(c.fd(), SOL_SOCKET, SO_LINGER, &hard, sizeof hard);
    ::shutdown(c.fd(), SHUT_RDWR);
}

std::size_t lines_with(const std::string& text, const std::string& what)
{
    std::size_t n = 0;
    for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
        n++;
    return n;
}

class CimserverHostileClientsE2E : public ::testing::Test {
protected:
    static void SetUpTestSuite() { setup = std::make_unique<SimulatedServer>("small"); }
    static void TearDownTestSuite()
    {
        EXPECT_EQ(setup->server.stop(), 0) << setup->server.output();
        setup.reset();
    }
    static int port() { return setup->server.port(); }

    // A small request on a fresh connection is answered 200 within a second.
    static void small_request_answers_at_once()
    {
        RawHttp c(port());
        ASSERT_TRUE(c.connected());
        const auto start = Clock::now();
        ASSERT_TRUE(c.send(RawHttp::request("GetClass", small_body())));
        HttpResponse r;
        // One that waited for request memory or a worker held by a hostile
        // client would wait for that client's 30 s, or for ever.
        ASSERT_TRUE(c.read(r, 5s)) << "no answer to a small request within 5 s";
        EXPECT_EQ(r.status, 200);
        EXPECT_LT(Clock::now() - start, 5s);
    }

    static std::unique_ptr<SimulatedServer> setup;
};

std::unique_ptr<SimulatedServer> CimserverHostileClientsE2E::setup;

// Sixteen clients send a request of nearly 4 MiB each, take their answers
// and keep their connections (or reset them): the connections hold no
// request memory once answered, so a small request is read and answered at
// once.
TEST_F(CimserverHostileClientsE2E, AnsweredLargeRequestsHoldNoRequestMemory)
{
    std::string body = small_body();
    body.resize((std::size_t(4) << 20) - 1024, ' ');
    struct Case {
        const char* what;
        bool login;
        bool resets;
    } cases[] = {{"with a login, kept", true, false},
                 {"with a login, reset", true, true},
                 {"without a login, kept", false, false},
                 {"without a login, reset", false, true}};
    for (const Case& k : cases) {
        SCOPED_TRACE(k.what);
        const std::string request = request_with(k.login ? RIGHT_LOGIN : "", body);
        std::vector<std::unique_ptr<RawHttp>> clients(16);
        std::atomic<int> answered{0};
        std::vector<std::thread> threads;
        for (auto& c : clients)
            threads.emplace_back([&] {
                c = std::make_unique<RawHttp>(port());
                c->send(request); // without a login the server may stop reading part way
                HttpResponse r;
                if (c->read(r, 60s) && r.status == (k.login ? 200 : 401))
                    answered++;
            });
        for (auto& t : threads)
            t.join();
        EXPECT_EQ(answered, 16);
        if (k.resets)
            for (auto& c : clients)
                reset(*c);
        small_request_answers_at_once();
        // The kept connections are still open: a second round is read too.
        small_request_answers_at_once();
    }
}

// Two dozen connections announce bodies of nearly 4 MiB and send a byte a
// second. Without a login they are answered 401 before any body is read;
// with one their bodies count, but small requests are still read at once,
// and the trickling bodies are cut for their rate.
TEST_F(CimserverHostileClientsE2E, TricklingBodiesStopNoOne)
{
    const std::string announce = "Content-Length: " + std::to_string((std::size_t(4) << 20) - 1024) + "\r\n\r\n";
    for (bool login : {false, true}) {
        SCOPED_TRACE(login ? "with a login" : "without a login");
        std::string head = request_with(login ? RIGHT_LOGIN : "", "");
        head.resize(head.find("Content-Length: "));
        head += announce;
        std::vector<std::unique_ptr<RawHttp>> slow;
        for (int i = 0; i < 24; i++) {
            slow.push_back(std::make_unique<RawHttp>(port()));
            ASSERT_TRUE(slow.back()->send(head));
        }
        std::atomic<bool> stop{false};
        std::thread trickle([&] {
            while (!stop) {
                for (auto& c : slow)
                    (void)::send(c->fd(), "<", 1, MSG_NOSIGNAL | MSG_DONTWAIT);
                std::this_thread::sleep_for(1s);
            }
        });
        for (int probe = 0; probe < 3; probe++) {
            small_request_answers_at_once();
            std::this_thread::sleep_for(500ms);
        }
        // Every trickling connection ends: 401 at once without a login, 408
        // once its body is seen below the minimum rate with one.
        int ended = 0;
        for (auto& c : slow) {
            HttpResponse r;
            if (c->read(r, 20s) && r.status == (login ? 408 : 401))
                ended++;
        }
        stop = true;
        trickle.join();
        EXPECT_EQ(ended, 24);
    }
    EXPECT_NE(setup->server.output().find("its body came below the minimum rate"), std::string::npos);
}

// A hundred wrong passwords from one address: after the first few each 401
// waits its turn, a connection closes after a few failures, the failures
// are logged but not line by line, and the right login still answers at
// once.
TEST_F(CimserverHostileClientsE2E, WrongPasswordsAreSlowedAndLogged)
{
    const std::string wrong = request_with(WRONG_LOGIN, small_body());
    const auto start = Clock::now();
    int failures = 0;
    int closes = 0;
    auto c = std::make_unique<RawHttp>(port());
    for (int on_connection = 0; failures < 100;) {
        ASSERT_TRUE(c->send(wrong));
        HttpResponse r;
        ASSERT_TRUE(c->read(r, 15s));
        ASSERT_EQ(r.status, 401);
        EXPECT_NE(r.header("www-authenticate").find("Basic"), std::string::npos);
        failures++;
        if (++on_connection == 3) {
            EXPECT_EQ(r.header("connection"), "close");
            EXPECT_TRUE(c->closed_within(5s));
            closes++;
            c = std::make_unique<RawHttp>(port());
            on_connection = 0;
        }
    }
    const auto took = Clock::now() - start;
    std::printf("100 wrong passwords took %lld ms\n",
                static_cast<long long>(std::chrono::duration_cast<std::chrono::milliseconds>(took).count()));
    EXPECT_GT(took, 8s) << "wrong passwords were not slowed";
    EXPECT_EQ(closes, 33);
    small_request_answers_at_once();
    const std::string log = setup->server.output();
    const std::size_t logged = lines_with(log, "failed login from 127.0.0.1");
    EXPECT_GE(logged, 1u) << log;
    EXPECT_LE(logged, 5u) << "failed logins are logged line by line";
}

} // namespace
} // namespace cimserver::test
