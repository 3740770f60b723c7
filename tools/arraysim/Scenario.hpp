// A scenario: the arrays the simulator serves, loaded from a JSON file or one
// of the named scenarios ("small", "coverage", "max"), normalised and checked.
#pragma once

#include <stdexcept>
#include <string>
#include <vector>

#include "SimArray.hpp"

namespace arraysim {

class ScenarioError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class Scenario {
public:
    // Loads a named scenario or a file path; throws ScenarioError with every
    // broken rule when the description is not consistent.
    static Scenario load(const std::string& nameOrPath);
    static Scenario fromJson(const Json& description);

    // Directory of the named scenario files.
    static std::string scenarioDir();

    std::string name;
    std::vector<SimArray> arrays;
    Json source;  // the description as loaded, before normalisation (for reset)
};

}  // namespace arraysim
