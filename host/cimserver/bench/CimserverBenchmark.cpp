// What a CIM client sees of cimserver on the simulated arrays: a separate
// program, not a unit test (README, "Benchmark"). Each server runs on its
// own simulator, started on first use and kept for the program's life; a
// client keeps its connection alive as CIM client libraries do.
//
//   Enumerate/<class>/<scenario>[/<server>]
//                             EnumerateInstances; instances per second of
//                             server CPU (user + system, from /proc)
//   Enumerate/<class>/max/<server>/gap
//                             the same, each request after an idle gap
//                             (--gap_s, 5 s by default: past the allocator's
//                             trim delay), as a client that polls does
//   <operation>/<scenario>[/<server>]
//                             GetInstance of one volume, AssociatorNames and
//                             ReferenceNames of it through CIM_SystemDevice,
//                             References and Associators of it through every
//                             association, and GetInstance of one of its
//                             CIM_SystemDevice associations; the time of one
//                             call and the server CPU it costs
//   FullDiscovery/<scenario>[/<server>]/<first|second>
//                             EnumerateInstances of every class, associations
//                             included, on one kept-alive connection; its wall
//                             time, the server's CPU time and peak RSS
//   IdleRss/max               after everything else: the resident memory of
//                             every server measured on max, each second for
//                             a minute of idle (start, end, peak, seconds
//                             until under 100 MiB)
//   OpenPegasus/Enumerate/<class>/max/<in|out>_process
//                             the same enumeration of the same module served
//                             by the real OpenPegasus through CIMPLE (the
//                             build variant's module), in the server's process
//                             or in its provider agent; server CPU is that of
//                             the server and its agents. Registered when the
//                             third-party build and the variant's module are
//                             there (docs/openpegasus.md).
//
// Servers measured side by side on max: this build's cimserver, the
// cimserver programs CIMSERVER_BENCH_COMPARE names ("label=path", several
// separated by ";"; each runs with its own build's module), and OpenPegasus
// in process. All stay alive for the whole run. --rounds=N measures them in
// rotation N times (names prefixed r1/, r2/ ...), one server after the
// other for each measure, so a load that comes and goes hits all alike.
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

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <fstream>
#include <map>
#include <memory>
#include <set>
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

// Resident memory of the process in MiB (VmRSS).
double rssMiB(pid_t pid)
{
    std::ifstream in("/proc/" + std::to_string(pid) + "/status");
    for (std::string line; std::getline(in, line);)
        if (line.rfind("VmRSS:", 0) == 0)
            return std::stod(line.substr(6)) / 1024.0;
    return 0;
}

// The machine's load average over the last minute.
double loadAverage()
{
    std::ifstream in("/proc/loadavg");
    double load = 0;
    in >> load;
    return load;
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

// Idle time before each request of a .../gap enumeration (--gap_s).
int gapSeconds = 5;

// CPU time of the processes of a server: each live thread's own, to the
// nanosecond (/proc/<pid>/task/<tid>/schedstat), and the processes' totals
// in clock ticks (/proc/<pid>/stat), which also hold threads that ended.
struct CpuSample {
    std::map<long, double> threads; // seconds on CPU, by thread
    double ticks = 0;               // seconds, in ticks of 10 ms
};

CpuSample cpuSample(const std::vector<pid_t>& pids)
{
    CpuSample sample;
    for (pid_t pid : pids) {
        sample.ticks += serverCpuSeconds(pid);
        const std::string tasks = "/proc/" + std::to_string(pid) + "/task";
        std::unique_ptr<DIR, int (*)(DIR*)> dir(opendir(tasks.c_str()), closedir);
        for (dirent* e = dir ? readdir(dir.get()) : nullptr; e; e = readdir(dir.get())) {
            if (e->d_name[0] < '1' || e->d_name[0] > '9')
                continue;
            std::ifstream in(tasks + "/" + e->d_name + "/schedstat");
            double ns = 0;
            if (in >> ns)
                sample.threads[std::stol(e->d_name)] = ns / 1e9;
        }
    }
    return sample;
}

// The CPU time between two samples: the threads' own when no thread's time
// was lost meanwhile (one ended, or one came and went unseen: the ticks
// count more than a tick beyond them), the ticks otherwise.
double cpuBetween(const CpuSample& before, const CpuSample& after)
{
    const double ticks = after.ticks - before.ticks;
    double precise = 0;
    for (const auto& [tid, seconds] : after.threads) {
        const auto was = before.threads.find(tid);
        precise += seconds - (was == before.threads.end() ? 0 : was->second);
    }
    for (const auto& entry : before.threads)
        if (!after.threads.count(entry.first))
            return ticks;
    const double tick = 1.0 / static_cast<double>(::sysconf(_SC_CLK_TCK));
    return ticks > precise + 2 * tick ? ticks : precise;
}

// One server measured: where it listens, the processes that do its work
// (its CPU and memory are theirs together) and the first volume it serves.
struct Target {
    virtual ~Target() = default;
    virtual int port() const = 0;
    virtual std::vector<pid_t> pids() const = 0;
    virtual const std::string& volume() const = 0;

    CpuSample cpu() const { return cpuSample(pids()); }
    double rss() const
    {
        double mib = 0;
        for (pid_t pid : pids())
            mib += rssMiB(pid);
        return mib;
    }
    double peakRss() const
    {
        double mib = 0;
        for (pid_t pid : pids())
            mib += peakRssMiB(pid);
        return mib;
    }
};

// A simulator on one scenario and a cimserver program in front of it (this
// build's when program is empty), once the polling service has fetched
// every array's table.
struct Served : Target {
    Served(const std::string& scenario, const std::string& program) : sim(scenario)
    {
        configureArrays(sim, install);
        server = std::make_unique<CimserverProcess>(
            install.path(), std::vector<std::string>{"--max-request", "1048576"}, program);
        first_volume = firstVolumeWhenPolled(server->port());
    }
    ~Served() override { server->stop(); }

    int port() const override { return server->port(); }
    std::vector<pid_t> pids() const override { return {server->pid()}; }
    const std::string& volume() const override { return first_volume; }

    testsupport::ArraysimProcess sim;
    smis::test::TempInstallDir install;
    std::unique_ptr<CimserverProcess> server;
    std::string first_volume;
};

// The same module under OpenPegasus on the `max` scenario, in or out of
// the server's process, once it has polled every array.
struct ServedByOpenPegasus : Target {
    explicit ServedByOpenPegasus(bool in_process) : sim("max")
    {
        configureArrays(sim, install);
        server = std::make_unique<OpenPegasusServer>(install.path(), in_process);
        first_volume = firstVolumeWhenPolled(server->port());
    }
    ~ServedByOpenPegasus() override { server->stop(); }

    int port() const override { return server->port(); }
    const std::string& volume() const override { return first_volume; }
    // The server and its provider agents (found by the program path in the
    // server's home).
    std::vector<pid_t> pids() const override
    {
        std::vector<pid_t> found{server->pid()};
        const std::string agent = server->home() + "/bin/cimprovagt";
        std::unique_ptr<DIR, int (*)(DIR*)> proc(opendir("/proc"), closedir);
        for (dirent* e = proc ? readdir(proc.get()) : nullptr; e; e = readdir(proc.get())) {
            if (e->d_name[0] < '1' || e->d_name[0] > '9')
                continue;
            std::ifstream in(std::string("/proc/") + e->d_name + "/cmdline");
            std::string program;
            std::getline(in, program, '\0');
            if (program == agent)
                found.push_back(static_cast<pid_t>(std::stol(e->d_name)));
        }
        return found;
    }

    testsupport::ArraysimProcess sim;
    smis::test::TempInstallDir install;
    std::unique_ptr<OpenPegasusServer> server;
    std::string first_volume;
};

// The cimserver programs to compare with this build's, by label
// (CIMSERVER_BENCH_COMPARE: "label=path;label=path").
std::vector<std::pair<std::string, std::string>> comparedPrograms()
{
    std::vector<std::pair<std::string, std::string>> programs;
    const char* spec = std::getenv("CIMSERVER_BENCH_COMPARE");
    std::istringstream entries(spec ? spec : "");
    for (std::string entry; std::getline(entries, entry, ';');) {
        const size_t eq = entry.find('=');
        if (eq != std::string::npos && eq > 0 && eq + 1 < entry.size())
            programs.emplace_back(entry.substr(0, eq), entry.substr(eq + 1));
    }
    return programs;
}

// The server of one scenario: this build's cimserver (label empty), a
// compared one (its label), or OpenPegasus ("openpegasus_in",
// "openpegasus_out"; one of them alive at a time: they share the server
// lock of the third-party build). Started on first use when start is set;
// null (with why) when it is not running or cannot be started.
Target* target(const std::string& scenario, const std::string& label, std::string& why, bool start = true)
{
    static std::map<std::string, std::unique_ptr<Target>> running;
    const std::string key = scenario + "/" + label;
    if (const auto found = running.find(key); found != running.end() && found->second)
        return found->second.get();
    if (!start)
        return nullptr;
    auto& slot = running[key];
    try {
        if (label.rfind("openpegasus_", 0) == 0) {
            const bool in_process = label == "openpegasus_in";
            running.erase(scenario + "/" + (in_process ? "openpegasus_out" : "openpegasus_in"));
            slot = std::make_unique<ServedByOpenPegasus>(in_process);
        } else {
            std::string program;
            for (const auto& [name, path] : comparedPrograms())
                if (name == label)
                    program = path;
            if (!label.empty() && program.empty())
                throw std::runtime_error("no program for " + label);
            slot = std::make_unique<Served>(scenario, program);
        }
    } catch (const std::exception& e) {
        why = e.what();
        running.erase(key);
        return nullptr;
    }
    if (slot->volume().empty()) {
        why = "the server answered no volume";
        return nullptr;
    }
    return slot.get();
}

// Every server of max started so far, by label (for IdleRss).
std::vector<std::pair<std::string, Target*>> liveTargets(const std::vector<std::string>& labels)
{
    std::vector<std::pair<std::string, Target*>> live;
    for (const std::string& label : labels) {
        std::string why;
        if (Target* t = target("max", label, why, false))
            live.emplace_back(label.empty() ? "cimserver" : label, t);
    }
    return live;
}

// The server of a benchmark, or null with the benchmark skipped.
Target* targetOf(benchmark::State& state, const std::string& scenario, const std::string& label)
{
    std::string why;
    Target* t = target(scenario, label, why);
    if (!t)
        state.SkipWithError(why.c_str());
    return t;
}

// EnumerateInstances of the class, as often as the benchmark asks (after
// gap seconds of idle each time, when given); its instances per call and per
// second of server CPU. CPU is counted over the calls only. The client only
// counts the instances as they arrive, so its own work is small beside the
// server's.
void enumerate(benchmark::State& state, const std::string& scenario, const std::string& label,
               const std::string& className, int gap)
{
    Target* t = targetOf(state, scenario, label);
    if (!t)
        return;
    const std::string request = RawHttp::request(
        "EnumerateInstances", CimClient::imethod("EnumerateInstances", CimClient::class_param("ClassName", className)),
        "CIMObject: root%2Fkestris\r\n");
    RawHttp http(t->port());
    size_t instances = 0;
    double cpu = 0;
    for (auto _ : state) {
        if (gap > 0) {
            state.PauseTiming();
            std::this_thread::sleep_for(std::chrono::seconds(gap));
            state.ResumeTiming();
        }
        const CpuSample before = t->cpu();
        HttpResponse r;
        Marker_Count named("<VALUE.NAMEDINSTANCE>");
        Marker_Count failed("<ERROR");
        const auto piece = [&](std::string_view p) {
            named.add(p);
            failed.add(p);
        };
        const bool read = http.send(request) && http.read(r, std::chrono::minutes(5), piece);
        cpu += cpuBetween(before, t->cpu());
        if (!read || r.status != 200 || failed.count() > 0) {
            state.SkipWithError("enumeration failed");
            return;
        }
        instances += named.count();
    }
    state.counters["instances"] = static_cast<double>(instances) / static_cast<double>(state.iterations());
    state.counters["per_server_cpu_s"] = cpu > 0 ? static_cast<double>(instances) / cpu : 0;
    state.counters["server_cpu_ms"] = cpu * 1000 / static_cast<double>(state.iterations());
    state.counters["load1"] = loadAverage();
}

// The request of one call about the volume, or empty when it cannot be made.
std::string oneVolumeRequest(const std::string& volume, CimClient& client, const std::string& operation)
{
    auto value = [](const char* name, const char* text) {
        return "<IPARAMVALUE NAME=\"" + std::string(name) + "\"><VALUE>" + text + "</VALUE></IPARAMVALUE>";
    };
    const std::string systemDevice = CimClient::class_param("ResultClass", "CIM_SystemDevice") +
                                     value("Role", "PartComponent");
    if (operation == "GetInstance")
        return CimClient::imethod(operation, nameParam("InstanceName", volume));
    // The walk follows one association from the volume's end (the volume is
    // the system's PartComponent), or every association the volume has.
    if (operation == "AssociatorNames")
        return CimClient::imethod(operation, nameParam("ObjectName", volume) +
                                                 CimClient::class_param("AssocClass", "CIM_SystemDevice") +
                                                 value("Role", "PartComponent") +
                                                 value("ResultRole", "GroupComponent"));
    if (operation == "ReferenceNames")
        return CimClient::imethod(operation, nameParam("ObjectName", volume) + systemDevice);
    if (operation == "References" || operation == "Associators")
        return CimClient::imethod(operation, nameParam("ObjectName", volume));
    if (operation == "AssociationGetInstance") {
        // The volume's CIM_SystemDevice association, named by its path.
        CimReply names;
        client.call("ReferenceNames", CimClient::imethod("ReferenceNames", nameParam("ObjectName", volume) +
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

// One call about the first volume, timed by the client over a kept-alive
// connection; the server CPU of a call is the average over the calls.
void oneVolume(benchmark::State& state, const std::string& scenario, const std::string& label,
               const std::string& operation)
{
    Target* t = targetOf(state, scenario, label);
    if (!t)
        return;
    CimClient client(t->port());
    const std::string body = oneVolumeRequest(t->volume(), client, operation);
    if (body.empty()) {
        state.SkipWithError((operation + ": the request could not be made").c_str());
        return;
    }
    const std::string method = operation == "AssociationGetInstance" ? "GetInstance" : operation;
    CimReply warm;
    client.call(method, body, warm);  // opens the connection
    size_t answers = 0;
    double cpu = 0;
    for (auto _ : state) {
        CimReply r;
        const CpuSample before = t->cpu();
        const auto start = Clock::now();
        client.call(method, body, r);
        state.SetIterationTime(std::chrono::duration<double>(Clock::now() - start).count());
        cpu += cpuBetween(before, t->cpu());
        if (r.error_code != 0 || r.http_status != 200) {
            state.SkipWithError((operation + " failed: " + std::to_string(r.http_status) + " " +
                                 std::to_string(r.error_code) + " " + r.body.substr(0, 300))
                                    .c_str());
            return;
        }
        answers = r.all("INSTANCE").size() + r.all("OBJECTPATH").size();
    }
    state.counters["answers"] = static_cast<double>(answers);
    state.counters["server_cpu_ms"] = cpu * 1000 / static_cast<double>(state.iterations());
    state.counters["load1"] = loadAverage();
}

// The classes of the server's repository.
std::set<std::string> classesOf(const Target& t)
{
    CimClient client(t.port());
    std::set<std::string> names;
    for (const auto& entry : repository_classes(client))
        names.insert(entry.first);
    return names;
}

// Every class of the repository enumerated once, as a discovery tool does,
// on one kept-alive connection; with peers (the other cimserver programs
// compared), only the classes every one of them has, so all do the same
// work. The client only counts the instances, so the wall time is the
// server's and the wire's.
void fullDiscovery(benchmark::State& state, const std::string& scenario, const std::string& label,
                   const std::vector<std::string>& peers)
{
    Target* t = targetOf(state, scenario, label);
    if (!t)
        return;
    std::set<std::string> classes = classesOf(*t);
    for (const std::string& peer : peers) {
        Target* other = targetOf(state, scenario, peer);
        if (!other)
            return;
        const std::set<std::string> theirs = classesOf(*other);
        std::erase_if(classes, [&](const std::string& name) { return !theirs.count(name); });
    }
    std::vector<std::string> requests;
    for (const std::string& name : classes)
        requests.push_back(RawHttp::request(
            "EnumerateInstances", CimClient::imethod("EnumerateInstances", CimClient::class_param("ClassName", name))));
    RawHttp http(t->port());
    size_t instances = 0;
    double cpu = 0;
    for (auto _ : state) {
        const CpuSample before = t->cpu();
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
        cpu += cpuBetween(before, t->cpu());
    }
    const auto iterations = static_cast<double>(state.iterations());
    state.counters["classes"] = static_cast<double>(requests.size());
    state.counters["instances"] = static_cast<double>(instances) / iterations;
    state.counters["server_cpu_s"] = cpu / iterations;
    state.counters["per_server_cpu_s"] = cpu > 0 ? static_cast<double>(instances) / cpu : 0;
    state.counters["server_peak_rss_MiB"] = t->peakRss();
    state.counters["load1"] = loadAverage();
}

// A minute of idle for every server of max measured so far: resident memory
// at its start and end, the peak since each server started, and the seconds
// until it was under 100 MiB (-1: never within the minute).
void idleRss(benchmark::State& state, const std::vector<std::string>& labels)
{
    const auto live = liveTargets(labels);
    for (auto _ : state) {
        std::vector<double> below(live.size(), -1);
        const auto start = Clock::now();
        for (int second = 0; second <= 60; ++second) {
            std::this_thread::sleep_until(start + std::chrono::seconds(second));
            for (size_t i = 0; i < live.size(); ++i) {
                const double mib = live[i].second->rss();
                if (second == 0)
                    state.counters[live[i].first + "_rss_0s_MiB"] = mib;
                if (below[i] < 0 && mib < 100)
                    below[i] = second;
                if (second == 60)
                    state.counters[live[i].first + "_rss_60s_MiB"] = mib;
            }
        }
        for (size_t i = 0; i < live.size(); ++i) {
            state.counters[live[i].first + "_peak_MiB"] = live[i].second->peakRss();
            state.counters[live[i].first + "_s_under_100MiB"] = below[i];
        }
    }
    state.counters["load1"] = loadAverage();
}

template <class Function, class... Args>
benchmark::internal::Benchmark* add(const std::string& name, Function function, Args... args)
{
    return benchmark::RegisterBenchmark(name.c_str(), function, args...);
}

const char* const CLASSES[] = {"VELDARO_StorageVolume", "VELDARO_DiskDrive", "VELDARO_StorageHardwareID"};
const char* const OPERATIONS[] = {"GetInstance", "References", "Associators", "AssociatorNames",
                                  "ReferenceNames", "AssociationGetInstance"};

// The labels other than label.
std::vector<std::string> peersOf(const std::vector<std::string>& labels, const std::string& label)
{
    std::vector<std::string> peers;
    for (const std::string& other : labels)
        if (other != label)
            peers.push_back(other);
    return peers;
}

bool isPegasus(const std::string& label)
{
    return label.rfind("openpegasus_", 0) == 0;
}

// The measures of one scenario, each on every server named one after the
// other (label "" is this build's cimserver); prefix names the round. The
// module's figures under OpenPegasus are its enumerations.
void registerRound(const std::string& prefix, const std::string& scenario, const std::vector<std::string>& labels)
{
    const auto suffix = [](const std::string& label) { return label.empty() ? "" : "/" + label; };
    for (const char* className : CLASSES)
        for (const std::string& label : labels)
            add(prefix + "Enumerate/" + className + "/" + scenario + suffix(label), enumerate, scenario, label,
                std::string(className), 0)
                ->Unit(benchmark::kMillisecond)
                ->UseRealTime();
    if (scenario == "max")
        for (const char* className : CLASSES)
            for (const std::string& label : labels)
                add(prefix + "Enumerate/" + className + "/max/" + (label.empty() ? "cimserver" : label) + "/gap",
                    enumerate, scenario, label, std::string(className), gapSeconds)
                    ->Unit(benchmark::kMillisecond)
                    ->UseRealTime()
                    ->Iterations(3);
    for (const char* operation : OPERATIONS)
        for (const std::string& label : labels)
            if (!isPegasus(label))
                add(prefix + operation + "/" + scenario + suffix(label), oneVolume, scenario, label,
                    std::string(operation))
                    ->Unit(benchmark::kMillisecond)
                    ->UseManualTime();
    // The first discovery after the start meets cold caches; the second
    // runs warm. Compared programs discover the classes they all have.
    std::vector<std::string> programs;
    for (const std::string& label : labels)
        if (!isPegasus(label))
            programs.push_back(label);
    for (const char* run : {"first", "second"})
        for (const std::string& label : programs)
            add(prefix + "FullDiscovery/" + scenario + suffix(label) + "/" + run, fullDiscovery, scenario, label,
                peersOf(programs, label))
                ->Unit(benchmark::kSecond)
                ->UseRealTime()
                ->Iterations(1);
}

void registerAll(int rounds)
{
    bool pegasus = true;
    try {
        OpenPegasusServer::require_builds();
    } catch (const std::exception& e) {
        pegasus = false;
        std::fprintf(stderr, "OpenPegasus benchmarks not registered: %s\n", e.what());
    }
    std::vector<std::string> labels{""};
    for (const auto& compared : comparedPrograms())
        labels.push_back(compared.first);
    if (pegasus)
        labels.push_back("openpegasus_in");
    registerRound("", "small", {""});
    // The servers of max in rotation: each measure on one after the other.
    for (int round = 1; round <= rounds; ++round)
        registerRound(rounds > 1 ? "r" + std::to_string(round) + "/" : "", "max", labels);
    add("IdleRss/max", idleRss, labels)->Unit(benchmark::kSecond)->UseRealTime()->Iterations(1);
    // The module under OpenPegasus in its provider agent, when its builds
    // are there (after the rest: the in-process server is stopped for it).
    if (pegasus)
        for (const char* className : CLASSES)
            add(std::string("OpenPegasus/Enumerate/") + className + "/max/out_of_process", enumerate,
                std::string("max"), std::string("openpegasus_out"), std::string(className), 0)
                ->Unit(benchmark::kMillisecond)
                ->UseRealTime();
}

// Takes this program's own options (--rounds=N, --gap_s=S) out of argv.
int ownOptions(int& argc, char** argv)
{
    int rounds = 1;
    int kept = 1;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg.rfind("--rounds=", 0) == 0)
            rounds = std::max(1, std::atoi(arg.c_str() + 9));
        else if (arg.rfind("--gap_s=", 0) == 0)
            gapSeconds = std::max(0, std::atoi(arg.c_str() + 8));
        else
            argv[kept++] = argv[i];
    }
    argc = kept;
    return rounds;
}

}  // namespace
}  // namespace cimserver::test

int main(int argc, char** argv)
{
    cimserver::test::registerAll(cimserver::test::ownOptions(argc, argv));
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
