// End to end: a copy made through cimserver's replication service on the
// simulated two-array "coverage" scenario is listed by wbemcli and by the
// service's GetReplicationRelationships, and reaches
// an indication listener as a creation, and its progress as a modification
// whose previous instance shows the state before.
#include "CimClient.h"
#include "CimserverProcess.h"
#include "IndicationListener.h"
#include "SimulatedServer.h"

#include <ArraysimProcess.hpp>
#include <TempInstallDir.h>

#include <gtest/gtest.h>
#include <httplib.h>

#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <filesystem>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace cimserver::test {
namespace {

std::string volumeName(const std::string& address, const std::string& deviceId)
{
    return "<INSTANCENAME CLASSNAME=\"VELDARO_StorageVolume\">" + CimClient::key("CreationClassName", "VELDARO_StorageVolume") +
           CimClient::key("DeviceID", deviceId) + CimClient::key("SystemCreationClassName", "VELDARO_StorageComputerSystem") +
           CimClient::key("SystemName", address) + "</INSTANCENAME>";
}

std::string serviceName(const std::string& address)
{
    return "<INSTANCENAME CLASSNAME=\"VELDARO_ReplicationService\">" +
           CimClient::key("CreationClassName", "VELDARO_ReplicationService") +
           CimClient::key("Name", "VELDARO:KESTRIS SMI-S Proxy Server") +
           CimClient::key("SystemCreationClassName", "VELDARO_StorageComputerSystem") + CimClient::key("SystemName", address) +
           "</INSTANCENAME>";
}

// The text between the first occurrence of from and the next of to.
std::string between(const std::string& text, const std::string& from, const std::string& to)
{
    const std::size_t a = text.find(from);
    if (a == std::string::npos)
        return "";
    const std::size_t b = text.find(to, a + from.size());
    return text.substr(a, b == std::string::npos ? std::string::npos : b - a);
}

TEST(ReplicationE2E, MirrorMadeThroughTheServerIsListedAndItsProgressIndicated)
{
    testsupport::ArraysimProcess sim("coverage", {"--distinct-addresses"});
    smis::test::TempInstallDir install;
    prepare_install_with_command_line(sim, install);
    IndicationListener listener;
    CimserverProcess server(install.path(), {"--listener", listener.url(), "--poll-interval", "1"});
    CimserverProcess::wait_for_tables(install.path(), sim.addresses(), {".cmf", ".cps"});
    const std::string a0 = sim.address(0);

    // A local mirror from volume 14 to volume 15, made with raw CIM-XML (its
    // parameters are references).
    CimClient client(server.port());
    CimReply made;
    const std::string params =
        "<PARAMVALUE NAME=\"SyncType\" PARAMTYPE=\"uint16\"><VALUE>6</VALUE></PARAMVALUE>"
        "<PARAMVALUE NAME=\"SourceElement\" PARAMTYPE=\"reference\"><VALUE.REFERENCE>" +
        volumeName(a0, "VOL00014") +
        "</VALUE.REFERENCE></PARAMVALUE>"
        "<PARAMVALUE NAME=\"TargetElement\" PARAMTYPE=\"reference\"><VALUE.REFERENCE>" +
        volumeName(a0, "VOL00015") + "</VALUE.REFERENCE></PARAMVALUE>";
    client.call("CreateElementReplica", CimClient::method("CreateElementReplica", serviceName(a0), params), made);
    ASSERT_EQ(made.http_status, 200) << made.body;
    ASSERT_NE(made.body.find("<RETURNVALUE PARAMTYPE=\"uint32\"><VALUE>0</VALUE>"), std::string::npos) << made.body;
    EXPECT_NE(made.body.find("VOL00015"), std::string::npos) << made.body;

    // wbemcli lists it among the copies of the array, and the snapshot
    // filter leaves it out.
    CommandResult names = CimserverProcess::wbemcli({"-nl", "ein", server.url(":VELDARO_StorageSynchronized")});
    ASSERT_EQ(names.status, 0) << names.err;
    EXPECT_NE(names.out.find("VOL00015"), std::string::npos) << names.out;
    // The relationships come back as a reference array, which wbemcli
    // cannot print: the project's own client reads them.
    auto relationships = [&](int sync_type) {
        CimReply r;
        client.call("GetReplicationRelationships",
                    CimClient::method("GetReplicationRelationships", serviceName(a0),
                                      "<PARAMVALUE NAME=\"SyncType\" PARAMTYPE=\"uint16\"><VALUE>" +
                                          std::to_string(sync_type) + "</VALUE></PARAMVALUE>"),
                    r);
        EXPECT_EQ(r.http_status, 200) << r.body;
        EXPECT_EQ(r.error_code, 0) << r.body;
        return r.body;
    };
    const std::string mirrors = relationships(6);
    EXPECT_NE(mirrors.find("<PARAMVALUE NAME=\"Synchronizations\" PARAMTYPE=\"reference\"><VALUE.REFARRAY>"),
              std::string::npos)
        << mirrors;
    EXPECT_NE(mirrors.find("VOL00015"), std::string::npos) << mirrors;
    EXPECT_EQ(relationships(7).find("VOL00015"), std::string::npos);

    // The listener hears of the new copy ...
    const std::string created = listener.waitFor(
        {"CIM_InstCreation", "VELDARO_StorageSynchronized", "VOL00015"}, std::chrono::seconds(20));
    EXPECT_FALSE(created.empty()) << server.output();

    // ... and of its end of copying: CopyState 4 now, 3 before.
    ASSERT_TRUE(sim.control({{"op", "advance_copy"}, {"array", 0}, {"percent", 100}})["ok"]);
    const std::string copyState = "CopyState&quot; TYPE=&quot;uint16&quot;&gt;&lt;VALUE&gt;";
    const std::string modified =
        listener.waitFor({"CIM_InstModification", "VELDARO_StorageSynchronized", "VOL00015", copyState + "4&lt;"},
                         std::chrono::seconds(20));
    ASSERT_FALSE(modified.empty()) << server.output();
    const std::string source = between(modified, "NAME=\"SourceInstance\"", "</PROPERTY>");
    const std::string previous = between(modified, "NAME=\"PreviousInstance\"", "</PROPERTY>");
    EXPECT_NE(source.find(copyState + "4&lt;"), std::string::npos) << modified;
    EXPECT_NE(previous.find(copyState + "3&lt;"), std::string::npos) << modified;
    EXPECT_NE(previous.find("VOL00015"), std::string::npos) << modified;
    EXPECT_EQ(server.stop(), 0) << server.output();
}

}  // namespace
}  // namespace cimserver::test
