// What create() gives, the same under the layer and CIMPLE: without
// defaults every property is present with its empty value (so a provider
// that leaves one unset serves 0, false or ""), with defaults each defaulted
// property takes its default and every other one is null; a method
// instance's parameters start present and empty; references start null.
#include "Test_Schema.h"

#include <gtest/gtest.h>

namespace cimple {
namespace {

TEST(Create, WithoutDefaultsEveryPropertyIsPresentAndEmpty)
{
    Test_Derived* d = Test_Derived::create();
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(d->meta_class, &Test_Derived::static_meta_class);
    EXPECT_EQ(d->__name_space.size(), 0u);
    for (const uint8 null : {d->Name.null, d->Count.null, d->Tags.null, d->State.null, d->Enabled.null, d->When.null,
                             d->Letter.null, d->Big.null, d->Ratio.null, d->Sizes.null})
        EXPECT_EQ(null, 0);
    EXPECT_EQ(d->Name.value.size(), 0u);
    EXPECT_EQ(d->Count.value, 0u);
    EXPECT_EQ(d->State.value, 0u); // not its default 5
    EXPECT_FALSE(d->Enabled.value);
    EXPECT_EQ(d->Letter.value, char16(0));
    EXPECT_EQ(d->Big.value, 0);
    EXPECT_EQ(d->Ratio.value, 0.0);
    EXPECT_EQ(d->Tags.value.size(), 0u);
    EXPECT_EQ(d->Sizes.value.size(), 0u);
    destroy(d);

    Test_Link* l = Test_Link::create();
    EXPECT_EQ(l->Antecedent, nullptr);
    EXPECT_EQ(l->Dependent, nullptr);
    EXPECT_EQ(l->Weight.null, 0);
    destroy(l);
}

TEST(Create, WithDefaultsDefaultedPropertiesArePresentOthersNull)
{
    Test_Derived* d = Test_Derived::create(true);
    EXPECT_EQ(d->State.null, 0);
    EXPECT_EQ(d->State.value, 5u);
    EXPECT_EQ(d->Enabled.null, 0);
    EXPECT_TRUE(d->Enabled.value);
    EXPECT_EQ(d->Letter.null, 0);
    EXPECT_EQ(d->Letter.value, char16('A'));
    ASSERT_EQ(d->Sizes.null, 0);
    ASSERT_EQ(d->Sizes.value.size(), 2u);
    EXPECT_EQ(d->Sizes.value[0], 1u);
    EXPECT_EQ(d->Sizes.value[1], 2u);
    for (const uint8 null : {d->Name.null, d->Count.null, d->Tags.null, d->When.null, d->Big.null, d->Ratio.null})
        EXPECT_EQ(null, 1);
    destroy(d);

    Test_Link* l = Test_Link::create(true);
    EXPECT_EQ(l->Antecedent, nullptr);
    EXPECT_EQ(l->Weight.null, 1);
    destroy(l);
}

TEST(Create, MethodParametersArePresentAndEmptyReferencesNull)
{
    Test_Derived_Frob_method* m = Test_Derived_Frob_method::create();
    ASSERT_NE(m, nullptr);
    EXPECT_EQ(m->Mode.null, 0);
    EXPECT_EQ(m->Mode.value, 0u);
    EXPECT_EQ(m->Sizes.null, 0);
    EXPECT_EQ(m->Sizes.value.size(), 0u);
    EXPECT_EQ(m->return_value.null, 0);
    EXPECT_EQ(m->return_value.value, 0u);
    EXPECT_EQ(m->Target, nullptr);
    EXPECT_EQ(m->Targets.size(), 0u);
    EXPECT_EQ(m->Goal, nullptr);
    destroy(m);
}

TEST(Create, NullifyingMakesKeysAndNonKeysNullOnRequest)
{
    Test_Derived* d = Test_Derived::create();
    nullify_non_keys(d);
    EXPECT_EQ(d->Name.null, 0);
    EXPECT_EQ(d->State.null, 1);
    EXPECT_EQ(d->Sizes.null, 1);
    nullify_properties(d);
    EXPECT_EQ(d->Name.null, 1);
    de_nullify_keys(d);
    EXPECT_EQ(d->Name.null, 0);
    EXPECT_EQ(d->Count.null, 1);
    de_nullify_properties(d);
    EXPECT_EQ(d->Count.null, 0);
    destroy(d);
}

} // namespace
} // namespace cimple
