#pragma once
// Makes the first arrays of a running simulator the configured arrays of a
// test's install directory, with their command-line login stored and plink
// in place, and loads each array's table and copy sessions into a fresh
// cache, as the polling service would. For end-to-end tests that drive
// provider objects directly.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ArraysimProcess.hpp"
#include "SMIS_CMTAccess.h"
#include "SMIS_Credkeep.h"
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
    cimple::SMIS_Credkeep keep;
    void* lock = keep.lockCredkeep();
    ASSERT_NE(lock, nullptr);
    for (std::size_t i = 0; i < count; ++i)
        ASSERT_EQ(keep.setCredkeep(cimple::SMIS_Credkeep::CREDKEEP_ADD, sim.address(i).c_str(), "admin", "admin"), 0);
    keep.unlockCredkeep(lock);
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

}  // namespace smis::test
