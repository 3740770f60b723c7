#pragma once
// The table check and the key-text helpers of the association providers.

#include <cstddef>
#include <cstdint>

#include "CommonBase.h"

namespace cimple {

class Association_Common : public CommonBase {
public:
    // As FirstCommonProcess: 0 go on, 2 skip this array.
    static int acFirstCommonProcess(VELDARO_RefTable* table);
    // Finds the delimiters one after the other, each after the previous one,
    // and copies the text between the last two (with the second-to-last
    // delimiter character unless exclusive) into out, terminated. False for
    // a NULL argument, fewer than two delimiters, a delimiter not found, or
    // an answer that does not fit outSize bytes (out then holds "").
    static bool acExtractChar(const char* text, const char* delimiters, char* out, std::size_t outSize,
                              bool exclusive);
    // The number in front of the first "$" (at most 7 characters); false
    // for a NULL argument or a text without "$".
    static bool acExtractSvOlu(const char* text, std::uint16_t* out);
};

}  // namespace cimple
