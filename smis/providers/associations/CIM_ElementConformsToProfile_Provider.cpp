// The elements that conform to each registered profile: the object manager
// to the server profile; the server and array profiles and every
// sub-profile to the SMI-S profile; each array's storage system to the
// array profile.

#include "CIM_ElementConformsToProfile_Provider.h"

#include "Association_End.h"
#include "CIM_ElementConformsToProfile.h"
#include "Profile_Names.h"
#include "VELDARO_ObjectManager.h"
#include "VELDARO_ObjectManager_Resource.h"
#include "VELDARO_RegisteredProfile.h"
#include "VELDARO_RegisteredProfile_Resource.h"
#include "VELDARO_RegisteredSubProfile.h"
#include "VELDARO_RegisteredSubProfile_Resource.h"
#include "VELDARO_StorageComputerSystem.h"
#include "VELDARO_StorageComputerSystem_Resource.h"

namespace cimple {

namespace {

using Common = Association_Provider_Frame;
using Names = Profile_Names;

constexpr const char* INTEROP = Common::INTEROP_NAMESPACE;

// The profiles of the server itself, before any array.
bool serverProfiles(Association_Map_Frame& frame)
{
    return Common::guard(__FILE__, __LINE__, [&] {
        VELDARO_RegisteredProfile_Resource profiles;
        if (!buildList(profiles, &VELDARO_RegisteredProfile_Resource::createRegisteredProfile))
            return false;
        auto& list = listedOf(profiles);
        for (std::size_t p = 0; p < list.size(); ++p) {
            const VELDARO_RegisteredProfile* profile = list[p];
            if (!profile)
                continue;
            if (Names::is(*profile, Names::SERVER)) {
                VELDARO_ObjectManager_Resource managers;
                if (!buildList(managers, &VELDARO_ObjectManager_Resource::createObjectManager))
                    return false;
                if (const auto* manager = firstListed(managers))
                    frame.addClones<CIM_ElementConformsToProfile>(profile, manager, INTEROP);
            } else if (Names::is(*profile, Names::SMI_S)) {
                for (std::size_t o = 0; o < list.size(); ++o)
                    if (o != p && list[o] && (Names::is(*list[o], Names::SERVER) || Names::is(*list[o], Names::ARRAY)))
                        frame.addClones<CIM_ElementConformsToProfile>(profile, list[o], INTEROP);
                VELDARO_RegisteredSubProfile_Resource subs;
                if (!eachListed(subs, &VELDARO_RegisteredSubProfile_Resource::createRegisteredSubProfile,
                                [&](const VELDARO_RegisteredSubProfile* sub) {
                                    frame.addClones<CIM_ElementConformsToProfile>(profile, sub, INTEROP);
                                    return true;
                                }))
                    return false;
            } else if (!Names::is(*profile, Names::ARRAY)) {
                // A profile this association does not know: the set of
                // profiles and this code disagree.
                Common::logError(__FILE__, __LINE__);
                return false;
            }
        }
        return true;
    });
}

// Each array profile with the array's storage system.
bool arrayProfiles(Association_Map_Frame& frame)
{
    return Common::guard(__FILE__, __LINE__, [&] {
        VELDARO_RegisteredProfile_Resource profiles;
        VELDARO_StorageComputerSystem_Resource systems(frame.storage());
        bool built = false;
        return eachListed(profiles, &VELDARO_RegisteredProfile_Resource::createRegisteredProfile,
                          [&](const VELDARO_RegisteredProfile* profile) {
                              if (!Names::is(*profile, Names::ARRAY))
                                  return true;
                              // The system list is built at the first array profile.
                              if (!built && !buildList(systems, &VELDARO_StorageComputerSystem_Resource::
                                                                    createStorageComputerSystem))
                                  return false;
                              built = true;
                              if (const auto* system = firstListed(systems))
                                  frame.add<CIM_ElementConformsToProfile>(
                                      Common::inNameSpace(clone(profile), INTEROP),
                                      Common::inNameSpace(clone(system), Common::ARRAY_NAMESPACE));
                              return true;
                          });
    });
}

}  // namespace

CIM_ElementConformsToProfile_Provider::CIM_ElementConformsToProfile_Provider()
    : Association_Map_Frame(&CIM_ElementConformsToProfile::static_meta_class, serverProfiles)
{
}

CIM_ElementConformsToProfile_Provider::~CIM_ElementConformsToProfile_Provider() {}

bool CIM_ElementConformsToProfile_Provider::_enumPairs()
{
    return arrayProfiles(*this);
}

}  // namespace cimple
