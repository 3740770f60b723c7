#pragma once
// The values a capabilities' CreateSetting looks for in the storage setting
// catalogue: data redundancy, package redundancy and delta reservation, each
// as maximum, minimum and goal.

#include <cimple/cimple.h>

#include <cstdint>

#include "CIM_StorageCapabilities.h"
#include "CIM_StorageSetting.h"

namespace cimple {

struct Storage_Setting_Goal {
    // SettingType values of CreateSetting.
    static constexpr uint16 DEFAULT_SETTING = 2;
    static constexpr uint16 GOAL_SETTING = 3;

    std::int32_t dataMax = 0, dataMin = 0, dataGoal = 0;
    std::int32_t packageMax = 0, packageMin = 0, packageGoal = 0;
    std::int32_t deltaMax = 0, deltaMin = 0, deltaGoal = 0;

    // Fills the goal from a capabilities instance: the defaults for
    // DEFAULT_SETTING, maximum/minimum/default for GOAL_SETTING; delta
    // reservation only when the capabilities give one above 0. False (goal
    // unchanged) for any other setting type or an instance that is not a
    // CIM_StorageCapabilities.
    bool fill(const Instance& caps, uint16 settingType);

    // True when the setting's redundancy values equal the goal's, and its
    // delta reservation too unless the goal asks for none (maximum below 1).
    // False for an instance that is not a CIM_StorageSetting.
    bool matches(const Instance& setting) const;

    // Writes the goal into a new setting: the six redundancy values, and the
    // delta reservation (low 8 bits) when the goal's maximum is above 0.
    // Leaves an instance that is not a CIM_StorageSetting alone.
    void apply(Instance& setting) const;
};

}  // namespace cimple
