#include "Association_Common.h"

#include <cstdlib>
#include <cstring>

namespace cimple {

int Association_Common::acFirstCommonProcess(VELDARO_RefTable* table)
{
    return FirstCommonProcess(table);
}

bool Association_Common::acExtractChar(const char* text, const char* delimiters, char* out, std::size_t outSize,
                                       bool exclusive)
{
    if (!text || !delimiters || !out || outSize == 0)
        return false;
    out[0] = '\0';
    const std::size_t count = std::strlen(delimiters);
    if (count < 2)
        return false;
    const char* previous = nullptr;
    const char* last = nullptr;
    const char* from = text;
    for (std::size_t k = 0; k < count; ++k) {
        const char* found = std::strchr(from, delimiters[k]);
        if (!found)
            return false;
        previous = last;
        last = found;
        from = found + 1;
    }
    const char* begin = exclusive ? previous + 1 : previous;
    const std::size_t length = static_cast<std::size_t>(last - begin);
    if (length >= outSize)
        return false;
    std::memcpy(out, begin, length);
    out[length] = '\0';
    return true;
}

bool Association_Common::acExtractSvOlu(const char* text, std::uint16_t* out)
{
    if (!text || !out)
        return false;
    const char* dollar = std::strchr(text, '$');
    if (!dollar)
        return false;
    char number[8] = {};
    std::size_t length = static_cast<std::size_t>(dollar - text);
    if (length > 7)
        length = 7;
    std::memcpy(number, text, length);
    *out = static_cast<std::uint16_t>(std::atoi(number));
    return true;
}

}  // namespace cimple
