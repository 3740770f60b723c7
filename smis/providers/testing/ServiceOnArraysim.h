#pragma once
// The storage configuration service on the array simulator's "small"
// scenario: one simulator for the suite, reset before each test, with an
// install directory whose credentials and table cache point at array 0, and
// the service instance of that array.

#include <string>
#include <vector>

#include "Instance_Provider_Frame.h"
#include "SimulatedArrays.h"
#include "VELDARO_StorageConfigurationService.h"

namespace smis::test {

struct Small_Scenario {
    static constexpr const char* scenario = "small";
    static constexpr std::size_t arrays = 1;
    static std::vector<std::string> arguments() { return {}; }
};

class Service_On_Arraysim : public Simulated_Arrays_Test<Small_Scenario> {
protected:
    void SetUp() override
    {
        Simulated_Arrays_Test::SetUp();
        if (HasFatalFailure())
            return;
        service_ = newService<cimple::VELDARO_StorageConfigurationService>();
        service_->SystemCreationClassName.set("VELDARO_StorageComputerSystem");
        service_->CreationClassName.set("VELDARO_StorageConfigurationService");
        service_->Name.set("VELDARO:KESTRIS SMI-S Proxy Server");
    }

    void TearDown() override
    {
        if (service_)
            cimple::destroy(service_);
        service_ = nullptr;
        Simulated_Arrays_Test::TearDown();
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

    cimple::VELDARO_StorageConfigurationService* service_ = nullptr;
};

}  // namespace smis::test
