// One simulated array: its scenario description (normalised JSON, every
// derivable value filled in) plus the table bookkeeping that changes whenever
// the description changes. The JSON form is the model: tests and the control
// socket change it by path, and the encoders read it field by field.
#pragma once

#include <cstdint>
#include <string>

#include <nlohmann/json.hpp>

namespace arraysim {

using Json = nlohmann::json;

class SimArray {
public:
    SimArray() = default;
    explicit SimArray(Json description) : model_(std::move(description)) {}

    const Json& model() const { return model_; }
    Json& mutableModel() { return model_; }

    // Index of the array inside its scenario.
    std::size_t index = 0;

    std::string name() const { return model_.value("name", std::string{}); }

    // Registers a change of the configuration: the revision word, the
    // configuration date and the validation count all move on.
    void noteConfigurationChange();

private:
    Json model_;
};

// Accessors with defaults for optional members of an element.
std::uint64_t num(const Json& j, const char* key, std::uint64_t dflt = 0);
std::string str(const Json& j, const char* key, const std::string& dflt = {});
const Json& list(const Json& j, const char* key);

}  // namespace arraysim
