// Volume size ranges offered by the RAID and thin-provisioning pools.

#include <gtest/gtest.h>

#include <string>

#include "CMTBuilder.h"
#include "Instance_Provider_Frame.h"
#include "LogCapture.h"
#include "SMIS_CMTAccess.h"
#include "TempInstallDir.h"
#include "VELDARO_RAIDStoragePool_Provider.h"
#include "VELDARO_ThinProvisioningPool_Provider.h"

namespace {

using namespace cimple;

constexpr const char* A = "10.0.0.1";
constexpr std::uint64_t MiB = 0x100000;
constexpr std::uint64_t MIB_BLOCKS = 2048;

struct Range {
    std::uint32_t rc = 99;
    std::uint64_t minimum = 0, maximum = 0, divisor = 0;
};

class PoolSizeRange : public ::testing::Test {
protected:
    void SetUp() override { SMIS_CMTAccess::destroy(); }
    void TearDown() override { SMIS_CMTAccess::destroy(); }

    // RAID group 1 of free blocks after a first volume of one stripe (128
    // blocks), holding volumes volumes in all; model for the thin capacity.
    void install(std::uint64_t freeBlocks, unsigned volumes = 1, std::uint8_t model = 145)
    {
        SMIS_CMTAccess::destroy();
        smis::test::CMTBuilder b;
        b.maxCounts({.olu = 256, .slu = 256, .rlu = 2, .dlu = 1, .mlu = 1});
        b.sys().ModelType(model);
        CMT_RLUW r = b.rlu(1);
        r.Rlun(1).Status(0x2000).RaidLevel(1).RlbaCount(128 * volumes + freeBlocks).StripeSize(128);
        for (std::size_t k = 0; k < 16; ++k)
            r.Dlun(k, 0xFFFF);
        for (std::size_t k = 0; k < 256; ++k)
            r.Slun(k, 0xFFFF);
        for (unsigned v = 0; v < volumes; ++v) {
            b.slu(static_cast<std::uint16_t>(v)).Status(0).LuType(1).Rlun(1).StartRlba(128 * v).SlbaCount(100);
            r.Slun(v, static_cast<std::uint16_t>(v));
        }
        r.SluCount(static_cast<std::uint8_t>(volumes));
        b.tpp(0).MemDiskCnt(4).RaidLevel(1).MaxPoolLbaCount(1 << 20).LxrpNumber(255);
        b.installCmf(A);
        dir.writeEnv({std::string("StorageIP=") + A});
    }

    static Range raidRange(int type)
    {
        VELDARO_RAIDStoragePool* pool = Instance_Provider_Frame::newInstance<VELDARO_RAIDStoragePool>();
        pool->InstanceID.set(concat("VELDARO:RSP0001_", A));
        Property<uint16> elementType;
        elementType.set(static_cast<uint16>(type));
        Property<uint64> minimum, maximum, divisor;
        Property<uint32> rc;
        VELDARO_RAIDStoragePool_Provider provider;
        EXPECT_EQ(provider.GetSupportedSizeRange(pool, elementType, nullptr, minimum, maximum, divisor, rc),
                  INVOKE_METHOD_OK);
        destroy(pool);
        return {rc.value, minimum.value, maximum.value, divisor.value};
    }

    static Range thinRange(int type)
    {
        VELDARO_ThinProvisioningPool* pool = Instance_Provider_Frame::newInstance<VELDARO_ThinProvisioningPool>();
        pool->InstanceID.set(concat("VELDARO:TPP0000_", A));
        Property<uint16> elementType;
        elementType.set(static_cast<uint16>(type));
        Property<uint64> minimum, maximum, divisor;
        Property<uint32> rc;
        VELDARO_ThinProvisioningPool_Provider provider;
        EXPECT_EQ(provider.GetSupportedSizeRange(pool, elementType, nullptr, minimum, maximum, divisor, rc),
                  INVOKE_METHOD_OK);
        destroy(pool);
        return {rc.value, minimum.value, maximum.value, divisor.value};
    }

    smis::test::TempInstallDir dir;
};

TEST_F(PoolSizeRange, RaidPoolOffersItsLargestFreeRange)
{
    struct Case {
        const char* name;
        std::uint64_t freeBlocks;
        unsigned volumes;
        int type;
        Range expected;
    };
    const Case cases[] = {
        // 100 x 199 MiB lies in the lower half of a GiB: kept.
        {"199 MiB and a part", 199 * MIB_BLOCKS + 1000, 1, 3, {0, 24 * MiB, 199 * MiB, MiB}},
        // 30 MiB steps back to 25 MiB, the first size whose hundredfold does.
        {"stepped back", 30 * MIB_BLOCKS, 1, 3, {0, 24 * MiB, 25 * MiB, MiB}},
        {"less than the smallest volume free", 20 * MIB_BLOCKS, 1, 3, {0, 0, 0, MiB}},
        {"group holding its most volumes", 100 * MIB_BLOCKS, 128, 3, {1, 0, 0, 0}},
        {"element type of a pool", 100 * MIB_BLOCKS, 1, 2, {1, 0, 0, 0}},
        {"unknown element type", 100 * MIB_BLOCKS, 1, 9, {1, 0, 0, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        install(c.freeBlocks, c.volumes);
        const Range got = raidRange(c.type);
        EXPECT_EQ(got.rc, c.expected.rc);
        EXPECT_EQ(got.minimum, c.expected.minimum);
        EXPECT_EQ(got.maximum, c.expected.maximum);
        EXPECT_EQ(got.divisor, c.expected.divisor);
    }
}

TEST_F(PoolSizeRange, ThinPoolOffersTheArraysThinRoom)
{
    struct Case {
        const char* name;
        std::uint8_t model;
        int type;
        Range expected;
    };
    const Case cases[] = {
        {"model with 128 TiB: the largest volume", 145, 5, {0, 24 * MiB, 0x8000000ULL * MiB, MiB}},
        {"model without thin capacity", 9, 5, {0, 0, 0, MiB}},
        {"standard volume type", 145, 2, {3, 0, 0, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        install(100 * MIB_BLOCKS, 1, c.model);
        const Range got = thinRange(c.type);
        EXPECT_EQ(got.rc, c.expected.rc);
        EXPECT_EQ(got.minimum, c.expected.minimum);
        EXPECT_EQ(got.maximum, c.expected.maximum);
        EXPECT_EQ(got.divisor, c.expected.divisor);
    }
}

}  // namespace
