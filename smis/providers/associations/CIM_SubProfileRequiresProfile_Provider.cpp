// The sub-profiles each registered profile requires: profile registration
// for the server profile, the array's own sub-profiles for the array
// profile.

#include "CIM_SubProfileRequiresProfile_Provider.h"

#include "Association_End.h"
#include "CIM_SubProfileRequiresProfile.h"
#include "Matching_Pair_Walk.h"
#include "Profile_Names.h"
#include "VELDARO_RegisteredProfile.h"
#include "VELDARO_RegisteredProfile_Resource.h"
#include "VELDARO_RegisteredSubProfile.h"
#include "VELDARO_RegisteredSubProfile_Resource.h"

namespace cimple {

namespace {

using Common = Association_Provider_Frame;
using Names = Profile_Names;

const char* const SERVER_SUB_PROFILES[] = {"Profile Registration"};
const char* const ARRAY_SUB_PROFILES[] = {
    "Access Points",       "Disk Drive Lite",      "Extent Composition", "FC Target Ports",
    "Multiple Computer System", "Masking and Mapping", "iSCSI Target Ports", "Software",
    "Generic Target Ports", "Copy Services",       "Replication Services", "Thin Provisioning",
};

template <std::size_t N>
bool listed(const String& name, const char* const (&names)[N])
{
    for (const char* n : names)
        if (name == n)
            return true;
    return false;
}

// Whether the profile requires the sub-profile (exact, case-sensitive names).
struct Requires {
    bool operator()(const VELDARO_RegisteredProfile& profile, const VELDARO_RegisteredSubProfile& sub) const
    {
        if (sub.RegisteredName.null)
            return false;
        if (Names::is(profile, Names::SERVER))
            return listed(sub.RegisteredName.value, SERVER_SUB_PROFILES);
        if (Names::is(profile, Names::ARRAY))
            return listed(sub.RegisteredName.value, ARRAY_SUB_PROFILES);
        return false;
    }
};

bool requiredSubProfiles(Association_Map_Frame& frame)
{
    return Common::guard(__FILE__, __LINE__, [&] {
        VELDARO_RegisteredSubProfile_Resource subs;
        if (!buildList(subs, &VELDARO_RegisteredSubProfile_Resource::createRegisteredSubProfile))
            return false;
        if (listedOf(subs).size() == 0)
            return true;
        VELDARO_RegisteredProfile_Resource profiles;
        if (!buildList(profiles, &VELDARO_RegisteredProfile_Resource::createRegisteredProfile))
            return false;
        Matching_Pair_Walk::allMatching<CIM_SubProfileRequiresProfile>(frame, listedOf(profiles), listedOf(subs),
                                                                       Requires());
        return true;
    });
}

}  // namespace

CIM_SubProfileRequiresProfile_Provider::CIM_SubProfileRequiresProfile_Provider()
    : Association_Map_Frame(&CIM_SubProfileRequiresProfile::static_meta_class, requiredSubProfiles,
                            Array_Walk::NONE)
{
}

CIM_SubProfileRequiresProfile_Provider::~CIM_SubProfileRequiresProfile_Provider() {}

bool CIM_SubProfileRequiresProfile_Provider::_enumPairs()
{
    return true;
}

}  // namespace cimple
