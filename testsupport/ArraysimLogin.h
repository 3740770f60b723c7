#pragma once
// Makes arrays of a running simulator the configured arrays of a test's
// install directory, as a user sets them up: the array in the env file, the
// simulator's plink as the SSH client and the simulator's login stored in
// the credential store. Failures are test failures; callers wrap the calls
// in ASSERT_NO_FATAL_FAILURE.
//
//   ASSERT_NO_FATAL_FAILURE(testsupport::connectFirstArray(sim, install));

#include <string>

#include "ArraysimProcess.hpp"
#include "TempInstallDir.h"

namespace testsupport {

// Stores the simulator's login ("admin"/"admin") for address in the
// credential store of the install directory in use.
void storeArraysimLogin(const std::string& address);

// The simulator's first array as the one configured array of dir: its
// address and port in the env file, plink in dir/bin, its login stored.
void connectFirstArray(const ArraysimProcess& sim, const smis::test::TempInstallDir& dir);

}  // namespace testsupport
