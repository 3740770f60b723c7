// arraysim: serves the arrays of a scenario over the binary command protocol.
//
//   arraysim [--scenario small|coverage|max|FILE] [--ready-file FILE]
//            [--control SOCKET] [--cli SOCKET] [--address A] [--port N] [--distinct-addresses]
//            [--parent-pid PID]
// With --parent-pid the simulator stops once that process is gone, so a test
// that dies never leaves a simulator running behind it.
//
// Once every port listens it writes the ready file (JSON: pid, control socket
// path, and per array its name, address and port) and runs until SIGINT,
// SIGTERM or the control socket's "shutdown".
#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <string>
#include <thread>

#include <unistd.h>

#include "SimulatorService.hpp"

namespace {

int usage() {
    std::cerr << "usage: arraysim [--scenario NAME|FILE] [--ready-file FILE] [--control SOCKET]\n"
                 "                [--cli SOCKET] [--address A] [--port N] [--distinct-addresses]\n"
                 "                [--parent-pid PID]\n";
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    arraysim::ServiceOptions o;
    pid_t parentPid = 0;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        auto next = [&]() -> const char* { return i + 1 < argc ? argv[++i] : nullptr; };
        const char* v = nullptr;
        if (a == "--distinct-addresses") {
            o.distinctAddresses = true;
        } else if (a == "--help" || a == "-h") {
            return usage() - 2;
        } else if ((a == "--scenario" || a == "--ready-file" || a == "--control" || a == "--cli" || a == "--address" || a == "--port" ||
                    a == "--parent-pid") &&
                   (v = next()) != nullptr) {
            if (a == "--scenario") o.scenario = v;
            if (a == "--ready-file") o.readyFile = v;
            if (a == "--control") o.controlPath = v;
            if (a == "--cli") o.cliPath = v;
            if (a == "--address") o.address = v;
            if (a == "--port") o.firstPort = static_cast<std::uint16_t>(std::stoul(v));
            if (a == "--parent-pid") parentPid = static_cast<pid_t>(std::stol(v));
        } else {
            return usage();
        }
    }
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGINT);
    sigaddset(&set, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &set, nullptr);
    std::signal(SIGPIPE, SIG_IGN);
    try {
        arraysim::SimulatorService service(o);
        std::thread signals([&] {
            int sig = 0;
            sigwait(&set, &sig);
            service.requestStop();
        });
        for (auto& p : service.ports())
            std::cout << "array " << p["name"].get<std::string>() << " on " << p["address"].get<std::string>() << ":"
                      << p["port"].get<int>() << "\n";
        std::atomic<bool> finished{false};
        std::thread parentWatch([&] {
            while (parentPid > 0 && !finished) {
                if (::getppid() != parentPid) {
                    service.requestStop();
                    return;
                }
                std::this_thread::sleep_for(std::chrono::milliseconds(200));
            }
        });
        std::cout << "control socket " << service.controlPath() << "\n";
        std::cout << "command-line socket " << service.cliPath() << std::endl;
        service.wait();
        finished = true;
        parentWatch.join();
        // Wake the signal thread when the stop came from the control socket.
        pthread_kill(signals.native_handle(), SIGTERM);
        signals.join();
    } catch (const std::exception& e) {
        std::cerr << "arraysim: " << e.what() << "\n";
        return 1;
    }
    return 0;
}
