// The port and live iSCSI providers against the array simulator's
// "coverage" scenario: the configuration table fetched over the array
// channel, link states, logins, session counters and remote paths asked
// live.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "ArraysimProcess.hpp"
#include "SMIS_CMTAccess.h"
#include "SMIS_PollingService.h"
#include "Collected.h"
#include "TempInstallDir.h"
#include "VELDARO_ConnectivityCollection_Provider.h"
#include "VELDARO_EthernetPort_Provider.h"
#include "VELDARO_FCPort_Provider.h"
#include "VELDARO_iSCSISessionStatistics_Provider.h"
#include "VELDARO_iSCSISession_Provider.h"

using namespace cimple;

namespace {

using smis::test::Collected;

class LivePortProviders : public ::testing::Test {
protected:
    static void SetUpTestSuite() { sim_ = new testsupport::ArraysimProcess("coverage"); }
    static void TearDownTestSuite()
    {
        if (sim_) {
            EXPECT_EQ(sim_->stop(), 0) << sim_->output();
        }
        delete sim_;
        sim_ = nullptr;
    }

    void SetUp() override
    {
        ASSERT_NE(sim_, nullptr);
        address_ = sim_->address(0);
        dir_ = std::make_unique<smis::test::TempInstallDir>();
        dir_->writeEnv({"StorageIP=" + address_ + "," + std::to_string(sim_->port(0))});
        SMIS_CMTAccess::destroy();
        SMIS_CMTAccess* cache = SMIS_CMTAccess::getInstance();
        ASSERT_NE(cache, nullptr);
        cache->SetDeviceAvailable(address_.c_str(), 0);
        SMIS_PollingService* service = SMIS_PollingService::getInstance();
        ASSERT_NE(service, nullptr);
        ASSERT_EQ(service->getConfigManagementInfo(address_.c_str(), 0), 0);
    }

    void TearDown() override
    {
        SMIS_PollingService::destroy();
        SMIS_CMTAccess::destroy();
        dir_.reset();
    }

    template <class Provider, class Model>
    static std::vector<Model*> enumerate(Collected<Model>& out)
    {
        Provider provider;
        EXPECT_EQ(provider.enum_instances(nullptr, &out), 0);
        return out.got;
    }

    template <class Model, class Key>
    static const Model* find(const std::vector<Model*>& list, Key key, const std::string& value)
    {
        for (const Model* m : list)
            if (value == (m->*key).value.c_str())
                return m;
        return nullptr;
    }

    static testsupport::ArraysimProcess* sim_;
    std::unique_ptr<smis::test::TempInstallDir> dir_;
    std::string address_;
};

testsupport::ArraysimProcess* LivePortProviders::sim_ = nullptr;

TEST_F(LivePortProviders, LinkSpeedsOfBothModuleHalvesFromOneAnswer)
{
    Collected<VELDARO_FCPort> fc;
    auto ports = enumerate<VELDARO_FCPort_Provider>(fc);
    const struct {
        const char* id;
        std::uint64_t speed;
    } expected[] = {
        {"FCP_CM00CA00P00", 8500000000u},   // link word 8
        {"FCP_CM00CA00P01", 0},             // 0xFFFF
        {"FCP_CM00CA00P02", 10518750000u},  // the other half's port, word 10
        {"FCP_CM01CA00P00", 4250000000u},   // link word 4
        {"FCP_CM01CA00P01", 0},             // 0xFFFE
    };
    for (const auto& e : expected) {
        const VELDARO_FCPort* p = find(ports, &VELDARO_FCPort::DeviceID, e.id);
        ASSERT_NE(p, nullptr) << e.id;
        EXPECT_EQ(p->Speed.value, e.speed) << e.id;
    }

    Collected<VELDARO_EthernetPort> eth;
    auto iscsi = enumerate<VELDARO_EthernetPort_Provider>(eth);
    const VELDARO_EthernetPort* p = find(iscsi, &VELDARO_EthernetPort::DeviceID, "iSCSIP_CM02CA00P01");
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(p->Speed.value, 100000000u);  // link word 0x0A00
}

TEST_F(LivePortProviders, SessionsAndTheCountersTheArrayKeeps)
{
    Collected<VELDARO_iSCSISession> sessions;
    auto s = enumerate<VELDARO_iSCSISession_Provider>(sessions);
    ASSERT_EQ(s.size(), 2u);
    EXPECT_EQ(std::string(s[0]->InstanceID.value.c_str()),
              "VELDARO:iSS_iqn.example:h1,i,0x400001370000_0x0012_02_00_" + address_);
    EXPECT_EQ(s[0]->SessionType.value, 2);
    EXPECT_EQ(s[1]->SessionType.value, 3);

    // The second login has no counters (0x70): only it is left out.
    Collected<VELDARO_iSCSISessionStatistics> stats;
    auto st = enumerate<VELDARO_iSCSISessionStatistics_Provider>(stats);
    ASSERT_EQ(st.size(), 1u);
    EXPECT_STREQ(st[0]->iSCSIPortName.value.c_str(), "iqn.example:h1,i,0x400001370000_0x0012");
    EXPECT_GT(st[0]->CommandPDUsTransferred.value, 0u);
}

TEST_F(LivePortProviders, ConnectivityOfTheRemoteBoxes)
{
    Collected<VELDARO_ConnectivityCollection> out;
    auto c = enumerate<VELDARO_ConnectivityCollection_Provider>(out);
    ASSERT_EQ(c.size(), 2u);
    EXPECT_STREQ(c[0]->BoxID.value.c_str(), "00KESTRIS##VK200##4500001001############");
    EXPECT_EQ(c[0]->ConnectivityStatus.value, 4);  // 2 of 4 paths normal
    EXPECT_EQ(c[1]->ConnectivityStatus.value, 3);  // no paths
}

}  // namespace
