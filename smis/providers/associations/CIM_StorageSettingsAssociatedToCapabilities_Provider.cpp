// Each predefined storage setting with the capabilities it belongs to: the
// RAID (or, for a thin-pool setting, the thin-provisioning) capabilities of
// its RAID level, as their default, and the primordial capabilities, whose
// default is the RAID1+0 setting.

#include "CIM_StorageSettingsAssociatedToCapabilities_Provider.h"

#include "Association_End.h"
#include "CIM_StorageSettingsAssociatedToCapabilities.h"
#include "Matching_Pair_Walk.h"
#include "Setting_Match.h"
#include "VELDARO_PrimordialStorageCapabilities_Resource.h"
#include "VELDARO_RAIDStorageCapabilities_Resource.h"
#include "VELDARO_StorageSetting_Resource.h"
#include "VELDARO_ThinProvisioningCapabilities_Resource.h"

namespace cimple {

namespace {

using Common = Association_Provider_Frame;
using Associated = CIM_StorageSettingsAssociatedToCapabilities;

void associate(Association_Map_Frame& frame, const Instance* capabilities, const Instance* setting, bool isDefault)
{
    frame.add<Associated>(clone(capabilities), clone(setting), [&](Associated& a) { a.DefaultSetting.set(isDefault); });
}

bool settingsWithCapabilities(Association_Map_Frame& frame)
{
    return Common::guard(__FILE__, __LINE__, [&] {
        VELDARO_StorageSetting_Resource settings(frame.storage());
        if (!buildList(settings, &VELDARO_StorageSetting_Resource::createStorageSetting))
            return false;
        if (listedOf(settings).size() == 0)
            return true;
        VELDARO_RAIDStorageCapabilities_Resource raids(frame.storage());
        VELDARO_PrimordialStorageCapabilities_Resource primordials(frame.storage());
        VELDARO_ThinProvisioningCapabilities_Resource thins(frame.storage());
        if (!buildList(raids, &VELDARO_RAIDStorageCapabilities_Resource::createRAIDStorageCapabilities) ||
            !buildList(primordials, &VELDARO_PrimordialStorageCapabilities_Resource::createPrimordialStorageCapabilities) ||
            !buildList(thins, &VELDARO_ThinProvisioningCapabilities_Resource::createThinProvisioningCapabilities))
            return false;
        const Instance* primordial = firstListed(primordials);
        auto& list = listedOf(settings);
        for (std::size_t k = 0; k < list.size(); ++k) {
            const VELDARO_StorageSetting* setting = list[k];
            if (!setting)
                continue;
            const Instance* own =
                Setting_Match::isThinSetting(*setting)
                    ? static_cast<const Instance*>(Matching_Pair_Walk::firstMatch(listedOf(thins), *setting,
                                                                                  Setting_Match::SameRaidLevel()))
                    : Matching_Pair_Walk::firstMatch(listedOf(raids), *setting, Setting_Match::SameRaidLevel());
            if (own)
                associate(frame, own, setting, true);
            if (primordial)
                associate(frame, primordial, setting, Setting_Match::isDefaultLevel(setting->RaidLevel));
        }
        return true;
    });
}

}  // namespace

CIM_StorageSettingsAssociatedToCapabilities_Provider::CIM_StorageSettingsAssociatedToCapabilities_Provider()
    : Association_Map_Frame(&Associated::static_meta_class)
{
}

CIM_StorageSettingsAssociatedToCapabilities_Provider::~CIM_StorageSettingsAssociatedToCapabilities_Provider() {}

bool CIM_StorageSettingsAssociatedToCapabilities_Provider::_enumPairs()
{
    return settingsWithCapabilities(*this);
}

}  // namespace cimple
