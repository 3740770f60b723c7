// Builds the reply data of command 0x4024: a container (16-byte header,
// 16-byte index entries, then the tables) holding, for each requested table
// id, one record per element of the array in the array's own record layout.
// Records carry the array's keys (item identifiers, element numbers) so that
// the reader places them; their order inside a table carries no meaning.
#pragma once

#include <cstdint>
#include <vector>

#include "SimArray.hpp"
#include "WireBytes.hpp"

namespace arraysim {

struct EncodedTable {
    std::uint8_t id = 0;
    std::uint32_t elementSize = 0;
    std::vector<Bytes> records;
};

class TableEncoder {
public:
    // Record size the array uses for a table id (0 for ids it does not know).
    static std::uint32_t recordSize(std::uint8_t id);

    // The records of one table of the array's current model.
    static EncodedTable encode(const Json& array, std::uint8_t id);

    // The whole 0x4024 reply for the requested ids, in request order. Ids
    // the array does not know get an index entry with no elements.
    static Bytes container(const Json& array, const std::vector<std::uint8_t>& ids);
};

// Helpers shared by the encoders of the simulator.
Bytes wwnBytes(const std::string& hex);   // 16 hex digits -> 8 bytes
Bytes macBytes(const std::string& hex);   // 12 hex digits -> 6 bytes
Bytes ipv4Bytes(const std::string& dotted);

}  // namespace arraysim
