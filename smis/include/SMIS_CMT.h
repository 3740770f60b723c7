#pragma once
// The container of numbered tables shared by the array's configuration table
// reply (command 0x4024) and the cmf, ext and cps cache files.
//
// Layout (little-endian): a 16-byte header (byte 0 table type, byte 1 table
// count N, bytes 2-15 carried), N 16-byte index entries, then every table's
// data at an absolute offset. The elements of a sub-indexed table are 24-byte
// SMIS_SUB_INDEX records, each describing one sub-table of its own.
//
// In memory an SMIS_CMT owns its index entries, each entry owns its table
// bytes and, when sub-indexed, one byte block per record.

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

// One 16-byte index entry with the table it describes.
struct SMIS_INDEX {
    static constexpr std::size_t SIZE = 16;
    static constexpr std::uint8_t FLAG_SUB_INDEXED = 0x01;

    std::uint8_t TableId = 0;
    std::uint8_t Byte1 = 0;  // not interpreted; written back unchanged
    std::uint8_t Flags = 0;
    std::uint8_t Reserved3 = 0;
    std::uint16_t ElementCount = 0;
    std::uint16_t Reserved6 = 0;
    std::uint32_t ElementSize = 0;
    std::uint32_t Offset = 0;

    // ElementCount x ElementSize bytes (empty when either is 0).
    std::vector<std::uint8_t> data;
    // Sub-indexed tables only: the data of each record's sub-table, in record order.
    std::vector<std::vector<std::uint8_t>> subTables;

    bool isSubIndexed() const { return (Flags & FLAG_SUB_INDEXED) != 0; }
    // Element i (i < ElementCount), or nullptr.
    const std::uint8_t* element(std::size_t i) const;
    std::uint64_t dataSize() const { return std::uint64_t(ElementCount) * ElementSize; }

    void decode(const std::uint8_t* p);  // reads the 16 entry bytes
    void encode(std::uint8_t* p) const;  // writes the 16 entry bytes
};

// Field access to one 24-byte sub-index record inside a sub-indexed table.
struct SMIS_SUB_INDEX {
    static constexpr std::size_t SIZE = 24;
    std::uint32_t TimeStamp = 0;
    std::uint16_t ElementCount = 0;
    std::uint16_t Reserved6 = 0;
    std::uint32_t ElementSize = 0;
    std::uint32_t Offset = 0;
    std::uint32_t KeyWord = 0;

    std::uint64_t dataSize() const { return std::uint64_t(ElementCount) * ElementSize; }
    void decode(const std::uint8_t* p);
    void encode(std::uint8_t* p) const;  // the address word (16-19) is written as 0
};

struct SMIS_CMT {
    static constexpr std::size_t HEADER_SIZE = 16;
    static constexpr std::size_t MAX_TABLES = 255;

    std::array<std::uint8_t, HEADER_SIZE> header{};  // byte 1 follows index.size() on encoding
    std::vector<SMIS_INDEX> index;

    std::uint8_t TableType() const { return header[0]; }
    std::uint8_t TableCount() const { return header[1]; }
};

using SMIS_CMTPtr = std::unique_ptr<SMIS_CMT>;

class SMIS_CMTCodec {
public:
    enum class Result { OK, TRUNCATED, BAD_OFFSET, BAD_SUB_INDEX, NO_MEMORY };

    // Builds a container from bytes. Every count, offset and length is checked
    // against len in 64-bit arithmetic: header, 16 + 16N bytes of index, each
    // table's offset + count x size, that each sub-indexed table has 24-byte
    // records, and (when followSubIndex) that every sub-table range lies
    // inside the data. On failure out stays empty.
    static Result decode(const std::uint8_t* data, std::size_t len, bool followSubIndex, SMIS_CMTPtr& out);

    // Recomputes every offset (updateOffset) and lays the container out as a
    // file: header, index entries, then each table's data followed by its
    // sub-tables. Tables larger than their count x size keep only that much;
    // a sub-index record whose count x size differs from the sub-table bytes
    // held for it is written with count and size 0 and no sub-table.
    static std::vector<std::uint8_t> encode(SMIS_CMT& cmt);

    // First table at 16 x (N + 1); each next table right after the previous
    // table's data and sub-tables; sub-tables right after their records.
    static void updateOffset(SMIS_CMT& cmt);

    // First entry whose id equals the low byte of tableId, or nullptr.
    static const SMIS_INDEX* GetIndexTable(const SMIS_CMT& cmt, unsigned tableId);
};
