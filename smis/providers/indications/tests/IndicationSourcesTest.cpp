// The instances change indications carry are the ones a client enumerates:
// for the masking classes the indication sources fill exactly what the
// classes' own builders fill.

#include <gtest/gtest.h>

#include "Indication_Sources.h"
#include "Instance_Provider_Frame.h"
#include "VELDARO_AffinityGroupController_Resource.h"
#include "VELDARO_LUNMappingController_Resource.h"
#include "VELDARO_AuthorizedPrivilege.h"

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

TEST(IndicationSources, MaskingControllersMatchTheirBuilders)
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
}

namespace {

const String B("10.0.0.5");

template <class T>
struct Made {
    T* p = T::create(true);
    ~Made() { destroy(p); }
};

TEST(IndicationSources, ControllersCarryThePropertiesOfTheirEnumeration)
{
    Indication_Sources sources(B);
    Made<VELDARO_LUNMappingController> lm;
    ASSERT_EQ(sources.setLUNMappingController(lm.p, 0x52, 1, "", "500000E0D0000101", 2), 0);
    EXPECT_STREQ(lm.p->DeviceID.value.c_str(), "LM_CM02CA01P01");
    EXPECT_STREQ(lm.p->Caption.value.c_str(), "LUN Mapping");
    EXPECT_STREQ(lm.p->Description.value.c_str(), "LUN Mapping");
    EXPECT_STREQ(lm.p->ElementName.value.c_str(), "LUN Mapping");
    EXPECT_FALSE(lm.p->HealthState.null);
    EXPECT_EQ(lm.p->MaxUnitsControlled.value, 256u);

    Made<VELDARO_AffinityGroupController> afg;
    ASSERT_EQ(sources.setAffinityGroupController(afg.p, 0x52, 1, 3, nullptr, "AG3", 1, B), 0);
    EXPECT_STREQ(afg.p->DeviceID.value.c_str(), "AFG0003_CM02CA01P01");
    EXPECT_STREQ(afg.p->Caption.value.c_str(), "Affinity Group");
    EXPECT_STREQ(afg.p->ElementName.value.c_str(), "Affinity Group0003(AG3)");
    EXPECT_FALSE(afg.p->HealthState.null);
}

TEST(IndicationSources, KeyOnlyInstancesKeepOnlyTheirKeys)
{
    Indication_Sources sources(B);
    Made<VELDARO_AuthorizedPrivilege> fc, unknown;
    ASSERT_EQ(sources.setKeyProperties(fc.p, 0x52, 1, 3, "1000000000000A01", ""), 0);
    EXPECT_STREQ(fc.p->InstanceID.value.c_str(), "VELDARO:AP0003_1000000000000A01CM02CA01P01_10.0.0.5");
    EXPECT_TRUE(fc.p->ElementName.null);
    ASSERT_EQ(sources.setKeyProperties(unknown.p, 0x52, 1, 3, "iqn.x", nullptr), 0);
    EXPECT_STREQ(unknown.p->InstanceID.value.c_str(), "VELDARO:AP0003_iqn.x_0.0.0.0CM02CA01P01_10.0.0.5");
}

}  // namespace
