// libFuzzer target: arbitrary bytes as a cache file or as the array's
// configuration table reply, through the container reader and the
// conversion into the maximum-count block and the image.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "SMIS_CMT.h"
#include "SMIS_CMTConvert.h"

namespace {

void convert(const SMIS_CMT& cmt) {
    auto block = SMIS_CMTConvert::ConvertCMTFile2Global(cmt);
    if (!block) return;
    // Keeps each run small; the full 65536-entry tables are covered by the unit tests.
    for (std::size_t w : {0u, 1u, 2u, 3u, 12u}) block->setWord(w, std::min<std::uint32_t>(block->word(w), 2048));
    auto img = SMIS_CMTConvert::ConvertCMTFile2CMT(cmt, *block);
    if (!img) std::abort();  // only memory exhaustion may fail, and it cannot here
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    SMIS_CMTPtr file;
    if (SMIS_CMTCodec::decode(data, size, true, file) == SMIS_CMTCodec::Result::OK) {
        // A container that was read writes out to bytes that read back the same.
        std::vector<std::uint8_t> once = SMIS_CMTCodec::encode(*file);
        SMIS_CMTPtr again;
        if (SMIS_CMTCodec::decode(once.data(), once.size(), true, again) != SMIS_CMTCodec::Result::OK) std::abort();
        if (SMIS_CMTCodec::encode(*again) != once) std::abort();
        convert(*file);
    }
    SMIS_CMTPtr reply;
    if (SMIS_CMTCodec::decode(data, size, false, reply) == SMIS_CMTCodec::Result::OK) {
        convert(*reply);
        // A reply is written as the cmf file: the file must read back.
        std::vector<std::uint8_t> file = SMIS_CMTCodec::encode(*reply);
        // Tables may overlap in a reply, so each can be at most the whole reply.
        if (file.size() > 16 + reply->index.size() * (16 + size)) std::abort();
        SMIS_CMTPtr back;
        if (SMIS_CMTCodec::decode(file.data(), file.size(), true, back) != SMIS_CMTCodec::Result::OK) std::abort();
    }
    return 0;
}
