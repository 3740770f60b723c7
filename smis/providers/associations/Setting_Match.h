#pragma once
// How storage settings, capabilities, pools and volumes are matched: by
// their RaidLevel text, by whether a setting is for thin-provisioning pools,
// and the level that is the default.

#include <cimple/Property.h>
#include <cimple/String.h>

#include <cstdint>

namespace cimple {

struct Setting_Match {
    // ThinProvisionedPoolType of a setting made for thin-provisioning pools.
    static constexpr std::uint16_t THIN_POOL_TYPE = 8;
    // The RAID level whose setting is the default one.
    static constexpr const char* DEFAULT_LEVEL = "RAID1+0";

    template <class Setting>
    static bool isThinSetting(const Setting& setting)
    {
        return !setting.ThinProvisionedPoolType.null && setting.ThinProvisionedPoolType.value == THIN_POOL_TYPE;
    }

    static bool isDefaultLevel(const Property<String>& level)
    {
        return !level.null && level.value == DEFAULT_LEVEL;
    }

    // Equal non-null RaidLevel texts.
    struct SameRaidLevel {
        template <class X, class Y>
        bool operator()(const X& x, const Y& y) const
        {
            return !x.RaidLevel.null && !y.RaidLevel.null && x.RaidLevel.value == y.RaidLevel.value;
        }
    };
};

}  // namespace cimple
