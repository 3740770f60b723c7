// Standard and thin volume engines against small built tables.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "CMTBuilder.h"
#include "LogCapture.h"
#include "SMISProviderLVConfiguration.h"
#include "SMISProviderTPVConfiguration.h"
#include "SMIS_CMTAccess.h"
#include "TempInstallDir.h"

namespace {

constexpr const char* A = "10.0.0.1";
constexpr std::uint64_t MIB_BLOCKS = 2048;
constexpr int ERR = cimple::SMISProviderLVConfiguration::RESULT_ERROR;

struct Volume {
    std::uint64_t start;
    std::uint64_t count;
    std::uint8_t luType = 1;
};

struct ThinVolume {
    std::uint16_t olun;
    std::uint64_t virtualBlocks;
    std::uint8_t luType = 9;
};

// One array: RAID group 5 (index 0) holding the volumes, the thin volumes
// after them, then freeSlu free volume entries and freeOlu free volume numbers
// (numbers from 200).
struct Array {
    std::uint64_t capacity = 10000;
    std::uint32_t stripe = 1024;
    std::uint16_t groupStatus = 0;
    std::vector<Volume> volumes = {};
    std::vector<ThinVolume> thin = {};
    unsigned freeSlu = 1;
    unsigned freeOlu = 1;
    std::uint8_t model = 145;
    bool danglingSlot = false;
    // Status word written into the free entries (0: left as the builder
    // leaves them); flags in its high byte do not make an entry busy.
    std::uint16_t freeStatus = 0;
};

class VolumeConfiguration : public ::testing::Test {
protected:
    void SetUp() override { cimple::SMIS_CMTAccess::destroy(); }
    void TearDown() override { cimple::SMIS_CMTAccess::destroy(); }

    // Volume entries and volume numbers not named by the array are in use
    // (an unlisted entry of a built table reads as free).
    void install(const Array& a)
    {
        constexpr std::uint16_t ENTRIES = 300;
        cimple::SMIS_CMTAccess::destroy();
        smis::test::CMTBuilder b;
        b.maxCounts({.olu = ENTRIES, .slu = ENTRIES, .rlu = 8, .dlu = 1, .mlu = 1});
        b.sys().ModelType(a.model);
        CMT_RLUW r = b.rlu(5);
        r.Rlun(5).Status(a.groupStatus).RaidLevel(5).RlbaCount(a.capacity).StripeSize(a.stripe);
        for (std::size_t k = 0; k < 256; ++k)
            r.Slun(k, 0xFFFF);
        std::vector<bool> oluSet(ENTRIES), sluSet(ENTRIES);
        std::uint16_t slun = 0;
        std::size_t slots = 0;
        for (const Volume& v : a.volumes) {
            b.olu(slun).Olun(slun).Status(0).SluCount(1).Slun(0, slun);
            b.slu(slun).Status(0).LuType(v.luType).Rlun(5).Olun(slun).StartRlba(v.start).SlbaCount(v.count);
            oluSet[slun] = sluSet[slun] = true;
            r.Slun(slots++, slun++);
        }
        if (a.danglingSlot)
            r.Slun(slots++, 999);
        r.SluCount(static_cast<std::uint8_t>(slots));
        for (const ThinVolume& t : a.thin) {
            b.olu(t.olun).Olun(t.olun).Status(0).SluCount(1).Slun(0, slun);
            b.slu(slun).Status(0).LuType(t.luType).Olun(t.olun).VirtualOlbaCount(t.virtualBlocks);
            oluSet[t.olun] = sluSet[slun] = true;
            ++slun;
        }
        for (unsigned i = 0; i < a.freeSlu; ++i) {
            sluSet[slun + i] = true;  // left free
            if (a.freeStatus)
                b.slu(static_cast<std::uint16_t>(slun + i)).Status(a.freeStatus);
        }
        for (unsigned i = 0; i < a.freeOlu; ++i) {
            oluSet[200 + i] = true;  // left free
            const auto olun = static_cast<std::uint16_t>(200 + i);
            if (a.freeStatus)
                b.olu(olun).Olun(olun).Status(a.freeStatus);
        }
        for (std::uint16_t n = 0; n < ENTRIES; ++n) {
            if (!sluSet[n])
                b.slu(n).Status(0).LuType(1).Rlun(0xFFFF).Olun(0xFFFF);
            if (!oluSet[n])
                b.olu(n).Status(0);
        }
        b.installCmf(A);
        dir.writeEnv({std::string("StorageIP=") + A});
    }

    std::unique_ptr<cimple::SMISProviderLVConfiguration> lv()
    {
        return std::unique_ptr<cimple::SMISProviderLVConfiguration>(
            cimple::SMISProviderLVConfigurationFactory(A).createSMISProviderLVConfiguration());
    }
    std::unique_ptr<cimple::SMISProviderTPVConfiguration> tpv()
    {
        return std::unique_ptr<cimple::SMISProviderTPVConfiguration>(
            cimple::SMISProviderTPVConfigurationFactory(A).createSMISProviderTPVConfiguration());
    }

    smis::test::TempInstallDir dir;
};

TEST_F(VolumeConfiguration, LargestFreeRangeOfAGroup)
{
    struct Case {
        const char* name;
        Array array;
        std::uint64_t start, end;
    };
    const Case cases[] = {
        {"no volume: the whole group", {.capacity = 8192, .volumes = {}}, 0, 8191},
        {"volume space rounded up to the stripe",
         {.volumes = {{4096, 1024}, {0, 1000}}}, 5120, 9999},
        {"room before the first volume", {.capacity = 20000, .volumes = {{12000, 8000}}}, 0, 11999},
        {"equal gaps: the lower one", {.capacity = 6144, .volumes = {{2048, 2048}}}, 0, 2047},
        {"full group: no room", {.capacity = 4096, .volumes = {{0, 4096}}}, 0, 0},
        {"volume reaching past the next leaves no negative gap",
         {.capacity = 10000, .volumes = {{0, 3000}, {2048, 1024}}}, 3072, 9999},
        {"volume reaching past the group end", {.capacity = 3000, .volumes = {{0, 100}, {2000, 2000}}}, 1024, 1999},
        {"group of no blocks", {.capacity = 0, .volumes = {}}, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        install(c.array);
        std::uint64_t start = 7, end = 7;
        EXPECT_EQ(lv()->getFreeSpaceMaxRangeInRaid(5, 1024, start, end), 0);
        EXPECT_EQ(start, c.start);
        EXPECT_EQ(end, c.end);
    }
}

TEST_F(VolumeConfiguration, FreeRangeRefusesBadStripeGroupAndVolumes)
{
    struct Case {
        const char* name;
        Array array;
        std::uint16_t rlun;
        std::int32_t stripe;
        const char* record;
    };
    const Case cases[] = {
        {"stripe 0", {}, 5, 0, "Invalid StripeSize"},
        {"negative stripe", {}, 5, -1024, "Invalid StripeSize"},
        {"group not in the table", {}, 6, 1024, "Invalid RLU-Number"},
        {"group status 3", {.groupStatus = 0x1003}, 5, 1024, "Invalid RLU-"},
        {"slot naming no volume", {.danglingSlot = true}, 5, 1024, "Invalid SLU-Number"},
        {"volume of an unsupported type", {.volumes = {{0, 1024, 9}}}, 5, 1024, "Not support volume type"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        install(c.array);
        smis::test::LogCapture logs;
        std::uint64_t start = 7, end = 7;
        EXPECT_EQ(lv()->getFreeSpaceMaxRangeInRaid(c.rlun, c.stripe, start, end), ERR);
        EXPECT_EQ(start, 0u);
        EXPECT_EQ(end, 0u);
        EXPECT_TRUE(logs.hasLog(c.record));
    }
}

TEST_F(VolumeConfiguration, VerifyCreateStandardVolume)
{
    constexpr std::uint64_t MiB = 0x100000;
    const std::uint64_t bigGroup = 64 * MIB_BLOCKS;  // 64 MiB
    struct Case {
        const char* name;
        Array array;
        std::uint16_t rlun;
        std::uint64_t size;
        int rc;
        const char* record;
    };
    const Case cases[] = {
        {"24 MiB fits", {.capacity = bigGroup}, 5, 24 * MiB, 0, nullptr},
        {"free entries with flags", {.capacity = bigGroup, .freeStatus = 0x0106}, 5, 24 * MiB, 0, nullptr},
        {"a byte over 23 MiB rounds up to 24", {.capacity = bigGroup}, 5, 23 * MiB + 1, 0, nullptr},
        {"23 MiB is too small", {.capacity = bigGroup}, 5, 23 * MiB, 2, "Invalid size"},
        {"above the largest volume", {.capacity = bigGroup}, 5, (0x8000000ULL + 1) * MiB, 2, "Invalid size"},
        {"group not in the table", {.capacity = bigGroup}, 7, 24 * MiB, 1, "Invalid RLU-Number"},
        {"group status 3", {.capacity = bigGroup, .groupStatus = 3}, 5, 24 * MiB, 1, "Invalid RLU-"},
        {"no free volume entry", {.capacity = bigGroup, .freeSlu = 0}, 5, 24 * MiB, 4, "Storage has max volume"},
        {"no free volume number", {.capacity = bigGroup, .freeOlu = 0}, 5, 24 * MiB, 4, "Storage has max volume"},
        {"larger than the free range", {.capacity = bigGroup}, 5, 65 * MiB, 3, "Request size too large"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        install(c.array);
        smis::test::LogCapture logs;
        std::uint32_t mib = 0;
        std::uint16_t olun = 0;
        std::uint64_t start = 99;
        EXPECT_EQ(lv()->verifyCreateLogicalVolume(c.rlun, "V", 0, c.size, 1024, mib, olun, start), c.rc);
        if (c.record) {
            EXPECT_TRUE(logs.hasLog(c.record));
        }
        if (c.rc == 0) {
            EXPECT_EQ(mib, 24u);
            EXPECT_EQ(olun, 200);
            EXPECT_EQ(start, 0u);
        }
    }
}

TEST_F(VolumeConfiguration, GroupAtItsVolumeLimitRefusesANewVolume)
{
    // 128 volumes of one stripe each, room after them.
    Array a{.capacity = 1024 * 200, .freeSlu = 1};
    for (std::uint64_t i = 0; i < 128; ++i)
        a.volumes.push_back({i * 1024, 1024});
    install(a);
    smis::test::LogCapture logs;
    std::uint32_t mib = 0;
    std::uint16_t olun = 0;
    std::uint64_t start = 0;
    EXPECT_EQ(lv()->verifyCreateLogicalVolume(5, "V", 0, 24 * 0x100000ULL, 1024, mib, olun, start), 5);
    EXPECT_TRUE(logs.hasLog("Raid has max volume"));
}

TEST_F(VolumeConfiguration, ConfirmDeleteFindsTheGroupsVolumes)
{
    install({.volumes = {{0, 1024}, {2048, 1024}}});
    auto engine = lv();
    EXPECT_TRUE(engine->confirmDeleteLogicalVolume(5, 1));
    EXPECT_FALSE(engine->confirmDeleteLogicalVolume(5, 200));
    EXPECT_FALSE(engine->confirmDeleteLogicalVolume(6, 0));
    EXPECT_EQ(engine->getIpAddress(), cimple::String(A));
    EXPECT_EQ(engine->getOLUMaxCount(), 300u);
}

TEST_F(VolumeConfiguration, ThinRoomFollowsModelAndThinVolumes)
{
    struct Case {
        const char* name;
        Array array;
        std::uint64_t end;  // 0: no room
    };
    const std::uint64_t tib = 0x100000ULL * MIB_BLOCKS;  // blocks of 1 TiB
    const Case cases[] = {
        {"model 145, no thin volume: capped at the largest volume", {.model = 145}, 0x3FFFFFFFFFULL},
        {"model 161: capped at the largest volume", {.model = 161}, 0x3FFFFFFFFFULL},
        {"thin and charged volumes count, others not",
         {.thin = {{1, 100 * tib}, {2, 20 * tib, 11}, {3, 50 * tib, 1}}, .model = 145}, 8 * tib - 1},
        {"unknown model: no room", {.model = 7}, 0},
        {"capacity used up", {.thin = {{1, 200 * tib}}, .model = 146}, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        install(c.array);
        std::uint64_t start = 5, end = 5;
        EXPECT_EQ(tpv()->getFreeSpaceMaxRangeInStorage(start, end), 0);
        EXPECT_EQ(start, 0u);
        EXPECT_EQ(end, c.end);
    }
}

TEST_F(VolumeConfiguration, VerifyCreateThinVolume)
{
    constexpr std::uint64_t MiB = 0x100000;
    const std::uint64_t tib = 0x100000ULL * MIB_BLOCKS;
    struct Case {
        const char* name;
        Array array;
        std::uint64_t size;
        int rc;
        const char* record;
    };
    const Case cases[] = {
        {"fits", {.model = 145}, 2048 * MiB, 0, nullptr},
        {"free entries with flags", {.model = 145, .freeStatus = 0x0106}, 2048 * MiB, 0, nullptr},
        {"23 MiB", {.model = 145}, 23 * MiB, 1, "The volume size is invalid"},
        {"unknown model", {.model = 3}, 2048 * MiB, 2, "The volume size is too large"},
        {"capacity used up", {.thin = {{1, 128 * tib}}, .model = 145}, 2048 * MiB, 2, "The volume size is too large"},
        {"no free volume entry", {.freeSlu = 0, .model = 145}, 2048 * MiB, 3,
         "Maximum volume per storage has been created"},
        {"no free volume number", {.freeOlu = 0, .model = 145}, 2048 * MiB, 3,
         "Maximum volume per storage has been created"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        install(c.array);
        smis::test::LogCapture logs;
        std::uint64_t mib = 0;
        std::uint16_t olun = 0;
        EXPECT_EQ(tpv()->verifyCreateLogicalVolume(0, c.size, mib, olun), c.rc);
        if (c.record) {
            EXPECT_TRUE(logs.hasLog(c.record));
        }
        if (c.rc == 0) {
            EXPECT_EQ(mib, 2048u);
            EXPECT_EQ(olun, 200);
        }
    }
}

TEST_F(VolumeConfiguration, VerifyModifyThinVolume)
{
    constexpr std::uint64_t MiB = 0x100000;
    const std::uint64_t tib = 0x100000ULL * MIB_BLOCKS;
    struct Case {
        const char* name;
        std::uint16_t olun;
        std::uint64_t size;
        std::uint8_t model;
        int rc;
        const char* record;
    };
    const Case cases[] = {
        {"grows", 1, 4096 * MiB, 145, 0, nullptr},
        {"same size", 1, 2048 * MiB, 145, 6, "The volume size is smaller than current size"},
        {"below the smallest expansion", 1, 1000 * MiB, 145, 1, "The volume size is invalid"},
        {"no such volume", 400, 4096 * MiB, 145, 4, "The volume not exist"},
        {"standard volume", 3, 4096 * MiB, 145, 5, "The volume type is not thin provisioning"},
        {"charged thin volume is not grown", 2, 4096 * MiB, 145, 5, "The volume type is not thin provisioning"},
        {"no thin capacity left", 1, 4096 * MiB, 200, 2, "The volume size is too large"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        install({.thin = {{1, 2048 * MIB_BLOCKS}, {2, tib, 11}, {3, tib, 1}}, .model = c.model});
        smis::test::LogCapture logs;
        std::uint64_t mib = 0;
        EXPECT_EQ(tpv()->verifyModifyLogicalVolume(c.olun, c.size, mib), c.rc);
        if (c.record) {
            EXPECT_TRUE(logs.hasLog(c.record));
        }
        if (c.rc == 0) {
            EXPECT_EQ(mib, 4096u);
        }
    }
}

TEST_F(VolumeConfiguration, ThinEngineTakesItsLimitsFromTheOwnedStandardEngine)
{
    install({.model = 193});
    auto engine = tpv();
    ASSERT_TRUE(engine);
    EXPECT_EQ(engine->getMinVolumeSizeMB(), 24u);
    EXPECT_EQ(engine->getMinExpandSizeMB(), 1024u);
    EXPECT_EQ(engine->getMaxVolumeSizeMB(), 0x8000000u);
    EXPECT_EQ(engine->getVolumeSizeUnit(), 1u);
    EXPECT_EQ(engine->getOLUMaxCount(), 300u);
    EXPECT_EQ(engine->getMaxCapacityByModel(), 1024ULL * 0x100000);
}

}  // namespace
