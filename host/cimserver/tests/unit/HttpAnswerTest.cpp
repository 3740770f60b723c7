// Answers on a socket pair: short ones whole, long ones streamed in parts, a
// failure after the first part reported in the trailer or by cutting the
// answer off; the writer never waits for the client (past the backlog the
// answer is spooled) until the answer's cap of bytes waiting, where the walk
// pauses for the client; a client that does not keep pace loses it.
#include "HttpAnswer.h"
#include "RawHttp.h"
#include "TestCertificate.h"
#include "TlsTransport.h"

#include <gtest/gtest.h>

#include <sys/socket.h>
#include <unistd.h>

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <thread>

namespace cimserver {
namespace {

struct Pair {
    int server = -1;
    std::unique_ptr<test::RawHttp> client;
    Pair()
    {
        int fds[2];
        EXPECT_EQ(::socketpair(AF_UNIX, SOCK_STREAM, 0, fds), 0);
        server = fds[0];
        client = std::make_unique<test::RawHttp>(fds[1], true);
    }
    ~Pair() { ::close(server); }
};

// A private spool folder for one test.
struct SpoolFolder {
    std::string path;
    SpoolFolder()
    {
        char name[] = "/tmp/spooltestXXXXXX";
        path = ::mkdtemp(name) ? name : "";
        EXPECT_FALSE(path.empty());
    }
    ~SpoolFolder() { std::filesystem::remove_all(path); }
    std::shared_ptr<const SpoolDirectory> directory() const
    {
        std::string why;
        auto d = SpoolDirectory::open(path, 0, why);
        EXPECT_TRUE(d) << why;
        return d;
    }
    std::size_t files() const
    {
        return static_cast<std::size_t>(std::distance(std::filesystem::directory_iterator(path), {}));
    }
};

// Sends on what the answer keeps as the front end's thread does, until it is
// sent or lost (10 s at most).
HttpAnswer::Progress send_rest(HttpAnswer& a, int fd)
{
    auto p = HttpAnswer::Progress::Pending;
    for (auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
         p == HttpAnswer::Progress::Pending && std::chrono::steady_clock::now() < end;) {
        pollfd w{fd, POLLOUT, 0};
        ::poll(&w, 1, 50);
        p = a.send_on(std::chrono::steady_clock::now());
    }
    return p;
}

// Writes pieces of text like an enumeration, each a whole piece.
void write_pieces(HttpAnswer& a, int pieces, size_t size)
{
    for (int i = 0; i < pieces; i++) {
        a.text() += std::string(size, static_cast<char>('a' + i % 26));
        a.piece_done();
    }
}

TEST(HttpAnswer, ShortAnswerLeavesWholeWithItsLength)
{
    Pair p;
    HttpAnswer::Options o;
    o.part = 1000;
    HttpAnswer a(p.server, o);
    write_pieces(a, 3, 100);
    EXPECT_FALSE(a.started());
    a.finish(OperationReply{});
    test::HttpResponse r;
    ASSERT_TRUE(p.client->read(r));
    EXPECT_EQ(r.status, 200);
    EXPECT_FALSE(r.chunked);
    EXPECT_EQ(r.header("content-length"), "300");
    EXPECT_EQ(r.header("cimoperation"), "MethodResponse");
    EXPECT_EQ(r.body.size(), 300u);
    EXPECT_TRUE(a.keeps_connection());
}

TEST(HttpAnswer, LongAnswerStreamsInPartsAndHoldsAboutOnePart)
{
    Pair p;
    HttpAnswer::Options o;
    o.part = 1000;
    HttpAnswer a(p.server, o);
    test::HttpResponse r;
    bool read = false;
    std::thread reader([&] { read = p.client->read(r); });
    for (int i = 0; i < 200; i++) {
        a.text() += std::string(300, 'x');
        a.piece_done();
        EXPECT_LT(a.text().size(), 1300u);
    }
    EXPECT_TRUE(a.started());
    a.finish(OperationReply{});
    EXPECT_EQ(send_rest(a, p.server), HttpAnswer::Progress::Done);
    reader.join();
    ASSERT_TRUE(read);
    EXPECT_TRUE(r.chunked);
    EXPECT_EQ(r.body, std::string(60000, 'x'));
    EXPECT_TRUE(r.trailers.empty());
}

// The buffers of a streamed answer's parts outlive it: the next answer
// writes its parts in them, and none is freed and made anew meanwhile.
TEST(HttpAnswer, StreamedAnswersWriteInThePartBuffersOfEarlierAnswers)
{
    AnswerBufferPool& pool = AnswerBufferPool::server();
    pool.clear();
    HttpAnswer::Options o;
    o.part = 1000;
    std::vector<const char*> first_buffers;
    for (int answer = 0; answer < 2; answer++) {
        Pair p;
        HttpAnswer a(p.server, o);
        test::HttpResponse r;
        bool read = false;
        std::thread reader([&] { read = p.client->read(r); });
        const std::size_t kept_before = pool.kept();
        for (int i = 0; i < 40; i++) {
            a.text() += std::string(300, 'x');
            a.piece_done();
            if (a.text().capacity() >= o.part) {
                const bool earlier =
                    std::find(first_buffers.begin(), first_buffers.end(), a.text().data()) != first_buffers.end();
                if (answer == 0)
                    first_buffers.push_back(a.text().data());
                else
                    EXPECT_TRUE(earlier);
            }
        }
        if (answer == 1) {
            EXPECT_LT(pool.kept(), kept_before);
        }
        a.finish(OperationReply{});
        EXPECT_EQ(send_rest(a, p.server), HttpAnswer::Progress::Done);
        reader.join();
        ASSERT_TRUE(read);
        EXPECT_EQ(r.body, std::string(12000, 'x'));
    }
    EXPECT_GT(pool.kept(), 0u);
    EXPECT_LE(pool.kept(), AnswerBufferPool::SERVER_BYTES);
}

TEST(HttpAnswer, FailureAfterTheFirstPartGoesInTheTrailerOrCutsTheAnswer)
{
    for (bool trailers : {true, false}) {
        SCOPED_TRACE(trailers ? "trailers" : "no trailers");
        Pair p;
        HttpAnswer::Options o;
        o.part = 100;
        o.trailers = trailers;
        HttpAnswer a(p.server, o);
        write_pieces(a, 3, 150);
        ASSERT_TRUE(a.started());
        OperationReply failed;
        failed.late_error = true;
        failed.error = {1, "array gone\r\nX: y"};
        a.finish(failed);
        EXPECT_EQ(a.keeps_connection(), trailers);
        test::HttpResponse r;
        bool whole = p.client->read(r, std::chrono::milliseconds(500));
        EXPECT_EQ(whole, trailers);
        if (trailers) {
            EXPECT_EQ(r.trailers["cimstatuscode"], "1");
            EXPECT_EQ(r.trailers["cimstatuscodedescription"], "array gone%0D%0AX: y");
        }
    }
}

// While the answer is made the writer does not wait for a client that has
// not read yet: what the socket cannot take waits in the backlog, past it in
// the spool file, and the client gets all of it, in order, once it reads.
// The spool file is gone once sent. Without a spool the answer past its
// backlog is lost, never held in memory.
TEST(HttpAnswer, WriterNeverWaitsAndSpoolsPastTheBacklog)
{
    for (bool with_spool : {true, false}) {
        SCOPED_TRACE(with_spool ? "spool" : "no spool");
        Pair p;
        SpoolFolder folder;
        AnswerLimits limits;
        if (with_spool)
            limits.spool_folder = folder.directory();
        AnswerBudget budget(limits);
        HttpAnswer::Options o;
        o.part = 65536;
        o.backlog = 256 << 10;
        HttpAnswer a(p.server, o, &budget);
        const auto start = std::chrono::steady_clock::now();
        write_pieces(a, 64, 65536); // 4 MiB, far more than the socket holds
        a.finish(OperationReply{});
        // A writer that waited would wait for ever: the client reads nothing yet.
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
        EXPECT_EQ(a.abandoned(), !with_spool);
        if (!with_spool) {
            EXPECT_EQ(budget.memory(), 0u);
            continue;
        }
        EXPECT_TRUE(a.spooling());
        EXPECT_EQ(folder.files(), 1u);
        EXPECT_GT(budget.spooled(), size_t(3) << 20);
        EXPECT_LE(budget.memory(), size_t(512) << 10);
        test::HttpResponse r;
        bool read = false;
        std::thread reader([&] { read = p.client->read(r); });
        EXPECT_EQ(send_rest(a, p.server), HttpAnswer::Progress::Done);
        reader.join();
        ASSERT_TRUE(read);
        ASSERT_EQ(r.body.size(), size_t(4) << 20);
        for (int i = 0; i < 64; i++)
            ASSERT_EQ(r.body[size_t(i) * 65536], static_cast<char>('a' + i % 26)) << i;
        EXPECT_TRUE(a.keeps_connection());
        EXPECT_EQ(folder.files(), 0u);
        EXPECT_EQ(budget.spooled(), 0u);
    }
}

// Over TLS the same answer leaves whole: the handshake goes on as the
// answer is sent, writes the socket cannot take are retried with the same
// bytes, and the spooled part is read back and encrypted.
TEST(HttpAnswer, AnswerOverTlsLeavesWholeFromMemoryAndSpool)
{
    test::TestCertificate cert;
    TlsContext tls;
    std::string message;
    ASSERT_TRUE(tls.load(cert.cert_file(), cert.key_file(), message)) << message;
    Pair p;
    ASSERT_EQ(::fcntl(p.server, F_SETFL, O_NONBLOCK), 0); // as every accepted socket
    TlsTransport transport(p.server, tls);
    SpoolFolder folder;
    AnswerLimits limits;
    limits.spool_folder = folder.directory();
    AnswerBudget budget(limits);
    HttpAnswer::Options o;
    o.part = 65536;
    o.backlog = 256 << 10;
    HttpAnswer a(transport, o, &budget);
    // The client takes its time before its handshake and again before it
    // reads, so the answer meets a socket that takes nothing.
    test::HttpResponse r;
    bool read = false;
    std::thread reader([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        ASSERT_TRUE(p.client->start_tls({0, 0, cert.ca_file()})) << p.client->tls_error();
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        read = p.client->read(r);
    });
    write_pieces(a, 64, 65536);
    a.finish(OperationReply{});
    EXPECT_TRUE(a.spooling());
    EXPECT_EQ(send_rest(a, p.server), HttpAnswer::Progress::Done);
    reader.join();
    ASSERT_TRUE(read);
    ASSERT_EQ(r.body.size(), size_t(4) << 20);
    for (int i = 0; i < 64; i++)
        ASSERT_EQ(r.body.substr(size_t(i) * 65536, 65536), std::string(65536, static_cast<char>('a' + i % 26))) << i;
    EXPECT_TRUE(a.keeps_connection());
    EXPECT_EQ(folder.files(), 0u);
    EXPECT_EQ(budget.spooled(), 0u);
    // Writing to a client that has left fails; it raises no SIGPIPE (which
    // would end this process).
    p.client.reset();
    const std::string more = "more";
    iovec piece{const_cast<char*>(more.data()), more.size()};
    EXPECT_EQ(transport.send(&piece, 1), -1);
}

// A client must take its answer at the minimum rate over each window: one
// that takes nothing loses it after the stall time, one that reads a byte
// now and then (never stalled for the stall time) after a window, and one
// that reads steadily above the rate gets it all.
TEST(HttpAnswer, ClientBelowTheMinimumRateLosesTheConnection)
{
    struct Case {
        const char* what;
        size_t bytes_each;  // read every 20 ms
        HttpAnswer::Progress expected;
    } cases[] = {
        {"nothing", 0, HttpAnswer::Progress::Lost},
        {"crumbs", 1, HttpAnswer::Progress::Lost},
        {"steady, above the rate", 32768, HttpAnswer::Progress::Done},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Pair p;
        SpoolFolder folder;
        AnswerBudget budget({std::size_t(64) << 20, std::size_t(64) << 20, folder.directory()});
        HttpAnswer::Options o;
        o.stall = std::chrono::milliseconds(300);
        o.window = std::chrono::milliseconds(500);
        o.min_rate = 64 << 10;
        o.part = 65536;
        HttpAnswer a(p.server, o, &budget);
        std::atomic<bool> stop{false};
        std::thread reader([&] {
            std::vector<char> buf(c.bytes_each);
            while (!stop && ::recv(p.client->fd(), buf.data(), buf.size(), 0) > 0)
                std::this_thread::sleep_for(std::chrono::milliseconds(20));
        });
        const auto start = std::chrono::steady_clock::now();
        write_pieces(a, 32, 65536); // 2 MiB: far more than the socket holds
        a.finish(OperationReply{});
        EXPECT_EQ(send_rest(a, p.server), c.expected);
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
        EXPECT_EQ(a.keeps_connection(), c.expected == HttpAnswer::Progress::Done);
        EXPECT_EQ(folder.files(), 0u);
        stop = true;
        ::shutdown(p.server, SHUT_RDWR);
        reader.join();
    }
}

// An answer whose bytes waiting (memory and spool together) reach its cap
// pauses the walk until the client takes some: a client that reads gets it
// whole and the walk never holds more than the cap; one that takes nothing
// loses it after the stall time, its spool file gone; a part larger than
// the cap is cut at once; under the cap nothing pauses.
TEST(HttpAnswer, AnswerAtItsCapPausesTheWalkUntilTheClientReads)
{
    const std::size_t MIB = std::size_t(1) << 20;
    struct Case {
        const char* what;
        std::size_t cap;
        bool reads;
        bool cut;
    } cases[] = {
        {"a reading client", MIB, true, false},
        {"a client that takes nothing", MIB, false, true},
        {"a part past the cap", 32 << 10, true, true},
        {"under the cap", 64 * MIB, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Pair p;
        SpoolFolder folder;
        AnswerBudget budget({64 * MIB, 64 * MIB, folder.directory()});
        HttpAnswer::Options o;
        o.part = 65536;
        o.backlog = 256 << 10;
        o.max_held = c.cap;
        // Long enough that a loaded machine never makes a reading client, or
        // the writing of the pieces, look like a stall.
        o.stall = std::chrono::seconds(3);
        o.client = "192.0.2.1:5";
        HttpAnswer a(p.server, o, &budget);
        std::size_t got = 0;
        bool whole = false;
        std::thread reader;
        if (c.reads)
            reader = std::thread([&] {
                test::HttpResponse r;
                whole = p.client->read(r, std::chrono::seconds(20), [&](std::string_view piece) {
                    got += piece.size();
                    std::this_thread::sleep_for(std::chrono::milliseconds(2));
                });
            });
        std::size_t most = 0;
        const auto start = std::chrono::steady_clock::now();
        for (int i = 0; i < 64; i++) { // 4 MiB
            write_pieces(a, 1, 65536);
            most = std::max(most, a.waiting());
        }
        a.finish(OperationReply{});
        EXPECT_EQ(a.abandoned(), c.cut);
        EXPECT_EQ(a.keeps_connection(), !c.cut);
        if (c.cut) {
            EXPECT_EQ(a.waiting(), 0u);
            EXPECT_EQ(budget.spooled(), 0u);
            EXPECT_EQ(folder.files(), 0u);
            if (!c.reads) {
                EXPECT_GE(std::chrono::steady_clock::now() - start, o.stall);
            }
            ::shutdown(p.server, SHUT_RDWR);
        } else if (c.reads) {
            EXPECT_LE(most, c.cap);
            EXPECT_EQ(send_rest(a, p.server), HttpAnswer::Progress::Done);
        } else {
            EXPECT_GT(a.waiting(), std::size_t(3) << 20);
        }
        if (reader.joinable())
            reader.join();
        if (c.reads && !c.cut) {
            EXPECT_TRUE(whole);
            EXPECT_EQ(got, std::size_t(4) << 20);
        }
    }
}

// A client that went away ends the walk at its next piece.
TEST(HttpAnswer, PeerGoneAbandonsTheAnswer)
{
    Pair p;
    std::atomic<bool> gone{false};
    HttpAnswer a(p.server, HttpAnswer::Options{}, nullptr, &gone);
    EXPECT_FALSE(a.abandoned());
    gone = true;
    EXPECT_TRUE(a.abandoned());
}

// Past the spool's total the answer furthest behind loses: another one, or
// the one asking when it is itself the furthest behind.
TEST(AnswerBudget, SpoolTotalTakesTheAnswerFurthestBehind)
{
    struct Case {
        const char* what;
        size_t first, second, third; // bytes taken in turn by answers a, b, then a or c
        bool third_by_a;
        bool a_lost, b_lost, taken;
    } cases[] = {
        {"within the total", 40, 30, 30, false, false, false, true},
        {"another is further behind", 60, 30, 20, false, true, false, true},
        {"the asker is furthest behind", 30, 20, 60, true, true, false, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        int losses = 0;
        AnswerBudget budget({1000, 100, nullptr}, [&] { losses++; });
        auto a = budget.claim(), b = budget.claim(), third = budget.claim();
        ASSERT_TRUE(budget.take_spool(*a, c.first));
        ASSERT_TRUE(budget.take_spool(*b, c.second));
        EXPECT_EQ(budget.take_spool(c.third_by_a ? *a : *third, c.third), c.taken);
        EXPECT_EQ(a->lost.load(), c.a_lost);
        EXPECT_EQ(b->lost.load(), c.b_lost);
        EXPECT_LE(budget.spooled(), 100u);
        EXPECT_EQ(losses > 0, (c.a_lost && !c.third_by_a) || c.b_lost);
        budget.release(*a);
        budget.release(*b);
        budget.release(*third);
        EXPECT_EQ(budget.spooled(), 0u);
    }
}

} // namespace
} // namespace cimserver
