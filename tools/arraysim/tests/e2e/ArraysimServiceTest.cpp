#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <future>
#include <memory>
#include <thread>

#include "ArraysimProcess.hpp"
#include "ProtocolClient.hpp"

using namespace arraysim;
using arraysim::test::Exchange;
using arraysim::test::ProtocolClient;
using Json = nlohmann::json;

namespace {

Bytes sessionListParams(std::uint16_t mode, std::uint16_t id) {
    WireBytes w(16);
    w.le16(0, mode);
    w.le16(2, id);
    return w.take();
}

const Bytes kTable4{0, 1, 0, 0, 4};

class ArraysimService : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        std::signal(SIGPIPE, SIG_IGN);  // the array may close while the client writes
        sim_ = std::make_unique<testsupport::ArraysimProcess>("coverage");
    }
    static void TearDownTestSuite() {
        // A clean exit also means the sanitizers found nothing in the simulator.
        EXPECT_EQ(sim_->stop(), 0) << sim_->output();
        sim_.reset();
    }
    void SetUp() override {
        ASSERT_TRUE(sim_->clearFaults(0));
        ASSERT_TRUE(sim_->clearFaults(1));
    }
    ProtocolClient client(std::size_t array = 0, int timeout = 5) const {
        return ProtocolClient(sim_->address(array), sim_->port(array), timeout);
    }
    static std::unique_ptr<testsupport::ArraysimProcess> sim_;
};

std::unique_ptr<testsupport::ArraysimProcess> ArraysimService::sim_;

}  // namespace

TEST_F(ArraysimService, ServesEveryArrayWithALeafSignedByAnUnsentCa) {
    ASSERT_EQ(sim_->arrayCount(), 2u);
    for (std::size_t i = 0; i < 2; ++i) {
        Exchange x = client(i).run(0x0010);
        ASSERT_EQ(x.failure, "");
        EXPECT_EQ(x.verifyResult, 20);  // issuer not available locally
        EXPECT_EQ(x.commonName.rfind("KESTRIS_VORPAK", 0), 0u);
        EXPECT_EQ(x.echoed, 0x0010);
        EXPECT_EQ(x.params.at(0), i == 0 ? 32 : 64);
    }
}

TEST_F(ArraysimService, OpensslClientShowsTheLeafCertificateAndItsCommonName) {
    const std::string cmd = "openssl s_client -connect " + sim_->address(0) + ":" + std::to_string(sim_->port(0)) +
                            " </dev/null 2>&1";
    FILE* p = ::popen(cmd.c_str(), "r");
    ASSERT_NE(p, nullptr);
    std::string out;
    char buf[4096];
    while (std::size_t n = std::fread(buf, 1, sizeof buf, p)) out.append(buf, n);
    ::pclose(p);
    EXPECT_NE(out.find("subject=O = KESTRIS, CN = KESTRIS_VORPAK_coverage1"), std::string::npos) << out;
    EXPECT_NE(out.find("issuer=O = KESTRIS, CN = KESTRIS Array Private CA"), std::string::npos) << out;
    EXPECT_NE(out.find("verify error:num=20"), std::string::npos) << out;
    EXPECT_EQ(out.find("depth=1"), std::string::npos) << "the CA must not be sent";
}

TEST_F(ArraysimService, EveryFaultIsSelectableFromTheControlSocket) {
    struct Case {
        const char* fault;        // JSON of the fault
        std::uint16_t code;
        const char* failure;      // expected end of the exchange ("" = completed)
    } cases[] = {
        {R"({"kind":"refuse"})", 0x0010, "connect"},
        {R"({"kind":"no_tls"})", 0x0010, "handshake"},
        {R"({"kind":"drop","packet":"CE31"})", 0x0010, "CA35: closed"},
        {R"({"kind":"drop","packet":"CA35"})", 0x0010, "CA35: closed"},
        {R"({"kind":"drop","packet":"DA00"})", 0x4024, "DA00: closed"},
        {R"({"kind":"drop","packet":"C639"})", 0x4024, "C639: closed"},
        {R"({"kind":"drop","packet":"DE00"})", 0x4024, "C639: closed"},
        {R"({"kind":"stall","packet":"DA00","seconds":3})", 0x81AB, "DE00: closed"},
        {R"({"kind":"stall","packet":"C639","seconds":3})", 0x0010, "C639: closed"},
        {R"({"kind":"truncate","packet":"DA00"})", 0x4024, "DA00: truncated"},
        {R"({"kind":"truncate","packet":"CA35"})", 0x0010, "CA35: closed"},
        {R"({"kind":"wrong_packet_id","packet":"CA35"})", 0x0010, "CA35: packet id"},
        {R"({"kind":"wrong_packet_id","packet":"C639"})", 0x0010, "C639: packet id"},
        {R"({"kind":"comm_status","packet":"DA00","status":5})", 0x4024, "DA00: comm status"},
        {R"({"kind":"comm_status","packet":"C639"})", 0x0010, "C639: comm status"},
        {R"({"kind":"oversize","packet":"C639"})", 0x0010, "C639: oversize"},
        {R"({"kind":"oversize","packet":"DA00"})", 0x4024, "DA00: oversize"},
        {R"({"kind":"wrong_length","packet":"C639"})", 0x0010, "C639: truncated"},
    };
    for (auto& c : cases) {
        SCOPED_TRACE(c.fault);
        Json f = Json::parse(c.fault);
        f["count"] = 1;
        if (f["kind"] == "refuse") f.erase("count");
        ASSERT_TRUE(sim_->fault(0, f));
        // The listener closes and opens again within a moment: wait for it.
        const bool refuse = f["kind"] == "refuse";
        Exchange x = client(0, 1).run(c.code, kTable4);
        for (int i = 0; refuse && x.failure != c.failure && i < 100; ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
            x = client(0, 1).run(c.code, kTable4);
        }
        EXPECT_EQ(x.failure, c.failure);
        ASSERT_TRUE(sim_->clearFaults(0));
        // A fault that struck once is gone: the next exchange completes.
        Exchange next = client(0).run(c.code, kTable4);
        for (int i = 0; refuse && next.failure == "connect" && i < 100; ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
            next = client(0).run(c.code, kTable4);
        }
        EXPECT_EQ(next.failure, "");
    }
}

// Clearing the faults ends a stall or a delay in progress: the exchange
// goes on at once (a delayed one completes, a stalled one closes) rather
// than after the minute armed.
TEST_F(ArraysimService, ClearingEndsAStallOrADelayInProgress) {
    const struct {
        const char* fault;
        const char* failure;
    } cases[] = {
        {R"({"kind":"stall","packet":"C639","seconds":60,"count":1})", "C639: closed"},
        {R"({"kind":"slow","millis":60000,"count":1})", ""},
    };
    for (auto& c : cases) {
        SCOPED_TRACE(c.fault);
        ASSERT_TRUE(sim_->fault(0, Json::parse(c.fault)));
        auto exchange = std::async(std::launch::async, [&] { return client(0, 120).run(0x0010); });
        EXPECT_EQ(exchange.wait_for(std::chrono::seconds(1)), std::future_status::timeout) << "the fault did not strike";
        ASSERT_TRUE(sim_->clearFaults(0));
        ASSERT_EQ(exchange.wait_for(std::chrono::seconds(20)), std::future_status::ready) << "still held after the clear";
        EXPECT_EQ(exchange.get().failure, c.failure);
    }
}

TEST_F(ArraysimService, CertificateFaults) {
    struct Case {
        const char* kind;
        long verify;
        const char* nameStart;
    } cases[] = {
        {"self_signed", 18, "KESTRIS_VORPAK"},
        {"chain_with_root", 19, "KESTRIS_VORPAK"},
        {"wrong_name", 20, "KESTRIS_VORPAQ"},
        {"no_name", 20, ""},
    };
    for (auto& c : cases) {
        SCOPED_TRACE(c.kind);
        ASSERT_TRUE(sim_->fault(0, {{"kind", c.kind}, {"count", 1}}));
        Exchange x = client().run(0x0010);
        EXPECT_EQ(x.failure, "");
        EXPECT_EQ(x.verifyResult, c.verify);
        EXPECT_EQ(x.commonName.rfind(c.nameStart, 0), 0u) << x.commonName;
        if (!*c.nameStart) {
            EXPECT_EQ(x.commonName, "");
        }
    }
}

TEST_F(ArraysimService, ReplyFaultsBusySlowWrongLengthAndCorruptContainer) {
    ASSERT_TRUE(sim_->fault(0, {{"kind", "busy"}, {"command", 0x4199}, {"count", 1}}));
    EXPECT_EQ(client().run(0x0010).status, 0);  // other commands are not hit
    Exchange busy = client().run(0x4199, sessionListParams(2, 0));
    EXPECT_EQ(busy.failure, "");
    EXPECT_NE(busy.status, 0);
    EXPECT_TRUE(busy.data.empty());

    ASSERT_TRUE(sim_->fault(0, {{"kind", "wrong_length"}, {"packet", "DA00"}, {"count", 1}}));
    Exchange wrong = client().run(0x4199, sessionListParams(2, 0));
    ASSERT_EQ(wrong.failure, "");
    EXPECT_NE(wrong.data.size(), 16 + 208 * loadLe(wrong.data, 4, 2));

    ASSERT_TRUE(sim_->fault(0, {{"kind", "corrupt_container"}, {"count", 1}}));
    Exchange corrupt = client().run(0x4024, kTable4);
    ASSERT_EQ(corrupt.failure, "");
    EXPECT_GT(loadLe(corrupt.data, 28, 4), corrupt.data.size());

    ASSERT_TRUE(sim_->fault(0, {{"kind", "slow"}, {"millis", 400}, {"count", 1}}));
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(client().run(0x0010).failure, "");
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(800));  // CA35 and C639
}

TEST_F(ArraysimService, ControlChangesShowOnTheWireAndInTheRequestLog) {
    const auto last = [&] {
        Json log = sim_->requests();
        return log.empty() ? 0ull : log.back()["seq"].get<unsigned long long>();
    }();
    Exchange before = client().run(0x4024, kTable4);
    ASSERT_EQ(before.failure, "");
    Json r = sim_->control({{"op", "set_status"}, {"array", 0}, {"element", "disk"}, {"key", 3}, {"status", 1}});
    ASSERT_TRUE(r["ok"]) << r.dump();
    EXPECT_EQ(sim_->model(0)["disks"][3]["status"], 1);
    Exchange after = client().run(0x4024, kTable4);
    // Table 4: date, revision and count moved.
    EXPECT_NE(loadLe(before.data, 32 + 14, 2), loadLe(after.data, 32 + 14, 2));
    EXPECT_NE(loadLe(before.data, 32 + 28, 4), loadLe(after.data, 32 + 28, 4));

    Json bad = sim_->control({{"op", "set"}, {"array", 0}, {"path", "/volumes/0/raid_group"}, {"value", 77}});
    EXPECT_FALSE(bad["ok"]);

    Json adv = sim_->control({{"op", "advance_copy"}, {"array", 0}, {"ids", {1}}, {"percent", 100}});
    ASSERT_TRUE(adv["ok"]) << adv.dump();
    Exchange s = client().run(0x4199, sessionListParams(1, 1));
    ASSERT_EQ(loadLe(s.data, 4, 2), 1u);
    EXPECT_EQ(loadLe(s.data, 16 + 56, 4), 2097152u);  // copied all
    EXPECT_EQ(s.data[16 + 13], 2);                    // left the copying phase

    // The simulator logs an exchange once its connection has ended, which
    // can be just after the client has read the reply: wait for the entries.
    const auto logged = [&](unsigned long long after, std::size_t count) {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        Json entries = sim_->requests(after);
        while (entries.size() < count && std::chrono::steady_clock::now() < deadline) {
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
            entries = sim_->requests(after);
        }
        return entries;
    };
    Json log = logged(last, 3);
    ASSERT_GE(log.size(), 3u);
    EXPECT_EQ(log[0]["command"], 0x4024);
    EXPECT_EQ(log[0]["params"], "0001000004");
    EXPECT_EQ(log[0]["outcome"], "ok");

    // A client that breaks the protocol is refused, and the log says why.
    ProtocolClient wrongModule = client();
    wrongModule.moduleId = 0x10;
    Exchange refused = wrongModule.run(0x0010);
    ASSERT_EQ(refused.failure, "");
    EXPECT_NE(refused.status, 0);
    const Json refusal = logged(log.back()["seq"].get<unsigned long long>(), 1);
    ASSERT_FALSE(refusal.empty());
    EXPECT_EQ(refusal.back()["outcome"], "protocol error: module id");
    EXPECT_NE(client().run(0x0010, {}, Bytes(8, 0)).status, 0);  // data announced for 0x0010

    ASSERT_TRUE(sim_->reset());
    EXPECT_EQ(sim_->model(0)["disks"][3]["status"], 0);
    EXPECT_FALSE(sim_->control({{"op", "nonsense"}})["ok"]);
    EXPECT_FALSE(sim_->control({{"op", "fault"}, {"array", 0}, {"kind", "nonsense"}})["ok"]);
    EXPECT_FALSE(sim_->control({{"op", "dump"}, {"array", 9}})["ok"]);
}

TEST_F(ArraysimService, IscsiStatisticsSendDataToTheArray) {
    Exchange logins = client().run(0x41AA, {0x42, 0, 0, 0});
    ASSERT_EQ(logins.failure, "");
    ASSERT_EQ(loadLe(logins.data, 2, 2), 2u);
    WireBytes q(240);
    q.u8(0, 0x42);
    q.raw(8, &logins.data[8], 224);
    q.raw(232, &logins.data[8 + 256], 8);
    Exchange st = client().run(0x81AB, {}, q.bytes());
    ASSERT_EQ(st.failure, "");
    EXPECT_EQ(st.status, 0);
    EXPECT_EQ(st.params.size(), 64u);
}
