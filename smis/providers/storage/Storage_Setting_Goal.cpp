// Filling, matching and applying a CreateSetting goal.

#include "Storage_Setting_Goal.h"

namespace cimple {

bool Storage_Setting_Goal::fill(const Instance& instance, uint16 settingType)
{
    const CIM_StorageCapabilities* found = cast<const CIM_StorageCapabilities*>(&instance);
    if (!found)
        return false;
    const CIM_StorageCapabilities& caps = *found;
    if (settingType == DEFAULT_SETTING) {
        dataMax = dataMin = dataGoal = caps.DataRedundancyDefault.value;
        packageMax = packageMin = packageGoal = caps.PackageRedundancyDefault.value;
        if (caps.DeltaReservationDefault.value > 0)
            deltaMax = deltaMin = deltaGoal = caps.DeltaReservationDefault.value;
        return true;
    }
    if (settingType == GOAL_SETTING) {
        dataMax = caps.DataRedundancyMax.value;
        dataMin = caps.DataRedundancyMin.value;
        dataGoal = caps.DataRedundancyDefault.value;
        packageMax = caps.PackageRedundancyMax.value;
        packageMin = caps.PackageRedundancyMin.value;
        packageGoal = caps.PackageRedundancyDefault.value;
        if (caps.DeltaReservationMax.value > 0) {
            deltaMax = caps.DeltaReservationMax.value;
            deltaMin = caps.DeltaReservationMin.value;
            deltaGoal = caps.DeltaReservationDefault.value;
        }
        return true;
    }
    return false;
}

bool Storage_Setting_Goal::matches(const Instance& instance) const
{
    const CIM_StorageSetting* found = cast<const CIM_StorageSetting*>(&instance);
    if (!found)
        return false;
    const CIM_StorageSetting& s = *found;
    if (s.DataRedundancyMax.value != dataMax || s.DataRedundancyMin.value != dataMin ||
        s.DataRedundancyGoal.value != dataGoal || s.PackageRedundancyMax.value != packageMax ||
        s.PackageRedundancyMin.value != packageMin || s.PackageRedundancyGoal.value != packageGoal)
        return false;
    return deltaMax < 1 || (s.DeltaReservationMax.value == deltaMax && s.DeltaReservationMin.value == deltaMin &&
                            s.DeltaReservationGoal.value == deltaGoal);
}

void Storage_Setting_Goal::apply(Instance& instance) const
{
    CIM_StorageSetting* found = cast<CIM_StorageSetting*>(&instance);
    if (!found)
        return;
    CIM_StorageSetting& s = *found;
    s.DataRedundancyMax.set(static_cast<uint16>(dataMax));
    s.DataRedundancyMin.set(static_cast<uint16>(dataMin));
    s.DataRedundancyGoal.set(static_cast<uint16>(dataGoal));
    s.PackageRedundancyMax.set(static_cast<uint16>(packageMax));
    s.PackageRedundancyMin.set(static_cast<uint16>(packageMin));
    s.PackageRedundancyGoal.set(static_cast<uint16>(packageGoal));
    if (deltaMax > 0) {
        s.DeltaReservationMax.set(static_cast<uint8>(deltaMax & 0xFF));
        s.DeltaReservationMin.set(static_cast<uint8>(deltaMin & 0xFF));
        s.DeltaReservationGoal.set(static_cast<uint8>(deltaGoal & 0xFF));
    }
}

}  // namespace cimple
