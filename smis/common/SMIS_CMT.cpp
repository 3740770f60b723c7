#include "SMIS_CMT.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "ByteOrder.h"

static_assert(SMIS_CMT::HEADER_SIZE == 16 && SMIS_INDEX::SIZE == 16 && SMIS_SUB_INDEX::SIZE == 24);

const std::uint8_t* SMIS_INDEX::element(std::size_t i) const {
    if (i >= ElementCount || ElementSize == 0) return nullptr;
    std::uint64_t end = (std::uint64_t(i) + 1) * ElementSize;
    if (end > data.size()) return nullptr;
    return data.data() + i * ElementSize;
}

void SMIS_INDEX::decode(const std::uint8_t* p) {
    TableId = p[0];
    Byte1 = p[1];
    Flags = p[2];
    Reserved3 = p[3];
    ElementCount = smis::loadLE16(p + 4);
    Reserved6 = smis::loadLE16(p + 6);
    ElementSize = smis::loadLE32(p + 8);
    Offset = smis::loadLE32(p + 12);
}

void SMIS_INDEX::encode(std::uint8_t* p) const {
    p[0] = TableId;
    p[1] = Byte1;
    p[2] = Flags;
    p[3] = Reserved3;
    smis::storeLE16(p + 4, ElementCount);
    smis::storeLE16(p + 6, Reserved6);
    smis::storeLE32(p + 8, ElementSize);
    smis::storeLE32(p + 12, Offset);
}

void SMIS_SUB_INDEX::decode(const std::uint8_t* p) {
    TimeStamp = smis::loadLE32(p);
    ElementCount = smis::loadLE16(p + 4);
    Reserved6 = smis::loadLE16(p + 6);
    ElementSize = smis::loadLE32(p + 8);
    Offset = smis::loadLE32(p + 12);
    KeyWord = smis::loadLE32(p + 20);
}

void SMIS_SUB_INDEX::encode(std::uint8_t* p) const {
    smis::storeLE32(p, TimeStamp);
    smis::storeLE16(p + 4, ElementCount);
    smis::storeLE16(p + 6, Reserved6);
    smis::storeLE32(p + 8, ElementSize);
    smis::storeLE32(p + 12, Offset);
    smis::storeLE32(p + 16, 0);
    smis::storeLE32(p + 20, KeyWord);
}

namespace {

bool rangeInside(std::uint64_t offset, std::uint64_t size, std::uint64_t len) {
    return offset <= len && size <= len - offset;
}

bool followsSubTables(const SMIS_INDEX& e) {
    return e.isSubIndexed() && e.ElementSize == SMIS_SUB_INDEX::SIZE;
}

}  // namespace

SMIS_CMTCodec::Result SMIS_CMTCodec::decode(const std::uint8_t* data, std::size_t len, bool followSubIndex,
                                            SMIS_CMTPtr& out) {
    out.reset();
    if (data == nullptr || len < SMIS_CMT::HEADER_SIZE) return Result::TRUNCATED;
    try {
        auto cmt = std::make_unique<SMIS_CMT>();
        std::memcpy(cmt->header.data(), data, SMIS_CMT::HEADER_SIZE);
        const std::size_t n = cmt->header[1];
        if (std::uint64_t(SMIS_CMT::HEADER_SIZE) + std::uint64_t(n) * SMIS_INDEX::SIZE > len) return Result::TRUNCATED;
        cmt->index.resize(n);
        for (std::size_t i = 0; i < n; ++i) {
            SMIS_INDEX& e = cmt->index[i];
            e.decode(data + SMIS_CMT::HEADER_SIZE + i * SMIS_INDEX::SIZE);
            const std::uint64_t size = e.dataSize();
            if (size == 0) continue;
            if (!rangeInside(e.Offset, size, len)) return Result::BAD_OFFSET;
            if (e.isSubIndexed() && e.ElementSize != SMIS_SUB_INDEX::SIZE) return Result::BAD_SUB_INDEX;
            e.data.assign(data + e.Offset, data + e.Offset + size);
            if (!followSubIndex || !e.isSubIndexed()) continue;
            e.subTables.resize(e.ElementCount);
            for (std::size_t r = 0; r < e.ElementCount; ++r) {
                SMIS_SUB_INDEX s;
                s.decode(e.data.data() + r * SMIS_SUB_INDEX::SIZE);
                const std::uint64_t subSize = s.dataSize();
                if (subSize == 0) continue;
                if (!rangeInside(s.Offset, subSize, len)) return Result::BAD_SUB_INDEX;
                e.subTables[r].assign(data + s.Offset, data + s.Offset + subSize);
            }
        }
        out = std::move(cmt);
        return Result::OK;
    } catch (const std::bad_alloc&) {
        return Result::NO_MEMORY;
    }
}

void SMIS_CMTCodec::updateOffset(SMIS_CMT& cmt) {
    std::uint64_t pos = SMIS_CMT::HEADER_SIZE + cmt.index.size() * SMIS_INDEX::SIZE;
    for (SMIS_INDEX& e : cmt.index) {
        e.Offset = static_cast<std::uint32_t>(pos);
        pos += e.dataSize();
        if (!followsSubTables(e)) continue;
        const std::size_t records = std::min<std::size_t>(e.ElementCount, e.data.size() / SMIS_SUB_INDEX::SIZE);
        for (std::size_t r = 0; r < records; ++r) {
            std::uint8_t* rec = e.data.data() + r * SMIS_SUB_INDEX::SIZE;
            SMIS_SUB_INDEX s;
            s.decode(rec);
            s.Offset = static_cast<std::uint32_t>(pos);
            s.encode(rec);
            pos += s.dataSize();
        }
    }
}

namespace {

// A sub-index record describes exactly the sub-table bytes held for it; a
// record whose sizes announce anything else (as in a reply whose sub-indexes
// were not followed) is written as describing no sub-table.
void matchSubTables(SMIS_INDEX& e) {
    if (!followsSubTables(e)) return;
    e.subTables.resize(e.ElementCount);
    for (std::size_t r = 0; r < e.ElementCount; ++r) {
        std::uint8_t* rec = e.data.data() + r * SMIS_SUB_INDEX::SIZE;
        SMIS_SUB_INDEX s;
        s.decode(rec);
        if (s.dataSize() == e.subTables[r].size()) continue;
        s.ElementCount = 0;
        s.ElementSize = 0;
        s.encode(rec);
        e.subTables[r].clear();
    }
}

}  // namespace

std::vector<std::uint8_t> SMIS_CMTCodec::encode(SMIS_CMT& cmt) {
    if (cmt.index.size() > SMIS_CMT::MAX_TABLES) cmt.index.resize(SMIS_CMT::MAX_TABLES);
    cmt.header[1] = static_cast<std::uint8_t>(cmt.index.size());
    for (SMIS_INDEX& e : cmt.index) {
        e.data.resize(e.dataSize());
        matchSubTables(e);
    }
    updateOffset(cmt);

    // The whole size is known before the first byte is copied: one
    // allocation, no regrowth of a buffer that reaches tens of megabytes.
    std::size_t total = SMIS_CMT::HEADER_SIZE + cmt.index.size() * SMIS_INDEX::SIZE;
    for (const SMIS_INDEX& e : cmt.index) {
        total += e.data.size();
        if (followsSubTables(e))
            for (const std::vector<std::uint8_t>& sub : e.subTables) total += sub.size();
    }
    std::vector<std::uint8_t> out;
    out.reserve(total);
    out.resize(SMIS_CMT::HEADER_SIZE + cmt.index.size() * SMIS_INDEX::SIZE);
    std::memcpy(out.data(), cmt.header.data(), SMIS_CMT::HEADER_SIZE);
    for (std::size_t i = 0; i < cmt.index.size(); ++i)
        cmt.index[i].encode(out.data() + SMIS_CMT::HEADER_SIZE + i * SMIS_INDEX::SIZE);
    for (const SMIS_INDEX& e : cmt.index) {
        out.insert(out.end(), e.data.begin(), e.data.end());
        if (!followsSubTables(e)) continue;
        for (const std::vector<std::uint8_t>& sub : e.subTables) out.insert(out.end(), sub.begin(), sub.end());
    }
    return out;
}

const SMIS_INDEX* SMIS_CMTCodec::GetIndexTable(const SMIS_CMT& cmt, unsigned tableId) {
    const std::uint8_t id = static_cast<std::uint8_t>(tableId & 0xFF);
    for (const SMIS_INDEX& e : cmt.index)
        if (e.TableId == id) return &e;
    return nullptr;
}
