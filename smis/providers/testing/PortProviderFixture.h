#pragma once
// What the port, endpoint and iSCSI provider tests share: an install
// directory with the arrays' tables, a fresh table cache per test, entries
// of the array status cache in place of live answers (an array without one
// counts as unreachable), and a handler that collects what a provider
// enumerates.

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "ByteOrder.h"
#include "Collected.h"
#include "SMIS_CMTAccess.h"
#include "TempInstallDir.h"
#include <cimple/cimple.h>

namespace smis::test {

class PortProviderFixture : public ::testing::Test {
protected:
    void SetUp() override { cimple::SMIS_CMTAccess::destroy(); }
    void TearDown() override { cimple::SMIS_CMTAccess::destroy(); }

    // Names the arrays in the configuration; the cache loads on first use.
    void configure(const std::vector<std::string>& addresses)
    {
        std::vector<std::string> env;
        for (const std::string& a : addresses)
            env.push_back("StorageIP=" + a);
        dir.writeEnv(env);
    }

    static cimple::SMIS_CMTAccess& cache()
    {
        cimple::SMIS_CMTAccess* c = cimple::SMIS_CMTAccess::getInstance();
        EXPECT_NE(c, nullptr);
        return *c;
    }

    // The 0x4021 answer for a CA: link words by index from byte 8.
    static void seedLinkStatus(const char* address, std::uint32_t itemId, const std::vector<std::uint16_t>& words)
    {
        std::uint8_t record[64] = {};
        smis::storeLE32(record, itemId);
        for (std::size_t i = 0; i < words.size(); ++i)
            smis::storeLE16(record + 8 + 2 * i, words[i]);
        const std::uint32_t key = itemId;
        ASSERT_EQ(cache().SetExTableInfo(address, cimple::SMIS_CMTAccess::EX_PORT_LINK_STATUS, &key, record,
                                         sizeof record, 1, 0),
                  0);
    }

    TempInstallDir dir;
};

}  // namespace smis::test
