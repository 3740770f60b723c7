#include "ArraysimLogin.h"

#include <gtest/gtest.h>

#include "SMIS_Credkeep.h"

namespace testsupport {

void storeArraysimLogin(const std::string& address)
{
    cimple::SMIS_Credkeep keep;
    void* lock = keep.lockCredkeep();
    ASSERT_NE(lock, nullptr);
    ASSERT_EQ(keep.setCredkeep(cimple::SMIS_Credkeep::CREDKEEP_ADD, address.c_str(), "admin", "admin"), 0);
    keep.unlockCredkeep(lock);
}

void connectFirstArray(const ArraysimProcess& sim, const smis::test::TempInstallDir& dir)
{
    dir.writeEnv({"StorageIP=" + sim.address(0) + "," + std::to_string(sim.port(0))});
    sim.installPlink(dir.path());
    storeArraysimLogin(sim.address(0));
}

}  // namespace testsupport
