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

// Writes the install directory's configuration for every array of the
// simulator (env_extra: further lines), and makes the arrays' command line
// reachable: the simulator's plink stand-in and a stored login per array.
void prepare_install_with_command_line(const testsupport::ArraysimProcess& sim,
                                       const smis::test::TempInstallDir& install,
                                       const std::vector<std::string>& env_extra = {});

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
