// The command line: the options of indication delivery (listeners and the
// certificates they are trusted by), logging and help, and values out of
// their range.
#include "ServerOptions.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace cimserver {
namespace {

bool parse(std::vector<std::string> args, ServerOptions& options, std::string& message)
{
    args.insert(args.begin(), "cimserver");
    std::vector<char*> argv;
    for (auto& a : args)
        argv.push_back(a.data());
    return options.parse(static_cast<int>(argv.size()), argv.data(), message);
}

TEST(ServerOptions, ReadsDeliveryLoggingAndHelp)
{
    ServerOptions o;
    std::string message;
    EXPECT_FALSE(o.log_information);
    ASSERT_TRUE(parse({"--delivery-retry-attempts", "0", "--delivery-retry-interval", "7", "--log-level", "information",
                       "--log-max-size", "65536", "--log-files", "0", "--listener", "https://[::1]:5990/in",
                       "--export-ssl-trust-store", "/etc/cimserver/listeners.pem", "--help"},
                      o, message))
        << message;
    EXPECT_EQ(o.listeners, std::vector<std::string>{"https://[::1]:5990/in"});
    EXPECT_EQ(o.export_trust_store, "/etc/cimserver/listeners.pem");
    EXPECT_EQ(o.delivery_retry.attempts, 0u);
    EXPECT_EQ(o.delivery_retry.interval, std::chrono::seconds(7));
    EXPECT_TRUE(o.log_information);
    EXPECT_EQ(o.log_max_size, 65536u);
    EXPECT_EQ(o.log_files, 0u);
    EXPECT_TRUE(o.help);
}

TEST(ServerOptions, RefusesValuesOutsideTheirRange)
{
    struct Case {
        std::vector<std::string> args;
        const char* message;
    } cases[] = {
        {{"--delivery-retry-interval", "0"}, "bad delivery retry interval 0 (1 to 3600)"},
        {{"--delivery-retry-attempts", "1001"}, "bad delivery retry attempts 1001 (0 to 1000)"},
        {{"--log-level", "debug"}, "bad log level debug (warning or information)"},
        {{"--log-max-size", "1000"}, "bad log size 1000 (65536 to 1099511627776)"},
        {{"--log-files", "-1"}, "bad log file count -1 (0 to 100)"},
        {{"--poll-interval", "0"}, "bad poll interval 0 (1 to 86400)"},
        {{"--log-files"}, "--log-files needs a value"},
        {{"--listener", "ftp://listener.example/"}, "bad listener ftp://listener.example/ (http[s]://host[:port][/path])"},
        {{"--listener", "http://listener example/"}, "bad listener http://listener example/ (http[s]://host[:port][/path])"},
        {{"--export-ssl-trust-store", ""}, "--export-ssl-trust-store needs a file or folder"},
        {{"--frobnicate"}, "unknown argument --frobnicate"},
    };
    for (auto& c : cases) {
        ServerOptions o;
        std::string message;
        EXPECT_FALSE(parse(c.args, o, message)) << c.args[0];
        EXPECT_EQ(message, c.message);
    }
}

} // namespace
} // namespace cimserver
