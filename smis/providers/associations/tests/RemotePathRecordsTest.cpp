// Remote-copy path records as the array hands them out: counts bounded by
// the record's room, box IDs without terminator, no records; the port
// identity of a path; the strict reading of a redundancy set's RAID group.

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "Redundancy_Set_Number.h"
#include "Remote_Path_Records.h"
#include "SMIS_VorpakRecords.h"

namespace {

using cimple::Remote_Path_Records;
using Record = CMM_RSP_CHECK_FRA_PATH_DATA;

Record box(const char* id, std::uint8_t count, std::size_t idLength)
{
    Record r{};
    std::memcpy(r.bytes, id, idLength);
    r.bytes[40] = count;
    for (std::size_t k = 0; k < Record::MAX_PATHS; ++k) {
        r.bytes[48 + 16 * k + 1] = static_cast<std::uint8_t>(0x40 + k);
        r.bytes[48 + 16 * k + 2] = static_cast<std::uint8_t>(k & 1);
        r.bytes[48 + 16 * k + 3] = static_cast<std::uint8_t>(k == 1 ? 1 : 0);
    }
    return r;
}

TEST(RemotePathRecords, CountsAreBoundedBoxIdsCutAndNoRecordsIsEmpty)
{
    const char full[] = "ABCDEFGHIJABCDEFGHIJABCDEFGHIJABCDEFGHIJ";  // 40 characters, no terminator kept
    std::vector<Record> records{box(full, 200, 40), box("BOX2", 2, 5)};
    Remote_Path_Records paths;
    paths.read(records.data(), static_cast<unsigned short>(records.size()));
    ASSERT_EQ(paths.boxes().size(), 2u);
    EXPECT_EQ(paths.boxes()[0].id, std::string(full, 40));
    EXPECT_EQ(paths.boxes()[0].paths.size(), Record::MAX_PATHS);
    EXPECT_EQ(paths.boxes()[1].id, "BOX2");
    ASSERT_EQ(paths.boxes()[1].paths.size(), 2u);
    EXPECT_TRUE(paths.boxes()[1].paths[0].usable());
    EXPECT_FALSE(paths.boxes()[1].paths[1].usable());
    EXPECT_EQ(paths.boxes()[1].paths[1].module, 0x41);
    EXPECT_EQ(paths.find("BOX2"), &paths.boxes()[1]);
    EXPECT_EQ(paths.find("BOX3"), nullptr);

    paths.read(nullptr, 5);
    EXPECT_TRUE(paths.boxes().empty());
}

TEST(RemotePathRecords, PortIdentityAndModuleOfAPathAreInverse)
{
    for (std::uint32_t cm = 0; cm < 8; ++cm)
        for (std::uint32_t ca = 0; ca < 4; ++ca)
            for (std::uint32_t port = 0; port < 4; ++port) {
                const Remote_Path_Records::Port p{cm, ca, port};
                const Remote_Path_Records::Path path{Remote_Path_Records::moduleIdOf(p),
                                                     Remote_Path_Records::modulePortOf(p), 0};
                EXPECT_EQ(Remote_Path_Records::portOf(path), p) << cm << " " << ca << " " << port;
            }
    // CM 1, CA 0, port 1: module 0x41, module port 1.
    EXPECT_EQ(Remote_Path_Records::moduleIdOf({1, 0, 1}), 0x41);
    EXPECT_EQ(Remote_Path_Records::modulePortOf({1, 0, 1}), 1);
}

TEST(RedundancySetNumber, OnlyPlainDecimalNumbersNameARaidGroup)
{
    using cimple::redundancy_set::raidGroupOf;
    EXPECT_EQ(raidGroupOf("0005"), 5);
    EXPECT_EQ(raidGroupOf("65535"), 65535);
    for (const char* bad : {"", "5x", " 5", "-1", "+5", "65536", "0x10", "99999999999"})
        EXPECT_FALSE(raidGroupOf(bad).has_value()) << bad;
    EXPECT_TRUE(cimple::redundancy_set::isGlobal(""));
}

}  // namespace
