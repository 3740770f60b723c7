#include <SMIS_AccessPoints.h>

#include <Pegasus/Common/System.h>

#include <gtest/gtest.h>

#include <string>

// A listener is named as clients reach it: an address as bound (an IPv6 one
// in brackets), a wildcard by the host's name.
TEST(AccessPoint, NamesAListenerAsClientsReachIt)
{
    const std::string host = Pegasus::System::getFullyQualifiedHostName().str();
    struct Case {
        const char* scheme;
        const char* address;
        std::string url;
    } cases[] = {
        {"http", "127.0.0.1", "http://127.0.0.1:5988"},
        {"https", "::1", "https://[::1]:5988"},
        {"https", "0.0.0.0", "https://" + host + ":5988"},
        {"http", "::", "http://" + host + ":5988"},
        {"http", "", "http://" + host + ":5988"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(cimple::SMIS_AccessPoint::of(c.scheme, c.address, 5988).url(), c.url) << c.address;
    EXPECT_EQ(cimple::SMIS_AccessPoint::of("http", "::1", 80).authority(), "[::1]:80");
}
