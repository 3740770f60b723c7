// Everything the endpoints and the control socket share: the scenario's arrays
// (guarded by one mutex), the armed faults of each array and the request log.
#pragma once

#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "CliControl.hpp"
#include "FaultPlan.hpp"
#include "RequestLog.hpp"
#include "Scenario.hpp"

namespace arraysim {

class SimulatorState {
public:
    explicit SimulatorState(Scenario scenario);

    std::size_t arrayCount() const { return scenario_.arrays.size(); }

    // Runs `fn` on a copy of the array under the lock. A copy that fails
    // validation is dropped and the problems are returned; otherwise it
    // replaces the array, whose revision, date and count move on.
    std::vector<std::string> change(std::size_t array, const std::function<void(Json&)>& fn);

    // Reads the array under the lock.
    template <class F>
    auto read(std::size_t array, F&& fn) const {
        std::lock_guard lk(mu_);
        return fn(scenario_.arrays.at(array));
    }

    // Back to the scenario as loaded; the table revision still moves on so
    // that a reader notices the change.
    void reset();

    Json dump() const;

    FaultPlan& faults(std::size_t array) { return *faults_.at(array); }
    RequestLog& log() { return log_; }
    CliControl& cli() { return cli_; }

private:
    mutable std::mutex mu_;
    Scenario scenario_;
    std::vector<std::unique_ptr<FaultPlan>> faults_;
    RequestLog log_;
    CliControl cli_;
};

}  // namespace arraysim
