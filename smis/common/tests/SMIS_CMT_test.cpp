// Container layout: golden bytes, offset recomputation, and refusal of
// containers whose counts, sizes or offsets do not fit their data.

#include <gtest/gtest.h>

#include <cstring>
#include <limits>
#include <vector>

#include "ByteOrder.h"
#include "SMIS_CMT.h"

namespace {

using Bytes = std::vector<std::uint8_t>;
using R = SMIS_CMTCodec::Result;

SMIS_INDEX entry(std::uint8_t id, std::uint16_t count, std::uint32_t size, std::uint8_t flags = 0) {
    SMIS_INDEX e;
    e.TableId = id;
    e.Flags = flags;
    e.ElementCount = count;
    e.ElementSize = size;
    e.data.assign(std::size_t(count) * size, 0);
    return e;
}

Bytes header(std::uint8_t type, std::uint8_t n) {
    Bytes b(16, 0);
    b[0] = type;
    b[1] = n;
    return b;
}

void putEntry(Bytes& b, std::uint8_t id, std::uint16_t count, std::uint32_t size, std::uint32_t offset,
              std::uint8_t flags = 0) {
    std::uint8_t e[16] = {id, 0, flags, 0};
    smis::storeLE16(e + 4, count);
    smis::storeLE32(e + 8, size);
    smis::storeLE32(e + 12, offset);
    b.insert(b.end(), e, e + 16);
}

TEST(SMIS_CMT, EmptyContainerIsTheHeaderAlone) {
    SMIS_CMT cmt;
    cmt.header[0] = 0x01;
    Bytes out = SMIS_CMTCodec::encode(cmt);
    EXPECT_EQ(out, header(0x01, 0));
    SMIS_CMTPtr back;
    ASSERT_EQ(SMIS_CMTCodec::decode(out.data(), out.size(), true, back), R::OK);
    EXPECT_TRUE(back->index.empty());
}

TEST(SMIS_CMT, SubIndexedTableIsLaidOutRecordsFirstThenSubTablesInOrder) {
    SMIS_CMT cmt;
    cmt.header[0] = 0x01;
    SMIS_INDEX e = entry(3, 2, 24, SMIS_INDEX::FLAG_SUB_INDEXED);
    SMIS_SUB_INDEX s0;
    s0.ElementCount = 3;
    s0.ElementSize = 320;
    s0.encode(e.data.data());
    SMIS_SUB_INDEX s1;
    s1.encode(e.data.data() + 24);
    e.subTables = {Bytes(960, 0xAB), Bytes()};
    cmt.index.push_back(e);

    Bytes out = SMIS_CMTCodec::encode(cmt);
    ASSERT_EQ(out.size(), 1040u);
    const Bytes golden = {
        0x01, 0x01, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,        // header
        0x03, 0x00, 0x01, 0, 0x02, 0, 0, 0, 0x18, 0, 0, 0, 0x20, 0, 0, 0,  // index
        0, 0, 0, 0, 0x03, 0, 0, 0, 0x40, 0x01, 0, 0, 0x50, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,  // record 0
        0, 0, 0, 0, 0x00, 0, 0, 0, 0x00, 0x00, 0, 0, 0x10, 0x04, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};  // record 1
    EXPECT_EQ(Bytes(out.begin(), out.begin() + 80), golden);
    EXPECT_EQ(out[80], 0xAB);
    EXPECT_EQ(out[1039], 0xAB);

    SMIS_CMTPtr back;
    ASSERT_EQ(SMIS_CMTCodec::decode(out.data(), out.size(), true, back), R::OK);
    ASSERT_EQ(back->index.size(), 1u);
    ASSERT_EQ(back->index[0].subTables.size(), 2u);
    EXPECT_EQ(back->index[0].subTables[0], Bytes(960, 0xAB));
    EXPECT_TRUE(back->index[0].subTables[1].empty());
    EXPECT_EQ(SMIS_CMTCodec::encode(*back), out);
}

TEST(SMIS_CMT, EmptyTableTakesTheNextTablesOffsetAndHeaderBytesAreCarried) {
    SMIS_CMT cmt;
    for (std::size_t i = 2; i < 16; ++i) cmt.header[i] = static_cast<std::uint8_t>(i);
    cmt.index.push_back(entry(2, 0, 32));
    cmt.index.push_back(entry(3, 2, 8));
    cmt.index[0].Byte1 = 0x5A;
    Bytes out = SMIS_CMTCodec::encode(cmt);
    EXPECT_EQ(cmt.index[0].Offset, 48u);
    EXPECT_EQ(cmt.index[1].Offset, 48u);
    EXPECT_EQ(out.size(), 64u);
    SMIS_CMTPtr back;
    ASSERT_EQ(SMIS_CMTCodec::decode(out.data(), out.size(), true, back), R::OK);
    EXPECT_EQ(back->header, cmt.header);
    EXPECT_EQ(back->index[0].Byte1, 0x5A);
}

TEST(SMIS_CMT, RefusesContainersThatDoNotFitTheirData) {
    struct Case {
        const char* name;
        Bytes bytes;
        bool followSubIndex;
        R expected;
    };
    auto withEntry = [](std::uint16_t count, std::uint32_t size, std::uint32_t offset, std::uint8_t flags = 0,
                        std::size_t extra = 0) {
        Bytes b = header(0, 1);
        putEntry(b, 2, count, size, offset, flags);
        b.resize(b.size() + extra, 0);
        return b;
    };
    auto subIndexed = [](std::uint32_t subOffset, std::uint16_t subCount, std::uint32_t subSize) {
        Bytes b = header(0, 1);
        putEntry(b, 5, 1, 24, 32, SMIS_INDEX::FLAG_SUB_INDEXED);
        Bytes rec(24, 0);
        smis::storeLE16(rec.data() + 4, subCount);
        smis::storeLE32(rec.data() + 8, subSize);
        smis::storeLE32(rec.data() + 12, subOffset);
        b.insert(b.end(), rec.begin(), rec.end());
        b.resize(b.size() + 16, 0);
        return b;
    };
    const std::vector<Case> cases = {
        {"shorter than the header", Bytes(15, 0), true, R::TRUNCATED},
        {"index beyond the data", header(0, 2), true, R::TRUNCATED},
        {"table beyond the data", withEntry(2, 16, 32, 0, 31), true, R::BAD_OFFSET},
        {"table exactly at the end", withEntry(2, 16, 32, 0, 32), true, R::OK},
        {"offset beyond the data", withEntry(1, 1, 0x1000), true, R::BAD_OFFSET},
        {"offset plus size wraps 32 bits", withEntry(1, 0x20, 0xFFFFFFF0u, 0, 64), true, R::BAD_OFFSET},
        {"huge count x size", withEntry(0xFFFF, 0xFFFFFFFFu, 32), true, R::BAD_OFFSET},
        {"sub-index of the wrong size", withEntry(1, 16, 32, SMIS_INDEX::FLAG_SUB_INDEXED, 16), true,
         R::BAD_SUB_INDEX},
        {"sub-index of the wrong size, not followed", withEntry(1, 16, 32, SMIS_INDEX::FLAG_SUB_INDEXED, 16), false,
         R::BAD_SUB_INDEX},
        {"sub-table beyond the data", subIndexed(56, 2, 9), true, R::BAD_SUB_INDEX},
        {"sub-table offset wraps", subIndexed(0xFFFFFFFFu, 1, 2), true, R::BAD_SUB_INDEX},
        {"sub-table exactly at the end", subIndexed(56, 2, 8), true, R::OK},
        {"sub-table beyond, not followed", subIndexed(56, 2, 9), false, R::OK},
    };
    for (const Case& c : cases) {
        SMIS_CMTPtr out;
        EXPECT_EQ(SMIS_CMTCodec::decode(c.bytes.data(), c.bytes.size(), c.followSubIndex, out), c.expected) << c.name;
        EXPECT_EQ(out != nullptr, c.expected == R::OK) << c.name;
    }
}

TEST(SMIS_CMT, GetIndexTableComparesTheLowByteAndTakesTheFirst) {
    SMIS_CMT cmt;
    cmt.index.push_back(entry(4, 1, 1));
    cmt.index.push_back(entry(4, 2, 1));
    const SMIS_INDEX* e = SMIS_CMTCodec::GetIndexTable(cmt, 0x104);
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(e->ElementCount, 1);
    EXPECT_EQ(SMIS_CMTCodec::GetIndexTable(cmt, 5), nullptr);
}

}  // namespace

namespace {

TEST(SMIS_CMT, ReplySubIndexesThatWereNotFollowedAreWrittenAsEmpty) {
    // A reply table flagged sub-indexed whose record announces a huge
    // sub-table: the written file must not grow by what the record claims.
    Bytes b = header(0, 1);
    putEntry(b, 5, 1, 24, 32, SMIS_INDEX::FLAG_SUB_INDEXED);
    Bytes rec(24, 0);
    smis::storeLE16(rec.data() + 4, 0xFFFF);
    smis::storeLE32(rec.data() + 8, 0xFFFFFFFFu);
    smis::storeLE32(rec.data() + 12, 0x100);
    b.insert(b.end(), rec.begin(), rec.end());
    SMIS_CMTPtr reply;
    ASSERT_EQ(SMIS_CMTCodec::decode(b.data(), b.size(), false, reply), R::OK);
    Bytes file = SMIS_CMTCodec::encode(*reply);
    EXPECT_EQ(file.size(), 56u);
    SMIS_CMTPtr back;
    ASSERT_EQ(SMIS_CMTCodec::decode(file.data(), file.size(), true, back), R::OK);
    EXPECT_EQ(smis::loadLE16(back->index[0].data.data() + 4), 0);
}

}  // namespace

#include "CMTBuilder.h"

namespace {

// The block-only example of the wire notes, byte for byte.
TEST(SMIS_CMT, BlockOnlyTableMatchesTheNotesExample) {
    smis::test::CMTBuilder b;
    b.maxCounts({.olu = 4, .slu = 4, .rlu = 2, .dlu = 2, .mlu = 4, .cm = 2, .affinityGroups = 0, .hosts = 0});
    Bytes expected = header(0, 1);
    putEntry(expected, 1, 1, 80, 32);
    Bytes block(80, 0);
    for (auto [word, value] : {std::pair{0, 4}, {1, 4}, {2, 2}, {3, 2}, {5, 2}, {12, 4}})
        smis::storeLE32(block.data() + 4 * word, static_cast<std::uint32_t>(value));
    expected.insert(expected.end(), block.begin(), block.end());
    EXPECT_EQ(b.bytes(), expected);
    EXPECT_EQ(expected[0x20], 0x04);
    EXPECT_EQ(expected[0x34], 0x02);
    EXPECT_EQ(expected[0x50], 0x04);
}

}  // namespace
