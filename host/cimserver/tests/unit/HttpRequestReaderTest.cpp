// Reading requests within their bounds: framing in both forms, refusals of
// what cannot be read safely, and requests that follow each other.
#include "HttpRequestReader.h"

#include <gtest/gtest.h>

namespace cimserver {
namespace {

using State = HttpRequestReader::State;

HttpLimits small_limits()
{
    HttpLimits l;
    l.max_body = 100;
    l.max_header_bytes = 512;
    l.max_header_lines = 10;
    l.max_target = 64;
    return l;
}

std::string head(const std::string& headers)
{
    return "POST /cimom HTTP/1.1\r\nHost: x\r\n" + headers + "\r\n";
}

std::string repeat(const std::string& s, int n)
{
    std::string r;
    for (int i = 0; i < n; i++)
        r += s;
    return r;
}

TEST(HttpRequestReader, ReadsOrRefusesEachFraming)
{
    struct Case {
        const char* what;
        std::string input;
        State state;
        int status;       // when Refused
        std::string body; // when Complete
    } cases[] = {
        {"length", head("Content-Length: 5\r\n") + "hello", State::Complete, 0, "hello"},
        {"no body", head(""), State::Complete, 0, ""},
        {"same length twice", head("Content-Length: 2\r\nContent-Length: 2\r\n") + "ok", State::Complete, 0, "ok"},
        {"chunked with extension and trailer",
         head("Transfer-Encoding: chunked\r\n") + "3;x=y\r\nabc\r\n2\r\nde\r\n0\r\nT: 1\r\n\r\n", State::Complete, 0,
         "abcde"},
        {"partial body", head("Content-Length: 10\r\n") + "abc", State::NeedMore, 0, ""},
        {"different lengths", head("Content-Length: 2\r\nContent-Length: 3\r\n") + "abc", State::Refused, 400, ""},
        {"length not a number", head("Content-Length: 1x\r\n"), State::Refused, 400, ""},
        {"negative length", head("Content-Length: -1\r\n"), State::Refused, 400, ""},
        {"length and chunked", head("Content-Length: 3\r\nTransfer-Encoding: chunked\r\n"), State::Refused, 400, ""},
        {"other coding", head("Transfer-Encoding: gzip\r\n"), State::Refused, 501, ""},
        {"chunked twice", head("Transfer-Encoding: chunked\r\nTransfer-Encoding: chunked\r\n"), State::Refused, 501,
         ""},
        {"length above the bound, before the body", head("Content-Length: 101\r\n"), State::Refused, 413, ""},
        {"huge length", head("Content-Length: 99999999999999999999999\r\n"), State::Refused, 413, ""},
        {"chunks above the bound",
         head("Transfer-Encoding: chunked\r\n") + "40\r\n" + std::string(64, 'a') + "\r\n40\r\n", State::Refused, 413,
         ""},
        {"one huge chunk size", head("Transfer-Encoding: chunked\r\n") + "ffffffff\r\n", State::Refused, 413, ""},
        {"bad chunk size", head("Transfer-Encoding: chunked\r\n") + "zz\r\n", State::Refused, 400, ""},
        {"chunk without its line end", head("Transfer-Encoding: chunked\r\n") + "1\r\naXY", State::Refused, 400, ""},
        {"endless chunk size line", head("Transfer-Encoding: chunked\r\n") + std::string(2000, '0'), State::Refused,
         400, ""},
        {"too many header lines", head(repeat("A: b\r\n", 11)), State::Refused, 431, ""},
        {"header section too large", head("A: " + std::string(600, 'b') + "\r\n"), State::Refused, 431, ""},
        {"header section too large without a line end", "POST / HTTP/1.1\r\nA: " + std::string(600, 'b'),
         State::Refused, 431, ""},
        {"too many trailer lines", head("Transfer-Encoding: chunked\r\n") + "0\r\n" + repeat("T: 1\r\n", 10),
         State::Refused, 431, ""},
        {"folded header", head("A: b\r\n c\r\n"), State::Refused, 400, ""},
        {"header without name", head(": b\r\n"), State::Refused, 400, ""},
        {"control character in a value", head(std::string("A: b\x01\r\n")), State::Refused, 400, ""},
        {"bad request line", "POST /cimom\r\n\r\n", State::Refused, 400, ""},
        {"target longer than served", "POST /" + std::string(64, 'a') + " HTTP/1.1\r\n\r\n", State::Refused, 414,
         ""},
        {"target longer than the whole header bound, no line end yet", "POST /" + std::string(2000, 'a'),
         State::Refused, 414, ""},
        {"target of the longest length served", head("").replace(5, 6, "/" + std::string(63, 'a')), State::Complete,
         0, ""},
        {"start of a TLS handshake, no line end yet", "\x16\x03\x01\x02", State::Refused, 400, ""},
        {"HTTP/2", "POST / HTTP/2.0\r\n\r\n", State::Refused, 505, ""},
        {"unexpected expectation", head("Expect: magic\r\n"), State::Refused, 417, ""},
    };
    for (auto& c : cases) {
        SCOPED_TRACE(c.what);
        HttpRequestReader reader(small_limits());
        std::string input = c.input;
        State s = reader.read(input);
        ASSERT_EQ(s, c.state);
        if (s == State::Refused) {
            EXPECT_EQ(reader.status(), c.status);
        }
        if (s == State::Complete) {
            EXPECT_EQ(reader.take().body, c.body);
        }
    }
}

TEST(HttpRequestReader, PipelinedRequestsFedByteByByteComeOutInOrder)
{
    std::string stream = head("Transfer-Encoding: chunked\r\nCIMMethod: First\r\n") + "4\r\none!\r\n0\r\n\r\n" +
                         "POST /b HTTP/1.0\r\nCIMMethod: Second\r\nContent-Length: 3\r\n\r\ntwo";
    HttpRequestReader reader(small_limits());
    std::vector<HttpRequest> got;
    std::string input;
    for (char ch : stream) {
        input += ch;
        State s = reader.read(input);
        ASSERT_NE(s, State::Refused) << reader.reason();
        if (s == State::Complete)
            got.push_back(reader.take());
    }
    ASSERT_EQ(got.size(), 2u);
    EXPECT_EQ(got[0].header_value("cimmethod"), "First");
    EXPECT_EQ(got[0].body, "one!");
    EXPECT_TRUE(got[0].keep_alive());
    EXPECT_EQ(got[1].header_value("CIMMethod"), "Second");
    EXPECT_EQ(got[1].target, "/b");
    EXPECT_EQ(got[1].body, "two");
    EXPECT_FALSE(got[1].keep_alive()); // HTTP/1.0 without keep-alive
    EXPECT_TRUE(input.empty());
    EXPECT_TRUE(reader.idle());
}

TEST(HttpRequestReader, ContinueIsWantedOnlyUntilItIsSent)
{
    HttpRequestReader reader(small_limits());
    std::string input = head("Expect: 100-continue\r\nContent-Length: 3\r\n");
    EXPECT_EQ(reader.read(input), State::NeedMore);
    EXPECT_TRUE(reader.headers_done());
    EXPECT_TRUE(reader.wants_continue());
    reader.continue_sent();
    input = "abc";
    EXPECT_EQ(reader.read(input), State::Complete);
    EXPECT_FALSE(reader.wants_continue());
}

} // namespace
} // namespace cimserver
