// End to end: every creating method, with the array accepting the creating
// command and the table refresh after it failing (the table fetch answering
// busy, the array going silent) or the cache folder refusing the new files.
// The client must hear success naming what was made, the array's command
// line must show exactly one creating command, and the same request again
// must not make a second object.
#include "CimClient.h"
#include "CimserverProcess.h"

#include <ArraysimLogin.h>
#include <ArraysimProcess.hpp>
#include <TempInstallDir.h>

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <future>
#include <memory>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace cimserver::test {
namespace {

namespace fs = std::filesystem;

constexpr std::uint16_t TABLE_FETCH = 0x4024;
constexpr std::uint16_t COPY_SESSION_FETCH = 0x4199;

std::string key(const char* name, const std::string& value)
{
    return std::string("<KEYBINDING NAME=\"") + name + "\"><KEYVALUE VALUETYPE=\"string\">" + value +
           "</KEYVALUE></KEYBINDING>";
}

std::string byInstanceID(const std::string& cls, const std::string& id)
{
    return "<INSTANCENAME CLASSNAME=\"" + cls + "\">" + key("InstanceID", id) + "</INSTANCENAME>";
}

std::string param(const char* name, const char* type, const std::string& value)
{
    return std::string("<PARAMVALUE NAME=\"") + name + "\" PARAMTYPE=\"" + type + "\"><VALUE>" + value +
           "</VALUE></PARAMVALUE>";
}

std::string refParam(const char* name, const std::string& instance)
{
    return std::string("<PARAMVALUE NAME=\"") + name + "\" PARAMTYPE=\"reference\"><VALUE.REFERENCE>" + instance +
           "</VALUE.REFERENCE></PARAMVALUE>";
}

std::string refArray(const char* name, const std::vector<std::string>& instances)
{
    std::string out = std::string("<PARAMVALUE NAME=\"") + name + "\" PARAMTYPE=\"reference\"><VALUE.REFARRAY>";
    for (const std::string& i : instances)
        out += "<VALUE.REFERENCE>" + i + "</VALUE.REFERENCE>";
    return out + "</VALUE.REFARRAY></PARAMVALUE>";
}

std::string strings(const char* name, const std::vector<std::string>& values)
{
    std::string out = std::string("<PARAMVALUE NAME=\"") + name + "\"><VALUE.ARRAY>";
    for (const std::string& v : values)
        out += "<VALUE>" + v + "</VALUE>";
    return out + "</VALUE.ARRAY></PARAMVALUE>";
}

std::string raw(const pugi::xml_node& node)
{
    std::ostringstream out;
    node.print(out, "", pugi::format_raw);
    return out.str();
}

// How the closing refresh is made to fail.
enum class Fault { Busy, Silent, Unwritable };

const char* faultName(Fault f)
{
    switch (f) {
    case Fault::Busy: return "Busy";
    case Fault::Silent: return "Silent";
    case Fault::Unwritable: return "Unwritable";
    }
    return "";
}

class CreationFaultsE2E;

// One creating method: the scenario it runs on, the service and the
// request, the creating command of the array's command line, and the
// output parameter naming what was made (none: the reference the request
// named). A copy method's closing refresh is the copy-session fetch; one
// that waits for its copy's synchronised state answers only once the fault
// is gone and the copy done.
struct Creation {
    const char* name;
    const char* scenario;
    const char* service;
    const char* method;
    const char* command;
    const char* output;
    std::function<std::string(CreationFaultsE2E&)> params;
    std::uint16_t fetch = TABLE_FETCH;
    bool waits = false;
    // Model changes made before the server starts.
    nlohmann::json patch = nlohmann::json::array();
};

class CreationFaultsE2E : public ::testing::TestWithParam<std::tuple<int, Fault>> {
public:
    static const std::vector<Creation>& creations();

    std::string address;

    std::string firstName(const std::string& cls)
    {
        CimClient client(server->port());
        const std::vector<std::string> names = instance_names(client, cls);
        return names.empty() ? "" : names.front();
    }

    std::vector<std::string> allNames(const std::string& cls)
    {
        CimClient client(server->port());
        return instance_names(client, cls);
    }

    std::string volumeName(const std::string& deviceID)
    {
        CimClient client(server->port());
        return volume_name(client, deviceID);
    }

    // The reference of a volume of the array.
    std::string volumeReference(const std::string& deviceID) const
    {
        return "<INSTANCENAME CLASSNAME=\"VELDARO_StorageVolume\">" +
               CimClient::key("CreationClassName", "VELDARO_StorageVolume") + CimClient::key("DeviceID", deviceID) +
               CimClient::key("SystemCreationClassName", "VELDARO_StorageComputerSystem") +
               CimClient::key("SystemName", address) + "</INSTANCENAME>";
    }

    // The reference of the copy relationship whose target is that volume.
    std::string synchronizationOf(const std::string& target)
    {
        named.clear();
        for (const std::string& n : allNames("VELDARO_StorageSynchronized")) {
            pugi::xml_document doc;
            doc.load_string(n.c_str());
            const pugi::xpath_node id =
                doc.select_node("//KEYBINDING[@NAME='SyncedElement']//KEYBINDING[@NAME='DeviceID']/KEYVALUE");
            if (id && target == id.node().text().as_string())
                named = n;
        }
        return named;
    }

    // A reference the request itself names (set by its parameters).
    std::string named;

protected:
    const Creation& creation() const { return creations().at(static_cast<std::size_t>(std::get<0>(GetParam()))); }

    void SetUp() override
    {
        // Arrays of their own addresses: the command line reaches each by its
        // address.
        sim = std::make_unique<testsupport::ArraysimProcess>(creation().scenario,
                                                             std::vector<std::string>{"--distinct-addresses"});
        install = std::make_unique<smis::test::TempInstallDir>();
        address = sim->address(0);
        if (!creation().patch.empty()) {
            ASSERT_TRUE(sim->control({{"op", "patch"}, {"array", 0}, {"patch", creation().patch}})["ok"]);
        }
        ASSERT_NO_FATAL_FAILURE(testsupport::connectFirstArray(*sim, *install));
        // The production poll interval (minutes): the cache must catch up
        // within seconds of the fault being gone through the refresh a
        // failed method's closing refresh leaves due, not the next poll.
        server = std::make_unique<CimserverProcess>(install->path(), std::vector<std::string>{});
        CimserverProcess::wait_for_tables(install->path(), {address}, {".cmf", ".cps"});
    }
    void TearDown() override
    {
        sim->clearFaults(0);
        blockCache(false);
        if (server) {
            EXPECT_EQ(server->stop(), 0) << server->output();
        }
        server.reset();
        install.reset();
        sim.reset();
    }

    struct Answer {
        std::string rc;
        std::string made;  // the first INSTANCENAME of the output parameter
        std::string body;
        bool keyless = false;  // the output names an object without keys
    };

    Answer invoke()
    {
        const Creation& c = creation();
        const std::string target = firstName(c.service);
        EXPECT_FALSE(target.empty()) << c.service << " is not served";
        CimClient client(server->port());
        CimReply r;
        client.call(c.method, CimClient::method(c.method, target, c.params(*this)), r);
        EXPECT_EQ(r.error_code, 0) << r.body;
        Answer out;
        out.body = r.body;
        auto rv = r.all("RETURNVALUE");
        out.rc = rv.empty() ? "" : rv.front().child("VALUE").text().as_string();
        if (!c.output)
            out.made = named;
        for (const pugi::xml_node& p : r.all("PARAMVALUE")) {
            if (!c.output || std::string(p.attribute("NAME").as_string()) != c.output)
                continue;
            if (pugi::xpath_node n = p.select_node(".//INSTANCENAME"))
                out.made = raw(n.node());
            out.keyless = out.keyless || p.select_node(".//INSTANCENAME[not(KEYBINDING) and not(KEYVALUE) and "
                                                       "not(VALUE.REFERENCE)]");
        }
        return out;
    }

    // The cache files of the array replaced by directories that hold a file:
    // the write's final rename fails, as on a full or read-only disk, even
    // for root (whom permissions do not stop).
    std::vector<std::string> cacheFiles() const
    {
        std::vector<std::string> files;
        for (const char* ext : {".cmf", ".ext", ".cps"})
            files.push_back(install->path() + "/data/" + address + ext);
        return files;
    }
    void blockCache(bool blocked)
    {
        if (!install)
            return;
        for (const std::string& f : cacheFiles()) {
            if (!blocked) {
                if (fs::is_directory(f))
                    fs::remove_all(f);
                continue;
            }
            // A refresh may write the file again between the removal and the
            // directory's creation: remove it again until the directory stands.
            for (int attempt = 0; attempt < 100; attempt++) {
                std::error_code ec;
                fs::remove_all(f, ec);
                if (fs::create_directories(f + "/blocked", ec) || fs::is_directory(f + "/blocked"))
                    break;
            }
            ASSERT_TRUE(fs::is_directory(f + "/blocked")) << f;
        }
    }

    void arm(Fault f)
    {
        switch (f) {
        case Fault::Busy:
            ASSERT_TRUE(sim->fault(0, {{"kind", "busy"}, {"command", creation().fetch}, {"after_cli", true}}));
            break;
        case Fault::Silent:
            ASSERT_TRUE(
                sim->fault(0, {{"kind", "stall"}, {"command", creation().fetch}, {"seconds", 3}, {"after_cli", true}}));
            break;
        case Fault::Unwritable:
            blockCache(true);
            break;
        }
    }

    // The command lines starting with the creating command: all, and those
    // the array carried out.
    std::pair<int, int> creatingCommands()
    {
        const nlohmann::json log = sim->control({{"op", "cli_log"}, {"array", 0}})["lines"];
        int sent = 0, made = 0;
        for (const auto& entry : log) {
            const std::string line = entry.value("line", "");
            if (line.rfind(creation().command, 0) != 0)
                continue;
            ++sent;
            if (entry.value("status", 1) == 0)
                ++made;
        }
        return {sent, made};
    }

    // Exchanges of the closing refresh's fetch since the request log was
    // cleared.
    int fetches()
    {
        int n = 0;
        const nlohmann::json log = sim->control({{"op", "log"}})["requests"];
        for (const auto& r : log)
            if (r.value("command", 0) == creation().fetch)
                ++n;
        return n;
    }

    // The first answer. A method that waits for its copy is asked in the
    // background: once the array made the copy and the fault met both the
    // closing refresh and the wait's first pass, the fault is cleared and
    // the copy completed, which the answer waits for.
    Answer firstAnswer(Fault f)
    {
        if (!creation().waits) {
            Answer a = invoke();
            clearFault();
            return a;
        }
        std::future<Answer> pending = std::async(std::launch::async, [this] { return invoke(); });
        for (auto end = std::chrono::steady_clock::now() + std::chrono::seconds(60);
             std::chrono::steady_clock::now() < end && (creatingCommands().second < 1 || fetches() < 2);)
            std::this_thread::sleep_for(std::chrono::milliseconds(200));
        EXPECT_EQ(pending.wait_for(std::chrono::seconds(0)), std::future_status::timeout)
            << "answered before the copy was done" << commandLines();
        EXPECT_GE(fetches(), 2) << faultName(f);
        clearFault();
        EXPECT_TRUE(sim->control({{"op", "advance_copy"}, {"array", 0}, {"percent", 100}})["ok"]);
        return pending.get();
    }

    void clearFault()
    {
        sim->clearFaults(0);
        blockCache(false);
    }

    std::string commandLines() { return "\ncommand lines: " + sim->control({{"op", "cli_log"}, {"array", 0}}).dump(); }

    // GetInstance of a reference once the cache shows it (the polling
    // service refreshes again after the fault); its error code, 0 when
    // served.
    int servedWithin(const std::string& reference, std::chrono::seconds limit)
    {
        int code = -1;
        for (auto end = std::chrono::steady_clock::now() + limit; std::chrono::steady_clock::now() < end;) {
            CimClient client(server->port());
            CimReply r;
            client.call("GetInstance",
                        CimClient::imethod("GetInstance",
                                           "<IPARAMVALUE NAME=\"InstanceName\">" + reference + "</IPARAMVALUE>"),
                        r);
            code = r.error_code;
            if (code == 0 && r.http_status == 200)
                return 0;
            std::this_thread::sleep_for(std::chrono::milliseconds(500));
        }
        return code;
    }

    std::unique_ptr<testsupport::ArraysimProcess> sim;
    std::unique_ptr<smis::test::TempInstallDir> install;
    std::unique_ptr<CimserverProcess> server;
};

constexpr const char* NAME = "E2EMADE";

// A 1 GiB volume of an element type named NAME, from the source parameter.
std::string volumeRequest(const char* type, const std::string& source)
{
    return param("ElementName", "string", NAME) + param("ElementType", "uint16", type) +
           param("Size", "uint64", std::to_string(1ull << 30)) + source;
}

// A copy between two volumes of the array, of that SyncType.
std::string replicaRequest(CreationFaultsE2E& t, const char* syncType, const char* source, const char* target)
{
    return param("SyncType", "uint16", syncType) + refParam("SourceElement", t.volumeReference(source)) +
           refParam("TargetElement", t.volumeReference(target));
}

const std::vector<Creation>& CreationFaultsE2E::creations()
{
    static const std::vector<Creation> table = {
        {"Volume", "small", "VELDARO_StorageConfigurationService", "CreateOrModifyElementFromStoragePool",
         "create volume", "TheElement",
         [](CreationFaultsE2E& t) {
             return volumeRequest(
                 "2", refParam("InPool", byInstanceID("VELDARO_RAIDStoragePool", "VELDARO:RSP0000_" + t.address)));
         }},
        {"ThinVolume", "small", "VELDARO_StorageConfigurationService", "CreateOrModifyElementFromStoragePool",
         "create volume", "TheElement",
         [](CreationFaultsE2E& t) {
             return volumeRequest(
                 "5", refParam("InPool", byInstanceID("VELDARO_ThinProvisioningPool", "VELDARO:TPP0000_" + t.address)));
         }},
        {"RaidGroupPool", "small", "VELDARO_StorageConfigurationService", "CreateOrModifyStoragePool",
         "create raid-group", "Pool",
         [](CreationFaultsE2E& t) {
             return param("ElementName", "string", NAME) +
                    refParam("Goal", byInstanceID("VELDARO_StorageSetting", "VELDARO:SS_RAID5_" + t.address));
         }},
        // Without a Goal the engine tries the default levels in order: the
        // first one made ends the request.
        {"RaidGroupPoolDefaultLevel", "small", "VELDARO_StorageConfigurationService", "CreateOrModifyStoragePool",
         "create raid-group", "Pool", [](CreationFaultsE2E&) { return param("ElementName", "string", NAME); }},
        {"ThinPool", "small", "VELDARO_StorageConfigurationService", "CreateOrModifyStoragePool",
         "create thin-pro-pool", "Pool",
         [](CreationFaultsE2E& t) {
             return param("ElementName", "string", NAME) +
                    refParam("Goal", byInstanceID("VELDARO_StorageSetting", "VELDARO:SS_RAID5_TPP_" + t.address));
         }},
        {"VolumeFromExtents", "small", "VELDARO_StorageConfigurationService", "CreateOrModifyElementFromElements",
         "create volume", "TheElement",
         [](CreationFaultsE2E& t) {
             return volumeRequest("2", refArray("InElements", t.allNames("VELDARO_FreeExtent")));
         }},
        {"HardwareID", "masking", "VELDARO_StorageHardwareIDManagementService", "CreateStorageHardwareID",
         "create host-wwn-name", "HardwareID",
         [](CreationFaultsE2E&) {
             return param("ElementName", "string", "E2EHOST") + param("StorageID", "string", "2000000000000b07") +
                    param("IDType", "uint16", "2");
         }},
        {"ExposePaths", "masking", "VELDARO_ControllerConfigurationService", "ExposePaths", "create affinity-group",
         "ProtocolControllers",
         [](CreationFaultsE2E& t) {
             return strings("LUNames", {t.volumeName("VOL00001")}) +
                    strings("InitiatorPortIDs", {"2000000000000B08"}) +
                    strings("TargetPortIDs", {"500000E0D0000100"}) + strings("DeviceNumbers", {"001"}) +
                    strings("DeviceAccesses", {"2"});
         }},
        // A mirror waiting for its synchronised state, as the
        // libstoragemgmt plugin asks for every replica.
        {"Mirror", "coverage", "VELDARO_ReplicationService", "CreateElementReplica", "start copy-mirrex",
         "Synchronization",
         [](CreationFaultsE2E& t) {
             return replicaRequest(t, "6", "VOL00014", "VOL00015") + param("WaitForCopyState", "uint16", "4");
         },
         COPY_SESSION_FETCH, true},
        {"Snapshot", "coverage", "VELDARO_ReplicationService", "CreateElementReplica", "start copy-snap-tirn",
         "Synchronization",
         [](CreationFaultsE2E& t) { return replicaRequest(t, "7", "VOL00016", "VOL00017"); }, COPY_SESSION_FETCH},
        // The suspended mirror of volume 0 to volume 1 resumed, waiting for
        // its synchronised state: the relationship is the one named.
        {"Resync", "coverage", "VELDARO_ReplicationService", "ModifyReplicaSynchronization", "resume copy-mirrex",
         nullptr,
         [](CreationFaultsE2E& t) {
             return param("Operation", "uint16", "14") +
                    refParam("Synchronization", t.synchronizationOf("VOL00001")) +
                    param("WaitForCopyState", "uint16", "4");
         },
         COPY_SESSION_FETCH, true,
         nlohmann::json::array({{{"op", "replace"}, {"path", "/copy_sessions/0/state"}, {"value", 4}}})},
    };
    return table;
}

TEST_P(CreationFaultsE2E, SuccessIsAnsweredOnceTheArrayMadeItAndARetryMakesNoSecond)
{
    ASSERT_TRUE(sim->control({{"op", "cli_clear_log"}})["ok"]);
    ASSERT_TRUE(sim->control({{"op", "clear_log"}})["ok"]);
    ASSERT_NO_FATAL_FAILURE(arm(std::get<1>(GetParam())));
    const Answer first = firstAnswer(std::get<1>(GetParam()));
    EXPECT_EQ(first.rc, "0") << first.body << commandLines() << server->output();
    EXPECT_FALSE(first.made.empty()) << first.body;
    EXPECT_EQ(creatingCommands(), std::make_pair(1, 1)) << commandLines();

    // The reference names what the array made: once the cache has caught
    // up, it is served as it stands.
    if (!first.made.empty()) {
        EXPECT_EQ(servedWithin(first.made, std::chrono::seconds(30)), 0) << first.made;
    }

    // The same request again: refused as existing, or naming the same
    // object; never a second one on the array.
    const Answer again = invoke();
    if (again.rc == "0") {
        EXPECT_EQ(again.made, first.made) << again.body;
    }
    // A refused request names nothing: its output is left out, never a path
    // without keys.
    EXPECT_FALSE(again.keyless) << again.body;
    EXPECT_EQ(creatingCommands().second, 1) << commandLines();
}

INSTANTIATE_TEST_SUITE_P(
    EveryCreation, CreationFaultsE2E,
    ::testing::Combine(::testing::Range(0, static_cast<int>(CreationFaultsE2E::creations().size())),
                       ::testing::Values(Fault::Busy, Fault::Silent, Fault::Unwritable)),
    [](const ::testing::TestParamInfo<std::tuple<int, Fault>>& info) {
        return std::string(CreationFaultsE2E::creations().at(static_cast<std::size_t>(std::get<0>(info.param))).name) +
               faultName(std::get<1>(info.param));
    });

}  // namespace
}  // namespace cimserver::test
