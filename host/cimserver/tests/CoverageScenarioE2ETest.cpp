// What a client sees of the `coverage` scenario through cimserver: the
// controller modules of both arrays as systems, related to their arrays,
// and a volume created on the first array through the configuration
// service (the array's first free volume number is a free slot).
#include "CimClient.h"
#include "CimserverProcess.h"

#include <ArraysimLogin.h>
#include <ArraysimProcess.hpp>
#include <TempInstallDir.h>

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <memory>
#include <thread>

namespace cimserver::test {
namespace {

std::string key(const char* name, const std::string& value)
{
    return std::string("<KEYBINDING NAME=\"") + name + "\"><KEYVALUE VALUETYPE=\"string\">" + value +
           "</KEYVALUE></KEYBINDING>";
}

TEST(CoverageScenarioE2E, ControllersAreServedAndRelatedAndAVolumeIsCreatedOnTheFirstArray)
{
    // Each array at an address of its own, as the system tells arrays apart.
    testsupport::ArraysimProcess sim("coverage", {"--distinct-addresses"});
    smis::test::TempInstallDir install;
    std::vector<std::string> env;
    for (size_t i = 0; i < sim.arrayCount(); i++)
        env.push_back("StorageIP=" + sim.address(i) + "," + std::to_string(sim.port(i)));
    install.writeEnv(env);
    sim.installPlink(install.path());
    const std::string first = sim.address(0);
    ASSERT_NO_FATAL_FAILURE(testsupport::storeArraysimLogin(first));
    CimserverProcess server(install.path());
    CimserverProcess::wait_for_tables(install.path(), sim.addresses(), {".cmf"});

    // Every controller module of every array, by its slot number.
    CommandResult cms = CimserverProcess::wbemcli({"ein", server.url(":VELDARO_ControllerComputerSystem")});
    ASSERT_EQ(cms.status, 0) << cms.err;
    size_t expected = 0;
    for (size_t i = 0; i < sim.arrayCount(); i++) {
        const auto model = sim.model(i);
        expected += model["cms"].size();
        for (size_t m = 0; m < model["cms"].size(); m++) {
            char name[32];
            std::snprintf(name, sizeof name, "_CM%02zu", m);
            EXPECT_NE(cms.out.find(sim.address(i) + name), std::string::npos) << cms.out;
        }
    }
    size_t lines = 0;
    for (char c : cms.out)
        lines += c == '\n';
    EXPECT_EQ(lines, expected) << cms.out;
    ASSERT_GT(expected, 0u);

    // Each of them is a component of its array's system.
    CimClient client(server.port());
    CimReply related;
    client.call("EnumerateInstanceNames",
                CimClient::imethod("EnumerateInstanceNames", CimClient::class_param("ClassName", "CIM_ComponentCS")),
                related);
    ASSERT_EQ(related.error_code, 0) << related.body;
    size_t controllers = 0;
    for (auto n : related.all("INSTANCENAME"))
        controllers += std::string(n.attribute("CLASSNAME").value()) == "VELDARO_ControllerComputerSystem";
    EXPECT_EQ(controllers, expected) << related.body;

    // A volume on the first array's first RAID group.
    const std::string service = "<INSTANCENAME CLASSNAME=\"VELDARO_StorageConfigurationService\">" +
                                key("CreationClassName", "VELDARO_StorageConfigurationService") +
                                key("Name", "VELDARO:KESTRIS SMI-S Proxy Server") +
                                key("SystemCreationClassName", "VELDARO_StorageComputerSystem") +
                                key("SystemName", first) + "</INSTANCENAME>";
    const std::string pool = "<VALUE.REFERENCE><INSTANCENAME CLASSNAME=\"VELDARO_RAIDStoragePool\">" +
                             key("InstanceID", "VELDARO:RSP0000_" + first) + "</INSTANCENAME></VALUE.REFERENCE>";
    CimReply made;
    client.call("CreateOrModifyElementFromStoragePool",
                CimClient::method("CreateOrModifyElementFromStoragePool", service,
                                  "<PARAMVALUE NAME=\"ElementName\"><VALUE>COVVOL</VALUE></PARAMVALUE>"
                                  "<PARAMVALUE NAME=\"ElementType\"><VALUE>2</VALUE></PARAMVALUE>"
                                  "<PARAMVALUE NAME=\"Size\"><VALUE>104857600</VALUE></PARAMVALUE>"
                                  "<PARAMVALUE NAME=\"InPool\">" + pool + "</PARAMVALUE>"),
                made);
    ASSERT_EQ(made.error_code, 0) << made.body;
    auto rv = made.doc.select_node("//RETURNVALUE/VALUE").node();
    EXPECT_STREQ(rv.text().get(), "0") << made.body;
    bool created = false;
    const auto after = sim.model(0);
    for (const auto& v : after["volumes"])
        created = created || (v.value("name", "") == "COVVOL" && (v.value("status", 0) & 0xFF) != 6);
    EXPECT_TRUE(created) << made.body;
    EXPECT_EQ(server.stop(), 0) << server.output();
}

} // namespace
} // namespace cimserver::test
