#include <gtest/gtest.h>

#include <map>

#include "CommandProcessor.hpp"
#include "Scenario.hpp"
#include "TableEncoder.hpp"

using namespace arraysim;

namespace {

const std::vector<std::uint8_t> kFullRefresh = {1,  2,  3,  4,  5,  6,  7,  8,  9,  10, 11, 12, 13, 14,
                                                16, 17, 18, 20, 21, 22, 23, 24, 26, 27, 28, 32, 33, 34,
                                                35, 36, 37, 38, 39, 40, 41, 42, 43, 44, 45, 46};

}  // namespace

TEST(MaxScenario, EveryTableAtItsLimitFitsTheContainer) {
    const Scenario s = Scenario::load("max");
    const Json& a = s.arrays[0].model();
    const Bytes d = TableEncoder::container(a, kFullRefresh);
    ASSERT_EQ(d[1], kFullRefresh.size());
    std::map<int, std::uint64_t> counts;
    std::uint64_t expectedOffset = 16 + 16 * kFullRefresh.size();
    for (std::size_t i = 0; i < kFullRefresh.size(); ++i) {
        const std::size_t e = 16 + 16 * i;
        const auto count = loadLe(d, e + 4, 2), size = loadLe(d, e + 8, 4), off = loadLe(d, e + 12, 4);
        EXPECT_EQ(off, expectedOffset);
        expectedOffset += count * size;
        counts[d[e]] = count;
    }
    EXPECT_EQ(expectedOffset, d.size());
    EXPECT_EQ(counts[2], 8u);
    EXPECT_EQ(counts[3], 64u);
    EXPECT_EQ(counts[5], 48u);
    EXPECT_EQ(counts[7], 128u);
    EXPECT_EQ(counts[8], 3072u);
    EXPECT_EQ(counts[10], 4096u);
    EXPECT_EQ(counts[14], 128u);
    EXPECT_EQ(counts[16], 8192u);
    EXPECT_EQ(counts[17], 8192u);
    EXPECT_EQ(counts[33], 256u);
    EXPECT_EQ(counts[34], 256u);
    EXPECT_EQ(counts[35], 128u);
    EXPECT_EQ(counts[36], 2048u);
    EXPECT_EQ(counts[41], 16u);
    EXPECT_EQ(counts[42], 128u);
    EXPECT_EQ(counts[43], 256u);
    EXPECT_EQ(counts[45], 64u);
}

TEST(MaxScenario, SessionListNeedsSeveralPages) {
    const Scenario s = Scenario::load("max");
    std::uint64_t start = 0, total = 0;
    int pages = 0;
    do {
        WireBytes p(16);
        p.le16(0, 2);
        p.le16(2, start);
        const CommandReply r = CommandProcessor::handle(s.arrays[0], 0x4199, p.bytes(), {});
        ASSERT_EQ(r.status, 0);
        const auto n = loadLe(r.data, 4, 2);
        ASSERT_EQ(r.data.size(), 16 + 208 * n);
        total += n;
        start = loadLe(r.data, 6, 2);
        ASSERT_LT(++pages, 10);
    } while (start != 0);
    EXPECT_EQ(total, s.arrays[0].model()["copy_sessions"].size());
    EXPECT_EQ(pages, 2);  // a page holds at most 8192 sessions
}
