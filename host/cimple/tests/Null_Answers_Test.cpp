// The framework layer answers these null arguments harmlessly where CIMPLE
// asserts them non-null (or follows them): they hold for the layer only, and the providers
// never pass null to these functions.
#include "Test_Schema.h"

#include <gtest/gtest.h>

namespace cimple {
namespace {

TEST(NullAnswers, AreRefusedNotFollowed)
{
    Instance_Map<Test_Link> map;
    EXPECT_EQ(map.insert(nullptr), static_cast<size_t>(-1));
    EXPECT_EQ(map.size(), 0u);

    const Meta_Class* base = &Test_Base::static_meta_class;
    EXPECT_FALSE(is_subclass(base, nullptr));
    EXPECT_FALSE(is_subclass(nullptr, base));

    Test_Base* b = Test_Base::create(true);
    b->Name.set("x");
    EXPECT_FALSE(key_eq(b, nullptr));
    EXPECT_FALSE(key_eq(nullptr, b));
    EXPECT_FALSE(key_eq(nullptr, nullptr));
    destroy(b);

    String path = "old";
    EXPECT_EQ(instance_to_model_path(nullptr, path), -1);
    EXPECT_TRUE(path.empty());
}

TEST(NullAnswers, DestroyOfNullNamesItself)
{
    EXPECT_DEATH(destroy(static_cast<Instance*>(nullptr)), "cimple::destroy: null instance");
}

} // namespace
} // namespace cimple
