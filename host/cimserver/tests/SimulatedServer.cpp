#include "SimulatedServer.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

namespace cimserver::test {

void prepare_install_with_command_line(const testsupport::ArraysimProcess& sim,
                                       const smis::test::TempInstallDir& install,
                                       const std::vector<std::string>& env_extra)
{
    std::vector<std::string> env = env_extra;
    for (std::size_t i = 0; i < sim.arrayCount(); ++i)
        env.push_back("StorageIP=" + sim.address(i) + "," + std::to_string(sim.port(i)));
    install.writeEnv(env);
    sim.installPlink(install.path());
    const std::string credkeep =
        std::filesystem::path(testsupport::ArraysimProcess::binaryPath()).parent_path().string() + "/credkeep";
    for (const std::string& address : sim.addresses())
        EXPECT_EQ(std::system((credkeep + " -a " + address + " -u admin -w admin >/dev/null").c_str()), 0);
}

SimulatedServer::SimulatedServer(const std::string& scenario, const std::vector<std::string>& extra)
    : sim(scenario), server(prepared(), extra)
{
}

std::string SimulatedServer::prepared()
{
    std::vector<std::string> env;
    for (size_t i = 0; i < sim.arrayCount(); i++)
        env.push_back("StorageIP=" + sim.address(i) + "," + std::to_string(sim.port(i)));
    install.writeEnv(env);
    return install.path();
}

} // namespace cimserver::test
