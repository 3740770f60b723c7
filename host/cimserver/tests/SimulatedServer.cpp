#include "SimulatedServer.h"

namespace cimserver::test {

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
