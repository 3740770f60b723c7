#include "Scenario.hpp"

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "MaxScenario.hpp"
#include "ScenarioNormalizer.hpp"
#include "ScenarioValidator.hpp"

#ifndef ARRAYSIM_SCENARIO_DIR
#define ARRAYSIM_SCENARIO_DIR "scenarios"
#endif

namespace arraysim {

std::string Scenario::scenarioDir() {
    if (const char* env = std::getenv("ARRAYSIM_SCENARIO_DIR"); env && *env) return env;
    return ARRAYSIM_SCENARIO_DIR;
}

Scenario Scenario::load(const std::string& nameOrPath) {
    const std::string what = nameOrPath.empty() ? "small" : nameOrPath;
    if (what == "max") return fromJson(MaxScenario::build());
    std::string path = what;
    if (what.find('/') == std::string::npos && what.find(".json") == std::string::npos)
        path = scenarioDir() + "/" + what + ".json";
    std::ifstream in(path);
    if (!in) throw ScenarioError("cannot open scenario " + path);
    Json j;
    try {
        j = Json::parse(in, nullptr, true, true);
    } catch (const std::exception& e) {
        throw ScenarioError("scenario " + path + " is not valid JSON: " + e.what());
    }
    return fromJson(j);
}

Scenario Scenario::fromJson(const Json& description) {
    if (!description.is_object() || !description.contains("arrays") || !description["arrays"].is_array() ||
        description["arrays"].empty())
        throw ScenarioError("a scenario needs a non-empty \"arrays\" list");
    Scenario s;
    s.source = description;
    s.name = description.value("name", std::string("scenario"));
    std::string problems;
    std::size_t i = 0;
    for (const auto& a : description["arrays"]) {
        Json copy = a;
        if (!copy.is_object()) throw ScenarioError("array " + std::to_string(i) + " is not an object");
        try {
            ScenarioNormalizer::normalize(copy, i);
        } catch (const std::exception& e) {
            throw ScenarioError("array " + std::to_string(i) + ": " + e.what());
        }
        for (auto& p : ScenarioValidator::check(copy)) problems += p + "\n";
        SimArray arr(std::move(copy));
        arr.index = i++;
        s.arrays.push_back(std::move(arr));
    }
    if (!problems.empty()) throw ScenarioError("inconsistent scenario:\n" + problems);
    return s;
}

}  // namespace arraysim
