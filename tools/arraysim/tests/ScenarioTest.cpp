#include <gtest/gtest.h>

#include "Scenario.hpp"

using namespace arraysim;

TEST(Scenario, SmallLoadsWithDerivedValues) {
    Scenario s = Scenario::load("small");
    ASSERT_EQ(s.arrays.size(), 1u);
    const Json& a = s.arrays[0].model();
    EXPECT_EQ(a["disks"][0]["item_id"], 0x80000000u);
    EXPECT_EQ(a["disks"][0]["usage"], 1);
    EXPECT_EQ(a["disks"][10]["usage"], 5);  // free disk
}
