// The number maps answer exactly what a linear scan in table order answers,
// also on images full of duplicate numbers and names; one index per image,
// shared by its views and gone with the image.

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "BuiltTable.h"
#include "SMIS_CMTAccess.h"
#include "TempInstallDir.h"
#include "VELDARO_TableIndex.h"

using cimple::VELDARO_RefTable;
using smis::test::BuiltTable;
using smis::test::CMTBuilder;

namespace {

using Img = cnfg_config_mgmt_table;

std::string nameOf(unsigned n)
{
    std::string s = "n" + std::to_string(n);
    s.resize(16, '\0');
    return s;
}

// The scans the maps stand for.
template <class Get, class Match>
int scan(std::size_t count, Get get, Match match)
{
    for (std::size_t i = 0; i < count; ++i)
        if (match(get(i)))
            return static_cast<int>(i);
    return -1;
}

std::string text(std::string_view field)
{
    return std::string(VELDARO_TableIndex::nameText(field));
}

TEST(VELDARO_TableIndex, AnswersWhatTheLinearScanAnswers)
{
    CMTBuilder b;
    b.maxCounts({.olu = 300, .slu = 300, .rlu = 200, .dlu = 200, .mlu = 100, .affinityGroups = 500});
    BuiltTable t(b);
    Img& m = t.edit();
    std::mt19937 rng(7);
    auto small = [&] { return static_cast<std::uint16_t>(rng() % 40); };
    auto status = [&] { return static_cast<std::uint16_t>(rng() % 8); };
    for (std::size_t i = 0; i < 300; ++i) {
        m.OLUW(i).Olun(small()).Status(status()).Name(nameOf(rng() % 30));
        m.SLUW(i).Slun(rng() % 50 == 0 ? 0xFFFF : small()).Status(status());
    }
    for (std::size_t i = 0; i < 200; ++i) {
        m.RLUW(i).Rlun(small()).Status(status()).Name(nameOf(rng() % 30));
        m.DLUW(i).Dlun(small()).Status(status());
    }
    for (std::size_t i = 0; i < 100; ++i)
        m.MLUW(i).Mlun(small()).Status(status());
    for (std::size_t i = 0; i < 3072; ++i)
        m.DiskW(i).Plun(static_cast<std::uint16_t>(rng() % 2000)).Status(status());
    for (std::size_t i = 0; i < 2048; ++i)
        m.AffinityW(i).GroupNumber(static_cast<std::uint16_t>(rng() % 700));
    m.HostCount = 1;
    for (std::size_t i = 0; i < 8192; i += 7)
        m.HostW(i).ValidFlag(static_cast<std::uint8_t>(rng() % 3)).Name(nameOf(rng() % 200));
    auto v = t.view();
    const Img& img = *t.image();

    for (unsigned n = 0; n < 0x10000; n += (n < 2100 ? 1 : 997)) {
        const auto k = static_cast<std::uint16_t>(n);
        EXPECT_EQ(v->searchOlunFromOluTable(k),
                  scan(300, [&](std::size_t i) { return img.OLU(i); },
                       [&](const CMT_OLU& e) { return e.Olun() == k && (e.Status() & 0xFF) != 6; }))
            << n;
        EXPECT_EQ(v->searchSlunFromSluTable(k),
                  k == 0xFFFF ? -1
                              : scan(300, [&](std::size_t i) { return img.SLU(i); },
                                     [&](const CMT_SLU& e) { return e.Slun() == k && (e.Status() & 0xFF) != 6; }))
            << n;
        EXPECT_EQ(v->searchMlunFromMluTable(k),
                  scan(100, [&](std::size_t i) { return img.MLU(i); },
                       [&](const CMT_MLU& e) { return e.Mlun() == k && (e.Status() & 0xFF) != 6; }))
            << n;
        EXPECT_EQ(v->searchRlunFromRluTable(k),
                  scan(200, [&](std::size_t i) { return img.RLU(i); },
                       [&](const CMT_RLU& e) { return e.Rlun() == k && (e.Status() & 0xFF) != 3; }))
            << n;
        EXPECT_EQ(v->searchDlunFromDluTable(k),
                  scan(200, [&](std::size_t i) { return img.DLU(i); },
                       [&](const CMT_DLU& e) { return e.Dlun() == k && (e.Status() & 0xFF) != 3; }))
            << n;
        EXPECT_EQ(v->searchPlunFromDiskTable(k),
                  scan(3072, [&](std::size_t i) { return img.Disk(i); }, [&](const CMT_Disk& e) { return e.Plun() == k; }))
            << n;
        EXPECT_EQ(v->searchAffinityNumberFromAffinityTable(k),
                  scan(500, [&](std::size_t i) { return img.Affinity(i); },
                       [&](const CMT_Affinity& e) { return e.GroupNumber() == k; }))
            << n;
    }
    std::vector<int> occupied;
    for (std::size_t i = 0; i < 3072; ++i)
        if ((img.Disk(i).Status() & 0xFF) != 2)
            occupied.push_back(static_cast<int>(i));
    ASSERT_NE(v->getOccupiedDiskIndexes(), nullptr);
    EXPECT_EQ(*v->getOccupiedDiskIndexes(), occupied);
    for (unsigned n = 0; n < 210; ++n) {
        const std::string name = text(nameOf(n));
        EXPECT_EQ(v->searchOlunameFromOluNameTable(name.c_str()),
                  scan(300, [&](std::size_t i) { return img.OLU(i); },
                       [&](const CMT_OLU& e) { return (e.Status() & 0xFF) != 6 && text(e.Name()) == name; }))
            << name;
        EXPECT_EQ(v->searchRlunameFromRluNameTable(name.c_str()),
                  scan(200, [&](std::size_t i) { return img.RLU(i); },
                       [&](const CMT_RLU& e) { return (e.Status() & 0xFF) != 3 && text(e.Name()) == name; }))
            << name;
        EXPECT_EQ(v->searchHostNameFromHostTable(name.c_str()),
                  scan(8192, [&](std::size_t i) { return img.Host(i); },
                       [&](const CMT_Host& e) { return e.ValidFlag() == 1 && text(e.Name()) == name; }))
            << name;
    }
}

TEST(VELDARO_TableIndex, NameTextEndsAtNulOrAByteOf0x80)
{
    EXPECT_EQ(VELDARO_TableIndex::nameText(std::string_view("ab\0cd", 5)), "ab");
    EXPECT_EQ(VELDARO_TableIndex::nameText("ab\x80xy"), "ab");
    EXPECT_EQ(VELDARO_TableIndex::nameText("abc "), "abc ");
}

TEST(VELDARO_TableIndex, OneIndexPerImageSharedByItsViewsAndGoneWithIt)
{
    const std::size_t before = VELDARO_TableIndex::cachedCount();
    {
        auto t = std::make_unique<BuiltTable>(CMTBuilder{});
        auto v1 = t->view();
        auto v2 = t->view();
        EXPECT_EQ(v1->searchOlunFromOluTable(1), -1);
        EXPECT_EQ(v2->searchOlunFromOluTable(1), -1);
        auto x1 = VELDARO_TableIndex::of(t->image(), t->block());
        auto x2 = VELDARO_TableIndex::of(t->image(), t->block());
        EXPECT_EQ(x1, x2);
        EXPECT_EQ(VELDARO_TableIndex::cachedCount(), before + 1);

        // A second image gets its own index.
        BuiltTable other(CMTBuilder{});
        EXPECT_NE(VELDARO_TableIndex::of(other.image(), other.block()), x1);
        EXPECT_EQ(VELDARO_TableIndex::cachedCount(), before + 2);
    }
    EXPECT_EQ(VELDARO_TableIndex::cachedCount(), before);
}

TEST(VELDARO_TableIndex, ViewRebindsItsIndexWhenItsImageChanges)
{
    CMTBuilder b1, b2;
    b1.olu(4).Status(0);
    b2.olu(5).Status(0);
    BuiltTable t1(b1), t2(b2);
    VELDARO_RefTable v1("10.0.0.1", t1.block(), t1.image());
    VELDARO_RefTable v2("10.0.0.1", t2.block(), t2.image());
    EXPECT_EQ(v1.searchOlunFromOluTable(4), 4);
    EXPECT_EQ(v1.searchOlunFromOluTable(5), -1);
    EXPECT_EQ(v2.searchOlunFromOluTable(5), 5);
    EXPECT_EQ(v2.searchOlunFromOluTable(4), -1);
}

}  // namespace

namespace {

// Views opened through the cache answer from the cached image's maps; a
// refresh that replaces the image is answered from the new image's maps once
// the view is bound again, and the old maps go with the old image.
TEST(VELDARO_TableIndex, ViewsThroughTheCacheFollowTheReplacedImage)
{
    cimple::SMIS_CMTAccess::destroy();
    {
        smis::test::TempInstallDir dir;
        dir.writeEnv({"StorageIP=10.0.0.1"});
        CMTBuilder b1;
        b1.olu(4).Status(0);
        b1.installCmf("10.0.0.1");
        cimple::SMIS_CMTAccess* cache = cimple::SMIS_CMTAccess::getInstance();
        ASSERT_NE(cache, nullptr);
        const std::size_t before = VELDARO_TableIndex::cachedCount();

        VELDARO_RefTable view("10.0.0.1");
        ASSERT_TRUE(view.isValidCMT());
        EXPECT_EQ(view.searchOlunFromOluTable(4), 4);
        {
            VELDARO_RefTable nested("10.0.0.1");
            EXPECT_EQ(nested.searchOlunFromOluTable(4), 4);
        }
        EXPECT_EQ(VELDARO_TableIndex::cachedCount(), before + 1);

        CMTBuilder b2;
        b2.olu(5).Status(0);
        ASSERT_EQ(cache->SetCurrentCMT("10.0.0.1", b2.block(), b2.image()), 0);
        EXPECT_EQ(view.searchOlunFromOluTable(4), 4) << "still bound to the old image";
        view.resetCMTAddr();
        EXPECT_EQ(view.searchOlunFromOluTable(4), -1);
        EXPECT_EQ(view.searchOlunFromOluTable(5), 5);
        EXPECT_EQ(VELDARO_TableIndex::cachedCount(), before + 1) << "the old image's maps are gone";
    }
    cimple::SMIS_CMTAccess::destroy();
}

}  // namespace
