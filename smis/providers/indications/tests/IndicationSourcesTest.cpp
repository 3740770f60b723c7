// The instances change indications carry are the ones a client enumerates:
// for the masking controllers and remote volumes the indication sources fill
// exactly what the classes' own builders fill.

#include <gtest/gtest.h>

#include "Indication_Sources.h"
#include "Instance_Provider_Frame.h"
#include "VELDARO_AffinityGroupController_Resource.h"
#include "VELDARO_LUNMappingController_Resource.h"
#include "VELDARO_RemoteStorageVolume_Resource.h"

using namespace cimple;

namespace {

constexpr const char* A = "10.0.0.7";

// Keys equal, and the named properties equal, null flags included.
template <class T, class... Props>
void expectSameInstance(T* fromSources, T* fromBuilder, Props... props)
{
    ASSERT_NE(fromSources, nullptr);
    ASSERT_NE(fromBuilder, nullptr);
    EXPECT_TRUE(key_eq(fromSources, fromBuilder));
    auto same = [&](auto member) {
        const auto& x = fromSources->*member;
        const auto& y = fromBuilder->*member;
        EXPECT_EQ(x.null, y.null);
        if (!x.null && !y.null) {
            EXPECT_TRUE(x.value == y.value);
        }
    };
    (same(props), ...);
    destroy(fromSources);
    destroy(fromBuilder);
}

template <class T>
T* fresh()
{
    return Instance_Provider_Frame::newInstance<T>();
}

void sameLUNMapping(VELDARO_LUNMappingController* a, VELDARO_LUNMappingController* b)
{
    using C = VELDARO_LUNMappingController;
    expectSameInstance(a, b, &C::Caption, &C::ElementName, &C::Name, &C::HealthState, &C::MaxUnitsControlled,
                       &C::NameFormat, &C::PortNo);
}

void sameAffinityGroup(VELDARO_AffinityGroupController* a, VELDARO_AffinityGroupController* b)
{
    using C = VELDARO_AffinityGroupController;
    expectSameInstance(a, b, &C::Caption, &C::ElementName, &C::OtherNameFormat, &C::MaxUnitsControlled,
                       &C::AffinityGroupNumber, &C::NameFormat);
}

}  // namespace

TEST(IndicationSources, MaskingControllersAndRemoteVolumesMatchTheirBuilders)
{
    Indication_Sources sources(A);
    {
        SCOPED_TRACE("LUN mapping controller, FC port and iSCSI alias");
        for (const char* alias : {static_cast<const char*>(nullptr), "ALIAS"}) {
            auto* a = fresh<VELDARO_LUNMappingController>();
            auto* b = fresh<VELDARO_LUNMappingController>();
            EXPECT_EQ(sources.setLUNMappingController(a, 0x49, 1, alias, "500000E0D0000101", 2), 0);
            VELDARO_LUNMappingController_Resource(A).setLUNMappingController(b, 0x49, 1, alias, "500000E0D0000101", 2);
            sameLUNMapping(a, b);
        }
        auto* a = fresh<VELDARO_LUNMappingController>();
        auto* b = fresh<VELDARO_LUNMappingController>();
        EXPECT_EQ(sources.setKeyProperties(a, 0x40, 0), 0);
        EXPECT_EQ(VELDARO_LUNMappingController_Resource(A).setKeyProperties(b, 0x40, 0), 0);
        sameLUNMapping(a, b);
    }
    {
        SCOPED_TRACE("affinity group controller");
        auto* a = fresh<VELDARO_AffinityGroupController>();
        auto* b = fresh<VELDARO_AffinityGroupController>();
        EXPECT_EQ(sources.setAffinityGroupController(a, 0x52, 1, 3, nullptr, "AG3", 1, A), 0);
        VELDARO_AffinityGroupController_Resource(A).setAffinityGroupController(b, 0x52, 1, 3, nullptr, "AG3", 1, A);
        sameAffinityGroup(a, b);
        a = fresh<VELDARO_AffinityGroupController>();
        b = fresh<VELDARO_AffinityGroupController>();
        EXPECT_EQ(sources.setKeyProperties(a, 0x52, 1, 3, A), 0);
        EXPECT_EQ(VELDARO_AffinityGroupController_Resource(A).setKeyProperties(b, 0x52, 1, 3), 0);
        sameAffinityGroup(a, b);
    }
    {
        SCOPED_TRACE("remote storage volume");
        const char* box = "00KESTRIS##VK200##4500001001############";
        auto* a = fresh<VELDARO_RemoteStorageVolume>();
        auto* b = fresh<VELDARO_RemoteStorageVolume>();
        EXPECT_EQ(sources.setKeyProperties(a, 7, 1, box), 0);
        EXPECT_EQ(VELDARO_RemoteStorageVolume_Resource(A).setKeyProperties(b, 7, 1, String(box)), 0);
        expectSameInstance(a, b, &VELDARO_RemoteStorageVolume::ElementName, &VELDARO_RemoteStorageVolume::NumberOfBlocks);
    }
}
