// What a CIM client sees of cimserver on the simulated arrays: a separate
// program, not a unit test (README, "Benchmark"). Each scenario runs one
// simulator and one server, started on first use and kept for the program's
// life; a client keeps its connection alive as CIM client libraries do.
//
//   Enumerate/<class>/max     EnumerateInstances; instances per second of
//                             server CPU (user + system, from /proc)
//   <operation>/<scenario>    GetInstance of one volume, AssociatorNames and
//                             ReferenceNames of it through CIM_SystemDevice,
//                             References and Associators of it through every
//                             association, and GetInstance of one of its
//                             CIM_SystemDevice associations; the time of one call
//   FullDiscovery/<scenario>  EnumerateInstances of every class, associations
//                             included, on one kept-alive connection; its wall
//                             time, the server's CPU time and peak RSS
//   OpenPegasus/Enumerate/<class>/max/<in|out>_process
//                             the same enumeration of the same module served
//                             by the real OpenPegasus through CIMPLE (the
//                             build variant's module), in the server's process
//                             or in its provider agent; server CPU is that of
//                             the server and its agents. Registered when the
//                             third-party build and the variant's module are
//                             there (docs/openpegasus.md).
//
// A short smoke run (the `small` scenario only) is registered in CTest.

#include "CimClient.h"
#include "CimserverProcess.h"
#include "OpenPegasusServer.h"
#include "RawHttp.h"

#include <ArraysimProcess.hpp>
#include <TempInstallDir.h>

#include <benchmark/benchmark.h>

#include <dirent.h>
#include <string.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <functional>
#include <fstream>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <thread>

namespace cimserver::test {
namespace {

using Clock = std::chrono::steady_clock;

double serverCpuSeconds(pid_t pid)
{
    std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    // Fields after the command name (which may hold blanks) start at ") ".
    std::istringstream fields(text.substr(text.rfind(')') + 2));
    std::string field;
    double ticks = 0;
    for (int i = 3; fields >> field; ++i) {
        if (i == 14 || i == 15)
            ticks += std::stod(field);
        if (i == 15)
            break;
    }
    return ticks / static_cast<double>(::sysconf(_SC_CLK_TCK));
}

// Peak resident set of the process in MiB (VmHWM).
double peakRssMiB(pid_t pid)
{
    std::ifstream in("/proc/" + std::to_string(pid) + "/status");
    for (std::string line; std::getline(in, line);)
        if (line.rfind("VmHWM:", 0) == 0)
            return std::stod(line.substr(6)) / 1024.0;
    return 0;
}

std::string nameParam(const char* param, const std::string& instanceName)
{
    return "<IPARAMVALUE NAME=\"" + std::string(param) + "\">" + instanceName + "</IPARAMVALUE>";
}

// The first volume's INSTANCENAME once every array has its table: two
// readings a second apart agree (empty when none in 3 minutes).
std::string firstVolumeWhenPolled(int port)
{
    CimClient client(port);
    size_t previous = 0;
    for (auto deadline = Clock::now() + std::chrono::minutes(3); Clock::now() < deadline;) {
        const std::vector<std::string> names = instance_names(client, "VELDARO_StorageVolume");
        if (!names.empty() && names.size() == previous)
            return names.front();
        previous = names.size();
        std::this_thread::sleep_for(std::chrono::seconds(1));
    }
    return {};
}

// The array configuration of every array of the simulator in the install directory.
void configureArrays(const testsupport::ArraysimProcess& sim, const smis::test::TempInstallDir& install)
{
    std::vector<std::string> env;
    for (size_t i = 0; i < sim.arrayCount(); i++)
        env.push_back("StorageIP=" + sim.address(i) + "," + std::to_string(sim.port(i)));
    install.writeEnv(env);
}

// The simulator on one scenario and cimserver in front of it, once the
// polling service has fetched every array's table.
struct Served {
    explicit Served(const std::string& scenario) : sim(scenario)
    {
        configureArrays(sim, install);
        server = std::make_unique<CimserverProcess>(install.path(), std::vector<std::string>{"--max-request", "1048576"});
        volume = firstVolumeWhenPolled(server->port());
    }
    ~Served() { server->stop(); }

    testsupport::ArraysimProcess sim;
    smis::test::TempInstallDir install;
    std::unique_ptr<CimserverProcess> server;
    std::string volume;  // the first volume's INSTANCENAME
};

Served& served(const std::string& scenario)
{
    static std::map<std::string, std::unique_ptr<Served>> running;
    auto& slot = running[scenario];
    if (!slot)
        slot = std::make_unique<Served>(scenario);
    return *slot;
}

// The same module under OpenPegasus on the `max` scenario, in or out of
// the server's process, once it has polled every array.
struct ServedByOpenPegasus {
    explicit ServedByOpenPegasus(bool in_process) : sim("max")
    {
        configureArrays(sim, install);
        server = std::make_unique<OpenPegasusServer>(install.path(), in_process);
        polled = !firstVolumeWhenPolled(server->port()).empty();
    }
    ~ServedByOpenPegasus() { server->stop(); }

    // CPU seconds of the server and of its provider agents (found by the
    // program path in the server's home).
    double cpuSeconds() const
    {
        double cpu = serverCpuSeconds(server->pid());
        const std::string agent = server->home() + "/bin/cimprovagt";
        std::unique_ptr<DIR, int (*)(DIR*)> proc(opendir("/proc"), closedir);
        for (dirent* e = proc ? readdir(proc.get()) : nullptr; e; e = readdir(proc.get())) {
            if (e->d_name[0] < '1' || e->d_name[0] > '9')
                continue;
            std::ifstream in(std::string("/proc/") + e->d_name + "/cmdline");
            std::string program;
            std::getline(in, program, '\0');
            if (program == agent)
                cpu += serverCpuSeconds(static_cast<pid_t>(std::stol(e->d_name)));
        }
        return cpu;
    }

    testsupport::ArraysimProcess sim;
    smis::test::TempInstallDir install;
    std::unique_ptr<OpenPegasusServer> server;
    bool polled = false;
};

// EnumerateInstances of the class, as often as the benchmark asks; its
// instances per call and per second of server CPU (as cpu() counts it).
void enumerateOn(benchmark::State& state, int port, const std::function<double()>& cpuSeconds,
                 const std::string& className)
{
    CimClient client(port);
    size_t instances = 0;
    double cpu = 0;
    for (auto _ : state) {
        const double before = cpuSeconds();
        CimReply r;
        client.call("EnumerateInstances",
                    CimClient::imethod("EnumerateInstances", CimClient::class_param("ClassName", className)), r);
        cpu += cpuSeconds() - before;
        if (r.error_code != 0 || r.http_status != 200) {
            state.SkipWithError("enumeration failed");
            return;
        }
        instances += r.all("VALUE.NAMEDINSTANCE").size();
    }
    state.counters["instances"] = static_cast<double>(instances) / static_cast<double>(state.iterations());
    state.counters["per_server_cpu_s"] = cpu > 0 ? static_cast<double>(instances) / cpu : 0;
}

void enumerate(benchmark::State& state, const std::string& scenario, const std::string& className)
{
    Served& s = served(scenario);
    const pid_t pid = s.server->pid();
    enumerateOn(state, s.server->port(), [pid] { return serverCpuSeconds(pid); }, className);
}

void enumerateThroughOpenPegasus(benchmark::State& state, bool in_process, const std::string& className)
{
    // One server of the third-party build at a time: kept for the
    // benchmarks of one placement, then stopped.
    static std::unique_ptr<ServedByOpenPegasus> running;
    static bool running_in_process = false;
    if (!running || running_in_process != in_process) {
        running.reset();
        try {
            running = std::make_unique<ServedByOpenPegasus>(in_process);
        } catch (const std::exception& e) {
            state.SkipWithError(e.what());
            return;
        }
        running_in_process = in_process;
    }
    if (!running->polled) {
        state.SkipWithError(("the module did not answer volumes through OpenPegasus:\n" + running->server->output()).c_str());
        return;
    }
    ServedByOpenPegasus* s = running.get();
    enumerateOn(state, s->server->port(), [s] { return s->cpuSeconds(); }, className);
}

// The request of one call about the first volume, or empty when it cannot be made.
std::string oneVolumeRequest(Served& s, CimClient& client, const std::string& operation)
{
    auto value = [](const char* name, const char* text) {
        return "<IPARAMVALUE NAME=\"" + std::string(name) + "\"><VALUE>" + text + "</VALUE></IPARAMVALUE>";
    };
    const std::string systemDevice = CimClient::class_param("ResultClass", "CIM_SystemDevice") +
                                     value("Role", "PartComponent");
    if (operation == "GetInstance")
        return CimClient::imethod(operation, nameParam("InstanceName", s.volume));
    // The walk follows one association from the volume's end (the volume is
    // the system's PartComponent), or every association the volume has.
    if (operation == "AssociatorNames")
        return CimClient::imethod(operation, nameParam("ObjectName", s.volume) +
                                                 CimClient::class_param("AssocClass", "CIM_SystemDevice") +
                                                 value("Role", "PartComponent") +
                                                 value("ResultRole", "GroupComponent"));
    if (operation == "ReferenceNames")
        return CimClient::imethod(operation, nameParam("ObjectName", s.volume) + systemDevice);
    if (operation == "References" || operation == "Associators")
        return CimClient::imethod(operation, nameParam("ObjectName", s.volume));
    if (operation == "AssociationGetInstance") {
        // The volume's CIM_SystemDevice association, named by its path.
        CimReply names;
        client.call("ReferenceNames", CimClient::imethod("ReferenceNames", nameParam("ObjectName", s.volume) +
                                                                               systemDevice),
                    names);
        const auto found = names.all("INSTANCENAME");
        if (found.empty())
            return "";
        std::ostringstream name;
        found.front().print(name, "", pugi::format_raw);
        return CimClient::imethod("GetInstance", nameParam("InstanceName", name.str()));
    }
    return "";
}

// One call about the first volume, timed by the client over a kept-alive connection.
void oneVolume(benchmark::State& state, const std::string& scenario, const std::string& operation)
{
    Served& s = served(scenario);
    if (s.volume.empty()) {
        state.SkipWithError("no volume served");
        return;
    }
    CimClient client(s.server->port());
    const std::string body = oneVolumeRequest(s, client, operation);
    if (body.empty()) {
        state.SkipWithError((operation + ": the request could not be made").c_str());
        return;
    }
    const std::string method = operation == "AssociationGetInstance" ? "GetInstance" : operation;
    CimReply warm;
    client.call(method, body, warm);  // opens the connection
    size_t answers = 0;
    for (auto _ : state) {
        CimReply r;
        const auto start = Clock::now();
        client.call(method, body, r);
        state.SetIterationTime(std::chrono::duration<double>(Clock::now() - start).count());
        if (r.error_code != 0 || r.http_status != 200) {
            state.SkipWithError((operation + " failed: " + std::to_string(r.http_status) + " " +
                                 std::to_string(r.error_code) + " " + r.body.substr(0, 300))
                                    .c_str());
            return;
        }
        answers = r.all("INSTANCE").size() + r.all("OBJECTPATH").size();
    }
    state.counters["answers"] = static_cast<double>(answers);
}

// Counts a marker in a text that arrives in pieces (a marker may straddle two).
class Marker_Count {
public:
    explicit Marker_Count(std::string_view marker) : _marker(marker) {}
    void add(std::string_view piece)
    {
        // The tail of the last piece that could start a marker goes first.
        _window.assign(_tail);
        _window.append(piece);
        const char* end = _window.data() + _window.size();
        const char* at = _window.data();
        while ((at = static_cast<const char*>(
                    ::memmem(at, static_cast<size_t>(end - at), _marker.data(), _marker.size())))) {
            ++_count;
            at += _marker.size();
        }
        const size_t keep = std::min(_window.size(), _marker.size() - 1);
        _tail.assign(end - keep, keep);
    }
    size_t count() const { return _count; }

private:
    std::string_view _marker;
    std::string _window;
    std::string _tail;
    size_t _count = 0;
};

// Every class of the repository enumerated once, as a discovery tool does,
// on one kept-alive connection. The client only counts the instances, so
// the wall time is the server's and the wire's.
void fullDiscovery(benchmark::State& state, const std::string& scenario)
{
    Served& s = served(scenario);
    std::vector<std::string> requests;
    {
        CimClient client(s.server->port());
        for (const auto& entry : repository_classes(client))
            requests.push_back(RawHttp::request(
                "EnumerateInstances",
                CimClient::imethod("EnumerateInstances", CimClient::class_param("ClassName", entry.first))));
    }
    RawHttp http(s.server->port());
    size_t instances = 0;
    double cpu = 0;
    for (auto _ : state) {
        const double before = serverCpuSeconds(s.server->pid());
        for (const std::string& request : requests) {
            HttpResponse r;
            Marker_Count named("<VALUE.NAMEDINSTANCE>");
            const auto piece = [&](std::string_view p) { named.add(p); };
            if (!http.send(request) || !http.read(r, std::chrono::minutes(5), piece) || r.status != 200) {
                state.SkipWithError("an enumeration failed");
                return;
            }
            instances += named.count();
        }
        cpu += serverCpuSeconds(s.server->pid()) - before;
    }
    const auto iterations = static_cast<double>(state.iterations());
    state.counters["classes"] = static_cast<double>(requests.size());
    state.counters["instances"] = static_cast<double>(instances) / iterations;
    state.counters["server_cpu_s"] = cpu / iterations;
    state.counters["per_server_cpu_s"] = cpu > 0 ? static_cast<double>(instances) / cpu : 0;
    state.counters["server_peak_rss_MiB"] = peakRssMiB(s.server->pid());
}

void registerAll()
{
    for (const char* className : {"VELDARO_StorageVolume", "VELDARO_DiskDrive", "VELDARO_StorageHardwareID"})
        for (const char* scenario : {"small", "max"})
            benchmark::RegisterBenchmark(("Enumerate/" + std::string(className) + "/" + scenario).c_str(), enumerate,
                                         std::string(scenario), std::string(className))
                ->Unit(benchmark::kMillisecond)
                ->UseRealTime();
    for (const char* operation :
         {"GetInstance", "AssociatorNames", "ReferenceNames", "References", "Associators", "AssociationGetInstance"})
        for (const char* scenario : {"small", "max"})
            benchmark::RegisterBenchmark((std::string(operation) + "/" + scenario).c_str(), oneVolume,
                                         std::string(scenario), std::string(operation))
                ->Unit(benchmark::kMillisecond)
                ->UseManualTime();
    // The module under OpenPegasus, when its builds are there.
    bool pegasus = true;
    try {
        OpenPegasusServer::require_builds();
    } catch (const std::exception& e) {
        pegasus = false;
        std::fprintf(stderr, "OpenPegasus benchmarks not registered: %s\n", e.what());
    }
    for (bool in_process : {false, true})
        for (const char* className : {"VELDARO_StorageVolume", "VELDARO_DiskDrive", "VELDARO_StorageHardwareID"})
            if (pegasus)
                benchmark::RegisterBenchmark(("OpenPegasus/Enumerate/" + std::string(className) + "/max/" +
                                              (in_process ? "in_process" : "out_of_process"))
                                                 .c_str(),
                                             enumerateThroughOpenPegasus, in_process, std::string(className))
                    ->Unit(benchmark::kMillisecond)
                    ->UseRealTime();
    // The first discovery after the start meets cold caches; the second runs warm.
    for (const char* scenario : {"small", "max"})
        for (const char* run : {"first", "second"})
            benchmark::RegisterBenchmark(("FullDiscovery/" + std::string(scenario) + "/" + run).c_str(),
                                         fullDiscovery, std::string(scenario))
                ->Unit(benchmark::kSecond)
                ->UseRealTime()
                ->Iterations(1);
}

}  // namespace
}  // namespace cimserver::test

int main(int argc, char** argv)
{
    cimserver::test::registerAll();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
