// The channel against the simulator: certificate checks, refused and silent
// peers, the cancel event in the connect and in the packet phase, and every
// fault the simulator injects.

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <string>

#include "SMIS_CMTFile.h"
#include "SMIS_RequestContext.h"
#include "VorpakFixture.h"

using namespace cimple;
using Clock = std::chrono::steady_clock;

namespace smis::test {
namespace {

class CommandChannel : public VorpakFixture {
protected:
    // Waits until the array's port refuses connections.
    void waitUntilRefused() const
    {
        const auto end = Clock::now() + std::chrono::seconds(5);
        while (Clock::now() < end) {
            const int s = ::socket(AF_INET, SOCK_STREAM, 0);
            sockaddr_in a{};
            a.sin_family = AF_INET;
            a.sin_port = htons(sim_->port(0));
            ::inet_pton(AF_INET, address_.c_str(), &a.sin_addr);
            const bool refused = ::connect(s, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0;
            ::close(s);
            if (refused)
                return;
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        FAIL() << "the simulator kept listening";
    }

    // getCEInformation carries every packet kind the array sends.
    unsigned char ceInformation(SMIS_Vorpak& vpk) const
    {
        CMM_RSP_RD_CE_STS* info = nullptr;
        const unsigned char rc = vpk.getCEInformation(info, 0);
        if (rc != 0) {
            EXPECT_EQ(info, nullptr);
        }
        std::free(info);
        return rc;
    }
};

double secondsSince(Clock::time_point start)
{
    return std::chrono::duration<double>(Clock::now() - start).count();
}

struct CertificateCase {
    const char* fault;
    unsigned char result;
};

TEST_F(CommandChannel, CertificateChecks)
{
    const CertificateCase cases[] = {
        {"", 0},                  // private-CA leaf, issuer not sent: verification 20, name KESTRIS_VORPAK_...
        {"self_signed", 146},     // verification 18
        {"chain_with_root", 146}, // verification 19
        {"wrong_name", 150},
        {"no_name", 149},
        {"no_tls", 152},
    };
    for (const CertificateCase& c : cases) {
        SCOPED_TRACE(c.fault);
        if (*c.fault) {
            ASSERT_TRUE(sim_->fault(0, {{"kind", c.fault}, {"count", 1}}));
        }
        SMIS_Vorpak vpk(address_.c_str());
        unsigned char status = 0;
        EXPECT_EQ(vpk.getDeviceStatus(status), c.result);
        if (c.result != 0) {
            EXPECT_EQ(status, 255);
        }
        sim_->clearFaults(0);
    }
}

TEST_F(CommandChannel, RefusedPortRetriesUntilTheTimeOut)
{
    ASSERT_TRUE(sim_->fault(0, {{"kind", "refuse"}}));
    waitUntilRefused();
    TunedVorpak vpk(address_.c_str());
    vpk.setTimeout(2);
    unsigned char status = 0;
    const auto start = Clock::now();
    EXPECT_EQ(vpk.getDeviceStatus(status), 132);
    EXPECT_GE(secondsSince(start), 1.8);
    EXPECT_LT(secondsSince(start), 6.0);
}

TEST_F(CommandChannel, CancelDuringTheConnectGives128)
{
    // A refused port: the attempts stop at the event.
    ASSERT_TRUE(sim_->fault(0, {{"kind", "refuse"}}));
    waitUntilRefused();
    {
        SMIS_Vorpak vpk(address_.c_str());
        ASSERT_EQ(vpk.timeout(), 300u);
        unsigned char status = 0;
        const auto start = Clock::now();
        DelayedCancel cancel(cancel_, std::chrono::milliseconds(1300));
        EXPECT_EQ(vpk.getDeviceStatus(status), 128);
        EXPECT_LT(secondsSince(start), 4.0);
    }
    cancel_->reset();
    sim_->clearFaults(0);

    // A peer that accepts the connection but never answers the handshake.
    const int silent = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    ::inet_pton(AF_INET, "127.0.0.1", &a.sin_addr);
    ASSERT_EQ(::bind(silent, reinterpret_cast<sockaddr*>(&a), sizeof a), 0);
    ASSERT_EQ(::listen(silent, 4), 0);
    socklen_t len = sizeof a;
    ::getsockname(silent, reinterpret_cast<sockaddr*>(&a), &len);
    {
        TunedVorpak vpk(address_.c_str());
        vpk.setPort(ntohs(a.sin_port));
        unsigned char status = 0;
        const auto start = Clock::now();
        DelayedCancel cancel(cancel_, std::chrono::milliseconds(500));
        EXPECT_EQ(vpk.getDeviceStatus(status), 128);
        EXPECT_LT(secondsSince(start), 3.0);
    }
    ::close(silent);

    // Signalled before the command starts: nothing is sent.
    cancel_->set();
    SMIS_Vorpak vpk(address_.c_str());
    unsigned char status = 0;
    EXPECT_EQ(vpk.getDeviceStatus(status), 128);
}

TEST_F(CommandChannel, CancelDuringTheExchangeGives133)
{
    ASSERT_TRUE(sim_->fault(0, {{"kind", "stall"}, {"packet", "C639"}, {"seconds", 30}, {"count", 1}}));
    SMIS_Vorpak vpk(address_.c_str());
    const auto start = Clock::now();
    DelayedCancel cancel(cancel_, std::chrono::milliseconds(500));
    EXPECT_EQ(ceInformation(vpk), 133);
    EXPECT_LT(secondsSince(start), 4.0);
}

TEST_F(CommandChannel, WithinOneRequestAnArrayThatTimedOutIsNotAskedAgain)
{
    const std::uint16_t ce = SMIS_Vorpak::CMD_CE_INFO;
    struct Case {
        const char* what;
        nlohmann::json fault;
        unsigned char first;
    } cases[] = {
        {"silent after the connection", {{"kind", "stall"}, {"packet", "C639"}, {"seconds", 60}}, 133},
        {"refused until the time-out", {{"kind", "refuse"}}, 132},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        sim_->control({{"op", "clear_log"}});
        ASSERT_TRUE(sim_->fault(0, c.fault));
        if (c.first == 132)
            waitUntilRefused();
        TunedVorpak vpk(address_.c_str());
        vpk.setTimeout(1);
        {
            SMIS_RequestContext request;
            SMIS_RequestContext::Scope scope(request);
            EXPECT_EQ(ceInformation(vpk), c.first);
            const std::size_t asked = requestCount(ce);
            // The array is still at fault: asking it again would take the
            // whole time-out.
            vpk.setTimeout(30);
            const auto start = Clock::now();
            EXPECT_EQ(ceInformation(vpk), 132);
            EXPECT_LT(secondsSince(start), 5.0);
            EXPECT_EQ(requestCount(ce), asked) << "the array was asked again";
            sim_->clearFaults(0);
        }
        // The next request asks again (the port may take a moment to listen again).
        unsigned char rc = 0xFF;
        for (int i = 0; i < 10 && rc != 0; ++i) {
            SMIS_RequestContext next;
            SMIS_RequestContext::Scope scope(next);
            rc = ceInformation(vpk);
        }
        EXPECT_EQ(rc, 0);
    }
}

struct FaultCase {
    const char* kind;
    const char* packet;
    long length;  // 0: the simulator's default
    unsigned char result;
};

TEST_F(CommandChannel, InjectedFaultsGiveTheirResults)
{
    const FaultCase cases[] = {
        {"drop", "CE31", 0, 133},
        {"drop", "CA35", 0, 133},
        {"drop", "DA00", 0, 133},
        {"drop", "DE00", 0, 133},
        {"drop", "C639", 0, 133},
        {"truncate", "CA35", 0, 133},
        {"truncate", "DA00", 0, 133},
        {"truncate", "C639", 0, 133},
        {"wrong_length", "DA00", 0, 4},      // more data than the reply's length rule allows
        {"wrong_length", "CA35", 0, 133},    // announces a body that never comes
        {"wrong_length", "C639", 0, 133},
        {"wrong_packet_id", "CA35", 0, 133},
        {"wrong_packet_id", "DA00", 0, 133},
        {"wrong_packet_id", "C639", 0, 133},
        {"comm_status", "CA35", 0, 133},
        {"comm_status", "C639", 0, 133},
        {"oversize", "C639", 0, 133},        // 200 reply parameter bytes
        {"oversize", "C639", 65, 133},
        {"oversize", "C639", 64, 0},         // the most a final status may carry
        {"oversize", "DA00", 0, 133},        // announces about 2 GiB: refused before any allocation
        {"oversize", "DA00", (64 << 20) + 1, 133},
        {"oversize", "CA35", 0, 133},
        {"slow", "", 0, 0},
    };
    for (const FaultCase& c : cases) {
        SCOPED_TRACE(std::string(c.kind) + " at " + c.packet + " length " + std::to_string(c.length));
        nlohmann::json fault = {{"kind", c.kind}, {"command", 0x4012}, {"count", 1}};
        if (*c.packet)
            fault["packet"] = c.packet;
        if (c.length)
            fault["length"] = c.length;
        if (std::string(c.kind) == "comm_status")
            fault["status"] = 5;
        if (std::string(c.kind) == "slow")
            fault["millis"] = 100;
        ASSERT_TRUE(sim_->fault(0, fault));
        SMIS_Vorpak vpk(address_.c_str());
        EXPECT_EQ(ceInformation(vpk), c.result);
        sim_->clearFaults(0);
        // The next exchange is unaffected.
        EXPECT_EQ(ceInformation(vpk), 0);
    }
}

TEST_F(CommandChannel, RefusedCommandsGiveTheArrayStatus)
{
    ASSERT_TRUE(sim_->fault(0, {{"kind", "busy"}, {"command", 0x0010}, {"status", 0x20}, {"count", 1}}));
    SMIS_Vorpak vpk(address_.c_str());
    unsigned char status = 0;
    EXPECT_EQ(vpk.getDeviceStatus(status), 0x20);
    EXPECT_EQ(status, 255);

    // A refused data command hands out nothing.
    ASSERT_TRUE(sim_->fault(0, {{"kind", "busy"}, {"command", 0x400A}, {"status", 0x21}, {"count", 1}}));
    CMM_RSP_RD_MODEL_INFO* info = nullptr;
    EXPECT_EQ(vpk.getModelInformation(info), 0x21);
    EXPECT_EQ(info, nullptr);

    // A corrupt configuration table reply travels; the container reader refuses it.
    ASSERT_TRUE(sim_->fault(0, {{"kind", "corrupt_container"}, {"count", 1}}));
    CMM_REQ_RD_CFG_MGMT_TBL request{};
    request.bytes[1] = 1;
    request.bytes[4] = 4;
    CMM_CMT_TABLE_HEADER* table = nullptr;
    std::uint32_t length = 0;
    ASSERT_EQ(vpk.getConfigManagementTable(request, table, length), 0);
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(SMIS_CMTFile::ConvertVPK2CMTFile(table->bytes, length), nullptr);
    std::free(table);
}

}  // namespace
}  // namespace smis::test
