// End to end: the masking view a client walks through cimserver with
// wbemcli on the simulated "masking" array, before and after ExposePaths
// (whose answer names the view) and HidePaths.
#include "CimClient.h"
#include "CimserverProcess.h"

#include <ArraysimLogin.h>
#include <ArraysimProcess.hpp>
#include <TempInstallDir.h>

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <sstream>
#include <thread>

namespace cimserver::test {
namespace {

constexpr const char* HOST = "1000000000000A01";
constexpr const char* TARGET_PORT = "500000E0D0000100";
constexpr const char* VIEW = "AFG0000_CM00CA00P00";

std::string key(const char* name, const std::string& value)
{
    return std::string("<KEYBINDING NAME=\"") + name + "\"><KEYVALUE VALUETYPE=\"string\">" + value +
           "</KEYVALUE></KEYBINDING>";
}

class MaskingViewE2E : public ::testing::Test {
protected:
    void SetUp() override
    {
        sim = std::make_unique<testsupport::ArraysimProcess>("masking");
        install = std::make_unique<smis::test::TempInstallDir>();
        address = sim->address(0);
        ASSERT_NO_FATAL_FAILURE(testsupport::connectFirstArray(*sim, *install));
        server = std::make_unique<CimserverProcess>(install->path());
        CimserverProcess::wait_for_tables(install->path(), {address});
    }
    void TearDown() override
    {
        EXPECT_EQ(server->stop(), 0) << server->output();
        server.reset();
        install.reset();
        sim.reset();
    }

    // wbemcli's answer, which must succeed.
    std::string wbemcli(const std::vector<std::string>& args)
    {
        CommandResult r = CimserverProcess::wbemcli(args);
        EXPECT_EQ(r.status, 0) << args[0] << " " << args.back() << "\n" << r.err;
        return r.out;
    }

    std::string ei(const std::string& cls) { return wbemcli({"-nl", "ei", server->url(":" + cls)}); }

    // The object path of an element of the array for wbemcli.
    std::string path(const std::string& cls, const std::string& deviceID)
    {
        return server->url(":" + cls + ".CreationClassName=\"" + cls + "\",DeviceID=\"" + deviceID +
                           "\",SystemCreationClassName=\"VELDARO_StorageComputerSystem\",SystemName=\"" + address +
                           "\"");
    }

    // Associator names of an element through one association.
    std::string ain(const std::string& object, const std::string& association)
    {
        return wbemcli({"ain", "-ac", association, object});
    }

    // The INSTANCENAME of the array's controller configuration service.
    std::string service()
    {
        CimClient client(server->port());
        CimReply r;
        client.call("EnumerateInstanceNames",
                    CimClient::imethod("EnumerateInstanceNames",
                                       CimClient::class_param("ClassName", "VELDARO_ControllerConfigurationService")),
                    r);
        auto names = r.all("INSTANCENAME");
        if (names.empty())
            return "";
        std::ostringstream out;
        names.front().print(out, "", pugi::format_raw);
        return out.str();
    }

    // The Name of the volume with that DeviceID.
    std::string volumeName(const std::string& deviceID)
    {
        CimClient client(server->port());
        return volume_name(client, deviceID);
    }

    static std::string strings(const char* name, std::initializer_list<std::string> values)
    {
        std::string out = std::string("<PARAMVALUE NAME=\"") + name + "\"><VALUE.ARRAY>";
        for (const std::string& v : values)
            out += "<VALUE>" + v + "</VALUE>";
        return out + "</VALUE.ARRAY></PARAMVALUE>";
    }

    // A method of the service; its return value (and its whole answer in
    // reply, when given).
    std::string invoke(const std::string& method, const std::string& params, CimReply* reply = nullptr)
    {
        CimClient client(server->port());
        CimReply own;
        CimReply& r = reply ? *reply : own;
        client.call(method, CimClient::method(method, service(), params), r);
        EXPECT_EQ(r.error_code, 0) << r.body;
        auto rv = r.all("RETURNVALUE");
        return rv.empty() ? "" : rv.front().child("VALUE").text().as_string();
    }

    // ReturnToStoragePool of a volume: its return value, with the answer
    // when it is none.
    std::string returnToPool(const std::string& deviceID)
    {
        const std::string element =
            "<PARAMVALUE NAME=\"TheElement\" PARAMTYPE=\"reference\"><VALUE.REFERENCE>"
            "<INSTANCENAME CLASSNAME=\"VELDARO_StorageVolume\">" +
            key("CreationClassName", "VELDARO_StorageVolume") + key("DeviceID", deviceID) +
            key("SystemCreationClassName", "VELDARO_StorageComputerSystem") + key("SystemName", address) +
            "</INSTANCENAME></VALUE.REFERENCE></PARAMVALUE>";
        CimClient client(server->port());
        const std::vector<std::string> services = instance_names(client, "VELDARO_StorageConfigurationService");
        if (services.size() != 1)
            return "no storage configuration service";
        CimReply returned;
        client.call("ReturnToStoragePool", CimClient::method("ReturnToStoragePool", services.front(), element),
                    returned);
        auto rv = returned.all("RETURNVALUE");
        return rv.empty() ? returned.body : rv.front().child("VALUE").text().as_string();
    }

    // The ProtocolControllers parameter naming the view.
    std::string viewParam() const
    {
        return "<PARAMVALUE NAME=\"ProtocolControllers\"><VALUE.REFARRAY><VALUE.REFERENCE>"
               "<INSTANCENAME CLASSNAME=\"VELDARO_AffinityGroupController\">" +
               key("CreationClassName", "VELDARO_AffinityGroupController") + key("DeviceID", VIEW) +
               key("SystemCreationClassName", "VELDARO_StorageComputerSystem") + key("SystemName", address) +
               "</INSTANCENAME></VALUE.REFERENCE></VALUE.REFARRAY></PARAMVALUE>";
    }

    // Everything the cimserver logged so far.
    std::string logText() const
    {
        std::string text;
        for (const auto& file : std::filesystem::directory_iterator(install->path() + "/log")) {
            std::ifstream in(file.path());
            text.append(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        }
        return text;
    }

    std::unique_ptr<testsupport::ArraysimProcess> sim;
    std::unique_ptr<smis::test::TempInstallDir> install;
    std::unique_ptr<CimserverProcess> server;
    std::string address;
};

TEST_F(MaskingViewE2E, ExposedPathsFormTheViewAndHiddenOnesLeaveIt)
{
    // The standard classes answer as a whole.
    EXPECT_NE(ei("CIM_StorageHardwareID").find(std::string("VELDARO:SHI") + HOST), std::string::npos);
    EXPECT_NE(ei("CIM_StorageHardwareID").find("VELDARO:DSHI_" + address), std::string::npos);
    EXPECT_NE(ei("CIM_AuthorizedPrivilege").find("VELDARO:DAP_CM00CA00P01_" + address), std::string::npos);

    const std::string volume = volumeName("VOL00000");
    ASSERT_FALSE(volume.empty());
    CimReply exposed;
    ASSERT_EQ(invoke("ExposePaths",
                     strings("LUNames", {volume}) + strings("InitiatorPortIDs", {HOST}) +
                         strings("TargetPortIDs", {TARGET_PORT}) + strings("DeviceNumbers", {"00A"}) +
                         strings("DeviceAccesses", {"2"}),
                     &exposed),
              "0");
    // The view comes back as a reference array whose one reference a
    // client can read the view through.
    auto views = exposed.doc.select_nodes(
        "//PARAMVALUE[@NAME='ProtocolControllers']/VALUE.REFARRAY/VALUE.REFERENCE/INSTANCEPATH/INSTANCENAME");
    ASSERT_EQ(views.size(), 1u) << exposed.body;
    {
        std::ostringstream name;
        views[0].node().print(name, "", pugi::format_raw);
        CimClient client(server->port());
        CimReply got;
        client.call("GetInstance",
                    CimClient::imethod("GetInstance", "<IPARAMVALUE NAME=\"InstanceName\">" + name.str() +
                                                          "</IPARAMVALUE>"),
                    got);
        auto id = got.doc.select_node("//INSTANCE/PROPERTY[@NAME='DeviceID']/VALUE");
        ASSERT_TRUE(id) << got.body;
        EXPECT_STREQ(id.node().text().get(), VIEW);
    }

    const std::string controller = path("VELDARO_AffinityGroupController", VIEW);
    EXPECT_NE(ain(controller, "CIM_ProtocolControllerForUnit").find("VOL00000"), std::string::npos);
    const std::string units = ei("CIM_ProtocolControllerForUnit");
    EXPECT_NE(units.find(VIEW), std::string::npos) << units;
    EXPECT_NE(units.find("DeviceNumber=\"000A\""), std::string::npos) << units;
    EXPECT_NE(units.find("DeviceAccess=2"), std::string::npos) << units;
    EXPECT_NE(ain(path("VELDARO_StorageVolume", "VOL00000"), "CIM_ProtocolControllerForUnit").find(VIEW),
              std::string::npos);
    EXPECT_NE(ain(controller, "CIM_ProtocolControllerForPort").find("VELDARO_FCPort"), std::string::npos);

    const std::string privilege = std::string("VELDARO:AP0000_") + HOST + "CM00CA00P00_" + address;
    EXPECT_NE(ain(controller, "CIM_AuthorizedTarget").find(privilege), std::string::npos);
    const std::string subjects = ei("CIM_AuthorizedSubject");
    EXPECT_NE(subjects.find(privilege), std::string::npos) << subjects;
    EXPECT_NE(subjects.find(std::string("VELDARO:SHI") + HOST), std::string::npos) << subjects;
    EXPECT_NE(ei("CIM_AuthorizedPrivilege").find(privilege), std::string::npos);

    ASSERT_EQ(invoke("HidePaths", strings("LUNames", {volume}) + viewParam()), "0");
    EXPECT_EQ(ei("CIM_ProtocolControllerForUnit").find(VIEW), std::string::npos);
    EXPECT_EQ(ei("CIM_AuthorizedTarget").find(privilege), std::string::npos);
    EXPECT_EQ(ei("CIM_AuthorizedSubject").find(privilege), std::string::npos);
    EXPECT_EQ(ei("CIM_AuthorizedPrivilege").find(privilege), std::string::npos);
}

// An exposure the array refuses part way, or a request naming one initiator
// twice, leaves nothing on the array: what the call made is taken back, and
// the volume can still be returned to its pool.
TEST_F(MaskingViewE2E, AFailedExposureLeavesNothingBehind)
{
    const std::string volume = volumeName("VOL00001");
    ASSERT_FALSE(volume.empty());
    const nlohmann::json before = sim->model(0);
    struct Case {
        const char* name;
        std::vector<std::string> initiators;
        nlohmann::json cliFault;  // null: none
    };
    const Case cases[] = {
        {"one initiator twice", {"2000000000000B08", "2000000000000b08"}, nullptr},
        // The group refused (table full): the host registered before it goes.
        {"group refused",
         {"2000000000000B08"},
         {{"op", "cli_fault"}, {"array", 0}, {"command", "create affinity-group"}, {"status", 2}, {"message", 0x80}}},
        // Busy on every try of the third command (after the host and the
        // group were made).
        {"busy host affinity",
         {"2000000000000B08"},
         {{"op", "cli_fault"}, {"array", 0}, {"command", "set host-affinity"}, {"busy", 100}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(sim->control({{"op", "cli_clear_log"}})["ok"]);
        if (!c.cliFault.is_null()) {
            ASSERT_TRUE(sim->control(c.cliFault)["ok"]);
        }
        std::string ids = "<PARAMVALUE NAME=\"InitiatorPortIDs\"><VALUE.ARRAY>";
        for (const std::string& i : c.initiators)
            ids += "<VALUE>" + i + "</VALUE>";
        ids += "</VALUE.ARRAY></PARAMVALUE>";
        EXPECT_NE(invoke("ExposePaths", strings("LUNames", {volume}) + ids + strings("TargetPortIDs", {TARGET_PORT}) +
                                            strings("DeviceNumbers", {"001"}) + strings("DeviceAccesses", {"2"})),
                  "0");
        ASSERT_TRUE(sim->control({{"op", "cli_clear_faults"}, {"array", 0}})["ok"]);
        const nlohmann::json lines = sim->control({{"op", "cli_log"}, {"array", 0}})["lines"];
        // Every object a command made was deleted again.
        int made = 0;
        for (const auto& line : lines) {
            const std::string text = line.value("line", "");
            if (line.value("status", 1) != 0)
                continue;
            if (text.rfind("create ", 0) == 0)
                ++made;
            if (text.rfind("delete ", 0) == 0)
                --made;
        }
        EXPECT_EQ(made, 0) << lines.dump();
        const nlohmann::json after = sim->model(0);
        EXPECT_EQ(after.value("affinity_groups", nlohmann::json::array()),
                  before.value("affinity_groups", nlohmann::json::array()));
        EXPECT_EQ(after["hosts"], before["hosts"]);
    }
    EXPECT_EQ(returnToPool("VOL00001"), "0");
}


// A change of an existing view that the array refuses part way leaves the
// view as it was: the host affinities the call set, the LUNs it added to the
// view's group and the hosts it registered are taken back, and the answer is
// the failure; a failed HidePaths sets again the host affinities it
// released. When an undo command fails in turn, the answer is still the
// failure and a SEVERE record names what stays.
TEST_F(MaskingViewE2E, AFailedChangeOfAViewLeavesItAsItWas)
{
    const std::string first = volumeName("VOL00000");
    const std::string second = volumeName("VOL00001");
    ASSERT_FALSE(first.empty());
    ASSERT_FALSE(second.empty());
    ASSERT_EQ(invoke("ExposePaths", strings("LUNames", {first}) + strings("InitiatorPortIDs", {HOST}) +
                                        strings("TargetPortIDs", {TARGET_PORT}) + strings("DeviceNumbers", {"00A"}) +
                                        strings("DeviceAccesses", {"2"})),
              "0");
    const nlohmann::json before = sim->model(0);
    const std::string lunAndHost = strings("LUNames", {second}) + strings("InitiatorPortIDs", {"2000000000000B08"}) +
                                   strings("DeviceAccesses", {"2"});
    const nlohmann::json busyAffinity = {
        {"op", "cli_fault"}, {"array", 0}, {"command", "set host-affinity"}, {"busy", 100}};
    const nlohmann::json groupDeleteRefused = {
        {"op", "cli_fault"}, {"array", 0}, {"command", "delete affinity-group"}, {"status", 2}, {"message", 0x80}};
    struct Case {
        const char* name;
        const char* method;
        std::string params;
        std::vector<nlohmann::json> faults;
        const char* stays;  // the SEVERE record of a failed undo; null: the array is as before
    };
    const Case cases[] = {
        {"LUN added, then the host affinity busy", "ExposePaths", lunAndHost, {busyAffinity}, nullptr},
        {"host affinity refused",
         "ExposePaths",
         strings("InitiatorPortIDs", {"2000000000000B08"}),
         {{{"op", "cli_fault"}, {"array", 0}, {"command", "set host-affinity"}, {"status", 2}, {"message", 0x80}}},
         nullptr},
        // The view's last LUN: its host affinity is released, then the
        // group's deletion is refused.
        {"hiding the last LUN, the group deletion refused",
         "HidePaths",
         strings("LUNames", {first}),
         {groupDeleteRefused},
         nullptr},
        // Last: the LUN stays on the array.
        {"removing the added LUN refused too",
         "ExposePaths",
         lunAndHost,
         {busyAffinity, groupDeleteRefused},
         "ExposePaths could not remove the LUNs it added to affinity group 0"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        for (const nlohmann::json& fault : c.faults)
            ASSERT_TRUE(sim->control(fault)["ok"]);
        EXPECT_NE(invoke(c.method, c.params + viewParam()), "0");
        ASSERT_TRUE(sim->control({{"op", "cli_clear_faults"}, {"array", 0}})["ok"]);
        const nlohmann::json after = sim->model(0);
        EXPECT_EQ(after["hosts"], before["hosts"]);
        EXPECT_EQ(after["host_maps"], before["host_maps"]);
        if (!c.stays) {
            EXPECT_EQ(after["affinity_groups"], before["affinity_groups"]);
            continue;
        }
        EXPECT_NE(after["affinity_groups"], before["affinity_groups"]);
        EXPECT_NE(logText().find(c.stays), std::string::npos) << logText();
    }
}

// HidePaths of a view's last initiator with the table fetch after the
// array's release failing (answered busy, or the array silent): the group
// the release left unbound is deleted all the same, so that nothing stays
// on the array that no view shows, and the volume it held can be returned
// to its pool.
TEST_F(MaskingViewE2E, HidingTheLastInitiatorWithAFailedTableFetchLeavesNoGroupBehind)
{
    struct Case {
        const char* name;
        const char* deviceID;
        nlohmann::json fetchFault;  // on the table fetch after the release
    };
    const Case cases[] = {
        {"fetch busy", "VOL00000", {{"kind", "busy"}, {"command", 0x4024}, {"after_cli", true}}},
        {"array silent",
         "VOL00001",
         {{"kind", "stall"}, {"command", 0x4024}, {"seconds", 3}, {"after_cli", true}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const nlohmann::json before = sim->model(0);
        const std::string volume = volumeName(c.deviceID);
        ASSERT_FALSE(volume.empty());
        ASSERT_EQ(invoke("ExposePaths", strings("LUNames", {volume}) + strings("InitiatorPortIDs", {HOST}) +
                                            strings("TargetPortIDs", {TARGET_PORT}) +
                                            strings("DeviceNumbers", {"00A"}) + strings("DeviceAccesses", {"2"})),
                  "0");
        ASSERT_NE(sim->model(0)["affinity_groups"], before["affinity_groups"]);
        ASSERT_TRUE(sim->fault(0, c.fetchFault));
        EXPECT_EQ(invoke("HidePaths", strings("InitiatorPortIDs", {HOST}) + viewParam()), "0");
        ASSERT_TRUE(sim->clearFaults(0));
        const nlohmann::json after = sim->model(0);
        EXPECT_EQ(after["affinity_groups"], before["affinity_groups"])
            << sim->control({{"op", "cli_log"}, {"array", 0}}).dump();
        EXPECT_EQ(after["host_maps"], before["host_maps"]);
        EXPECT_EQ(returnToPool(c.deviceID), "0");
    }
}

}  // namespace
}  // namespace cimserver::test
