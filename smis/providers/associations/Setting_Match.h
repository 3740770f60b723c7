#pragma once
// How storage settings, capabilities, pools and volumes are matched: by
// their RaidLevel text, by whether a setting is for thin-provisioning pools,
// and the level that is the default.

#include <cimple/Property.h>
#include <cimple/String.h>

#include <cstddef>
#include <cstdint>
#include <type_traits>

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

    // The first setting of the element's RaidLevel made for its kind of
    // pool: a thin element takes a thin-pool setting, any other element a
    // setting that is not one. Null when none.
    template <class Settings, class Element>
    static auto firstFor(Settings& settings, const Element& element, bool thin)
        -> std::remove_reference_t<decltype(settings[0])>
    {
        for (std::size_t k = 0; k < settings.size(); ++k)
            if (settings[k] && sameRaidLevel(*settings[k], element) && isThinSetting(*settings[k]) == thin)
                return settings[k];
        return nullptr;
    }

    template <class X, class Y>
    static bool sameRaidLevel(const X& x, const Y& y)
    {
        return !x.RaidLevel.null && !y.RaidLevel.null && x.RaidLevel.value == y.RaidLevel.value;
    }

    // Equal non-null RaidLevel texts.
    struct SameRaidLevel {
        template <class X, class Y>
        bool operator()(const X& x, const Y& y) const
        {
            return sameRaidLevel(x, y);
        }
    };
};

}  // namespace cimple
