#include "SMIS_EnvAccess.h"

#include "LogCapture.h"
#include "TempInstallDir.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

using cimple::SMIS_EnvAccess;
using Pegasus::Logger;

namespace {

using Getter = std::function<uint32_t(const SMIS_EnvAccess&)>;

const Getter defaultPort = [](const SMIS_EnvAccess& e) { return e.getDefaultPortNumber(); };
const Getter defaultCLIPort = [](const SMIS_EnvAccess& e) { return e.getDefaultCLIPortNumber(); };
const Getter connectionTimeout = [](const SMIS_EnvAccess& e) { return e.getConnectionTimeout(); };
const Getter pollingInterval = [](const SMIS_EnvAccess& e) { return e.getPollingInterval(); };
const Getter deviceStatusInterval = [](const SMIS_EnvAccess& e) { return e.getDeviceStatusInterval(); };
const Getter portLinkStatus = [](const SMIS_EnvAccess& e) { return e.getPortLinkStatus(); };
const Getter session = [](const SMIS_EnvAccess& e) { return e.getSession(); };
const Getter sessionStatistics = [](const SMIS_EnvAccess& e) { return e.getSessionStatistics(); };
const Getter recPath = [](const SMIS_EnvAccess& e) { return e.getRecPath(); };
const Getter deStatus = [](const SMIS_EnvAccess& e) { return e.getDEStatus(); };
const Getter maxStorageIP = [](const SMIS_EnvAccess& e) { return e.getMaxStorageIP(); };

std::vector<std::string> addresses(const SMIS_EnvAccess& env)
{
    std::vector<std::string> out;
    for (uint16_t i = 0; i < env.getStorageCount(); ++i)
        out.push_back(env.getStorageIP(i));
    return out;
}

void expectDefaults(const SMIS_EnvAccess& env)
{
    EXPECT_EQ(env.getDefaultPortNumber(), 1372);
    EXPECT_EQ(env.getDefaultCLIPortNumber(), 22);
    EXPECT_EQ(env.getConnectionTimeout(), 300u);
    EXPECT_EQ(env.getPollingInterval(), 300u);
    EXPECT_EQ(env.getDeviceStatusInterval(), 60);
    EXPECT_EQ(env.getPortLinkStatus(), 600u);
    EXPECT_EQ(env.getSession(), 300u);
    EXPECT_EQ(env.getSessionStatistics(), 300u);
    EXPECT_EQ(env.getRecPath(), 300u);
    EXPECT_EQ(env.getDEStatus(), 60u);
    EXPECT_EQ(env.getMaxStorageIP(), 10);
    EXPECT_EQ(env.getStorageCount(), 0);
}

}  // namespace

TEST(SMIS_EnvAccess, MissingFileGivesDefaultsAndAWarning)
{
    smis::test::TempInstallDir dir;
    smis::test::LogCapture capture;
    SMIS_EnvAccess* env = SMIS_EnvAccess::getInstance();
    ASSERT_NE(env, nullptr);
    expectDefaults(*env);
    EXPECT_EQ(capture.logMessages(Logger::STANDARD_LOG).size(), 1u);
    EXPECT_TRUE(capture.hasLog(Logger::STANDARD_LOG, "File Open Error"));
    EXPECT_EQ(capture.logs()[0].logLevel, Logger::WARNING);
}

TEST(SMIS_EnvAccess, EmptyFileGivesDefaults)
{
    smis::test::TempInstallDir dir;
    dir.writeEnv({});
    smis::test::LogCapture capture;
    expectDefaults(*SMIS_EnvAccess::getInstance());
    EXPECT_TRUE(capture.logs().empty());
}

TEST(SMIS_EnvAccess, SettingsAreClampedToTheirRanges)
{
    struct Case {
        std::vector<std::string> lines;
        Getter get;
        uint32_t expected;
    } cases[] = {
        {{"ConnectionTimeout=500"}, connectionTimeout, 500},
        {{"ConnectionTimeout=10"}, connectionTimeout, 60},
        {{"ConnectionTimeout=86401"}, connectionTimeout, 86400},
        {{"ConnectionTimeout=-5"}, connectionTimeout, 86400},        // 4294967291 as stored
        {{"ConnectionTimeout=99999999999"}, connectionTimeout, 86400},  // beyond int: largest int
        {{"ConnectionTimeout=abc"}, connectionTimeout, 60},
        {{"PollingInterval=59"}, pollingInterval, 60},
        {{"PollingInterval=86400"}, pollingInterval, 86400},
        {{"PollingInterval=90000"}, pollingInterval, 86400},
        {{"DeviceStatusInterval=120"}, deviceStatusInterval, 120},
        {{"DeviceStatusInterval=10"}, deviceStatusInterval, 30},
        {{"DeviceStatusInterval=4000"}, deviceStatusInterval, 3600},
        {{"DeviceStatusInterval=65566"}, deviceStatusInterval, 30},  // 16-bit: 30
        {{"PortLinkStatus=0"}, portLinkStatus, 0},
        {{"PortLinkStatus=90000"}, portLinkStatus, 86400},
        {{"Session=-1"}, session, 86400},
        {{"Session=0"}, session, 0},
        {{"SessionStatistics=5"}, sessionStatistics, 5},
        {{"SessionStatistics=86401"}, sessionStatistics, 86400},
        {{"RecPath=100000"}, recPath, 86400},
        {{"RecPath=7"}, recPath, 7},
        {{"DEStatus=0"}, deStatus, 0},
        {{"DEStatus=86401"}, deStatus, 86400},
        {{"MaxStorageIP=0"}, maxStorageIP, 1},
        {{"MaxStorageIP=99"}, maxStorageIP, 15},
        {{"MaxStorageIP=-5"}, maxStorageIP, 15},  // 65531 as stored
        {{"MaxStorageIP=3"}, maxStorageIP, 3},
        {{"DefaultPortNumber=2000"}, defaultPort, 2000},
        {{"DefaultPortNumber=-5"}, defaultPort, 65531},
        {{"DefaultPortNumber=65536"}, defaultPort, 0},
        {{"DefaultCLIPortNumber=2222"}, defaultCLIPort, 2222},
        // Layout of the line.
        {{"DefaultPortNumber = 2000  "}, defaultPort, 2000},
        {{"  DefaultPortNumber=2000"}, defaultPort, 2000},
        {{"DefaultPortNumber\t=2000"}, defaultPort, 1372},  // the key holds a tab
        {{"defaultportnumber=2000"}, defaultPort, 1372},    // keys are compared with case
        {{"DefaultPortNumber 2000"}, defaultPort, 1372},    // no "="
        {{"DefaultPortNumber="}, defaultPort, 1372},
        {{"DefaultPortNumber=   "}, defaultPort, 1372},
        {{"DefaultPortNumber=2000", "DefaultPortNumber=3000"}, defaultPort, 3000},  // last wins
        {{"Session=120\r"}, session, 120},
        {{"DefaultPortNumber=1=2"}, defaultPort, 1},  // the key ends at the first "="
    };
    for (const Case& c : cases) {
        smis::test::TempInstallDir dir;
        dir.writeEnv(c.lines);
        EXPECT_EQ(c.get(*SMIS_EnvAccess::getInstance()), c.expected) << c.lines.back();
    }
}

TEST(SMIS_EnvAccess, KeyAndValueLengthLimits)
{
    const std::string key23(23, 'K');
    const std::string value27 = "010.100.100.100,65535,65535";  // 27 characters
    smis::test::TempInstallDir dir;
    dir.writeEnv({
        key23 + "=1",            // taken (and ignored: no such key)
        key23 + "K=1",           // 24: skipped
        "StorageIP=" + value27,  // taken
        "StorageIP=" + value27 + "0",  // 28: skipped
        "StorageIP=10.0.0.9,1,2  \r",  // Windows line end and blanks stripped
        "StorageIP=10.0.0.8\r",
    });
    smis::test::LogCapture capture;
    const SMIS_EnvAccess& env = *SMIS_EnvAccess::getInstance();
    EXPECT_TRUE(capture.hasLog(Logger::STANDARD_LOG, "_setValue(" + key23 + ", 1)"));
    EXPECT_FALSE(capture.hasLog(Logger::STANDARD_LOG, "_setValue(" + key23 + "K"));
    EXPECT_TRUE(capture.hasLog(Logger::STANDARD_LOG, "_setValue(StorageIP, " + value27 + ")"));
    EXPECT_EQ(addresses(env), (std::vector<std::string>{"010.100.100.100", "10.0.0.9", "10.0.0.8"}));
    EXPECT_EQ(env.getCLIPortNumber("10.0.0.9"), 2);
}

TEST(SMIS_EnvAccess, ALineLongerThanAReadIsTakenInPieces)
{
    smis::test::TempInstallDir dir;
    // 255 characters fill the first read; the rest is a line of its own.
    dir.writeEnv({std::string(255, '#') + "StorageIP=10.9.9.9"});
    EXPECT_EQ(addresses(*SMIS_EnvAccess::getInstance()), std::vector<std::string>{"10.9.9.9"});
}

TEST(SMIS_EnvAccess, StorageIPFormsAndPorts)
{
    smis::test::TempInstallDir dir;
    dir.writeEnv({
        "DefaultPortNumber=1400",
        "DefaultCLIPortNumber=2200",
        "StorageIP=10.0.0.1",
        "StorageIP=10.0.0.2,2000",
        "StorageIP=10.0.0.3,2000,2222",
        "StorageIP=10.1.1.1,,2222",
        "StorageIP=10.0.0.5,0,0",
        "StorageIP=10.0.0.6,70000,-1",  // not port numbers
        "StorageIP=10.0.0.7,2001",
        "StorageIP=10.0.0.7,2002",      // same address, other ports: a second entry
        "StorageIP=10.0.0.1",           // the very same text: not repeated
    });
    const SMIS_EnvAccess& env = *SMIS_EnvAccess::getInstance();
    smis::test::LogCapture capture;
    EXPECT_EQ(addresses(env), (std::vector<std::string>{"10.0.0.1", "10.0.0.2", "10.0.0.3", "10.1.1.1",
                                                        "10.0.0.5", "10.0.0.6", "10.0.0.7", "10.0.0.7"}));
    struct Case {
        const char* address;
        uint16_t port;
        uint16_t cliPort;
    } cases[] = {
        {"10.0.0.1", 1400, 2200}, {"10.0.0.2", 2000, 2200}, {"10.0.0.3", 2000, 2222},
        {"10.1.1.1", 1400, 2222}, {"10.0.0.5", 1400, 2200}, {"10.0.0.6", 1400, 2200},
        {"10.0.0.7", 2001, 2200},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(env.getPortNumber(c.address), c.port) << c.address;
        EXPECT_EQ(env.getCLIPortNumber(c.address), c.cliPort) << c.address;
    }
    EXPECT_TRUE(capture.logs().empty());

    EXPECT_EQ(env.getPortNumber("10.0.0.99"), 1400);
    EXPECT_TRUE(capture.hasLog(Logger::STANDARD_LOG, "getPortNumber::It is an error to a ipAddress"));
    EXPECT_EQ(env.getCLIPortNumber("10.0.0.99"), 2200);
    EXPECT_TRUE(capture.hasLog(Logger::STANDARD_LOG, "getCLIPortNumber::It is an error to an index"));
    EXPECT_EQ(env.getStorageIP(8), "");
    EXPECT_TRUE(capture.hasLog(Logger::STANDARD_LOG, "getStorageIP::It is an error to an index"));
}

TEST(SMIS_EnvAccess, MaxStorageIPKeepsTheFirstArraysOfTheFile)
{
    smis::test::TempInstallDir dir;
    dir.writeEnv({"StorageIP=10.0.0.1", "StorageIP=10.0.0.2", "StorageIP=10.0.0.3", "MaxStorageIP=2"});
    EXPECT_EQ(addresses(*SMIS_EnvAccess::getInstance()), (std::vector<std::string>{"10.0.0.1", "10.0.0.2"}));

    std::vector<std::string> many;
    for (int i = 1; i <= 16; ++i)
        many.push_back("StorageIP=10.0.1." + std::to_string(i));
    dir.writeEnv(many);
    const SMIS_EnvAccess& env = *SMIS_EnvAccess::getInstance();
    ASSERT_EQ(env.getStorageCount(), 10);
    EXPECT_EQ(env.getStorageIP(9), "10.0.1.10");
}

TEST(SMIS_EnvAccess, TheFileIsReadOncePerObject)
{
    smis::test::TempInstallDir dir;
    dir.writeFile("env/smis_env.inf", "Session=100\n");
    SMIS_EnvAccess* env = SMIS_EnvAccess::getInstance();
    EXPECT_EQ(env->getSession(), 100u);
    dir.writeFile("env/smis_env.inf", "Session=200\n");
    EXPECT_EQ(SMIS_EnvAccess::getInstance(), env);
    EXPECT_EQ(env->getSession(), 100u);
    SMIS_EnvAccess::destroy();
    EXPECT_EQ(SMIS_EnvAccess::getInstance()->getSession(), 200u);
}
