// The status reader: the status pair of the array, the controller enclosure
// and each drive enclosure from stored status records.

#include <gtest/gtest.h>

#include <vector>

#include "ByteOrder.h"
#include "LogCapture.h"
#include "SMIS_CMSLib.h"
#include "SMIS_CMTAccess.h"
#include "TempInstallDir.h"

using cimple::SMIS_CMSLib;
using cimple::SMIS_CMTAccess;

namespace {

constexpr const char* A = "10.0.0.1";

class CMSLibTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        SMIS_CMTAccess::destroy();
        dir.writeEnv({std::string("StorageIP=") + A});
        cache = SMIS_CMTAccess::getInstance();
        ASSERT_NE(cache, nullptr);
    }
    void TearDown() override { SMIS_CMTAccess::destroy(); }

    smis::test::TempInstallDir dir;
    SMIS_CMTAccess* cache = nullptr;
};

TEST(SMIS_CMSLib, StatusBytesMapToTheirPairs)
{
    struct Case {
        std::uint8_t status;
        int first, second;
    };
    const Case cases[] = {
        {32, 2, 2},  {40, 2, 2},  {48, 2, 2},  {39, 2, 4},   {64, 2, 4},   {80, 2, 5},   {88, 3, 3},
        {92, 3, 3},  {96, 3, 3},  {100, 3, 3}, {112, 6, 6},  {115, 6, 6},  {253, 13, 13}, {254, 12, 12},
        {0, 0, 0},   {33, 0, 0},  {255, 0, 0},
    };
    for (const Case& c : cases) {
        int first = -1, second = -1;
        SMIS_CMSLib::cms_cnv_smis_sts_machine_ce_de(c.status, &first, &second);
        EXPECT_EQ(first, c.first) << int(c.status);
        EXPECT_EQ(second, c.second) << int(c.status);
    }
    SMIS_CMSLib::cms_cnv_smis_sts_machine_ce_de(32, nullptr, nullptr);
}

TEST_F(CMSLibTest, ReadsTheStoredStatusRecords)
{
    const std::uint8_t device[16] = {80};
    const std::uint8_t ce[8] = {0, 112};
    std::vector<std::uint8_t> de(516, 0);
    smis::storeLE32(de.data(), 3);
    const std::uint8_t entries[] = {0x00, 32, 0, 0, 0x01, 92, 0, 0, 0x0A, 254, 0, 0};
    std::copy(std::begin(entries), std::end(entries), de.begin() + 4);
    de[4 + 12] = 0x0B;  // a fourth entry beyond the count
    de[4 + 13] = 32;
    ASSERT_EQ(cache->SetExTableInfo(A, 1, nullptr, device, 16, 1, 0), 0);
    ASSERT_EQ(cache->SetExTableInfo(A, 5, nullptr, ce, 8, 1, 0), 0);
    ASSERT_EQ(cache->SetExTableInfo(A, 6, nullptr, de.data(), 516, 1, 0), 0);

    SMIS_CMSLib lib(A);
    int first = 0, second = 0;
    EXPECT_EQ(lib.getSysSMISStatus(&first, &second), 0);
    EXPECT_EQ(first, 2);
    EXPECT_EQ(second, 5);
    EXPECT_EQ(lib.getCESMISStatus(&first, nullptr), 0);
    EXPECT_EQ(first, 6);
    EXPECT_EQ(lib.getDESMISStatus(0x01, &first, &second), 0);
    EXPECT_EQ(first, 3);
    EXPECT_EQ(lib.getDESMISStatus(0x0A, nullptr, &second), 0);
    EXPECT_EQ(second, 12);

    smis::test::LogCapture logs;
    EXPECT_EQ(lib.getDESMISStatus(0x0B, &first, &second), -1);
    EXPECT_TRUE(logs.hasLog("DE(0xb) information is not found."));
}

TEST_F(CMSLibTest, MissingStatusDataFails)
{
    smis::test::LogCapture logs;
    SMIS_CMSLib lib(A);
    int first = 0;
    EXPECT_EQ(lib.getSysSMISStatus(&first, nullptr), -1);
    EXPECT_TRUE(logs.hasLog("Failure in the acquisition of the ExTable information for CMT-Ex."));
    EXPECT_EQ(lib.getCESMISStatus(&first, nullptr), -1);
    EXPECT_TRUE(logs.hasLog("Failure in the acquisition of the CE status on ExTable."));
    EXPECT_EQ(lib.getDESMISStatus(1, &first, nullptr), -1);
    EXPECT_TRUE(logs.hasLog("Failure in the acquisition of DE Status Info on the ExTable info for CMT-Ex."));
    SMIS_CMSLib other("10.9.9.9");
    EXPECT_EQ(other.getSysSMISStatus(&first, nullptr), -1);
}

}  // namespace
