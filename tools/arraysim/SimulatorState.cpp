#include "SimulatorState.hpp"

#include "ScenarioNormalizer.hpp"
#include "ScenarioValidator.hpp"

namespace arraysim {

SimulatorState::SimulatorState(Scenario scenario) : scenario_(std::move(scenario)) {
    for (std::size_t i = 0; i < scenario_.arrays.size(); ++i) faults_.push_back(std::make_unique<FaultPlan>());
}

std::vector<std::string> SimulatorState::change(std::size_t array, const std::function<void(Json&)>& fn) {
    std::lock_guard lk(mu_);
    SimArray& target = scenario_.arrays.at(array);
    Json copy = target.model();
    fn(copy);
    ScenarioNormalizer::normalize(copy, array);
    auto problems = ScenarioValidator::check(copy);
    if (!problems.empty()) return problems;
    target.mutableModel() = std::move(copy);
    target.noteConfigurationChange();
    return {};
}

void SimulatorState::reset() {
    Scenario fresh = Scenario::fromJson(scenario_.source);
    std::lock_guard lk(mu_);
    for (std::size_t i = 0; i < fresh.arrays.size() && i < scenario_.arrays.size(); ++i) {
        Json& m = fresh.arrays[i].mutableModel()["management"];
        const Json& old = scenario_.arrays[i].model()["management"];
        for (const char* k : {"revision", "validation_count", "table_update_count", "config_date"}) m[k] = old[k];
        fresh.arrays[i].noteConfigurationChange();
    }
    scenario_.arrays = std::move(fresh.arrays);
    for (auto& f : faults_) f->clear();
    for (std::size_t i = 0; i < faults_.size(); ++i) cli_.clear(i);
}

Json SimulatorState::dump() const {
    std::lock_guard lk(mu_);
    Json out{{"name", scenario_.name}, {"arrays", Json::array()}};
    for (auto& a : scenario_.arrays) out["arrays"].push_back(a.model());
    return out;
}

}  // namespace arraysim
