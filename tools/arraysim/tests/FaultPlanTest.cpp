#include <gtest/gtest.h>

#include "FaultPlan.hpp"

using namespace arraysim;

TEST(FaultPlan, CountCommandAndPacketDecideWhereAFaultStrikes) {
    FaultPlan plan;
    plan.add(Fault::fromJson(Json{{"kind", "drop"}, {"packet", "C639"}, {"command", 0x4024}, {"count", 2}}));
    // Another command or another packet is not hit.
    EXPECT_FALSE(plan.take({FaultKind::Drop}, 0x0010, "C639"));
    EXPECT_FALSE(plan.take({FaultKind::Drop}, 0x4024, "CA35"));
    EXPECT_FALSE(plan.take({FaultKind::Stall}, 0x4024, "C639"));
    EXPECT_TRUE(plan.take({FaultKind::Drop}, 0x4024, "C639"));
    EXPECT_TRUE(plan.take({FaultKind::Drop}, 0x4024, "C639"));
    EXPECT_FALSE(plan.take({FaultKind::Drop}, 0x4024, "C639"));  // used up
    EXPECT_TRUE(plan.list().empty());

    // Without a packet it strikes at the first packet asked about, but not
    // where an exact packet is required; without a count it stays.
    plan.add(Fault::fromJson(Json{{"kind", "stall"}, {"seconds", 1}}));
    EXPECT_FALSE(plan.take({FaultKind::Stall}, 0x4024, "CE31", true));
    for (int i = 0; i < 3; ++i) EXPECT_TRUE(plan.take({FaultKind::Stall}, 0x4024, "CA35"));
    EXPECT_TRUE(plan.armed(FaultKind::Stall));
    plan.clear();
    EXPECT_FALSE(plan.armed(FaultKind::Stall));
}

TEST(FaultPlan, UnknownKindsAndPacketsAreRefused) {
    EXPECT_THROW(Fault::fromJson(Json{{"kind", "explode"}}), std::invalid_argument);
    EXPECT_THROW(Fault::fromJson(Json{{"kind", "drop"}, {"packet", "AB12"}}), std::invalid_argument);
    const Fault busy = Fault::fromJson(Json{{"kind", "busy"}});
    EXPECT_EQ(busy.status, 0x20u);
    EXPECT_EQ(busy.remaining, -1);
    EXPECT_EQ(Fault::fromJson(busy.toJson()).kind, FaultKind::Busy);
}
