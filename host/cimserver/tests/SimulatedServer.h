// cimserver serving every array of a simulator scenario from a fresh
// install directory: the set-up most end-to-end tests share.
#ifndef HOST_CIMSERVER_TESTS_SIMULATED_SERVER_H
#define HOST_CIMSERVER_TESTS_SIMULATED_SERVER_H

#include "CimserverProcess.h"

#include <ArraysimProcess.hpp>
#include <TempInstallDir.h>

#include <string>
#include <vector>

namespace cimserver::test {

struct SimulatedServer {
    // extra: further cimserver arguments.
    explicit SimulatedServer(const std::string& scenario, const std::vector<std::string>& extra = {});

    testsupport::ArraysimProcess sim;
    smis::test::TempInstallDir install;
    CimserverProcess server;

private:
    // Writes the arrays into the install directory; its path.
    std::string prepared();
};

} // namespace cimserver::test

#endif
