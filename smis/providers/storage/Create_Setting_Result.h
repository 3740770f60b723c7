#pragma once
// The out parameter NewSetting of the capabilities' CreateSetting methods.

#include <cimple/cimple.h>

#include "CIM_StorageSetting.h"

namespace cimple {

// Puts setting (a CIM_StorageSetting of any subclass) into the out
// parameter (it passes to the caller), releasing anything the parameter held
// before.
inline void handOutSetting(CIM_StorageSetting*& out, Instance* setting)
{
    CIM_StorageSetting* given = cast<CIM_StorageSetting*>(setting);
    if (setting && !given)
        destroy(setting); // not a setting: nothing to hand out
    if (out && out != given)
        destroy(out);
    out = given;
}

// The answer of a failed CreateSetting that still hands out a setting: an
// instance without defaults and without key.
inline void handOutEmptySetting(CIM_StorageSetting*& out)
{
    handOutSetting(out, CIM_StorageSetting::create(false));
}

}  // namespace cimple
