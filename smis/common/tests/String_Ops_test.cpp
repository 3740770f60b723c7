#include "String_Ops.h"

#include <gtest/gtest.h>

namespace cimple {
namespace {

TEST(StringOps, ConcatenatesTextsCharsAndNulls)
{
    const String storage("10.0.0.1");
    char buf[8] = "SS_";
    const char* none = nullptr;
    EXPECT_EQ(concat("VELDARO:", buf, storage, '_', none, String("x")), "VELDARO:SS_10.0.0.1_x");
    EXPECT_TRUE(concat().empty());
}

TEST(StringOps, PositionsPastTheEndAreToleratedAndAbsenceIsNpos)
{
    const String key("VELDARO:RSP0001_10.0.0.1");
    struct Case {
        size_t pos, n;
        const char* want;
    };
    const Case cases[] = {{16, npos, "10.0.0.1"}, {0, 7, "VELDARO"}, {20, 100, ".0.1"}, {24, 1, ""}, {100, 1, ""}};
    for (const Case& c : cases)
        EXPECT_EQ(substring(key, c.pos, c.n), c.want) << c.pos << "," << c.n;

    EXPECT_EQ(find_last(key, '_'), 15u);
    EXPECT_EQ(find_last(key, '#'), npos);
    EXPECT_EQ(find_last(String(), '_'), npos);
    EXPECT_EQ(find_from(key, '0', 12), 12u);
    EXPECT_EQ(find_from(key, '0', 100), npos);
    EXPECT_EQ(find_from(key, "0.", 18), 19u);
    EXPECT_EQ(find_from(key, "RSP", 9), npos);
    EXPECT_EQ(find_from(key, "RSP", 100), npos);

    String s("abcdef");
    erase(s, 1, 2);
    EXPECT_EQ(s, "adef");
    erase(s, 10);
    EXPECT_EQ(s, "adef");
    erase(s, 2, 100);
    EXPECT_EQ(s, "ad");
}

}  // namespace
}  // namespace cimple
