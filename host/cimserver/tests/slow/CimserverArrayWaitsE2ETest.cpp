// A wait on an array holds nobody else. Through cimserver on the coverage
// scenario: mirrors made with WaitForCopyState 4 wait for their copies while
// the replication and hardware-ID services and the tables answer at once;
// the waits are bounded and a caller past the bound is answered busy before
// anything is made; a client that leaves ends its wait; a request on a
// silent array waits one time-out, not one per adapter, and a method on it
// one time-out, not one per polling exchange queued before it; many clients stuck on
// a silent array leave the server serving, and callers of one array's
// methods past their bound are answered busy without taking a worker each;
// and SIGTERM ends the server
// within 5 s whatever waits, its cache files intact.
#include "CimClient.h"
#include "CimserverProcess.h"
#include "ProbeBaseline.h"
#include "RawHttp.h"
#include "SimulatedServer.h"
#include "SlowClient.h"

#include <ArraysimProcess.hpp>
#include <TempInstallDir.h>

#include <gtest/gtest.h>

#include <sys/socket.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace cimserver::test {
namespace {

using Clock = std::chrono::steady_clock;

// A request that needs nothing of a waiting one answers within what the
// same request took with nothing held (ProbeBaseline); a held one waits for
// a copy that completes only when the test says so, or for a silent array's
// minute. A busy answer, which asks nothing of anyone, comes within PROMPT.
constexpr auto PROMPT = std::chrono::seconds(5);
// The round of the probes asked with nothing held.
constexpr unsigned BASELINE_ROUND = 200;
// Copy waits the server keeps in progress at once.
constexpr unsigned WAIT_BOUND = 32;
// Array 0 gets this many more plain volumes, numbered from EXTRA, so that
// every caller mirrors a pair of its own.
constexpr unsigned EXTRA = 100;
constexpr unsigned EXTRA_PAIRS = WAIT_BOUND + 2;
constexpr std::uint32_t BUSY = 0x8013;

std::string device_id(unsigned number)
{
    char text[16];
    std::snprintf(text, sizeof text, "VOL%05u", number);
    return text;
}

// The coverage scenario with the extra volumes, written into folder.
std::string scenario_with_volumes(const std::string& folder)
{
    std::ifstream in(std::string(SMIS_SOURCE_DIR) + "/tools/arraysim/scenarios/coverage.json");
    nlohmann::json scenario = nlohmann::json::parse(in);
    auto& volumes = scenario["arrays"][0]["volumes"];
    for (unsigned i = 0; i < 2 * EXTRA_PAIRS; ++i)
        volumes.push_back({{"olun", EXTRA + i}, {"lu_type", 1}, {"status", 0}, {"raid_group", 2}, {"blocks", 2097152}});
    const std::string path = folder + "/waits.json";
    std::ofstream(path) << scenario.dump();
    return path;
}

// The simulator on the scenario with the extra volumes and the server on
// it, with the command line reachable and the tables, status records and
// copy sessions loaded.
struct WaitingServer {
    explicit WaitingServer(const std::vector<std::string>& env_extra = {},
                           const std::vector<std::string>& server_args = {"--poll-interval", "1"})
        : sim(scenario_with_volumes(folder.path()), {"--distinct-addresses"})
    {
        prepare_install_with_command_line(sim, install, env_extra);
        server = std::make_unique<CimserverProcess>(install.path(), server_args);
        CimserverProcess::wait_for_tables(install.path(), sim.addresses(), {".cmf", ".ext", ".cps"});
        CimClient client(server->port());
        volumes = instance_names(client, "VELDARO_StorageVolume");
        replication = instance_names(client, "VELDARO_ReplicationService");
        hardware_ids = instance_names(client, "VELDARO_StorageHardwareIDManagementService");
    }

    // The instance name among names whose keys hold these values.
    static std::string named(const std::vector<std::string>& names, const std::string& system,
                             const std::string& other = "")
    {
        for (const std::string& n : names)
            if (n.find(">" + system + "<") != std::string::npos &&
                (other.empty() || n.find(">" + other + "<") != std::string::npos))
                return n;
        ADD_FAILURE() << "no instance of " << system << " " << other;
        return "";
    }

    std::string address(std::size_t array) const { return sim.address(array); }
    std::string volume(std::size_t array, unsigned number) const
    {
        return named(volumes, address(array), device_id(number));
    }

    // CreateElementReplica of a local mirror of pair i of the extra volumes,
    // waiting for the synchronised state.
    std::string mirror(unsigned pair) const
    {
        auto reference = [](const std::string& name, const std::string& of) {
            return "<PARAMVALUE NAME=\"" + name + "\" PARAMTYPE=\"reference\"><VALUE.REFERENCE>" + of +
                   "</VALUE.REFERENCE></PARAMVALUE>";
        };
        return CimClient::method(
            "CreateElementReplica", named(replication, address(0)),
            "<PARAMVALUE NAME=\"SyncType\" PARAMTYPE=\"uint16\"><VALUE>6</VALUE></PARAMVALUE>" +
                reference("SourceElement", volume(0, EXTRA + 2 * pair)) +
                reference("TargetElement", volume(0, EXTRA + 2 * pair + 1)) +
                "<PARAMVALUE NAME=\"WaitForCopyState\" PARAMTYPE=\"uint16\"><VALUE>4</VALUE></PARAMVALUE>");
    }

    // Copy sessions of array 0 whose source is one of the extra volumes.
    std::size_t extra_sessions() const
    {
        const nlohmann::json model = sim.model(0);
        std::size_t n = 0;
        for (const auto& s : model["copy_sessions"])
            n += s.value("src", 0u) >= EXTRA;
        return n;
    }
    bool session_from(unsigned source) const
    {
        const nlohmann::json model = sim.model(0);
        for (const auto& s : model["copy_sessions"])
            if (s.value("src", 0u) == source)
                return true;
        return false;
    }

    smis::test::TempInstallDir folder;
    testsupport::ArraysimProcess sim;
    smis::test::TempInstallDir install;
    std::unique_ptr<CimserverProcess> server;
    std::vector<std::string> volumes, replication, hardware_ids;
    // What each probe takes with nothing held.
    ProbeBaseline baseline;
};

// The method's return value; -1 without one.
long long return_value(const CimReply& r)
{
    for (const pugi::xml_node& n : r.all("RETURNVALUE"))
        return std::atoll(n.child_value("VALUE"));
    return -1;
}

Clock::duration timed_call(CimClient& client, const std::string& cim_method, const std::string& body, CimReply& r)
{
    const auto start = Clock::now();
    client.call(cim_method, body, r);
    return Clock::now() - start;
}

long long ms(Clock::duration d)
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(d).count();
}

bool eventually(const std::function<bool()>& done, std::chrono::seconds limit)
{
    for (const auto end = Clock::now() + limit; Clock::now() < end; std::this_thread::sleep_for(std::chrono::milliseconds(100)))
        if (done())
            return true;
    return done();
}

// Requests that need nothing of a waiting copy or of a silent array 0; each
// must answer without error within its bound.
struct Probe {
    std::string what;
    std::string cim_method;
    std::string body;
    bool method; // an extrinsic method: its return value must be 0
};

std::vector<Probe> probes(const WaitingServer& s, unsigned round, bool array0_too)
{
    auto relationships = [&](std::size_t array) {
        return CimClient::method("GetReplicationRelationships", s.named(s.replication, s.address(array)),
                                 "<PARAMVALUE NAME=\"SyncType\" PARAMTYPE=\"uint16\"><VALUE>6</VALUE></PARAMVALUE>");
    };
    auto hardware_id = [&](std::size_t array) {
        char wwn[17];
        std::snprintf(wwn, sizeof wwn, "2000000000%02X%02X%02X", round & 0xFF, unsigned(array), 0xE0);
        return CimClient::method("CreateStorageHardwareID", s.named(s.hardware_ids, s.address(array)),
                                 std::string("<PARAMVALUE NAME=\"StorageID\" PARAMTYPE=\"string\"><VALUE>") + wwn +
                                     "</VALUE></PARAMVALUE>"
                                     "<PARAMVALUE NAME=\"IDType\" PARAMTYPE=\"uint16\"><VALUE>2</VALUE></PARAMVALUE>");
    };
    auto get = [](const std::string& name) {
        return CimClient::imethod("GetInstance", "<IPARAMVALUE NAME=\"InstanceName\">" + name + "</IPARAMVALUE>");
    };
    std::vector<Probe> out = {
        {"GetClass of CIM_ManagedElement", "GetClass",
         CimClient::imethod("GetClass", CimClient::class_param("ClassName", "CIM_ManagedElement")), false},
        {"GetInstance of a volume of array 1", "GetInstance", get(s.volume(1, 7)), false},
        {"GetInstance of the replication service of array 1", "GetInstance",
         get(s.named(s.replication, s.address(1))), false},
    };
    if (array0_too) {
        const std::vector<Probe> more = {
            {"replication service enumeration", "EnumerateInstances",
             CimClient::imethod("EnumerateInstances", CimClient::class_param("ClassName", "VELDARO_ReplicationService")),
             false},
            {"GetReplicationRelationships on array 0", "GetReplicationRelationships", relationships(0), true},
            {"GetReplicationRelationships on array 1", "GetReplicationRelationships", relationships(1), true},
            {"CreateStorageHardwareID on array 0", "CreateStorageHardwareID", hardware_id(0), true},
            {"CreateStorageHardwareID on array 1", "CreateStorageHardwareID", hardware_id(1), true},
            {"GetInstance of a volume of array 0", "GetInstance", get(s.volume(0, 14)), false},
        };
        out.insert(out.end(), more.begin(), more.end());
    }
    return out;
}

// The request of the probe of that name.
std::string probe_body(const WaitingServer& s, unsigned round, const std::string& what)
{
    for (const Probe& p : probes(s, round, true))
        if (p.what == what)
            return p.body;
    ADD_FAILURE() << "no probe " << what;
    return "";
}

// Asks every probe once; each must answer without error, within its bound.
// With nothing held, the times are the baseline of the bounds.
void expect_prompt_answers(WaitingServer& s, unsigned round, bool array0_too, bool baseline = false)
{
    CimClient client(s.server->port());
    for (const Probe& p : probes(s, round, array0_too)) {
        CimReply r;
        const auto took = timed_call(client, p.cim_method, p.body, r);
        EXPECT_EQ(r.http_status, 200) << p.what;
        EXPECT_EQ(r.error_code, 0) << p.what << ": " << r.body.substr(0, 400);
        if (p.method) {
            EXPECT_EQ(return_value(r), 0) << p.what << ": " << r.body.substr(0, 400);
        }
        if (baseline)
            s.baseline.record(p.what, took);
        else
            EXPECT_LT(took, s.baseline.bound(p.what))
                << p.what << " took " << ms(took) << " ms, against " << ms(s.baseline.bound(p.what)) << " ms";
    }
}

// Callers of CreateElementReplica on threads of their own.
class Callers {
public:
    explicit Callers(const WaitingServer& s) : _s(s) {}
    ~Callers() { join(); }

    void start(unsigned pair)
    {
        std::lock_guard lock(_mutex);
        _results.emplace_back(-2);
        const std::size_t slot = _results.size() - 1;
        _threads.emplace_back([this, pair, slot] {
            CimClient client(_s.server->port());
            // A caller waits for its copy until the test completes it, after
            // every other caller has started: on a loaded machine that can
            // take minutes.
            client.http().set_read_timeout(600, 0);
            CimReply r;
            client.call("CreateElementReplica", _s.mirror(pair), r);
            std::lock_guard lock(_mutex);
            _results[slot] = r.http_status == 200 ? return_value(r) : -1;
        });
    }
    void join()
    {
        for (auto& t : _threads)
            t.join();
        _threads.clear();
    }
    std::vector<long long> results()
    {
        std::lock_guard lock(_mutex);
        return _results;
    }

private:
    const WaitingServer& _s;
    std::mutex _mutex;
    std::vector<std::thread> _threads;
    std::vector<long long> _results;
};

TEST(CimserverArrayWaits, CopyWaitsLeaveEveryoneElseServedAndPastTheirBoundAreAnsweredBusyAtOnce)
{
    WaitingServer s;
    ASSERT_FALSE(s.volume(0, EXTRA).empty());
    expect_prompt_answers(s, BASELINE_ROUND, true, true);

    // Caller 0 leaves later: it uses a connection of its own.
    RawHttp leaver(s.server->port());
    ASSERT_TRUE(leaver.connected());
    ASSERT_TRUE(leaver.send(RawHttp::request("CreateElementReplica", s.mirror(0))));
    // Callers start one after another, each once the copy before it has
    // started: a caller queued behind thirty methods on a loaded machine
    // would meet the method lock's own bound, which is not what this
    // test is about.
    Callers callers(s);
    for (unsigned i = 1; i <= WAIT_BOUND; ++i) {
        ASSERT_TRUE(eventually([&] { return s.extra_sessions() == i; }, std::chrono::seconds(60)))
            << s.extra_sessions() << " copies started\n" << s.server->output();
        if (i < WAIT_BOUND)
            callers.start(i);
    }

    // Every caller waits for its copy; everybody else is served at once.
    expect_prompt_answers(s, 1, true);

    // One caller more: busy at once, and no copy made.
    {
        CimClient client(s.server->port());
        CimReply r;
        const auto took = timed_call(client, "CreateElementReplica", s.mirror(WAIT_BOUND), r);
        EXPECT_EQ(return_value(r), BUSY) << r.body.substr(0, 400);
        EXPECT_LT(took, PROMPT) << ms(took) << " ms";
        EXPECT_FALSE(s.session_from(EXTRA + 2 * WAIT_BOUND));
    }

    // The caller that leaves ends its wait: its place goes to a new caller,
    // whose copy is made.
    ::shutdown(leaver.fd(), SHUT_RDWR);
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    callers.start(WAIT_BOUND + 1);
    EXPECT_TRUE(eventually([&] { return s.session_from(EXTRA + 2 * (WAIT_BOUND + 1)); }, std::chrono::seconds(20)));
    for (long long rc : callers.results())
        EXPECT_EQ(rc, -2) << "a caller was answered before its copy was synchronised";

    // The copies complete: every waiting caller is answered success.
    ASSERT_TRUE(s.sim.control({{"op", "advance_copy"}, {"array", 0}, {"percent", 100}})["ok"]);
    callers.join();
    for (long long rc : callers.results())
        EXPECT_EQ(rc, 0);
    EXPECT_EQ(s.server->stop(), 0) << s.server->output();
}

// The cache files of every array, each there and not empty.
void expect_cache_files(const WaitingServer& s)
{
    for (const std::string& address : s.sim.addresses())
        for (const char* ext : {".cmf", ".ext", ".cps"}) {
            const std::string path = s.install.path() + "/data/" + address + ext;
            std::error_code ec;
            EXPECT_GT(std::filesystem::file_size(path, ec), 0u) << path;
        }
    for (const auto& entry : std::filesystem::directory_iterator(s.install.path() + "/data"))
        EXPECT_NE(entry.path().extension(), ".tmp") << "a file left half written: " << entry.path();
}

TEST(CimserverArrayWaits, ManyClientsStuckOnASilentArrayLeaveTheServerServingAndSigtermEndsItWithinFiveSeconds)
{
    // Port link status is asked live; a silent array answers at its time-out.
    WaitingServer s({"ConnectionTimeout=60", "PortLinkStatus=0"}, {"--poll-interval", "600"});
    expect_prompt_answers(s, BASELINE_ROUND, true, true);
    Callers copies(s);
    copies.start(0);
    copies.start(1);
    ASSERT_TRUE(eventually([&] { return s.extra_sessions() == 2; }, std::chrono::seconds(60)));

    ASSERT_TRUE(s.sim.fault(0, {{"kind", "stall"}, {"seconds", 300}}));
    // A read that asks the silent array, and 31 methods on it: one waits in
    // its exchange, the others for the array's method lock. (A reader that
    // finds the array's exchange taken does not wait: it answers from the
    // table; so only the methods are sure to be stuck.)
    std::vector<std::thread> stuck;
    std::atomic<int> answered{0};
    auto stuck_client = [&](std::string cim_method, std::string body) {
        stuck.emplace_back([&, cim_method, body] {
            CimClient client(s.server->port());
            CimReply r;
            client.call(cim_method, body, r);
            answered += cim_method != "EnumerateInstances";
        });
    };
    stuck_client("EnumerateInstances",
                 CimClient::imethod("EnumerateInstances", CimClient::class_param("ClassName", "VELDARO_FCPort")));
    for (unsigned i = 0; i < 31; ++i)
        stuck_client("CreateStorageHardwareID", probe_body(s, 10 + i, "CreateStorageHardwareID on array 0"));
    std::this_thread::sleep_for(std::chrono::seconds(2));
    EXPECT_EQ(answered, 0) << "methods on the silent array were answered";

    // Requests the table answers, and about the other array, are answered at once.
    expect_prompt_answers(s, 2, false);

    const auto stopping = Clock::now();
    EXPECT_EQ(s.server->stop(), 0) << s.server->output();
    const auto took = Clock::now() - stopping;
    EXPECT_LT(took, std::chrono::seconds(5)) << ms(took) << " ms";
    for (auto& t : stuck)
        t.join();
    copies.join();
    for (long long rc : copies.results())
        EXPECT_NE(rc, 0) << "a copy wait ended by the stop answered success";
    expect_cache_files(s);
}

// Three hundred methods on a silent array: at most the array's bound of
// callers (32) wait for its method lock, each in a worker; every other one is
// answered busy at once. Without the bound each caller keeps a worker for
// the lock's minute and the server's threads stay at its worker bound (256),
// so nobody else is served.
TEST(CimserverArrayWaits, HundredsOfMethodsOnASilentArrayKeepOnlyTheirBoundOfWorkers)
{
    constexpr unsigned CALLERS = 300;
    constexpr unsigned PER_ARRAY = 32;
    WaitingServer s({"ConnectionTimeout=60", "PortLinkStatus=0"}, {"--poll-interval", "600"});
    expect_prompt_answers(s, BASELINE_ROUND, true, true);
    const int threads_before = figures_of(s.server->pid()).threads;
    ASSERT_TRUE(s.sim.fault(0, {{"kind", "stall"}, {"seconds", 300}}));

    std::mutex mutex;
    unsigned busy = 0, slow_busy = 0, other = 0;
    std::vector<std::thread> callers;
    for (unsigned i = 0; i < CALLERS; ++i)
        callers.emplace_back([&, i] {
            char wwn[17];
            std::snprintf(wwn, sizeof wwn, "2100000000%06X", i);
            const std::string body = CimClient::method(
                "CreateStorageHardwareID", s.named(s.hardware_ids, s.address(0)),
                std::string("<PARAMVALUE NAME=\"StorageID\" PARAMTYPE=\"string\"><VALUE>") + wwn +
                    "</VALUE></PARAMVALUE><PARAMVALUE NAME=\"IDType\" PARAMTYPE=\"uint16\"><VALUE>2</VALUE>"
                    "</PARAMVALUE>");
            CimClient client(s.server->port());
            CimReply r;
            const auto took = timed_call(client, "CreateStorageHardwareID", body, r);
            std::lock_guard lock(mutex);
            if (r.http_status == 200 && return_value(r) == BUSY)
                ++(took < PROMPT ? busy : slow_busy);
            else
                ++other;
        });
    auto busy_answers = [&] {
        std::lock_guard lock(mutex);
        return busy + slow_busy;
    };
    EXPECT_TRUE(eventually([&] { return busy_answers() >= CALLERS - PER_ARRAY; }, std::chrono::seconds(50)))
        << busy_answers() << " of " << CALLERS << " callers answered busy";
    {
        std::lock_guard lock(mutex);
        EXPECT_EQ(slow_busy, 0u) << "busy answers that took " << ms(PROMPT) << " ms or more";
        EXPECT_EQ(other, 0u) << "callers answered before the array's time-out other than busy";
    }
    // A burst that finds every worker waiting gets extra workers to answer
    // it busy; those end once idle (10 s). Callers that kept their worker
    // would hold it for the lock's minute.
    int threads_during = 0;
    EXPECT_TRUE(eventually(
        [&] {
            threads_during = figures_of(s.server->pid()).threads;
            return threads_during <= threads_before + int(2 * PER_ARRAY);
        },
        std::chrono::seconds(30)))
        << "threads from " << threads_before << " to " << threads_during;

    // Reads, the other array's methods and a class are answered meanwhile.
    expect_prompt_answers(s, 3, false);

    const auto stopping = Clock::now();
    EXPECT_EQ(s.server->stop(), 0) << s.server->output();
    EXPECT_LT(Clock::now() - stopping, std::chrono::seconds(5));
    for (auto& t : callers)
        t.join();
}

TEST(CimserverArrayWaits, ARequestOnASilentArrayWaitsOneTimeOutNotOnePerAdapter)
{
    // No poll after the first: the array is not known to be silent before
    // the request. The array's time-out is 60 s, the shortest there is.
    WaitingServer s({"ConnectionTimeout=60", "PortLinkStatus=0"}, {"--poll-interval", "600"});
    ASSERT_TRUE(s.sim.fault(0, {{"kind", "stall"}, {"seconds", 300}}));
    CimClient client(s.server->port());
    CimReply r;
    const auto took = timed_call(
        client, "EnumerateInstances",
        CimClient::imethod("EnumerateInstances", CimClient::class_param("ClassName", "VELDARO_FCPort")), r);
    EXPECT_EQ(r.error_code, 0) << r.body.substr(0, 400);
    EXPECT_LT(took, std::chrono::seconds(100)) << ms(took) << " ms: more than one time-out of 60 s";
    // The silent array's ports still come, from the table.
    EXPECT_NE(r.body.find(">" + s.address(0) + "<"), std::string::npos);
    EXPECT_EQ(s.server->stop(), 0) << s.server->output();
}

// A method on an array that goes silent answers within one time-out, as a
// reader of it does: its exchanges do not queue behind the polling tasks'
// (polled every second here), each of which waits a time-out of its own;
// without the bound the method answered after two to four of them. No other method holds the
// array's method lock, so the lock's bound adds nothing. A method that could
// not ask the array makes nothing there.
TEST(CimserverArrayWaits, AMethodOnASilentArrayAnswersWithinOneTimeOutNotBehindThePollingTasks)
{
    WaitingServer s({"ConnectionTimeout=60", "PortLinkStatus=0"});
    ASSERT_TRUE(s.sim.control({{"op", "cli_clear_log"}})["ok"]);
    ASSERT_TRUE(s.sim.fault(0, {{"kind", "stall"}, {"seconds", 600}}));
    // The polling tasks' exchanges meet the silence first and hold the channel.
    std::this_thread::sleep_for(std::chrono::seconds(3));
    CimClient client(s.server->port());
    client.http().set_read_timeout(600, 0);
    // A reader that asks the silent array waits one time-out, measured here:
    // the method may take that and half a time-out more. Behind the polling
    // tasks it waited one time-out for each exchange queued before it.
    CimReply read;
    const auto one_time_out = timed_call(
        client, "EnumerateInstances",
        CimClient::imethod("EnumerateInstances", CimClient::class_param("ClassName", "VELDARO_FCPort")), read);
    EXPECT_EQ(read.error_code, 0) << read.body.substr(0, 400);
    CimReply r;
    const auto took =
        timed_call(client, "CreateStorageHardwareID", probe_body(s, 40, "CreateStorageHardwareID on array 0"), r);
    EXPECT_EQ(r.http_status, 200) << r.body.substr(0, 400);
    const long long rc = return_value(r);
    EXPECT_NE(rc, -1) << r.body.substr(0, 400);
    EXPECT_LT(took, one_time_out + std::chrono::seconds(30))
        << ms(took) << " ms, against " << ms(one_time_out) << " ms for a reader's one time-out";
    if (rc != 0) {
        const nlohmann::json lines = s.sim.control({{"op", "cli_log"}, {"array", 0}})["lines"];
        for (const auto& line : lines)
            EXPECT_NE(line.value("line", "").rfind("create ", 0), 0u) << lines.dump();
    }
    EXPECT_EQ(s.server->stop(), 0) << s.server->output();
}

} // namespace
} // namespace cimserver::test
