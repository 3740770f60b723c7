#pragma once
// The storage configuration service on the array simulator's "small"
// scenario: one simulator for the suite, reset before each test, with an
// install directory whose credentials and table cache point at array 0, and
// the service instance of that array.

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "ArraysimProcess.hpp"
#include "Instance_Provider_Frame.h"
#include "SMIS_CMTAccess.h"
#include "SMIS_Credkeep.h"
#include "SMIS_PollingService.h"
#include "TempInstallDir.h"
#include "VELDARO_StorageConfigurationService.h"

namespace smis::test {

class Service_On_Arraysim : public ::testing::Test {
protected:
    static void SetUpTestSuite() { sim_ = new testsupport::ArraysimProcess("small"); }
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
        dir_->writeEnv({"StorageIP=" + address_ + "," + std::to_string(sim_->port(0))});
        sim_->installPlink(dir_->path());
        cimple::SMIS_Credkeep keep;
        void* lock = keep.lockCredkeep();
        ASSERT_NE(lock, nullptr);
        ASSERT_EQ(keep.setCredkeep(cimple::SMIS_Credkeep::CREDKEEP_ADD, address_.c_str(), "admin", "admin"), 0);
        keep.unlockCredkeep(lock);
        refresh();
        service_ = cimple::Instance_Provider_Frame::newInstance<cimple::VELDARO_StorageConfigurationService>();
        service_->SystemName.set(cimple::String(address_.c_str()));
        service_->SystemCreationClassName.set("VELDARO_StorageComputerSystem");
        service_->CreationClassName.set("VELDARO_StorageConfigurationService");
        service_->Name.set("VELDARO:KESTRIS SMI-S Proxy Server");
    }

    void TearDown() override
    {
        if (service_)
            cimple::destroy(service_);
        cimple::SMIS_PollingService::destroy();
        cimple::SMIS_CMTAccess::destroy();
        dir_.reset();
    }

    // A fresh table cache read from the array.
    void refresh()
    {
        cimple::SMIS_CMTAccess::destroy();
        cimple::SMIS_CMTAccess* cache = cimple::SMIS_CMTAccess::getInstance();
        ASSERT_NE(cache, nullptr);
        cache->SetDeviceAvailable(address_.c_str(), 0);
        ASSERT_EQ(cimple::SMIS_PollingService::getInstance()->getConfigManagementInfo(address_.c_str(), 0), 0);
    }

    inline static testsupport::ArraysimProcess* sim_ = nullptr;
    std::string address_;
    std::unique_ptr<TempInstallDir> dir_;
    cimple::VELDARO_StorageConfigurationService* service_ = nullptr;
};

}  // namespace smis::test
