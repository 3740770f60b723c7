// End to end: a thin volume made or grown through cimserver's storage
// configuration service is in its pool in the method's own answer time, not
// at the next poll of the array's table.
#include "CimClient.h"
#include "CimserverProcess.h"

#include <ArraysimLogin.h>
#include <ArraysimProcess.hpp>
#include <TempInstallDir.h>

#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <sstream>
#include <thread>
#include <string>

namespace cimserver::test {
namespace {

std::string raw(pugi::xml_node node)
{
    std::ostringstream out;
    node.print(out, "", pugi::format_raw);
    return out.str();
}

TEST(ThinVolumeE2E, ANewOrGrownThinVolumeIsInItsPoolWhenTheMethodAnswers)
{
    testsupport::ArraysimProcess sim("small");
    smis::test::TempInstallDir install;
    const std::string address = sim.address(0);
    ASSERT_NO_FATAL_FAILURE(testsupport::connectFirstArray(sim, install));
    // The polling service's own refresh stays minutes away.
    CimserverProcess server(install.path(), {"--poll-interval", "3600"});
    CimserverProcess::wait_for_tables(install.path(), {address});
    // The first configuration poll ends with its own read of the allocation
    // records; the volume is made after it, so only the method's own read
    // can show it.
    const std::string log = install.path() + "/log/standard.log";
    auto polled = [&] {
        std::ifstream in(log);
        std::stringstream text;
        text << in.rdbuf();
        return text.str().find("_proc_ConfigManagementInfo end") != std::string::npos;
    };
    for (auto deadline = std::chrono::steady_clock::now() + std::chrono::minutes(2);
         !polled() && std::chrono::steady_clock::now() < deadline;)
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
    ASSERT_TRUE(polled()) << "no end of the first configuration poll in " << log;
    CimClient client(server.port());

    const std::string service = CimClient::configuration_service(address);
    const std::string pool = "<INSTANCENAME CLASSNAME=\"VELDARO_ThinProvisioningPool\">" +
                             CimClient::key("InstanceID", "VELDARO:TPP0000_" + address) + "</INSTANCENAME>";
    auto call = [&](const std::string& params) {
        CimReply r;
        client.call("CreateOrModifyElementFromStoragePool",
                    CimClient::method("CreateOrModifyElementFromStoragePool", service, params), r);
        return r;
    };
    // The pools the volume's AllocatedFromStoragePool references name, as
    // their InstanceIDs.
    auto pools_of = [&](pugi::xml_node volume) {
        CimReply r;
        client.call("ReferenceNames",
                    CimClient::imethod("ReferenceNames", "<IPARAMVALUE NAME=\"ObjectName\">" + raw(volume) +
                                                             "</IPARAMVALUE>" +
                                                             CimClient::class_param(
                                                                 "ResultClass", "VELDARO_AllocatedFromStoragePool")),
                    r);
        EXPECT_EQ(r.error_code, 0) << r.body;
        std::string ids;
        for (auto& k : r.doc.select_nodes("//KEYBINDING[@NAME='Antecedent']//KEYBINDING[@NAME='InstanceID']/KEYVALUE"))
            ids += std::string(k.node().text().get()) + " ";
        return ids;
    };

    CimReply made = call("<PARAMVALUE NAME=\"ElementName\" PARAMTYPE=\"string\"><VALUE>THINNOW</VALUE></PARAMVALUE>"
                         "<PARAMVALUE NAME=\"ElementType\" PARAMTYPE=\"uint16\"><VALUE>5</VALUE></PARAMVALUE>"
                         "<PARAMVALUE NAME=\"Size\" PARAMTYPE=\"uint64\"><VALUE>104857600</VALUE></PARAMVALUE>"
                         "<PARAMVALUE NAME=\"InPool\" PARAMTYPE=\"reference\"><VALUE.REFERENCE>" +
                         pool + "</VALUE.REFERENCE></PARAMVALUE>");
    ASSERT_EQ(made.http_status, 200) << made.body;
    ASSERT_NE(made.body.find("<RETURNVALUE PARAMTYPE=\"uint32\"><VALUE>0</VALUE>"), std::string::npos) << made.body;
    auto volume = made.doc.select_node("//PARAMVALUE[@NAME='TheElement']/VALUE.REFERENCE//INSTANCENAME");
    ASSERT_TRUE(volume) << made.body;
    EXPECT_EQ(pools_of(volume.node()), "VELDARO:TPP0000_" + address + " ");

    // Grown, it stays in its pool.
    CimReply grown = call("<PARAMVALUE NAME=\"ElementType\" PARAMTYPE=\"uint16\"><VALUE>5</VALUE></PARAMVALUE>"
                          "<PARAMVALUE NAME=\"Size\" PARAMTYPE=\"uint64\"><VALUE>2147483648</VALUE></PARAMVALUE>"
                          "<PARAMVALUE NAME=\"TheElement\" PARAMTYPE=\"reference\"><VALUE.REFERENCE>" +
                          raw(volume.node()) + "</VALUE.REFERENCE></PARAMVALUE>");
    ASSERT_NE(grown.body.find("<RETURNVALUE PARAMTYPE=\"uint32\"><VALUE>0</VALUE>"), std::string::npos) << grown.body;
    EXPECT_EQ(pools_of(volume.node()), "VELDARO:TPP0000_" + address + " ");
    EXPECT_EQ(server.stop(), 0) << server.output();
}

}  // namespace
}  // namespace cimserver::test
