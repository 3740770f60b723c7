// The storage setting catalogue: JBOD first, then one entry per level of the
// level list. An entry holds a RAID level code in its low four bits and
// THIN_BIT for a thin provisioning setting.

#include "VELDARO_StorageSetting_Resource.h"

#include <cstdint>

#include "VELDARO_ValueConv.h"

namespace cimple {

namespace {

constexpr std::uint8_t THIN_BIT = 0x40;

constexpr std::uint8_t LEVELS[] = {8, 4, 12, 1, 9, 3, 0x48, 0x44, 0x4C, 0x41, 0x43};

void setCommon(VELDARO_StorageSetting& s, const String& name, bool thin, const String& storage)
{
    String id("VELDARO:SS_");
    id.append(name);
    if (thin)
        id.append("_TPP");
    id.append("_");
    id.append(storage);
    s.InstanceID.set(id);
    const String caption = concat(name, "(Setting)");
    s.Caption.set(caption);
    s.Description.set(caption);
    s.ElementName.set(name);
    s.RaidLevel.set(name);
    s.DeltaReservationMax.set(100);
    s.DeltaReservationMin.set(100);
    s.DeltaReservationGoal.set(100);
    s.ChangeableType.set(0);
    if (thin)
        s.ThinProvisionedPoolType.set(VELDARO_StorageSetting_Resource::THIN_POOL_TYPE);
    else
        s.ThinProvisionedPoolType.clear();
    s.ParityLayout.clear();
}

void setRedundancy(VELDARO_StorageSetting& s, bool noSinglePoint, uint16 data, uint16 package)
{
    s.NoSinglePointOfFailure.set(noSinglePoint);
    s.DataRedundancyMax.set(data);
    s.DataRedundancyMin.set(data);
    s.DataRedundancyGoal.set(data);
    s.PackageRedundancyMax.set(package);
    s.PackageRedundancyMin.set(package);
    s.PackageRedundancyGoal.set(package);
}

}  // namespace

int VELDARO_StorageSetting_Resource::createStorageSetting()
{
    return build(__FILE__, __LINE__, [&](const VELDARO_RefTable&) {
        add([&](VELDARO_StorageSetting& s) {
            setCommon(s, String("JBOD"), false, storage());
            setRedundancy(s, false, 1, 0);
        });
        for (std::uint8_t entry : LEVELS) {
            const std::uint8_t code = entry & 0x0F;
            add([&](VELDARO_StorageSetting& s) {
                setCommon(s, VELDARO_ValueConv::convRaidLevelToString(code), (entry & THIN_BIT) != 0, storage());
                setRedundancy(s, VELDARO_ValueConv::convRaidLevelToNoSinglePoint(code) != 0,
                              static_cast<uint16>(VELDARO_ValueConv::convRaidLevelToDataRedundancy(code)),
                              static_cast<uint16>(VELDARO_ValueConv::convRaidLevelToPackageRedundancy(code)));
            });
        }
    });
}

}  // namespace cimple
