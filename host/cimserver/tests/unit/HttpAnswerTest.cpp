// Answers on a socket pair: short ones whole, long ones streamed in parts, a
// failure after the first part reported in the trailer or by cutting the
// answer off.
#include "HttpAnswer.h"
#include "RawHttp.h"

#include <gtest/gtest.h>

#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
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
    reader.join();
    ASSERT_TRUE(read);
    EXPECT_TRUE(r.chunked);
    EXPECT_EQ(r.body, std::string(60000, 'x'));
    EXPECT_TRUE(r.trailers.empty());
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
// not read yet: what the socket cannot take waits in the backlog and the
// client gets all of it once it reads. Past the backlog's bound the writer
// waits, and a client that then takes nothing within the stall time loses
// the connection.
TEST(HttpAnswer, WriterWaitsForTheClientOnlyPastTheBacklog)
{
    for (size_t backlog : {size_t(16) << 20, size_t(256) << 10}) {
        SCOPED_TRACE(backlog);
        Pair p;
        HttpAnswer::Options o;
        o.part = 65536;
        o.backlog = backlog;
        o.stall = std::chrono::milliseconds(200);
        HttpAnswer a(p.server, o);
        write_pieces(a, 64, 65536); // 4 MiB, far more than the socket holds
        const bool within = backlog > (size_t(4) << 20);
        EXPECT_EQ(a.keeps_connection(), within);
        if (!within)
            continue;
        test::HttpResponse r;
        bool read = false;
        std::thread reader([&] { read = p.client->read(r); });
        a.finish(OperationReply{});
        reader.join();
        ASSERT_TRUE(read);
        ASSERT_EQ(r.body.size(), size_t(4) << 20);
        EXPECT_EQ(r.body[0], 'a');
        EXPECT_EQ(r.body.back(), static_cast<char>('a' + 63 % 26));
        EXPECT_TRUE(a.keeps_connection());
    }
}

// A client that reads a byte now and then loses its answer once a write is
// not taken within the stall time, instead of holding the worker.
TEST(HttpAnswer, ClientThatDoesNotTakeAWriteInTimeLosesTheConnection)
{
    Pair p;
    HttpAnswer::Options o;
    o.stall = std::chrono::milliseconds(300);
    HttpAnswer a(p.server, o);
    std::atomic<bool> stop{false};
    std::thread trickle([&] {
        char byte;
        while (!stop && ::recv(p.client->fd(), &byte, 1, 0) == 1)
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
    });
    auto start = std::chrono::steady_clock::now();
    write_pieces(a, 64, 65536); // 4 MiB: far more than the socket holds
    a.finish(OperationReply{});
    EXPECT_FALSE(a.keeps_connection());
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(3));
    stop = true;
    ::shutdown(p.server, SHUT_RDWR);
    trickle.join();
}

} // namespace
} // namespace cimserver
