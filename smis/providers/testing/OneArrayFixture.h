#pragma once
// One configured array, 10.0.0.5, whose table a test installs in a temporary
// install directory, with the cached enclosure status that the enclosure
// builders read. For tests that drive provider objects directly.

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "ByteOrder.h"
#include "CMTBuilder.h"
#include "SMIS_CMTAccess.h"
#include "TempInstallDir.h"

namespace smis::test {

class One_Array_Fixture : public ::testing::Test {
public:
    static constexpr const char* ADDRESS = "10.0.0.5";

protected:
    void SetUp() override { cimple::SMIS_CMTAccess::destroy(); }
    void TearDown() override { cimple::SMIS_CMTAccess::destroy(); }

    void install(const CMTBuilder& table)
    {
        table.installCmf(ADDRESS);
        dir.writeEnv({std::string("StorageIP=") + ADDRESS});
    }

    // Controller enclosure status, and the status of each drive enclosure
    // by number.
    void setEnclosureStatus(std::uint8_t ceStatus, const std::vector<std::pair<std::uint8_t, std::uint8_t>>& deStatus)
    {
        cimple::SMIS_CMTAccess* cache = cimple::SMIS_CMTAccess::getInstance();
        ASSERT_NE(cache, nullptr);
        const std::uint8_t ce[8] = {0, ceStatus};
        ASSERT_EQ(cache->SetExTableInfo(ADDRESS, cimple::SMIS_CMTAccess::EX_CE_SUMMARY, nullptr, ce, 8, 1, 0), 0);
        std::vector<std::uint8_t> de(4 + 4 * cimple::SMIS_CMTAccess::DE_SUMMARY_ENTRIES, 0);
        smis::storeLE32(de.data(), static_cast<std::uint32_t>(deStatus.size()));
        for (std::size_t i = 0; i < deStatus.size(); ++i) {
            de[4 + 4 * i] = deStatus[i].first;
            de[5 + 4 * i] = deStatus[i].second;
        }
        ASSERT_EQ(cache->SetExTableInfo(ADDRESS, cimple::SMIS_CMTAccess::EX_DE_SUMMARY, nullptr, de.data(),
                                        static_cast<unsigned>(de.size()), 1, 0),
                  0);
    }

    // The array's overall status byte in the cache (0x50: OK with a
    // secondary 5).
    void setDeviceStatus(std::uint8_t status)
    {
        cimple::SMIS_CMTAccess* cache = cimple::SMIS_CMTAccess::getInstance();
        ASSERT_NE(cache, nullptr);
        const std::uint8_t device[16] = {status};
        ASSERT_EQ(cache->SetExTableInfo(ADDRESS, 1, nullptr, device, 16, 1, 0), 0);
    }

    smis::test::TempInstallDir dir;
};


}  // namespace smis::test
