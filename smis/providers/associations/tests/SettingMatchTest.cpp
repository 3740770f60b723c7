// Which storage setting a volume is matched to: its RaidLevel, and a
// thin-pool setting only for a thin volume.

#include <gtest/gtest.h>

#include "AssociationCalls.h"
#include "Setting_Match.h"
#include "VELDARO_StorageSetting.h"
#include "VELDARO_StorageVolume.h"

#include <cimple/Array.h>

namespace {

using cimple::Setting_Match;
using cimple::VELDARO_StorageSetting;
using cimple::VELDARO_StorageVolume;

VELDARO_StorageSetting* setting(const char* level, std::uint16_t poolType)
{
    auto* s = VELDARO_StorageSetting::create(true);
    s->RaidLevel.set(level);
    s->ThinProvisionedPoolType.set(poolType);
    return s;
}

TEST(SettingMatch, AVolumeTakesTheFirstSettingOfItsLevelAndKindOfPool)
{
    // A thin RAID5 setting listed before the plain one.
    cimple::Array<VELDARO_StorageSetting*> settings;
    settings.append(setting("RAID5", Setting_Match::THIN_POOL_TYPE));
    settings.append(setting("RAID5", 2));
    settings.append(setting("RAID1+0", 2));
    auto* volume = VELDARO_StorageVolume::create(true);
    volume->RaidLevel.set("RAID5");

    EXPECT_EQ(Setting_Match::firstFor(settings, *volume, false), settings[1]) << "a plain volume skips thin settings";
    EXPECT_EQ(Setting_Match::firstFor(settings, *volume, true), settings[0]);
    volume->RaidLevel.set("RAID6");
    EXPECT_EQ(Setting_Match::firstFor(settings, *volume, false), nullptr);
    volume->RaidLevel.clear();
    EXPECT_EQ(Setting_Match::firstFor(settings, *volume, false), nullptr) << "no level matches nothing";

    EXPECT_TRUE(Setting_Match::isDefaultLevel(settings[2]->RaidLevel));
    EXPECT_FALSE(Setting_Match::isDefaultLevel(settings[1]->RaidLevel));
    cimple::destroy(volume);
    for (std::size_t k = 0; k < settings.size(); ++k)
        cimple::destroy(settings[k]);
}

}  // namespace
