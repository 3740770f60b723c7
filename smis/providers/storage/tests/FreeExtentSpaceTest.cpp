// Free ranges of one RAID group computed from its slices.

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "CMTBuilder.h"
#include "LogCapture.h"
#include "SMIS_CMTAccess.h"
#include "TempInstallDir.h"
#include "VELDARO_FreeExtent_Resource.h"

namespace {

constexpr const char* A = "10.0.0.1";

struct Slice {
    std::uint64_t start;
    std::uint64_t count;
    std::uint8_t luType = 1;
};

struct Case {
    const char* name;
    std::uint64_t total;
    std::uint32_t stripe;
    std::vector<Slice> slices;
    std::vector<std::pair<std::uint64_t, std::uint64_t>> free;  // (start, size) in blocks
};

class FreeExtentSpace : public ::testing::Test {
protected:
    void SetUp() override { cimple::SMIS_CMTAccess::destroy(); }
    void TearDown() override { cimple::SMIS_CMTAccess::destroy(); }

    // Installs group 0 with the case's slices (SLU numbers from 0, one slot
    // each; a slot naming SLU 99 is one that does not exist).
    std::vector<std::pair<std::uint64_t, std::uint64_t>> freeOf(const Case& c, bool* ok = nullptr,
                                                                 bool missingSlice = false)
    {
        cimple::SMIS_CMTAccess::destroy();
        smis::test::CMTBuilder b;
        b.maxCounts({.olu = 4, .slu = 16, .rlu = 1, .dlu = 1, .mlu = 4});
        CMT_RLUW r = b.rlu(0);
        r.Rlun(0).Status(0x2000).RaidLevel(1).RlbaCount(c.total).StripeSize(c.stripe);
        std::size_t slots = 0;
        for (std::size_t i = 0; i < c.slices.size(); ++i) {
            b.slu(static_cast<std::uint16_t>(i)).Status(0).LuType(c.slices[i].luType).Rlun(0)
                .StartRlba(c.slices[i].start).SlbaCount(c.slices[i].count);
            r.Slun(slots++, static_cast<std::uint16_t>(i));
        }
        if (missingSlice)
            r.Slun(slots++, 99);
        r.SluCount(static_cast<std::uint8_t>(slots));
        for (std::size_t k = 0; k < 16; ++k)
            r.Dlun(k, 0xFFFF);
        b.installCmf(A);
        dir.writeEnv({std::string("StorageIP=") + A});

        cimple::Array<cimple::uint64> sizes, starts;
        const bool result = cimple::VELDARO_FreeExtent_Resource(A).getFreeSpace(0, &sizes, &starts);
        if (ok)
            *ok = result;
        EXPECT_EQ(sizes.size(), starts.size());
        std::vector<std::pair<std::uint64_t, std::uint64_t>> out;
        for (size_t i = 0; i < sizes.size() && i < starts.size(); ++i)
            out.emplace_back(starts[i], sizes[i]);
        return out;
    }

    smis::test::TempInstallDir dir;
};

TEST_F(FreeExtentSpace, RangesBetweenStripeRoundedSlices)
{
    const Case cases[] = {
        {"no slices: the whole group", 5000, 128, {}, {{0, 5000}}},
        {"slice rounded up to the stripe", 10000, 128, {{0, 100}}, {{128, 9872}}},
        {"two slices", 2048, 256, {{0, 256}, {512, 256}}, {{256, 256}, {768, 1280}}},
        {"slices out of order", 2048, 256, {{512, 256}, {0, 256}}, {{256, 256}, {768, 1280}}},
        {"first slice not at 0", 1000, 100, {{300, 100}}, {{0, 300}, {400, 600}}},
        {"fully used", 1024, 256, {{0, 1024}}, {}},
        {"adjacent slices", 1024, 256, {{0, 256}, {256, 256}}, {{512, 512}}},
        // A slice inside a longer one: the space after the shorter end is
        // still used by the longer one.
        {"overlapping slices", 4096, 256, {{0, 2048}, {256, 256}}, {{2048, 2048}}},
        {"equal starts", 4096, 256, {{0, 256}, {0, 1024}}, {{1024, 3072}}},
        // A zero-length slice occupies nothing.
        {"zero-length slice", 1024, 256, {{0, 0}, {512, 256}}, {{0, 512}, {768, 256}}},
        {"every slice of a refused LU type", 1024, 256, {{0, 256, 0}}, {}},
        // A slice reaching past the group's end does not make free space
        // beyond it.
        {"slice past the end", 1024, 256, {{512, 4096}}, {{0, 512}}},
        {"slice at the top of the address space", 1024, 256, {{0xFFFFFFFFFFFFFF00ull, 0x1000}}, {{0, 1024}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(freeOf(c), c.free);
    }
}

TEST_F(FreeExtentSpace, MissingSliceIsLeftOut)
{
    const Case c{"", 2048, 256, {{0, 256}}, {}};
    EXPECT_EQ(freeOf(c, nullptr, true), (std::vector<std::pair<std::uint64_t, std::uint64_t>>{{256, 1792}}));
}

TEST_F(FreeExtentSpace, StripeSizeZeroSkipsTheGroupWithAWarning)
{
    smis::test::LogCapture log;
    bool ok = true;
    const Case c{"", 2048, 0, {{0, 100}}, {}};
    EXPECT_TRUE(freeOf(c, &ok).empty());
    EXPECT_FALSE(ok);
    EXPECT_TRUE(log.hasLog("stripe size of 0"));

    cimple::Array<cimple::VELDARO_FreeExtent*> list;
    EXPECT_EQ(cimple::VELDARO_FreeExtent_Resource(A).createInstance(list, 0), 0);
    EXPECT_EQ(list.size(), 0u);
}

}  // namespace
