// Checks the consistency rules of a normalised array description: numbers
// unique and inside their tables, every reference naming an element that
// exists, member disks belonging to one disk set only, and the fixed sizes of
// the array's tables respected.
#pragma once

#include <string>
#include <vector>

#include "SimArray.hpp"

namespace arraysim {

class ScenarioValidator {
public:
    // Every broken rule, one text each; empty when the description is sound.
    static std::vector<std::string> check(const Json& array);
};

}  // namespace arraysim
