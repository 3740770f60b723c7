// The copy-session lookups answer what a walk over every record answers:
// the first record of a session id, the records that name a volume, and
// the sessions whose ends the configuration table resolves to a volume's
// number. One index per image, shared by its readers and gone with it.

#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <vector>

#include "BuiltTable.h"
#include "SMIS_CMTAccess.h"
#include "SMIS_CopySessionEnds.h"
#include "SMIS_CopySessionIndex.h"

using cimple::SMIS_CopySessionEnds;
using cimple::SMIS_CopySessionIndex;
using Positions = SMIS_CopySessionIndex::Positions;

namespace {

std::shared_ptr<const SMIS_CMT> tableOf(const std::vector<SMIS_COPY_SESSION_INFO>& records)
{
    SMIS_CMTPtr made = cimple::SMIS_CMTAccess::ConvertCopySessionInfo2CMT(
        static_cast<unsigned>(records.size()), reinterpret_cast<const std::uint8_t*>(records.data()));
    return std::shared_ptr<const SMIS_CMT>(std::move(made));
}

SMIS_COPY_SESSION_INFO session(std::uint16_t id, std::uint8_t volumeType, std::int16_t source,
                               std::int16_t destination)
{
    SMIS_COPY_SESSION_INFO r{};
    r.SessionId = id;
    r.CopyType = 3;
    r.VolumeType = volumeType;
    r.SourceVolume = source;
    r.DestinationVolume = destination;
    return r;
}

TEST(SMIS_CopySessionIndex, AnswersWhatAWalkOverEveryRecordAnswers)
{
    std::mt19937 rng(11);
    std::vector<SMIS_COPY_SESSION_INFO> records;
    for (std::uint16_t i = 0; i < 600; ++i) {
        // Ids repeat (the first record of an id answers), numbers repeat,
        // a source may be its own destination and -1 reads as 0xFFFF.
        const auto pick = [&] { return static_cast<std::int16_t>(rng() % 10 == 0 ? -1 : int(rng() % 80)); };
        const std::int16_t source = pick();
        records.push_back(session(static_cast<std::uint16_t>(rng() % 400), 1, source, rng() % 7 ? pick() : source));
    }
    const auto table = tableOf(records);
    const auto index = SMIS_CopySessionIndex::of(table);
    ASSERT_NE(index, nullptr);

    for (unsigned id = 0; id < 0x10000; id += (id < 450 ? 1 : 4099)) {
        int first = -1;
        for (std::size_t i = 0; i < records.size() && first < 0; ++i)
            if (records[i].SessionId == id)
                first = static_cast<int>(i);
        EXPECT_EQ(index->first(static_cast<std::uint16_t>(id)), first) << id;
    }
    for (unsigned v = 0; v < 0x10000; v += (v < 100 ? 1 : 0xFFFF - 100)) {
        Positions walked;
        for (std::size_t i = 0; i < records.size(); ++i)
            if (static_cast<std::uint16_t>(records[i].SourceVolume) == v ||
                static_cast<std::uint16_t>(records[i].DestinationVolume) == v)
                walked.push_back(static_cast<std::uint32_t>(i));
        EXPECT_EQ(index->naming(static_cast<std::uint16_t>(v)), walked) << v;
    }
    EXPECT_TRUE(index->naming(500).empty()) << "a volume of no session";
}

TEST(SMIS_CopySessionIndex, OneIndexPerImageSharedAndGoneWithIt)
{
    const std::vector<SMIS_COPY_SESSION_INFO> records = {session(1, 1, 3, 4), session(2, 1, 4, 5)};
    auto table = tableOf(records);
    const std::size_t before = SMIS_CopySessionIndex::cachedCount();
    const auto index = SMIS_CopySessionIndex::of(table);
    EXPECT_EQ(SMIS_CopySessionIndex::of(table), index) << "shared by the image's readers";
    // An equal image published later is another image.
    auto later = tableOf(records);
    EXPECT_NE(SMIS_CopySessionIndex::of(later), index);
    EXPECT_EQ(SMIS_CopySessionIndex::cachedCount(), before + 2);
    table.reset();
    later.reset();
    EXPECT_TRUE(index->stale());
    EXPECT_EQ(SMIS_CopySessionIndex::cachedCount(), before);
    EXPECT_EQ(SMIS_CopySessionIndex::of(nullptr), nullptr);
}

// A table whose numbers do not all lead back to themselves: OLU 6's first
// sub-volume belongs to OLU 5, MLU 2's sub-volume is SLU 9.
class CopySessionEnds : public ::testing::Test {
protected:
    void SetUp() override
    {
        b.maxCounts({.olu = 16, .slu = 16, .rlu = 2, .dlu = 2, .mlu = 8});
        for (std::uint16_t v : {3, 4, 5}) {
            b.olu(v).Status(0).SluCount(1).Slun(0, v);
            b.slu(v).Status(0).LuType(1).Rlun(0).Olun(v).Mlun(0xFFFF);
        }
        b.olu(6).Status(0).SluCount(1).Slun(0, 5);
        b.mlu(2).Status(0).Slun(9);
        b.slu(9).Status(0).LuType(2).Rlun(0).Olun(0xFFFF).Mlun(2);
    }
    smis::test::CMTBuilder b;
};

TEST_F(CopySessionEnds, ListsEachSessionUnderTheNumbersItsEndsMayBeBuiltUnder)
{
    smis::test::BuiltTable built(b);
    const auto view = built.view();
    const auto sessions = tableOf({
        session(1, 1, 3, 4),      // 0: plain
        session(2, 1, 6, 4),      // 1: source OLU 6 is built from SLU 5, the volume of OLU 5
        session(3, 0, 2, 2),      // 2: MLU 2 is SLU 9
        session(4, 1, 30000, 3),  // 3: a source number the table does not hold
    });
    const auto ends = SMIS_CopySessionEnds::of(sessions, *view);
    ASSERT_NE(ends, nullptr);
    const struct {
        std::uint16_t volume;
        Positions sessions;
    } cases[] = {
        {3, {0, 3}},  {4, {0, 1}}, {5, {1}},   // OLU 5 through OLU 6's sub-volume
        {6, {1}},     {2, {2}},    {9, {2}},   // MLU 2 and its SLU number
        {30000, {3}}, {0xFFFF, {0, 1, 2, 3}},  // unset MLU or OLU numbers of the entries
        {7, {}},                                // no session
    };
    for (const auto& c : cases)
        EXPECT_EQ(ends->naming(c.volume), c.sessions) << c.volume;

    EXPECT_EQ(SMIS_CopySessionEnds::of(sessions, *view), ends) << "shared for the same images";
    smis::test::BuiltTable other(b);
    EXPECT_NE(SMIS_CopySessionEnds::of(sessions, *other.view()), ends) << "another configuration image";
}

}  // namespace
