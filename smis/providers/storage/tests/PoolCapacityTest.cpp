// Capacity arithmetic and usage alarms of the pool builders.

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <vector>

#include "ByteOrder.h"
#include "Pool_Capacity.h"

using cimple::Pool_Capacity;

namespace {

constexpr std::uint64_t MAX64 = std::numeric_limits<std::uint64_t>::max();

TEST(PoolCapacity, AlarmStatus)
{
    struct Case {
        std::uint64_t usage;
        unsigned attention, warning, severe;
        const char* text;
    } cases[] = {
        {100, 0, 0, 0, ""},  // no threshold: nothing to report, even when full
        {0, 0, 0, 0, ""},
        {69, 70, 90, 0, "Normal"},
        {70, 70, 90, 0, "Attention"},
        {90, 70, 90, 0, "Warning"},
        {100, 70, 90, 0, "Critical"},
        {50, 0, 80, 0, "Normal"},
        {80, 0, 80, 0, "Warning"},
        {85, 70, 80, 0, "Warning"},  // warning is tested before attention
        {75, 70, 80, 0, "Attention"},
        {100, 120, 150, 0, "Critical"},  // full is critical whatever the thresholds
        {0, 70, 0, 0, "Normal"},
        {95, 50, 70, 90, "Severe"},
        {75, 50, 70, 90, "Warning"},
        {55, 50, 70, 90, "Attention"},
        {40, 50, 70, 90, "Normal"},
        {100, 50, 70, 90, "Critical"},
        {100, 0, 0, 90, "Critical"},
    };
    for (const Case& c : cases)
        EXPECT_STREQ(Pool_Capacity::alarmStatus(c.usage, c.attention, c.warning, c.severe), c.text)
            << c.usage << " " << c.attention << "/" << c.warning << "/" << c.severe;
}

TEST(PoolCapacity, ArithmeticNeitherWrapsNorDividesByZero)
{
    EXPECT_EQ(Pool_Capacity::usagePercent(5, 0), 0u);
    EXPECT_EQ(Pool_Capacity::usagePercent(3, 4), 75u);
    EXPECT_EQ(Pool_Capacity::usagePercent(MAX64, MAX64), 100u) << "used x 100 must not wrap";
    EXPECT_EQ(Pool_Capacity::remaining(10, 4), 6u);
    EXPECT_EQ(Pool_Capacity::remaining(4, 10), 0u) << "more used than total leaves nothing";
    EXPECT_EQ(Pool_Capacity::bytesOf(3), 1536u);
    EXPECT_EQ(Pool_Capacity::bytesOf(MAX64 / 100), MAX64);
    EXPECT_EQ(Pool_Capacity::blocksOfMiB(6), 6u * 2048);
    EXPECT_EQ(Pool_Capacity::sum(MAX64, 1), MAX64);
}

TEST(PoolCapacity, FirstRecordOfThePoolIsUsed)
{
    std::vector<std::uint8_t> records(3 * Pool_Capacity::RECORD_SIZE, 0);
    auto put = [&](int i, std::uint16_t pool, std::uint32_t total, std::uint32_t used) {
        std::uint8_t* r = records.data() + i * Pool_Capacity::RECORD_SIZE;
        smis::storeLE16(r, pool);
        smis::storeLE32(r + 4, total);
        smis::storeLE32(r + 8, used);
    };
    put(0, 7, 100, 10);
    put(1, 3, 200, 20);
    put(2, 3, 300, 30);
    Pool_Capacity::Record r;
    ASSERT_TRUE(Pool_Capacity::findRecord(records.data(), 3, 3, r));
    EXPECT_EQ(r.totalMiB, 200u);
    EXPECT_EQ(r.usedMiB, 20u);
    EXPECT_FALSE(Pool_Capacity::findRecord(records.data(), 3, 4, r));
    EXPECT_FALSE(Pool_Capacity::findRecord(records.data(), 1, 3, r)) << "records past the count are not read";
    EXPECT_FALSE(Pool_Capacity::findRecord(records.data(), 0, 7, r));
    EXPECT_FALSE(Pool_Capacity::findRecord(nullptr, 3, 7, r));
}

}  // namespace
