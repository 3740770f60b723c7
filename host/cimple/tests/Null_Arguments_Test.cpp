// CIMPLE follows the instance pointer it is given without a check; the
// framework layer ends the process at once instead, with a message, so a
// caller that would crash under CIMPLE fails every test that reaches it.
#include "Test_Schema.h"

#include <gtest/gtest.h>

namespace cimple {
namespace {

TEST(NullArguments, DestroyOfNullEndsTheProcess)
{
    EXPECT_DEATH(destroy(static_cast<Instance*>(nullptr)), "");
    EXPECT_DEATH(Test_Base::destroy(nullptr), "");
}

} // namespace
} // namespace cimple
