#pragma once
// End-to-end tests that drive provider objects directly against the array
// simulator: connectSimulatedArrays makes the first arrays of a running
// simulator the configured arrays of a test's install directory, with their
// command-line login stored and plink in place, and loads each array's table
// and copy sessions into a fresh cache, as the polling service would.
// Simulated_Arrays_Test runs one simulator for a test suite and gives each
// test a reset simulator and such an install directory, with the first
// array's address in address_:
//
//   struct Small { static constexpr const char* scenario = "small";
//                  static constexpr std::size_t arrays = 1;
//                  static std::vector<std::string> arguments() { return {}; } };
//   class MyTest : public smis::test::Simulated_Arrays_Test<Small> {};

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "ArraysimLogin.h"
#include "ArraysimProcess.hpp"
#include "Instance_Provider_Frame.h"
#include "SMIS_CMTAccess.h"
#include "SMIS_PollingService.h"
#include "TempInstallDir.h"

namespace smis::test {

inline void connectSimulatedArrays(const testsupport::ArraysimProcess& sim, TempInstallDir& dir, std::size_t count)
{
    std::vector<std::string> env;
    for (std::size_t i = 0; i < count; ++i)
        env.push_back("StorageIP=" + sim.address(i) + "," + std::to_string(sim.port(i)));
    dir.writeEnv(env);
    sim.installPlink(dir.path());
    for (std::size_t i = 0; i < count; ++i)
        ASSERT_NO_FATAL_FAILURE(testsupport::storeArraysimLogin(sim.address(i)));
    cimple::SMIS_CMTAccess::destroy();
    cimple::SMIS_CMTAccess* cache = cimple::SMIS_CMTAccess::getInstance();
    ASSERT_NE(cache, nullptr);
    for (std::size_t i = 0; i < count; ++i) {
        const std::string address = sim.address(i);
        cache->SetDeviceAvailable(address.c_str(), 0);
        ASSERT_EQ(cimple::SMIS_PollingService::getInstance()->getConfigManagementInfo(address.c_str(), 0), 0);
        ASSERT_EQ(cimple::SMIS_PollingService::getInstance()->getCopySessionInfo(address.c_str()), 0);
    }
}

template <class Scenario>
class Simulated_Arrays_Test : public ::testing::Test {
protected:
    static void SetUpTestSuite() { sim_ = new testsupport::ArraysimProcess(Scenario::scenario, Scenario::arguments()); }
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
        ASSERT_TRUE(sim_->reset());
        sim_->control({{"op", "cli_clear_log"}});
        address_ = sim_->address(0);
        dir_ = std::make_unique<TempInstallDir>();
        connectSimulatedArrays(*sim_, *dir_, Scenario::arrays);
    }

    void TearDown() override
    {
        cimple::SMIS_PollingService::destroy();
        cimple::SMIS_CMTAccess::destroy();
        dir_.reset();
    }

    // A new instance of a service class of the first array (its SystemName
    // set); the caller destroys it.
    template <class Service>
    Service* newService() const
    {
        Service* service = cimple::Instance_Provider_Frame::newInstance<Service>();
        service->SystemName.set(address_.c_str());
        return service;
    }

    static inline testsupport::ArraysimProcess* sim_ = nullptr;
    std::unique_ptr<TempInstallDir> dir_;
    std::string address_;  // the first array's
};

}  // namespace smis::test
