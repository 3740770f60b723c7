// No wait on an array holds anyone else. Through cimserver on the coverage
// scenario (two arrays, status lifetimes 0 so that readers ask the array
// live): for every kind of request that meets a silent or refusing array 0
// (each reader class and association that asks the array, a volume rename,
// the configuration, masking, hardware-ID and replication methods, the
// polling service's refreshes of a slow array), the probes below answer
// promptly all the while; then with 32 clients stuck on array 0 at once.
// Array 0 stays silent for a minute unless cleared, so that a probe held by
// the request that meets it waits far longer than a busy machine makes any
// probe take.
#include "CimClient.h"
#include "CimserverProcess.h"
#include "ProbeBaseline.h"
#include "SimulatedServer.h"

#include <ArraysimProcess.hpp>
#include <TempInstallDir.h>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace cimserver::test {
namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

// What "at once" means for a request that needs nothing of array 0's
// exchange is what the same probe took with nothing held (ProbeBaseline). A
// held request waits for the whole stall (the fault is cleared only once the
// probes are done) or for the slow array's exchange, many packets of SLOW
// each.
// How long array 0 stays silent unless cleared, and how long the probes are
// asked per row before it is cleared.
constexpr auto STALL = std::chrono::seconds(60);
constexpr auto WINDOW = std::chrono::seconds(4);
// Each packet of the slow array waits this long: one exchange (two packets
// at least) outlasts a probe's bound many times over.
constexpr auto SLOW = std::chrono::seconds(30);

long long ms(Clock::duration d)
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(d).count();
}

std::string get(const std::string& name)
{
    return CimClient::imethod("GetInstance", "<IPARAMVALUE NAME=\"InstanceName\">" + name + "</IPARAMVALUE>");
}

std::string enumerate(const char* op, const std::string& cls)
{
    return CimClient::imethod(op, CimClient::class_param("ClassName", cls));
}

std::string param(const std::string& name, const std::string& type, const std::string& value)
{
    return "<PARAMVALUE NAME=\"" + name + "\" PARAMTYPE=\"" + type + "\"><VALUE>" + value + "</VALUE></PARAMVALUE>";
}

std::string one_array(const std::string& name, const std::string& type, const std::string& value)
{
    return "<PARAMVALUE NAME=\"" + name + "\" PARAMTYPE=\"" + type + "\"><VALUE.ARRAY><VALUE>" + value +
           "</VALUE></VALUE.ARRAY></PARAMVALUE>";
}

std::string reference(const std::string& name, const std::string& of)
{
    return "<PARAMVALUE NAME=\"" + name + "\" PARAMTYPE=\"reference\"><VALUE.REFERENCE>" + of +
           "</VALUE.REFERENCE></PARAMVALUE>";
}

// One request: its CIMMethod header and body.
struct Request {
    std::string what;
    std::string cim_method;
    std::string body;
};

// The server on the coverage scenario, each array at its own address, the
// command line reachable, status never kept, polling every poll seconds.
struct Server {
    explicit Server(const char* poll) : sim("coverage", {"--distinct-addresses"})
    {
        prepare_install_with_command_line(
            sim, install, {"ConnectionTimeout=60", "PortLinkStatus=0", "Session=0", "SessionStatistics=0", "RecPath=0"});
        server = std::make_unique<CimserverProcess>(install.path(), std::vector<std::string>{"--poll-interval", poll});
        CimserverProcess::wait_for_tables(install.path(), sim.addresses(), {".cmf", ".ext", ".cps"});
        CimClient client(server->port());
        for (const char* cls : {"VELDARO_StorageVolume", "VELDARO_StorageConfigurationService",
                                "VELDARO_ControllerConfigurationService", "VELDARO_StorageHardwareIDManagementService",
                                "VELDARO_ReplicationService", "VELDARO_RAIDStoragePool"})
            names[cls] = instance_names(client, cls);
    }

    // The first instance name of the class on the array (a key that is its
    // address, or ends in "_" and its address).
    std::string on(const char* cls, std::size_t array) const
    {
        for (const std::string& n : names.at(cls))
            if (n.find(">" + sim.address(array) + "<") != std::string::npos ||
                n.find("_" + sim.address(array) + "<") != std::string::npos)
                return n;
        ADD_FAILURE() << "no " << cls << " on array " << array;
        return "";
    }
    std::string volume(std::size_t array, std::size_t nth) const
    {
        std::size_t seen = 0;
        for (const std::string& n : names.at("VELDARO_StorageVolume"))
            if (n.find(">" + sim.address(array) + "<") != std::string::npos && seen++ == nth)
                return n;
        ADD_FAILURE() << "array " << array << " has no volume " << nth;
        return "";
    }

    testsupport::ArraysimProcess sim;
    smis::test::TempInstallDir install;
    // What each probe takes with nothing held.
    ProbeBaseline baseline;
    std::unique_ptr<CimserverProcess> server;
    std::map<std::string, std::vector<std::string>> names;
};

// The requests that meet array 0: each asks it, directly or through a walk.
std::vector<Request> culprits(const Server& s)
{
    std::vector<Request> out;
    for (const char* cls : {"VELDARO_FCPort", "VELDARO_EthernetPort", "VELDARO_iSCSISession",
                            "VELDARO_iSCSIConnection", "VELDARO_iSCSISessionStatistics",
                            "VELDARO_ConnectivityCollection"})
        out.push_back({std::string("EnumerateInstances of ") + cls, "EnumerateInstances",
                       enumerate("EnumerateInstances", cls)});
    for (const char* cls : {"CIM_MemberOfCollection", "CIM_HostedCollection", "CIM_SystemDevice",
                            "CIM_DeviceSAPImplementation", "CIM_SAPAvailableForElement",
                            "CIM_ProtocolControllerForPort", "CIM_Realizes", "CIM_EndpointOfNetworkPipe",
                            "CIM_ElementStatisticalData", "CIM_ServiceAffectsElement"})
        out.push_back({std::string("EnumerateInstanceNames of ") + cls, "EnumerateInstanceNames",
                       enumerate("EnumerateInstanceNames", cls)});
    const std::string volume = s.volume(0, 0);
    out.push_back({"rename of a volume", "ModifyInstance",
                   CimClient::imethod("ModifyInstance",
                                      "<IPARAMVALUE NAME=\"ModifiedInstance\"><VALUE.NAMEDINSTANCE>" + volume +
                                          "<INSTANCE CLASSNAME=\"VELDARO_StorageVolume\"><PROPERTY NAME=\"ElementName\" "
                                          "TYPE=\"string\"><VALUE>RENAMED</VALUE></PROPERTY></INSTANCE>"
                                          "</VALUE.NAMEDINSTANCE></IPARAMVALUE>" +
                                          "<IPARAMVALUE NAME=\"PropertyList\"><VALUE.ARRAY><VALUE>ElementName</VALUE>"
                                          "</VALUE.ARRAY></IPARAMVALUE>")});
    const std::string pool = s.on("VELDARO_RAIDStoragePool", 0);
    out.push_back({"CreateOrModifyElementFromStoragePool", "CreateOrModifyElementFromStoragePool",
                   CimClient::method("CreateOrModifyElementFromStoragePool",
                                     s.on("VELDARO_StorageConfigurationService", 0),
                                     param("ElementName", "string", "STALLVOL") + param("ElementType", "uint16", "2") +
                                         param("Size", "uint64", "104857600") + reference("InPool", pool))});
    // A failed method's refresh is retried within seconds, so a volume
    // deleted here is gone from the table by the next row: ExposePaths
    // names another one (VOL00001), which nothing deletes.
    out.push_back({"ReturnToStoragePool", "ReturnToStoragePool",
                   CimClient::method("ReturnToStoragePool", s.on("VELDARO_StorageConfigurationService", 0),
                                     reference("TheElement", s.volume(0, 5)))});
    out.push_back({"ExposePaths", "ExposePaths",
                   CimClient::method("ExposePaths", s.on("VELDARO_ControllerConfigurationService", 0),
                                     one_array("LUNames", "string", "VOL00001") +
                                         one_array("InitiatorPortIDs", "string", "2000000000AAAAAA") +
                                         one_array("DeviceAccesses", "uint16", "2"))});
    out.push_back({"ExposeDefaultLUs", "ExposeDefaultLUs",
                   CimClient::method("ExposeDefaultLUs", s.on("VELDARO_ControllerConfigurationService", 0), "")});
    out.push_back({"CreateStorageHardwareID", "CreateStorageHardwareID",
                   CimClient::method("CreateStorageHardwareID", s.on("VELDARO_StorageHardwareIDManagementService", 0),
                                     param("StorageID", "string", "2000000000ABCDEF") + param("IDType", "uint16", "2"))});
    out.push_back({"CreateElementReplica", "CreateElementReplica",
                   CimClient::method("CreateElementReplica", s.on("VELDARO_ReplicationService", 0),
                                     param("SyncType", "uint16", "6") + reference("SourceElement", s.volume(0, 2)) +
                                         reference("TargetElement", s.volume(0, 3)))});
    return out;
}

// Requests that need nothing of array 0's exchanges; round makes the
// hardware ID each one creates on array 1 new.
std::vector<Request> probes(const Server& s, unsigned round)
{
    char wwn[17];
    std::snprintf(wwn, sizeof wwn, "21000000%08X", round);
    return {
        {"GetInstance of a volume of array 0", "GetInstance", get(s.volume(0, 4))},
        {"GetInstance of a volume of array 1", "GetInstance", get(s.volume(1, 0))},
        {"EnumerateInstanceNames of the storage systems", "EnumerateInstanceNames",
         enumerate("EnumerateInstanceNames", "VELDARO_StorageComputerSystem")},
        {"EnumerateInstances of the configuration services", "EnumerateInstances",
         enumerate("EnumerateInstances", "VELDARO_StorageConfigurationService")},
        {"GetInstance of the configuration service of array 0", "GetInstance",
         get(s.on("VELDARO_StorageConfigurationService", 0))},
        {"GetInstance of the replication service of array 1", "GetInstance",
         get(s.on("VELDARO_ReplicationService", 1))},
        {"CreateStorageHardwareID on array 1", "CreateStorageHardwareID",
         CimClient::method("CreateStorageHardwareID", s.on("VELDARO_StorageHardwareIDManagementService", 1),
                           param("StorageID", "string", wwn) + param("IDType", "uint16", "2"))},
    };
}

// Asks every probe once; each must answer without error, within its bound.
// With nothing held, the times are the baseline of the bounds.
void expect_prompt(Server& s, unsigned round, const std::string& during, bool baseline = false)
{
    CimClient client(s.server->port());
    for (const Request& p : probes(s, round)) {
        CimReply r;
        const auto start = Clock::now();
        client.call(p.cim_method, p.body, r);
        const auto took = Clock::now() - start;
        EXPECT_EQ(r.http_status, 200) << p.what << " during " << during;
        EXPECT_EQ(r.error_code, 0) << p.what << " during " << during << ": " << r.body.substr(0, 300);
        if (p.cim_method == "CreateStorageHardwareID") {
            EXPECT_NE(r.body.find("<RETURNVALUE PARAMTYPE=\"uint32\"><VALUE>0</VALUE>"), std::string::npos)
                << p.what << " during " << during << ": " << r.body.substr(0, 300);
        }
        if (baseline)
            s.baseline.record(p.what, took);
        else
            EXPECT_LT(took, s.baseline.bound(p.what))
                << p.what << " during " << during << " took " << ms(took) << " ms, against "
                << ms(s.baseline.bound(p.what)) << " ms";
    }
}

// Requests sent on threads of their own; each records how long it took.
class Stuck {
public:
    Stuck(const Server& s, const std::vector<Request>& requests) : _done(requests.size())
    {
        for (std::size_t i = 0; i < requests.size(); ++i)
            _threads.emplace_back([this, &s, i, r = requests[i]] {
                CimClient client(s.server->port());
                client.http().set_read_timeout(120, 0);
                CimReply reply;
                const auto start = Clock::now();
                client.call(r.cim_method, r.body, reply);
                _done[i] = Clock::now() - start;
                ++_finished;
            });
    }
    ~Stuck() { join(); }
    void join()
    {
        for (auto& t : _threads)
            t.join();
        _threads.clear();
    }
    std::size_t finished() const { return _finished; }
    const std::vector<Clock::duration>& took() const { return _done; }

private:
    std::vector<Clock::duration> _done;
    std::atomic<std::size_t> _finished{0};
    std::vector<std::thread> _threads;
};

// Arms the fault on array 0, sends the requests, asks the probes over and
// over for the whole fault, then clears it. At least one request must have
// met the fault (still running a second into it; readers that find the
// array's channel held by another request answer from the table at once).
void hold_array_0(Server& s, const nlohmann::json& fault, const std::vector<Request>& requests,
                  const std::string& during, unsigned& round)
{
    ASSERT_TRUE(s.sim.fault(0, fault)) << during;
    const auto armed = Clock::now();
    Stuck stuck(s, requests);
    std::this_thread::sleep_for(std::chrono::milliseconds(1000));
    EXPECT_LT(stuck.finished(), requests.size()) << during << ": no request met the fault";
    while (Clock::now() - armed < WINDOW)
        expect_prompt(s, ++round, during);
    s.sim.clearFaults(0);
    stuck.join();
}

// No polling meanwhile: each request is the one that meets array 0.
TEST(CimserverNoWaitHoldsOthers, EveryRequestThatMeetsASilentOrRefusingArrayLeavesTheOthersServed)
{
    Server s("600");
    unsigned round = 0;
    expect_prompt(s, ++round, "nothing", true);
    const std::vector<Request> all = culprits(s);
    for (const Request& c : all) {
        SCOPED_TRACE(c.what);
        hold_array_0(s, {{"kind", "stall"}, {"seconds", STALL.count()}}, {c}, c.what + " on a silent array",
                     round);
    }
    // A refusing array keeps its callers retrying until their time-out: a
    // reader, an association and a method. A method that failed on the
    // silent array has its table refreshed again 1, 2 and 4 s after; one of
    // those meeting the refusal would mark the array as not answering and the
    // reader below would be answered at once, so they are let finish first.
    // The method names a hardware ID of its own: the array carried out the
    // silent row's once the stall ended, and the table shows it by now, so
    // the same request would be refused from the table.
    std::this_thread::sleep_for(std::chrono::seconds(10));
    Request method = all[all.size() - 2];
    const std::string wwn = "2000000000ABCDEF";
    ASSERT_NE(method.body.find(wwn), std::string::npos) << method.what;
    method.body.replace(method.body.find(wwn), wwn.size(), "2000000000FEDCBA");
    for (const Request& r : {all[0], all[6], method}) {
        SCOPED_TRACE(r.what);
        hold_array_0(s, {{"kind", "refuse"}}, {r}, r.what + " on a refusing array", round);
    }
    // 32 clients stuck on the silent array at once, of every kind.
    std::vector<Request> many;
    for (std::size_t i = 0; i < 32; ++i)
        many.push_back(all[i % all.size()]);
    hold_array_0(s, {{"kind", "stall"}, {"seconds", STALL.count()}}, many, "32 clients stuck on a silent array",
                 round);
    EXPECT_EQ(s.server->stop(), 0) << s.server->output();
}

// The polling service refreshes a slow array every second (the table, the
// copy sessions, the chosen sessions, the pool status, one exchange after
// the other) while readers of that array and everyone else are served. The
// probes are asked for longer than one whole exchange of the slow array.
TEST(CimserverNoWaitHoldsOthers, RefreshesOfASlowArrayLeaveTheOthersServed)
{
    Server s("1");
    unsigned round = 0;
    expect_prompt(s, ++round, "nothing", true);
    ASSERT_TRUE(s.sim.fault(0, {{"kind", "slow"}, {"millis", std::chrono::milliseconds(SLOW).count()}}));
    const std::vector<Request> all = culprits(s);
    const std::vector<Request> readers(all.begin(), all.begin() + 6);
    Stuck reading(s, readers);
    for (const auto end = Clock::now() + 2 * SLOW + 10s; Clock::now() < end;)
        expect_prompt(s, ++round, "refreshes of a slow array");
    s.sim.clearFaults(0);
    reading.join();
    EXPECT_EQ(s.server->stop(), 0) << s.server->output();
}

} // namespace
} // namespace cimserver::test
