#include "SimulatorService.hpp"

#include <unistd.h>

#include <cstdio>
#include <fstream>

namespace arraysim {

SimulatorService::SimulatorService(const ServiceOptions& o) {
    state_ = std::make_unique<SimulatorState>(Scenario::load(o.scenario));
    for (std::size_t i = 0; i < state_->arrayCount(); ++i) {
        const std::string address = o.distinctAddresses ? "127.0.0." + std::to_string(i + 1) : o.address;
        const std::uint16_t port = o.firstPort ? static_cast<std::uint16_t>(o.firstPort + (o.distinctAddresses ? 0 : i)) : 0;
        endpoints_.push_back(std::make_unique<ArrayEndpoint>(*state_, i, certs_, address, port));
    }
    const std::string base = o.readyFile.empty() ? "/tmp/arraysim" : o.readyFile;
    std::string control = o.controlPath;
    if (control.empty()) control = base + ".ctl";
    cli_ = std::make_unique<CliServer>(*state_, o.cliPath.empty() ? base + ".cli" : o.cliPath, [this] { return ports(); });
    control_ = std::make_unique<ControlServer>(*state_, control, [this] { return ports(); }, [this] { requestStop(); });
    if (!o.readyFile.empty()) writeReadyFile(o.readyFile);
}

SimulatorService::~SimulatorService() {
    if (control_) control_->stop();
    if (cli_) cli_->stop();
    for (auto& e : endpoints_) e->stop();
}

Json SimulatorService::ports() const {
    Json out = Json::array();
    for (std::size_t i = 0; i < endpoints_.size(); ++i) {
        const auto& e = endpoints_[i];
        out.push_back(Json{{"index", i},
                           {"name", state_->read(i, [](const SimArray& a) { return a.name(); })},
                           {"address", e->address()},
                           {"port", e->port()}});
    }
    return out;
}

void SimulatorService::writeReadyFile(const std::string& path) const {
    Json ready{{"pid", ::getpid()}, {"control", control_->path()}, {"cli", cli_->path()}, {"arrays", ports()}, {"ca_pem", certs_.caPem()}};
    const std::string tmp = path + ".tmp";
    {
        std::ofstream out(tmp, std::ios::trunc);
        out << ready.dump(2) << "\n";
        if (!out) throw std::runtime_error("cannot write ready file " + tmp);
    }
    if (std::rename(tmp.c_str(), path.c_str()) != 0) throw std::runtime_error("cannot write ready file " + path);
}

void SimulatorService::wait() {
    std::unique_lock lk(mu_);
    cv_.wait(lk, [this] { return stop_; });
}

void SimulatorService::requestStop() {
    {
        std::lock_guard lk(mu_);
        stop_ = true;
    }
    cv_.notify_all();
}

}  // namespace arraysim
