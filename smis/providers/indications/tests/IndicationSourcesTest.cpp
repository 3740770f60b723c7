// The instances that change indications carry for the masking classes:
// filled by the same builders as the enumerated instances.

#include <gtest/gtest.h>

#include "Indication_Sources.h"
#include "VELDARO_AffinityGroupController.h"
#include "VELDARO_AuthorizedPrivilege.h"
#include "VELDARO_LUNMappingController.h"

using namespace cimple;

namespace {

const String A("10.0.0.5");

template <class T>
struct Made {
    T* p = T::create(true);
    ~Made() { destroy(p); }
};

TEST(IndicationSources, ControllersCarryThePropertiesOfTheirEnumeration)
{
    Indication_Sources sources(A);
    Made<VELDARO_LUNMappingController> lm;
    ASSERT_EQ(sources.setLUNMappingController(lm.p, 0x52, 1, "", "500000E0D0000101", 2), 0);
    EXPECT_STREQ(lm.p->DeviceID.value.c_str(), "LM_CM02CA01P01");
    EXPECT_STREQ(lm.p->Caption.value.c_str(), "LUN Mapping");
    EXPECT_STREQ(lm.p->Description.value.c_str(), "LUN Mapping");
    EXPECT_STREQ(lm.p->ElementName.value.c_str(), "LUN Mapping");
    EXPECT_FALSE(lm.p->HealthState.null);
    EXPECT_EQ(lm.p->MaxUnitsControlled.value, 256u);

    Made<VELDARO_AffinityGroupController> afg;
    ASSERT_EQ(sources.setAffinityGroupController(afg.p, 0x52, 1, 3, nullptr, "AG3", 1, A), 0);
    EXPECT_STREQ(afg.p->DeviceID.value.c_str(), "AFG0003_CM02CA01P01");
    EXPECT_STREQ(afg.p->Caption.value.c_str(), "Affinity Group");
    EXPECT_STREQ(afg.p->ElementName.value.c_str(), "Affinity Group0003(AG3)");
    EXPECT_FALSE(afg.p->HealthState.null);
}

TEST(IndicationSources, KeyOnlyInstancesKeepOnlyTheirKeys)
{
    Indication_Sources sources(A);
    Made<VELDARO_AuthorizedPrivilege> fc, unknown;
    ASSERT_EQ(sources.setKeyProperties(fc.p, 0x52, 1, 3, "1000000000000A01", ""), 0);
    EXPECT_STREQ(fc.p->InstanceID.value.c_str(), "VELDARO:AP0003_1000000000000A01CM02CA01P01_10.0.0.5");
    EXPECT_TRUE(fc.p->ElementName.null);
    ASSERT_EQ(sources.setKeyProperties(unknown.p, 0x52, 1, 3, "iqn.x", nullptr), 0);
    EXPECT_STREQ(unknown.p->InstanceID.value.c_str(), "VELDARO:AP0003_iqn.x_0.0.0.0CM02CA01P01_10.0.0.5");
}

}  // namespace
