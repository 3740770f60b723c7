// Basic authentication: only the configured user with its password passes.
#include "HttpFrontEnd.h"

#include <gtest/gtest.h>

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

} // namespace
} // namespace cimserver
