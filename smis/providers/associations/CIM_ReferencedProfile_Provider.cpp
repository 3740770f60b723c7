// The array profile references the server profile.

#include "CIM_ReferencedProfile_Provider.h"

#include "Association_End.h"
#include "CIM_ReferencedProfile.h"
#include "Profile_Names.h"
#include "VELDARO_RegisteredProfile.h"
#include "VELDARO_RegisteredProfile_Resource.h"

namespace cimple {

namespace {

using Common = Association_Provider_Frame;
using Names = Profile_Names;

// The last listed server profile with the last listed array profile; a list
// without both fails the enumeration.
bool serverArrayProfiles(Association_Map_Frame& frame)
{
    return Common::guard(__FILE__, __LINE__, [&] {
        VELDARO_RegisteredProfile_Resource profiles;
        const VELDARO_RegisteredProfile* server = nullptr;
        const VELDARO_RegisteredProfile* array = nullptr;
        if (!eachListed(profiles, &VELDARO_RegisteredProfile_Resource::createRegisteredProfile,
                        [&](const VELDARO_RegisteredProfile* profile) {
                            if (Names::is(*profile, Names::SERVER))
                                server = profile;
                            else if (Names::is(*profile, Names::ARRAY))
                                array = profile;
                            return true;
                        }))
            return false;
        if (!server || !array) {
            Common::logError(__FILE__, __LINE__);
            return false;
        }
        frame.addClones<CIM_ReferencedProfile>(server, array);
        return true;
    });
}

}  // namespace

CIM_ReferencedProfile_Provider::CIM_ReferencedProfile_Provider()
    : Association_Map_Frame(&CIM_ReferencedProfile::static_meta_class, serverArrayProfiles, Array_Walk::NONE)
{
}

CIM_ReferencedProfile_Provider::~CIM_ReferencedProfile_Provider() {}

bool CIM_ReferencedProfile_Provider::_enumPairs()
{
    return true;
}

}  // namespace cimple
