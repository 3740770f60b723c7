#include "Test_Schema.h"

#include <gtest/gtest.h>

namespace cimple {
namespace {

TEST(Meta, IsSubclassIsReflexiveAndFollowsTheChain)
{
    const Meta_Class* base = &Test_Base::static_meta_class;
    const Meta_Class* derived = &Test_Derived::static_meta_class;
    EXPECT_TRUE(is_subclass(base, base));
    EXPECT_TRUE(is_subclass(base, derived));
    EXPECT_FALSE(is_subclass(derived, base));
    EXPECT_FALSE(is_subclass(&Test_Link::static_meta_class, derived));
}

TEST(Meta, FindByNameWithoutRegardToCase)
{
    EXPECT_EQ(find_meta_class(&test_repository, "TEST_DERIVED"), &Test_Derived::static_meta_class);
    EXPECT_EQ(find_meta_class(&test_repository, "Test_Nothing"), nullptr);

    const Meta_Class* mc = &Test_Derived::static_meta_class;
    const Meta_Property* state = find_property(mc, "state");
    ASSERT_NE(state, nullptr);
    EXPECT_EQ(state->type, UINT16);
    EXPECT_EQ(find_method(mc, "FROB"), &Test_Derived_Frob_method::static_meta_class);
    EXPECT_EQ(find_property(mc, "Frob"), nullptr); // a method, not a property
    EXPECT_NE(find_reference(&Test_Link::static_meta_class, "dependent"), nullptr);
    EXPECT_EQ(find_feature(mc, "Missing"), nullptr);

    // Parameters of a method are found the same way.
    const auto* params = reinterpret_cast<const Meta_Class*>(&Test_Derived_Frob_method::static_meta_class);
    const Meta_Feature* rv = find_feature(params, "RETURN_VALUE");
    ASSERT_NE(rv, nullptr);
    EXPECT_TRUE(rv->flags & CIMPLE_FLAG_OUT);
}

TEST(Meta, ClassRecordsDescribeTheirStructs)
{
    // Every feature of every class lies inside its instance, keys are
    // counted, and locals mark the declared features.
    for (size_t i = 0; i < test_repository.num_meta_classes; i++) {
        const Meta_Class* mc = test_repository.meta_classes[i];
        EXPECT_EQ(mc->meta_repository, &test_repository);
        size_t keys = 0;
        for (size_t j = 0; j < mc->num_meta_features; j++) {
            const Meta_Feature* mf = mc->meta_features[j];
            if (mf->flags & CIMPLE_FLAG_KEY)
                keys++;
            if (mf->flags & CIMPLE_FLAG_PROPERTY) {
                EXPECT_LT(reinterpret_cast<const Meta_Property*>(mf)->offset, mc->size) << mc->name << "." << mf->name;
            }
        }
        EXPECT_EQ(keys, mc->num_keys) << mc->name;
    }
    EXPECT_EQ(Test_Derived::static_meta_class.locals[2].local, 0);
    EXPECT_EQ(Test_Derived::static_meta_class.locals[3].local, 1);
}

TEST(Registration, PushesOnTheListHead)
{
    Registration* head = nullptr;
    static Registration first("SMI-S_Module", "Test_Base_Provider", nullptr, &Test_Base::static_meta_class, head);
    static Registration second("SMI-S_Module", "Test_Link_Provider", nullptr, &Test_Link::static_meta_class, head);
    EXPECT_EQ(head, &second);
    EXPECT_EQ(second.next, &first);
    EXPECT_EQ(first.next, nullptr);
    EXPECT_STREQ(head->module_name, "SMI-S_Module");
}

} // namespace
} // namespace cimple
