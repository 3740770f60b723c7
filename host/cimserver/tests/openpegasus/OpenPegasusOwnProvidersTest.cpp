// OpenPegasus started as the tests and scripts/run-openpegasus.sh start it,
// the module's folder among its provider folders, keeps serving its own
// providers: the Server profile's hosting system is reachable from the
// interop name space.
#include "CimClient.h"
#include "OpenPegasusServer.h"

#include <TempInstallDir.h>

#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace cimserver::test {
namespace {

std::vector<std::string> names(const CimReply& reply, const char* element)
{
    std::vector<std::string> out;
    for (pugi::xml_node n : reply.all(element))
        out.push_back(CimClient::raw(n));
    return out;
}

TEST(OpenPegasusOwnProviders, TheObjectManagersHostingSystemAnswersBesideTheModule)
{
    smis::test::TempInstallDir install;
    install.writeEnv({});
    std::unique_ptr<OpenPegasusServer> pegasus;
    try {
        pegasus = std::make_unique<OpenPegasusServer>(install.path());
    } catch (const std::exception& e) {
        FAIL() << e.what();
    }
    CimClient client(pegasus->port());

    CimReply systems;
    client.call("EnumerateInstanceNames",
                CimClient::imethod("EnumerateInstanceNames", CimClient::class_param("ClassName", "PG_ComputerSystem"),
                                   "interop"),
                systems);
    EXPECT_EQ(systems.error_code, 0) << systems.body << pegasus->output();
    EXPECT_EQ(names(systems, "INSTANCENAME").size(), 1u) << systems.body;

    CimReply managers;
    client.call("EnumerateInstanceNames",
                CimClient::imethod("EnumerateInstanceNames", CimClient::class_param("ClassName", "CIM_ObjectManager"),
                                   "interop"),
                managers);
    ASSERT_EQ(managers.error_code, 0) << managers.body;
    const std::vector<std::string> manager = names(managers, "INSTANCENAME");
    ASSERT_EQ(manager.size(), 1u) << managers.body;

    CimReply hosting;
    client.call("AssociatorNames",
                CimClient::imethod("AssociatorNames",
                                   "<IPARAMVALUE NAME=\"ObjectName\">" + manager[0] + "</IPARAMVALUE>" +
                                       CimClient::class_param("AssocClass", "CIM_HostedService") +
                                       CimClient::class_param("ResultClass", "CIM_ComputerSystem"),
                                   "interop"),
                hosting);
    EXPECT_EQ(hosting.error_code, 0) << hosting.body << pegasus->output();
    const std::vector<std::string> system = names(hosting, "INSTANCENAME");
    ASSERT_EQ(system.size(), 1u) << hosting.body;
    EXPECT_NE(system[0].find("PG_ComputerSystem"), std::string::npos) << system[0];

    EXPECT_EQ(pegasus->stop(), 0) << pegasus->output();
}

} // namespace
} // namespace cimserver::test
