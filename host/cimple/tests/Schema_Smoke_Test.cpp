#include "Test_Schema.h"

#include <gtest/gtest.h>

namespace cimple {
TEST(SchemaSmoke, CreatesAndDestroys)
{
    Test_Derived* d = Test_Derived::create(true);
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(d->State.value, 5);
    destroy(d);
}
} // namespace cimple
